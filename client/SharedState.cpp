#include "client/SharedState.h"

Tuserinfo UserInfo;
AnsiString SettingsFolder;
AnsiString LocationText;
int32_t ListPage = 0;
int32_t ListPageCount = 0;
TXmlDocumentRef IndexDoc;
TXmlDocumentRef KnowledgeDoc;
TXmlDocumentRef DailyDoc;
TXmlDocumentRef ListDoc;
TXmlDocumentRef ReplyDoc;
TXmlDocumentRef CurrentTreeDoc;
TStringList RequestParams;
Tlefttree SelectedCategory;
Trighttree SelectedArticle;
HWND ReplyWindow = nullptr;
std::atomic<httpthread*> ActiveRequest{nullptr};
TReplyHandler ReplyHandler;
int32_t LoginStage = 0;

TXmlDocumentRef NewDocument() { return std::make_shared<TXmlDocument>(); }

void CreateDocuments() {
  KnowledgeDoc = NewDocument();
  DailyDoc = NewDocument();
  IndexDoc = NewDocument();
  ListDoc = NewDocument();
}

AnsiString SettingsFolderFor(const AnsiString& homePath) { return "c:\\" + homePath + "\\qz"; }

void InitSettingsFolder() {
  // Asked for its length first: a long value must not be cut to nothing.
  AnsiString value;
  DWORD n = GetEnvironmentVariableA("HOMEPATH", nullptr, 0);
  if (n > 0) {
    value.resize(n);
    n = GetEnvironmentVariableA("HOMEPATH", value.data(), n);
    value.resize(n < value.size() ? n : 0);
  }
  SettingsFolder = SettingsFolderFor(value);
}

void ReleaseSharedState() {
  SelectedCategory = Tlefttree();
  SelectedArticle = Trighttree();
  CurrentTreeDoc.reset();
  IndexDoc.reset();
  KnowledgeDoc.reset();
  DailyDoc.reset();
  ListDoc.reset();
  ReplyDoc.reset();
  LocationText.clear();
  SettingsFolder.clear();
  UserInfo = Tuserinfo();
  ReplyHandler = TReplyHandler();
  ReplyWindow = nullptr;
}
