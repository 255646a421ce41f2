#include "tests/client/FakeService.h"

#include "platform/Jpeg.h"
#include "platform/Md5.h"
#include "platform/Win32.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <cstring>


namespace {

constexpr size_t kMaxHead = 64 * 1024;
constexpr size_t kMaxBody = 64 * 1024 * 1024;  // room for the drop bench's 10 MB page, form-encoded
constexpr int kPageSize = 25;

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string FormDecode(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '+') {
      out += ' ';
    } else if (s[i] == '%' && i + 2 < s.size() + 0 && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::map<std::string, std::string> DecodeFields(const std::string& text) {
  std::map<std::string, std::string> fields;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('&', start);
    if (end == std::string::npos) end = text.size();
    const std::string pair = text.substr(start, end - start);
    const size_t eq = pair.find('=');
    if (!pair.empty()) {
      const std::string name = FormDecode(pair.substr(0, eq));
      if (!fields.count(name)) fields[name] = eq == std::string::npos ? std::string() : FormDecode(pair.substr(eq + 1));
    }
    start = end + 1;
  }
  return fields;
}

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Element(const char* name, const std::string& value) {
  return std::string("<") + name + ">" + Escape(value) + "</" + name + ">";
}

std::string Field(const std::map<std::string, std::string>& form, const char* name) {
  const auto it = form.find(name);
  return it == form.end() ? std::string() : it->second;
}

int ToInt(const std::string& s) {
  try {
    return std::stoi(s);
  } catch (...) {
    return 0;
  }
}

bool SendAll(SOCKET s, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const int n = send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

// ---- TFakeRequest ----

std::string TFakeRequest::Header(const std::string& name) const {
  for (const auto& [key, value] : Headers)
    if (Lower(key) == Lower(name)) return value;
  return std::string();
}

std::map<std::string, std::string> TFakeRequest::Form() const { return DecodeFields(Body); }

std::map<std::string, std::string> TFakeRequest::Query() const {
  const size_t q = Target.find('?');
  return q == std::string::npos ? std::map<std::string, std::string>() : DecodeFields(Target.substr(q + 1));
}

// ---- life ----

TFakeService::TFakeService(uint16_t port) : FListener(INVALID_SOCKET) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(port);
  if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(s, 32) != 0) {
    if (s != INVALID_SOCKET) closesocket(s);
    throw std::runtime_error("fake service: cannot listen on 127.0.0.1:" + std::to_string(port));
  }
  int len = sizeof addr;
  getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
  FPort = ntohs(addr.sin_port);
  FListener = s;

  // The seeded store.
  const std::string uid = AddUser("demo@mevra.test", MD5String("mevra"), "演示用户");
  const std::string notes = AddCategory(uid, "学习笔记", false);
  AddCategory(uid, "工具", false);
  AddCategory(uid, "读书", false);
  const std::string daily = AddCategory(uid, Today(), true);
  AddArticle(notes, "第一篇笔记", "<P>知识的开始</P>");
  AddArticle(notes, "Second note", "<P>plain text</P>");
  AddArticle(daily, "今天", "<P>今天的记事</P>");

  FAcceptor = std::thread([this] { AcceptLoop(); });
}

TFakeService::~TFakeService() {
  std::unique_lock<std::mutex> lock(FLock);
  FStopping = true;
  closesocket(static_cast<SOCKET>(FListener));
  for (uintptr_t s : FOpen) shutdown(static_cast<SOCKET>(s), SD_BOTH);
  FChanged.notify_all();
  lock.unlock();
  FAcceptor.join();
  // Joined, not merely counted down: a connection thread is done with this
  // object only when it has returned.
  lock.lock();
  std::map<int, std::thread> connections = std::move(FConnections);
  lock.unlock();
  for (auto& [id, thread] : connections) thread.join();
}

std::string TFakeService::Host() const { return "127.0.0.1:" + std::to_string(FPort); }

void TFakeService::AcceptLoop() {
  for (;;) {
    SOCKET client = accept(static_cast<SOCKET>(FListener), nullptr, nullptr);
    std::lock_guard<std::mutex> lock(FLock);
    if (FStopping) {
      if (client != INVALID_SOCKET) closesocket(client);
      return;
    }
    if (client == INVALID_SOCKET) continue;
    // A client that stops reading (one refusing a reply too large) must not
    // hold the connection's thread for ever: under Wine a send blocked on
    // such a peer wakes neither for its reset nor for a shutdown.
    const DWORD sendTimeoutMs = 5000;
    setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeoutMs), sizeof sendTimeoutMs);
    for (int done : FFinished) {
      FConnections[done].join();
      FConnections.erase(done);
    }
    FFinished.clear();
    FOpen.insert(client);
    const int id = FNextConnection++;
    FConnections[id] = std::thread([this, id, client] { Serve(id, client); });
  }
}

