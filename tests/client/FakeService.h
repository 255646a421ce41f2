// A stand-in for the knowledge service: a small HTTP server on 127.0.0.1 that
// serves every "/qzuser/" endpoint from an in-memory store of users,
// categories and articles, answers in GBK, records every request as it came,
// and can be told to fail, hang or answer something that is not XML.
// Tests run it on a thread of their own process; fakeservice.exe runs it as a
// program for trying the client by hand.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

struct TFakeRequest {
  std::string RequestLine;  // "POST /qzuser/in.php HTTP/1.1"
  std::string Method;
  std::string Target;       // path and query as sent
  std::string Path;         // without the query
  std::string Endpoint;     // "in.php"
  std::vector<std::pair<std::string, std::string>> Headers;
  std::string Body;         // raw bytes
  // First header of that name (any case), "" when absent.
  std::string Header(const std::string& name) const;
  // Decoded form fields (body) and query fields (URL).
  std::map<std::string, std::string> Form() const;
  std::map<std::string, std::string> Query() const;
};

class TFakeService {
public:
  struct User {
    std::string Uid, Email, PasswordHash, NickName, SessionToken, Sex, Birthday;
  };
  struct Category {
    std::string Id;  // a daily category's id is its date, as is its name
    std::string Uid;
    std::string Name;
    bool Daily = false;
  };
  struct Article {
    int Id = 0;
    std::string CategoryId;
    std::string Title, Content, Date;
    int Level = 0;   // js
    int Root = 0;    // j and fst: the article a part was appended to (itself for a root)
    int Parent = 0;  // pid
  };

  // Listens on 127.0.0.1:`port` (0: any free port) with a seeded store: the
  // user "demo@mevra.test" with the password "mevra", three knowledge
  // categories, one daily category and a few articles.
  explicit TFakeService(uint16_t port = 0);
  ~TFakeService();
  TFakeService(const TFakeService&) = delete;
  TFakeService& operator=(const TFakeService&) = delete;

  uint16_t Port() const { return FPort; }
  // "127.0.0.1:port", the form the client's service host setting takes.
  std::string Host() const;

  // ---- behaviour ----
  // The next `count` requests answer `status` (500 by default).
  void FailNext(int count, int status = 500);
  // While set, requests (to `endpoint` only, when one is named) are read but
  // never answered.
  void SetHang(bool hang, const std::string& endpoint = std::string());
  // The next `count` requests answer a plain-text body.
  void AnswerNonXml(int count);
  // The next `count` replies carry `bytes` spaces after their XML.
  void PadNext(int count, size_t bytes);
  // The next `count` requests answer 302 to `location`.
  void RedirectNext(int count, const std::string& location);
  // Answer bodies in chunked transfer coding instead of Content-Length.
  void SetChunked(bool chunked);
  // A reply given once, to the next request of `endpoint` ("rl.php"), in
  // place of what the service would answer; replies scripted for the same
  // endpoint are given in order. A reply cut short announces more bytes
  // than it sends, then closes the connection.
  struct ScriptedReply {
    int Status = 200;
    std::string Body;
    bool CutShort = false;
    std::string ContentType = "text/xml";
  };
  void Script(const std::string& endpoint, const ScriptedReply& reply);
  // Scripted replies not yet given.
  size_t ScriptedLeft() const;
  // Picture codes handed out by "yz.php" from now on ("" = random digits).
  void SetPictureCode(const std::string& code);

  // ---- observation ----
  std::vector<TFakeRequest> Requests() const;
  size_t RequestCount() const;
  void ClearRequests();
  // Waits until at least `count` requests arrived; false after `timeoutMs`.
  bool WaitForRequests(size_t count, unsigned timeoutMs) const;

  // ---- store ----
  const User& DemoUser() const { return FUsers.front(); }
  std::string AddUser(const std::string& email, const std::string& passwordHash, const std::string& nick);
  // The session token ("dm") of a user, as a successful sign-in would give it.
  std::string SessionOf(const std::string& uid) const;
  std::string AddCategory(const std::string& uid, const std::string& name, bool daily);
  int AddArticle(const std::string& categoryId, const std::string& title, const std::string& content);
  std::vector<Category> Categories() const;
  std::vector<Article> Articles() const;

private:
  struct Reply {
    int Status = 200;
    std::string Reason = "OK";
    std::string ContentType = "text/xml";
    std::vector<std::string> ExtraHeaders;
    std::string Body;
    bool CutShort = false;
  };
  void AcceptLoop();
  void Serve(int id, uintptr_t socket);
  Reply Dispatch(const TFakeRequest& request);
  Reply Service(const TFakeRequest& request);
  std::string PictureJpeg(const std::string& code);
  std::string Today() const;
  const User* CheckSession(const std::map<std::string, std::string>& form) const;
  const User* FindUserByEmail(const std::string& email) const;
  std::string CategoryXml(const std::string& uid, bool daily) const;
  std::string ListXml(const std::string& categoryId, int page, bool daily) const;
  int CategoryCount(const std::string& categoryId) const;
  std::string InsertCategory(const std::string& uid, const std::string& name, bool daily);
  Category* FindCategory(const std::string& id);
  Category* FindCategoryByName(const std::string& uid, const std::string& name, bool daily);
  std::string NewToken();
  unsigned Next();

  uintptr_t FListener;
  uint16_t FPort = 0;
  std::thread FAcceptor;
  mutable std::mutex FLock;
  mutable std::condition_variable FChanged;
  bool FStopping = false;
  std::map<int, std::thread> FConnections;  // one thread per connection
  std::vector<int> FFinished;               // connections whose thread has ended
  int FNextConnection = 0;
  std::set<uintptr_t> FOpen;                // their sockets, shut down on stop
  std::vector<TFakeRequest> FRequests;
  int FFailCount = 0;
  int FFailStatus = 500;
  bool FHang = false;
  std::string FHangEndpoint;
  int FNonXmlCount = 0;
  int FPadCount = 0;
  size_t FPadBytes = 0;
  int FRedirectCount = 0;
  std::string FRedirectLocation;
  bool FChunked = false;
  std::string FFixedCode;
  std::map<std::string, std::vector<ScriptedReply>> FScripts;
  std::map<std::string, std::string> FPictureCodes;  // cookie -> code
  unsigned FSeed = 12345;
  int FNextId = 100;
  std::vector<User> FUsers;
  std::vector<Category> FCategories;
  std::vector<Article> FArticles;
};
