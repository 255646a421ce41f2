// The state every window of the client shares for the life of the process:
// the signed-in user, the service documents, the request parameter list, the
// current selections and where replies go. All of it belongs to the GUI
// thread; request workers reach only ActiveRequest (atomically) and hand
// their replies back through the GUI thread (HttpThread.h).
#pragma once

#include "platform/Event.h"
#include "platform/StringList.h"
#include "platform/Text.h"
#include "platform/Units.h"
#include "platform/Win32.h"
#include "platform/XmlDocument.h"

#include <atomic>
#include <cstdint>

class httpthread;

// The signed-in user.
struct Tuserinfo {
  AnsiString Spare1;
  AnsiString Email;         // reply key "em"
  AnsiString NickName;      // "un"
  AnsiString SessionToken;  // "dm", sent with nearly every request
  AnsiString ClassString;   // "clstr", kept only
  int32_t Spare2 = 0;
  AnsiString PasswordHash;  // lowercase hexadecimal MD5 ("pwd")
  AnsiString UserId;        // "uid", sent with nearly every request
  int32_t RememberFlag = 0; // 1 when the settings file remembers the password
  int32_t RegFlag = 0;      // "ifreg"
};

// Node data of one category tree entry.
struct Tlefttree {
  AnsiString Name;   // element "n"
  AnsiString Key;    // attribute "k" of the category's g element
  AnsiString Id;     // element "id"
  int32_t Unused1 = 0;
  AnsiString Count;  // element "con", as text
  AnsiString Unused2;
};

// Node data of one article list entry; the text fields are named after the
// list document's elements.
struct Trighttree {
  AnsiString title;
  AnsiString date;
  int32_t Unused = 0;
  AnsiString cid;   // article id
  AnsiString clbz;  // "0" new, "1" plain, "2" recommended
  AnsiString lyid;
  AnsiString j;
  int32_t js = 0;   // level in the list tree, 0 = top
  int32_t fst = 0;
  int32_t pid = 0;  // non-zero for an appended part
  AnsiString CategoryName;
  AnsiString lx;
  AnsiString ly;
};

// The continuation the management window runs when a reply arrives.
using TReplyHandler = TEvent<void()>;

// Message posted to a requesting window when its reply is in the document.
constexpr UINT WM_REPLYREADY = WM_USER + 2;  // 0x402

extern Tuserinfo UserInfo;
extern AnsiString SettingsFolder;
extern AnsiString LocationText;
extern int32_t ListPage;
extern int32_t ListPageCount;
extern TXmlDocumentRef IndexDoc;
extern TXmlDocumentRef KnowledgeDoc;
extern TXmlDocumentRef DailyDoc;
extern TXmlDocumentRef ListDoc;
extern TXmlDocumentRef ReplyDoc;
extern TXmlDocumentRef CurrentTreeDoc;  // KnowledgeDoc or DailyDoc
// Filled by whoever prepares a request; each worker takes its own copy.
extern TStringList RequestParams;
extern Tlefttree SelectedCategory;      // Key "-1": no category chosen
extern Trighttree SelectedArticle;
extern HWND ReplyWindow;
// Busy guard for delete and move: the worker that runs one, or null.
extern std::atomic<httpthread*> ActiveRequest;
extern TReplyHandler ReplyHandler;
extern int32_t LoginStage;  // 0 to 3

// A new, empty document with asynchronous loading off.
TXmlDocumentRef NewDocument();
// Replaces KnowledgeDoc, DailyDoc, IndexDoc and ListDoc by new, empty ones.
void CreateDocuments();
// "c:\" + homePath + "\qz", plain concatenation: a leading backslash in
// homePath gives a doubled one, which the file system accepts.
AnsiString SettingsFolderFor(const AnsiString& homePath);
// SettingsFolder from the environment variable HOMEPATH.
void InitSettingsFolder();
// Releases the documents, selections, texts and reply routing at shut-down.
void ReleaseSharedState();
// The shared state's unit in the program's unit list: the settings folder at
// start-up; at shut-down the documents (COM objects) are released while COM
// is still there.
inline constexpr TUnitEntry SharedStateUnit{"SharedState", &InitSettingsFolder, &ReleaseSharedState};