void TFakeService::Serve(int id, uintptr_t socketHandle) {
  const SOCKET s = static_cast<SOCKET>(socketHandle);
  TFakeRequest request;
  std::string data;
  bool complete = false;
  char chunk[8192];
  size_t headEnd = std::string::npos;
  size_t bodyLength = 0;
  for (;;) {
    if (headEnd == std::string::npos) {
      headEnd = data.find("\r\n\r\n");
      if (headEnd != std::string::npos) {
        std::string head = data.substr(0, headEnd);
        size_t lineEnd = head.find("\r\n");
        request.RequestLine = head.substr(0, lineEnd);
        size_t at = lineEnd == std::string::npos ? head.size() : lineEnd + 2;
        while (at < head.size()) {
          size_t end = head.find("\r\n", at);
          if (end == std::string::npos) end = head.size();
          const std::string line = head.substr(at, end - at);
          const size_t colon = line.find(':');
          if (colon != std::string::npos) {
            size_t v = colon + 1;
            while (v < line.size() && line[v] == ' ') ++v;
            request.Headers.emplace_back(line.substr(0, colon), line.substr(v));
          }
          at = end + 2;
        }
        bodyLength = static_cast<size_t>(ToInt(request.Header("Content-Length")));
        if (bodyLength > kMaxBody) break;
      } else if (data.size() > kMaxHead) {
        break;
      }
    }
    if (headEnd != std::string::npos && data.size() >= headEnd + 4 + bodyLength) {
      request.Body = data.substr(headEnd + 4, bodyLength);
      complete = true;
      break;
    }
    const int n = recv(s, chunk, sizeof chunk, 0);
    if (n <= 0) break;
    data.append(chunk, static_cast<size_t>(n));
  }

  if (complete) {
    const size_t sp1 = request.RequestLine.find(' ');
    const size_t sp2 = request.RequestLine.find(' ', sp1 + 1);
    request.Method = request.RequestLine.substr(0, sp1);
    request.Target = sp1 == std::string::npos ? std::string() : request.RequestLine.substr(sp1 + 1, sp2 - sp1 - 1);
    request.Path = request.Target.substr(0, request.Target.find('?'));
    request.Endpoint = request.Path.substr(request.Path.rfind('/') + 1);
    Reply reply = Dispatch(request);
    if (reply.Status != 0) {
      std::string head = "HTTP/1.1 " + std::to_string(reply.Status) + " " + reply.Reason + "\r\n";
      head += "Content-Type: " + reply.ContentType + "\r\n";
      for (const std::string& h : reply.ExtraHeaders) head += h + "\r\n";
      bool chunked;
      {
        std::lock_guard<std::mutex> lock(FLock);
        chunked = FChunked;
      }
      std::string body;
      if (chunked) {
        head += "Transfer-Encoding: chunked\r\n";
        // Uneven pieces, so that readers meet chunk borders inside characters.
        for (size_t at = 0; at < reply.Body.size();) {
          const size_t n = std::min<size_t>(7 + at % 5, reply.Body.size() - at);
          char size[16];
          std::snprintf(size, sizeof size, "%zx\r\n", n);
          body += size + reply.Body.substr(at, n) + "\r\n";
          at += n;
        }
        body += "0\r\n\r\n";
      } else {
        // A reply cut short promises more than it brings.
        head += "Content-Length: " + std::to_string(reply.Body.size() + (reply.CutShort ? 100 : 0)) + "\r\n";
        body = reply.Body;
      }
      head += "Connection: close\r\n\r\n";
      SendAll(s, head + body);
    }
  }
  shutdown(s, SD_SEND);
  std::lock_guard<std::mutex> lock(FLock);
  FOpen.erase(socketHandle);
  closesocket(s);
  FFinished.push_back(id);
}

