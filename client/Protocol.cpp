#include "client/Protocol.h"

#include "client/HttpThread.h"

#include <initializer_list>
#include <mutex>
#include <utility>

const char* const DefaultServiceHost = "127.0.0.1:8046";

namespace {

std::mutex HostLock;
AnsiString HostOverride;

// Clears RequestParams and adds one "name=value" line per pair, in order.
void Fill(std::initializer_list<std::pair<const char*, AnsiString>> params) {
  RequestParams.Clear();
  for (const auto& [name, value] : params) RequestParams.Add(AnsiString(name) + "=" + value);
}

AnsiString Flag(bool on) { return on ? "True" : "False"; }

}  // namespace

AnsiString ServiceHost() {
  {
    std::lock_guard<std::mutex> lock(HostLock);
    if (!HostOverride.empty()) return HostOverride;
  }
  char value[256];
  const DWORD n = GetEnvironmentVariableA("MEVRA_SERVICE", value, sizeof value);
  if (n > 0 && n < sizeof value) return Trim(AnsiString(value, n));
  return DefaultServiceHost;
}

void SetServiceHost(const AnsiString& host) {
  std::lock_guard<std::mutex> lock(HostLock);
  HostOverride = host;
}

AnsiString ServiceUrl(const AnsiString& endpoint) { return "http://" + ServiceHost() + "/qzuser/" + endpoint; }

AnsiString QueryValue(const AnsiString& value) { return THttpClient::EncodeFormValue(value); }

void ConfigureSignInConnection(THttpClient& http) {
  http.ReadTimeout = SignInReadTimeoutMs;
  http.AllowCookies = true;
  http.HandleRedirects = true;
  http.Accept = "text/html, */*";
  http.UserAgent = "Mozilla/3.0 (compatible; Mevra)";
}

AnsiString PictureCodeUrl() { return ServiceUrl("yz.php"); }

AnsiString SignInUrl(const AnsiString& email, const AnsiString& passwordHash, bool remember,
                     const AnsiString& pictureCode) {
  return ServiceUrl("rl.php?un=" + QueryValue(email) + "&p=" + QueryValue(passwordHash) + "&z=" + Flag(remember) +
                    "&yz=" + QueryValue(Trim(pictureCode)));
}

AnsiString PrepareRegistration(const AnsiString& email, const AnsiString& passwordHash,
                               const AnsiString& pictureCode, const AnsiString& nickName, const AnsiString& sex,
                               const AnsiString& birthday, bool remember) {
  Fill({{"email", Trim(email)},
        {"pwd", Trim(passwordHash)},
        {"yz", Trim(pictureCode)},
        {"un", Trim(nickName)},
        {"s", sex == "男" ? "1" : "2"},
        {"b", Trim(birthday)},
        {"z", Flag(remember)}});
  return ServiceUrl("norrg.php");
}

AnsiString PrepareRecovery(const AnsiString& email, const AnsiString& pictureCode) {
  Fill({{"email", Trim(email)}, {"yz", Trim(pictureCode)}});
  return ServiceUrl("rpwd.php");
}

AnsiString PrepareKnowledgeCategories() {
  Fill({{"uid", UserInfo.UserId}, {"dm", UserInfo.SessionToken}});
  return ServiceUrl("ils.php");
}

AnsiString PrepareIndex() {
  Fill({{"uid", UserInfo.UserId}, {"dm", UserInfo.SessionToken}});
  return ServiceUrl("indx.php");
}

AnsiString PrepareDailyCategories() {
  Fill({{"uid", UserInfo.UserId}, {"dm", UserInfo.SessionToken}});
  return ServiceUrl("itls.php");
}

AnsiString PrepareArticleList(bool daily, const AnsiString& categoryId, int page) {
  Fill({{"uid", UserInfo.UserId}, {"dm", UserInfo.SessionToken}, {"pg", IntToStr(page)}});
  return ServiceUrl(AnsiString(daily ? "mtlist.php" : "mlist1.php") + "?cid=" + categoryId +
                    "&p=" + IntToStr(page));
}

AnsiString PrepareAddArticle(const AnsiString& categoryName, const AnsiString& content, const AnsiString& title) {
  Fill({{"cid", categoryName},
        {"uid", UserInfo.UserId},
        {"content", content},
        {"dm", UserInfo.SessionToken},
        {"ti", title}});
  return ServiceUrl("in.php");
}

