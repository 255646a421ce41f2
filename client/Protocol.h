// The service protocol: where the service is, every endpoint with its
// parameters in the order sent, and safe reading of the reply documents.
// A Prepare… function clears and refills RequestParams and answers the URL;
// the caller then starts a worker (StartRequest) or posts on the sign-in
// connection. Values are 8-bit text in the system code page.
#pragma once

#include "client/SharedState.h"
#include "platform/HttpClient.h"

// The service host with its port, unless overridden.
extern const char* const DefaultServiceHost;  // "127.0.0.1:8046"
// The host in use: SetServiceHost's value, else the environment variable
// MEVRA_SERVICE, else DefaultServiceHost.
AnsiString ServiceHost();
// Overrides the host for this process ("" returns to the environment/default).
void SetServiceHost(const AnsiString& host);
// "http://" + host + "/qzuser/" + endpoint (with its query).
AnsiString ServiceUrl(const AnsiString& endpoint);
// A value the user typed, placed in a query string: encoded as a form value,
// so an e-mail address with "&" or "#" (or Chinese text) reaches the service
// as typed. Ids and page numbers from the service are placed as they are.
AnsiString QueryValue(const AnsiString& value);

// The sign-in window's connection: 20000 ms read time-out, cookies kept,
// redirects followed, Accept "text/html, */*" and the client's user agent.
void ConfigureSignInConnection(THttpClient& http);
constexpr uint32_t SignInReadTimeoutMs = 20000;

// ---- sign-in connection ----
AnsiString PictureCodeUrl();  // "yz.php", a JPEG
AnsiString SignInUrl(const AnsiString& email, const AnsiString& passwordHash, bool remember,
                     const AnsiString& pictureCode);
// "norrg.php"; `sex` is the text of the sex box ("男" sends "1", anything else "2").
AnsiString PrepareRegistration(const AnsiString& email, const AnsiString& passwordHash,
                               const AnsiString& pictureCode, const AnsiString& nickName, const AnsiString& sex,
                               const AnsiString& birthday, bool remember);
AnsiString PrepareRecovery(const AnsiString& email, const AnsiString& pictureCode);  // "rpwd.php"

// ---- worker requests ("uid" and "dm" come from UserInfo) ----
AnsiString PrepareKnowledgeCategories();  // "ils.php" into KnowledgeDoc
AnsiString PrepareIndex();                // "indx.php" into IndexDoc
AnsiString PrepareDailyCategories();      // "itls.php" into DailyDoc
// "mlist1.php" (knowledge) or "mtlist.php" (daily) for page `page` (from 1).
AnsiString PrepareArticleList(bool daily, const AnsiString& categoryId, int page);
AnsiString PrepareAddArticle(const AnsiString& categoryName, const AnsiString& content, const AnsiString& title);
AnsiString PrepareChangeArticle(const AnsiString& articleId, const AnsiString& content,
                                const AnsiString& categoryName, const AnsiString& title);
// "fin.php": appends a part to `article`.
AnsiString PrepareAppendArticle(const Trighttree& article, const AnsiString& content,
                                const AnsiString& categoryName, const AnsiString& title);
AnsiString PrepareDeleteArticle(const Trighttree& article);  // "del.php"
AnsiString PrepareMoveArticle(const AnsiString& articleId, const AnsiString& categoryKey,
                              const AnsiString& categoryName);  // "chgmtgrp.php"
AnsiString PrepareRenameCategory(const AnsiString& categoryKey, const AnsiString& name);  // "chgmgrp.php"
AnsiString PrepareDeleteCategory(const AnsiString& categoryKey);  // "delmgrp.php"
AnsiString PrepareAddCategory(const AnsiString& name);            // "addmgrp.php"

// The three loads of the sign-in sequence.
httpthread* LoadKnowledgeCategories(HWND replyWnd);
httpthread* LoadIndex(HWND replyWnd);
httpthread* LoadDailyCategories(HWND replyWnd);
// Deletes SelectedArticle; the worker becomes the busy guard.
httpthread* DeleteArticle();
// Moves SelectedArticle into the knowledge category `categoryKey` named
// `categoryName`; the worker becomes the busy guard (a move is not refused
// while another runs).
httpthread* MoveArticle(const AnsiString& categoryKey, const AnsiString& categoryName);

// ---- viewer pages ----
// Body of a viewer navigation with POST data: "uid=" U "&dm=" D + extra.
AnsiString BrowserPostData(const AnsiString& extra);

// ---- reading replies ----
// The `g` element whose attribute k equals `key`, or an empty node. Compares
// attributes instead of building a query, so no key text can break it.
TXmlNode FindCategory(const TXmlDocument& doc, const AnsiString& key);
// Text of the node at `path`; raises EXmlError naming the path when missing.
AnsiString ReplyText(const TXmlDocument& doc, const AnsiString& path);
// Text of the node at `path`, or `fallback` when missing.
AnsiString ReplyTextDef(const TXmlDocument& doc, const AnsiString& path, const AnsiString& fallback = AnsiString());