TFakeService::Reply TFakeService::Dispatch(const TFakeRequest& request) {
  std::unique_lock<std::mutex> lock(FLock);
  FRequests.push_back(request);
  FChanged.notify_all();
  if (FHang && (FHangEndpoint.empty() || FHangEndpoint == request.Endpoint)) {
    FChanged.wait(lock, [this] { return FStopping || !FHang; });
    if (FStopping) {
      Reply none;
      none.Status = 0;
      return none;
    }
  }
  if (auto it = FScripts.find(request.Endpoint); it != FScripts.end() && !it->second.empty()) {
    const ScriptedReply scripted = it->second.front();
    it->second.erase(it->second.begin());
    Reply reply{scripted.Status, scripted.Status == 200 ? "OK" : "Scripted", scripted.ContentType, {}, scripted.Body};
    reply.CutShort = scripted.CutShort;
    return reply;
  }
  if (FFailCount > 0) {
    --FFailCount;
    return Reply{FFailStatus, "Service Failure", "text/html", {}, "<html><body>failure</body></html>"};
  }
  if (FNonXmlCount > 0) {
    --FNonXmlCount;
    return Reply{200, "OK", "text/plain", {}, "this is not XML at all"};
  }
  if (FRedirectCount > 0) {
    --FRedirectCount;
    return Reply{302, "Found", "text/html", {"Location: " + FRedirectLocation}, "moved"};
  }
  size_t pad = 0;
  if (FPadCount > 0) {
    --FPadCount;
    pad = FPadBytes;
  }
  Reply reply = Service(request);
  reply.Body.append(pad, ' ');
  return reply;
}

// ---- the endpoints ----