AnsiString PrepareChangeArticle(const AnsiString& articleId, const AnsiString& content,
                                const AnsiString& categoryName, const AnsiString& title) {
  Fill({{"content", content},
        {"uid", UserInfo.UserId},
        {"dm", UserInfo.SessionToken},
        {"cnm", categoryName},
        {"ti", title}});
  return ServiceUrl("chg.php?cid=" + articleId);
}

AnsiString PrepareAppendArticle(const Trighttree& article, const AnsiString& content,
                                const AnsiString& categoryName, const AnsiString& title) {
  Fill({{"uid", UserInfo.UserId},
        {"content", content},
        {"dm", UserInfo.SessionToken},
        {"cid", IntToStr(article.pid)},
        {"cnm", categoryName},
        {"j", article.j},
        {"js", IntToStr(int64_t{article.js} + 1)},
        {"fstp", IntToStr(article.fst)},
        {"ti", title}});
  return ServiceUrl("fin.php");
}

AnsiString PrepareDeleteArticle(const Trighttree& article) {
  Fill({{"uid", UserInfo.UserId},
        {"dm", UserInfo.SessionToken},
        {"cid", article.cid},
        {"csid", IntToStr(article.pid)},
        {"j", article.j}});
  return ServiceUrl("del.php");
}

AnsiString PrepareMoveArticle(const AnsiString& articleId, const AnsiString& categoryKey,
                              const AnsiString& categoryName) {
  Fill({{"uid", UserInfo.UserId},
        {"dm", UserInfo.SessionToken},
        {"cid", articleId},
        {"gid", categoryKey},
        {"gnm", categoryName}});
  return ServiceUrl("chgmtgrp.php");
}

AnsiString PrepareRenameCategory(const AnsiString& categoryKey, const AnsiString& name) {
  Fill({{"uid", UserInfo.UserId}, {"dm", UserInfo.SessionToken}, {"cid", categoryKey}, {"cnm", Trim(name)}});
  return ServiceUrl("chgmgrp.php");
}

AnsiString PrepareDeleteCategory(const AnsiString& categoryKey) {
  Fill({{"uid", UserInfo.UserId}, {"cid", categoryKey}, {"dm", UserInfo.SessionToken}});
  return ServiceUrl("delmgrp.php?un=" + QueryValue(UserInfo.Email));
}

AnsiString PrepareAddCategory(const AnsiString& name) {
  Fill({{"uid", UserInfo.UserId}, {"cnm", name}, {"dm", UserInfo.SessionToken}});
  return ServiceUrl("addmgrp.php?un=" + QueryValue(UserInfo.Email));
}

httpthread* LoadKnowledgeCategories(HWND replyWnd) {
  return StartRequest(PrepareKnowledgeCategories(), replyWnd, KnowledgeDoc);
}

httpthread* LoadIndex(HWND replyWnd) { return StartRequest(PrepareIndex(), replyWnd, IndexDoc); }

httpthread* LoadDailyCategories(HWND replyWnd) { return StartRequest(PrepareDailyCategories(), replyWnd, DailyDoc); }

httpthread* DeleteArticle() {
  return StartRequest(PrepareDeleteArticle(SelectedArticle), ReplyWindow, ReplyDoc, true);
}

httpthread* MoveArticle(const AnsiString& categoryKey, const AnsiString& categoryName) {
  return StartRequest(PrepareMoveArticle(SelectedArticle.cid, categoryKey, categoryName), ReplyWindow, ReplyDoc, true);
}

AnsiString BrowserPostData(const AnsiString& extra) {
  return "uid=" + UserInfo.UserId + "&dm=" + UserInfo.SessionToken + extra;
}

TXmlNode FindCategory(const TXmlDocument& doc, const AnsiString& key) {
  for (const TXmlNode& g : doc.SelectNodes("/con/g"))
    if (g.GetAttribute("k") == key) return g;
  return TXmlNode();
}

AnsiString ReplyText(const TXmlDocument& doc, const AnsiString& path) {
  const TXmlNode node = doc.SelectSingleNode(path);
  if (!node) throw EXmlError("The reply has no \"" + path + "\"");
  return node.Text();
}

AnsiString ReplyTextDef(const TXmlDocument& doc, const AnsiString& path, const AnsiString& fallback) {
  const TXmlNode node = doc.SelectSingleNode(path);
  return node ? node.Text() : fallback;
}