TFakeService::Reply TFakeService::Service(const TFakeRequest& request) {
  Reply reply;
  const std::string& ep = request.Endpoint;
  const auto form = request.Form();
  const auto query = request.Query();
  auto xml = [&](const std::string& inner) { reply.Body = "<?xml version=\"1.0\" encoding=\"GBK\"?>" + inner; };
  auto opReply = [&](const std::string& op, const std::string& extra) {
    xml("<con><ifs>1</ifs><op>" + op + "</op>" + extra + "</con>");
  };
  if (request.Path.rfind("/qzuser/", 0) != 0) {
    return Reply{404, "Not Found", "text/html", {}, "<html><body>not found</body></html>"};
  }

  // Picture code and the cookie that ties it to the next sign-in.
  if (ep == "yz.php") {
    std::string code = FFixedCode;
    if (code.empty()) code = std::to_string(1000 + Next() % 9000);
    const std::string cookie = NewToken();
    FPictureCodes[cookie] = code;
    reply.ContentType = "image/jpeg";
    reply.ExtraHeaders.push_back("Set-Cookie: QZYZ=" + cookie + "; path=/");
    reply.Body = PictureJpeg(code);
    return reply;
  }
  const std::string cookieHeader = request.Header("Cookie");
  auto codeMatches = [&](const std::string& typed) {
    const size_t at = cookieHeader.find("QZYZ=");
    if (at == std::string::npos) return false;
    const std::string cookie = cookieHeader.substr(at + 5, cookieHeader.find(';', at) - at - 5);
    const auto it = FPictureCodes.find(cookie);
    return it != FPictureCodes.end() && Lower(it->second) == Lower(typed);
  };
  auto signedIn = [&](const User& u, const std::string& z) {
    xml("<con><result>1</result>" + Element("uid", u.Uid) + Element("pwd", u.PasswordHash) + Element("un", u.NickName) +
        Element("em", u.Email) + "<ifreg>1</ifreg>" + Element("dm", u.SessionToken) + "<clstr>0</clstr>" +
        Element("z", z) + "</con>");
  };
  if (ep == "rl.php") {
    const std::string email = Field(query, "un");
    if (!codeMatches(Field(query, "yz"))) return xml("<con><result>-1</result></con>"), reply;
    User* user = const_cast<User*>(FindUserByEmail(email));
    if (!user) return xml("<con><result>-2</result></con>"), reply;
    if (user->PasswordHash != Field(query, "p")) return xml("<con><result>0</result></con>"), reply;
    user->SessionToken = NewToken();
    signedIn(*user, Field(query, "z"));
    return reply;
  }
  if (ep == "norrg.php") {
    if (!codeMatches(Field(form, "yz"))) return xml("<con><result>-1</result></con>"), reply;
    if (FindUserByEmail(Field(form, "email"))) return xml("<con><result>0</result></con>"), reply;
    FUsers.push_back(User{std::to_string(FNextId++), Field(form, "email"), Field(form, "pwd"), Field(form, "un"),
                          NewToken(), Field(form, "s"), Field(form, "b")});
    signedIn(FUsers.back(), Field(form, "z"));
    return reply;
  }
  if (ep == "rpwd.php") {
    const bool sent = codeMatches(Field(form, "yz")) && FindUserByEmail(Field(form, "email"));
    opReply("rpwd", std::string("<emailo>") + (sent ? "1" : "0") + "</emailo>");
    return reply;
  }
  if (ep == "h.html") {
    reply.ContentType = "text/html";
    reply.Body = "<html><head><title>帮助</title></head><body><h1>Mevra 帮助</h1></body></html>";
    return reply;
  }

  // Everything else needs a signed-in user.
  const User* user = CheckSession(form);
  if (ep == "usersta.php" || ep == "userchg.php" || ep == "ri.php") {
    reply.ContentType = "text/html";
    std::string page = "<html><body>";
    if (!user) {
      page += "<p>请先登录</p>";
    } else if (ep == "ri.php") {
      for (const Article& a : FArticles)
        if (std::to_string(a.Id) == Field(query, "cid")) page += "<h2>" + Escape(a.Title) + "</h2>" + a.Content;
    } else {
      page += "<p>" + Escape(user->NickName) + "</p><p>" + Escape(user->Email) + "</p>";
    }
    reply.Body = page + "</body></html>";
    return reply;
  }
  if (!user) {
    xml("<con><ifs>0</ifs><op>login</op></con>");
    return reply;
  }
  if (ep == "ils.php" || ep == "itls.php") return xml(CategoryXml(user->Uid, ep == "itls.php")), reply;
  if (ep == "indx.php") {
    xml("<con><n>" + std::to_string(FArticles.size()) + "</n></con>");
    return reply;
  }
  if (ep == "mlist1.php" || ep == "mtlist.php") {
    xml(ListXml(Field(query, "cid"), ToInt(Field(form, "pg")), ep == "mtlist.php"));
    return reply;
  }
  if (ep == "in.php") {
    const std::string name = Field(form, "cid");
    const bool daily = name == "今日日志";
    const std::string target = daily ? Today() : name;
    Category* c = FindCategoryByName(user->Uid, target, daily);
    const bool isNew = c == nullptr;
    const std::string id = isNew ? InsertCategory(user->Uid, target, daily) : c->Id;
    Article a;
    a.Id = FNextId++;
    a.CategoryId = id;
    a.Title = Field(form, "ti");
    a.Content = Field(form, "content");
    a.Date = Today();
    a.Root = a.Id;
    FArticles.push_back(a);
    opReply("add", std::string("<jr>") + (daily ? "1" : "0") + "</jr>" + Element("da", Today()) +
                       Element("classid", id) + Element("classnm", target) + "<classif>" +
                       (isNew ? "1" : "0") + "</classif>");
    return reply;
  }
  if (ep == "chg.php") {
    for (Article& a : FArticles)
      if (std::to_string(a.Id) == Field(query, "cid")) {
        a.Content = Field(form, "content");
        a.Title = Field(form, "ti");
      }
    opReply("chg", "");
    return reply;
  }
  if (ep == "fin.php") {
    Article a;
    a.Id = FNextId++;
    a.Root = ToInt(Field(form, "j"));
    a.Parent = a.Root;
    a.Level = ToInt(Field(form, "js"));
    for (const Article& root : FArticles)
      if (root.Id == a.Root) a.CategoryId = root.CategoryId;
    a.Title = Field(form, "ti");
    a.Content = Field(form, "content");
    a.Date = Today();
    FArticles.push_back(a);
    opReply("follow", "");
    return reply;
  }
  if (ep == "del.php") {
    const int id = ToInt(Field(form, "cid"));
    std::erase_if(FArticles, [&](const Article& a) { return a.Id == id || a.Parent == id; });
    opReply("del", "");
    return reply;
  }
  if (ep == "chgmtgrp.php") {
    const int id = ToInt(Field(form, "cid"));
    const std::string to = Field(form, "gid");
    for (Article& a : FArticles)
      if (a.Id == id || a.Parent == id) a.CategoryId = to;
    opReply("chgmgrp", Element("groupid", to));
    return reply;
  }
  if (ep == "chgmgrp.php") {
    if (Category* c = FindCategory(Field(form, "cid"))) c->Name = Field(form, "cnm");
    opReply("chggrp", "");
    return reply;
  }
  if (ep == "delmgrp.php") {
    const std::string id = Field(form, "cid");
    std::erase_if(FCategories, [&](const Category& c) { return c.Id == id && c.Uid == user->Uid; });
    std::erase_if(FArticles, [&](const Article& a) { return a.CategoryId == id; });
    opReply("delgrp", "");
    return reply;
  }
  if (ep == "addmgrp.php") {
    const std::string name = Field(form, "cnm");
    if (FindCategoryByName(user->Uid, name, false)) {
      opReply("addgrp", "<ifadd>0</ifadd>");
    } else {
      const std::string id = InsertCategory(user->Uid, name, false);
      opReply("addgrp", "<ifadd>1</ifadd>" + Element("classid", id) + Element("cnm", name));
    }
    return reply;
  }
  return Reply{404, "Not Found", "text/html", {}, "<html><body>no such endpoint</body></html>"};
}

std::string TFakeService::CategoryXml(const std::string& uid, bool daily) const {
  std::string out = "<con>";
  for (const Category& c : FCategories) {
    if (c.Uid != uid || c.Daily != daily) continue;
    const std::string& id = c.Id;
    out += "<g k=\"" + Escape(id) + "\">" + Element("id", id) + Element("n", c.Name) +
           Element("con", std::to_string(CategoryCount(c.Id))) + "</g>";
  }
  return out + "</con>";
}

std::string TFakeService::ListXml(const std::string& categoryId, int page, bool daily) const {
  std::string out = std::string("<doc><lskind>") + (daily ? "jr" : "zs") + "</lskind>" +
                    Element("lscid", categoryId);
  std::string categoryName;
  for (const Category& c : FCategories)
    if (c.Id == categoryId) categoryName = c.Name;
  int index = 0;
  for (const Article& a : FArticles) {
    if (a.CategoryId != categoryId || a.Parent != 0) continue;
    if (index++ / kPageSize != page - 1) continue;
    // A root article, followed by its appended parts.
    for (const Article& part : FArticles) {
      if (part.Id != a.Id && part.Parent != a.Id) continue;
      out += "<cont>" + Element("j", std::to_string(part.Root)) + Element("js", std::to_string(part.Level)) +
             Element("title", part.Title) + Element("date", part.Date) + "<lyid>0</lyid>" +
             Element("cnm", categoryName) + Element("cid", std::to_string(part.Id)) + "<clbz>1</clbz>" +
             Element("fst", std::to_string(part.Root)) + Element("pid", std::to_string(part.Parent)) +
             "<lx>0</lx><ly>0</ly></cont>";
    }
  }
  return out + "</doc>";
}

int TFakeService::CategoryCount(const std::string& categoryId) const {
  int n = 0;
  for (const Article& a : FArticles)
    if (a.CategoryId == categoryId && a.Parent == 0) ++n;
  return n;
}

const TFakeService::User* TFakeService::CheckSession(const std::map<std::string, std::string>& form) const {
  for (const User& u : FUsers)
    if (u.Uid == Field(form, "uid") && !u.SessionToken.empty() && u.SessionToken == Field(form, "dm")) return &u;
  return nullptr;
}

const TFakeService::User* TFakeService::FindUserByEmail(const std::string& email) const {
  for (const User& u : FUsers)
    if (Lower(u.Email) == Lower(email)) return &u;
  return nullptr;
}

TFakeService::Category* TFakeService::FindCategory(const std::string& id) {
  for (Category& c : FCategories)
    if (c.Id == id) return &c;
  return nullptr;
}

TFakeService::Category* TFakeService::FindCategoryByName(const std::string& uid, const std::string& name, bool daily) {
  for (Category& c : FCategories)
    if (c.Uid == uid && c.Daily == daily && c.Name == name) return &c;
  return nullptr;
}

std::string TFakeService::Today() const {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char text[16];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u", t.wYear, t.wMonth, t.wDay);
  return text;
}

unsigned TFakeService::Next() {
  FSeed = FSeed * 1103515245u + 12345u + static_cast<unsigned>(GetTickCount());
  return FSeed >> 8;
}

std::string TFakeService::NewToken() {
  Next();
  char text[24];
  std::snprintf(text, sizeof text, "%08x%04x", FSeed, static_cast<unsigned>(FNextId++ & 0xFFFF));
  return text;
}

// The picture code drawn in black on white, as a JPEG.
std::string TFakeService::PictureJpeg(const std::string& code) {
  TBitmap bitmap;
  bitmap.SetSize(72, 24);  // new pixels are white
  bitmap.Canvas()->Brush()->SetStyle(bsClear);
  bitmap.Canvas()->TextOut(14, 4, code);
  TJPEGImage jpeg;
  jpeg.Compress(&bitmap);
  TMemoryStream bytes;
  jpeg.SaveToStream(bytes);
  return bytes.DataString();
}

// ---- behaviour and observation ----

void TFakeService::Script(const std::string& endpoint, const ScriptedReply& reply) {
  std::lock_guard<std::mutex> lock(FLock);
  FScripts[endpoint].push_back(reply);
}

size_t TFakeService::ScriptedLeft() const {
  std::lock_guard<std::mutex> lock(FLock);
  size_t n = 0;
  for (const auto& [endpoint, replies] : FScripts) n += replies.size();
  return n;
}

void TFakeService::FailNext(int count, int status) {
  std::lock_guard<std::mutex> lock(FLock);
  FFailCount = count;
  FFailStatus = status;
}

void TFakeService::SetHang(bool hang, const std::string& endpoint) {
  std::lock_guard<std::mutex> lock(FLock);
  FHang = hang;
  FHangEndpoint = endpoint;
  FChanged.notify_all();
}

void TFakeService::AnswerNonXml(int count) {
  std::lock_guard<std::mutex> lock(FLock);
  FNonXmlCount = count;
}

void TFakeService::PadNext(int count, size_t bytes) {
  std::lock_guard<std::mutex> lock(FLock);
  FPadCount = count;
  FPadBytes = bytes;
}

void TFakeService::RedirectNext(int count, const std::string& location) {
  std::lock_guard<std::mutex> lock(FLock);
  FRedirectCount = count;
  FRedirectLocation = location;
}

void TFakeService::SetChunked(bool chunked) {
  std::lock_guard<std::mutex> lock(FLock);
  FChunked = chunked;
}

void TFakeService::SetPictureCode(const std::string& code) {
  std::lock_guard<std::mutex> lock(FLock);
  FFixedCode = code;
}

std::vector<TFakeRequest> TFakeService::Requests() const {
  std::lock_guard<std::mutex> lock(FLock);
  return FRequests;
}

size_t TFakeService::RequestCount() const {
  std::lock_guard<std::mutex> lock(FLock);
  return FRequests.size();
}

void TFakeService::ClearRequests() {
  std::lock_guard<std::mutex> lock(FLock);
  FRequests.clear();
}

bool TFakeService::WaitForRequests(size_t count, unsigned timeoutMs) const {
  std::unique_lock<std::mutex> lock(FLock);
  return FChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return FRequests.size() >= count; });
}

std::string TFakeService::AddUser(const std::string& email, const std::string& passwordHash, const std::string& nick) {
  std::lock_guard<std::mutex> lock(FLock);
  FUsers.push_back(User{std::to_string(FNextId++), email, passwordHash, nick, NewToken(), "1", ""});
  return FUsers.back().Uid;
}

std::string TFakeService::SessionOf(const std::string& uid) const {
  std::lock_guard<std::mutex> lock(FLock);
  for (const User& u : FUsers)
    if (u.Uid == uid) return u.SessionToken;
  return std::string();
}

std::string TFakeService::AddCategory(const std::string& uid, const std::string& name, bool daily) {
  std::lock_guard<std::mutex> lock(FLock);
  return InsertCategory(uid, name, daily);
}

std::string TFakeService::InsertCategory(const std::string& uid, const std::string& name, bool daily) {
  FCategories.push_back(Category{daily ? name : std::to_string(FNextId++), uid, name, daily});
  return FCategories.back().Id;
}

int TFakeService::AddArticle(const std::string& categoryId, const std::string& title, const std::string& content) {
  std::lock_guard<std::mutex> lock(FLock);
  Article a;
  a.Id = FNextId++;
  a.CategoryId = categoryId;
  a.Title = title;
  a.Content = content;
  a.Date = Today();
  a.Root = a.Id;
  FArticles.push_back(a);
  return a.Id;
}

std::vector<TFakeService::Category> TFakeService::Categories() const {
  std::lock_guard<std::mutex> lock(FLock);
  return FCategories;
}

std::vector<TFakeService::Article> TFakeService::Articles() const {
  std::lock_guard<std::mutex> lock(FLock);
  return FArticles;
}
