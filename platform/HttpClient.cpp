#include "platform/HttpClient.h"

#include "platform/Win32.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <mutex>

const TClassInfo THttpClient::ClassInfo{"THttpClient", &TObject::ClassInfo,
                                        [](TObject*) -> TObject* { return new THttpClient; }};

namespace {

constexpr size_t kMaxHeaderLine = 16 * 1024;
constexpr size_t kMaxHeaderCount = 200;
constexpr int kMaxInterimReplies = 32;

void StartWinsock() {
  static std::once_flag once;
  std::call_once(once, [] {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw EHttpError("Winsock could not be started");
  });
}

[[noreturn]] void RaiseSocketError(const char* what) {
  throw EHttpError(Format("%s (socket error # %d)", what, WSAGetLastError()));
}

[[noreturn]] void TooLarge(uint64_t limit) {
  throw EHttpError(Format("The reply is larger than %llu bytes", static_cast<unsigned long long>(limit)));
}

bool IsDigitText(const AnsiString& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool THttpClient::WaitSocket(uintptr_t socket, bool forWrite, uint32_t timeoutMs) {
  const auto s = static_cast<SOCKET>(socket);
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  fd_set errors;
  FD_ZERO(&errors);
  FD_SET(s, &errors);
  timeval tv{static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
  const int n = select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, &errors, timeoutMs ? &tv : nullptr);
  if (n == SOCKET_ERROR) RaiseSocketError("Socket wait failed");
  return n > 0;
}

bool THttpClient::Wait(bool forWrite, uint32_t timeoutMs, uintptr_t socket) {
  return OnSocketWait ? OnSocketWait(socket, forWrite, timeoutMs) : WaitSocket(socket, forWrite, timeoutMs);
}

THttpClient::THttpClient() : FSocket(INVALID_SOCKET) {}

THttpClient::~THttpClient() { Disconnect(); }

void THttpClient::Disconnect() {
  if (FSocket != INVALID_SOCKET) {
    closesocket(static_cast<SOCKET>(FSocket));
    FSocket = INVALID_SOCKET;
  }
  FBuffer.clear();
  FBufferPos = 0;
}

AnsiString THttpClient::EncodeFormValue(const AnsiString& value) {
  static const char hex[] = "0123456789ABCDEF";
  AnsiString out;
  out.reserve(value.size() * 3);
  for (unsigned char c : value) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      out += static_cast<char>(c);
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

AnsiString THttpClient::EncodeForm(const TStrings& params) {
  AnsiString body;
  for (int i = 0; i < params.Count(); ++i) {
    const AnsiString line = params[i];
    const size_t eq = line.find('=');
    if (eq == AnsiString::npos) {
      body += line;
    } else {
      body.append(line, 0, eq + 1);
      body += EncodeFormValue(line.substr(eq + 1));
    }
    if (params.Count() > 1) body += '&';
  }
  return body;
}

THttpClient::TUrl THttpClient::ParseUrl(const AnsiString& url) {
  if (CompareText(Copy(url, 1, 7), "http://") != 0) throw EHttpError("Unsupported URL: " + url);
  const AnsiString rest = url.substr(7);
  const size_t slash = rest.find('/');
  const AnsiString authority = rest.substr(0, slash);
  TUrl result;
  result.Path = slash == AnsiString::npos ? AnsiString("/") : rest.substr(slash);
  const size_t colon = authority.rfind(':');
  result.Host = authority.substr(0, colon);
  if (colon != AnsiString::npos) {
    const AnsiString port = authority.substr(colon + 1);
    if (!IsDigitText(port) || port.size() > 5 || std::stoi(port) < 1 || std::stoi(port) > 65535)
      throw EHttpError("Invalid port in URL: " + url);
    result.Port = static_cast<uint16_t>(std::stoi(port));
  }
  if (result.Host.empty()) throw EHttpError("No host in URL: " + url);
  for (unsigned char c : result.Path)
    if (c <= 0x20 || c == 0x7F) throw EHttpError("Invalid character in URL: " + url);
  return result;
}

namespace {

// The parts of a URI reference (RFC 3986, appendix B); a fragment is dropped.
struct TReference {
  AnsiString Scheme;  // with its colon; "" when absent
  bool HasAuthority = false;
  AnsiString Authority;
  AnsiString Path;
  bool HasQuery = false;
  AnsiString Query;  // without its "?"
};

TReference SplitReference(AnsiString text) {
  TReference r;
  text = text.substr(0, text.find('#'));
  const size_t colon = text.find(':');
  if (colon != AnsiString::npos && colon > 0 && colon < text.find_first_of("/?") &&
      std::isalpha(static_cast<unsigned char>(text[0]))) {
    r.Scheme = text.substr(0, colon + 1);
    text.erase(0, colon + 1);
  }
  if (text.compare(0, 2, "//") == 0) {
    const size_t end = text.find_first_of("/?", 2);
    r.HasAuthority = true;
    r.Authority = text.substr(2, end == AnsiString::npos ? AnsiString::npos : end - 2);
    text.erase(0, end == AnsiString::npos ? text.size() : end);
  }
  const size_t question = text.find('?');
  r.Path = text.substr(0, question);
  if (question != AnsiString::npos) {
    r.HasQuery = true;
    r.Query = text.substr(question + 1);
  }
  return r;
}

// RFC 3986, section 5.2.4.
AnsiString RemoveDotSegments(AnsiString in) {
  AnsiString out;
  while (!in.empty()) {
    if (in.compare(0, 3, "../") == 0) {
      in.erase(0, 3);
    } else if (in.compare(0, 2, "./") == 0) {
      in.erase(0, 2);
    } else if (in.compare(0, 3, "/./") == 0) {
      in.erase(0, 2);
    } else if (in == "/.") {
      in = "/";
    } else if (in.compare(0, 4, "/../") == 0 || in == "/..") {
      in = in.size() == 3 ? AnsiString("/") : in.substr(3);
      const size_t last = out.rfind('/');
      out.erase(last == AnsiString::npos ? 0 : last);
    } else if (in == "." || in == "..") {
      in.clear();
    } else {
      const size_t next = in.find('/', 1);
      out += in.substr(0, next);
      in.erase(0, next == AnsiString::npos ? in.size() : next);
    }
  }
  return out;
}

}  // namespace

AnsiString THttpClient::ResolveUrl(const AnsiString& base, const AnsiString& reference) {
  const TReference b = SplitReference(base), r = SplitReference(reference);
  TReference t;
  if (!r.Scheme.empty()) {
    t = r;
    t.Path = RemoveDotSegments(r.Path);
  } else {
    t.Scheme = b.Scheme;
    if (r.HasAuthority) {
      t.HasAuthority = true;
      t.Authority = r.Authority;
      t.Path = RemoveDotSegments(r.Path);
      t.HasQuery = r.HasQuery;
      t.Query = r.Query;
    } else {
      t.HasAuthority = b.HasAuthority;
      t.Authority = b.Authority;
      if (r.Path.empty()) {
        t.Path = b.Path;
        t.HasQuery = r.HasQuery || b.HasQuery;
        t.Query = r.HasQuery ? r.Query : b.Query;
      } else {
        if (r.Path[0] == '/') {
          t.Path = RemoveDotSegments(r.Path);
        } else if (b.HasAuthority && b.Path.empty()) {
          t.Path = RemoveDotSegments("/" + r.Path);
        } else {
          const size_t slash = b.Path.rfind('/');
          t.Path = RemoveDotSegments((slash == AnsiString::npos ? AnsiString() : b.Path.substr(0, slash + 1)) + r.Path);
        }
        t.HasQuery = r.HasQuery;
        t.Query = r.Query;
      }
    }
  }
  AnsiString result = t.Scheme;
  if (t.HasAuthority) result += "//" + t.Authority;
  if (t.HasAuthority && t.Path.empty()) result += "/";
  result += t.Path;
  if (t.HasQuery) result += "?" + t.Query;
  return result;
}

AnsiString THttpClient::ResponseHeader(const AnsiString& name) const {
  for (const auto& [key, value] : FResponseHeaders)
    if (SameText(key, name)) return value;
  return AnsiString();
}

AnsiString THttpClient::Get(const AnsiString& url) { return Execute(url, nullptr); }

void THttpClient::Get(const AnsiString& url, TStream& target) {
  const AnsiString body = Execute(url, nullptr);
  target.WriteBuffer(body.data(), static_cast<int64_t>(body.size()));
}

AnsiString THttpClient::Post(const AnsiString& url, const TStrings& params) {
  const AnsiString body = EncodeForm(params);
  return Execute(url, &body);
}

AnsiString THttpClient::Execute(AnsiString url, const AnsiString* formBody) {
  for (int redirects = 0;; ++redirects) {
    const TUrl target = ParseUrl(url);
    AnsiString body = RoundTrip(target, formBody ? "POST" : "GET", formBody);
    FFinalUrl = url;
    const bool redirect = FResponseCode == 301 || FResponseCode == 302 || FResponseCode == 303 ||
                          FResponseCode == 307 || FResponseCode == 308;
    const AnsiString location = ResponseHeader("Location");
    if (FResponseCode >= 400)
      throw EHttpProtocolError(FResponseCode, Format("HTTP/1.1 %d %s", FResponseCode, FResponseText.c_str()), body);
    if (!redirect || !HandleRedirects || location.empty()) return body;
    if (redirects >= RedirectMaximum) throw EHttpError("Too many redirects");
    url = ResolveUrl(url, Trim(location));
    // A form is posted once; the page the service redirects to is fetched.
    if (FResponseCode != 307 && FResponseCode != 308) formBody = nullptr;
  }
}

void THttpClient::Connect(const TUrl& url) {
  StartWinsock();
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  if (getaddrinfo(url.Host.c_str(), IntToStr(url.Port).c_str(), &hints, &found) != 0 || !found)
    throw EHttpError("Host not found: " + url.Host);
  SOCKET s = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
  if (s == INVALID_SOCKET) {
    freeaddrinfo(found);
    RaiseSocketError("Socket could not be created");
  }
  // Connect without blocking so that a dead host cannot hold the caller for
  // the system's long connect time-out.
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  int rc = connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen));
  freeaddrinfo(found);
  if (rc == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK) {
    closesocket(s);
    RaiseSocketError(("Could not connect to " + url.Host + ":" + IntToStr(url.Port)).c_str());
  }
  if (rc == SOCKET_ERROR) {
    const bool ready = Wait(true, ConnectTimeout, s);
    int error = 0;
    int len = sizeof error;
    getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &len);
    if (!ready || error != 0) {
      closesocket(s);
      if (!ready) throw EHttpTimeout("Connect timed out");
      throw EHttpError(Format("Could not connect to %s:%u (socket error # %d)", url.Host.c_str(),
                              unsigned{url.Port}, error));
    }
  }
  nonBlocking = 0;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  FSocket = s;
  FBuffer.clear();
  FBufferPos = 0;
}

void THttpClient::SendAll(const AnsiString& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const int chunk = static_cast<int>(std::min<size_t>(bytes.size() - sent, 1 << 20));
    const int n = send(static_cast<SOCKET>(FSocket), bytes.data() + sent, chunk, 0);
    if (n == SOCKET_ERROR) RaiseSocketError("Send failed");
    sent += static_cast<size_t>(n);
  }
}

bool THttpClient::Fill() {
  if (FBufferPos > 0) {
    FBuffer.erase(0, FBufferPos);
    FBufferPos = 0;
  }
  if (!Wait(false, ReadTimeout, FSocket)) throw EHttpTimeout("Read timed out.");
  char chunk[16384];
  const int n = recv(static_cast<SOCKET>(FSocket), chunk, sizeof chunk, 0);
  if (n == SOCKET_ERROR) RaiseSocketError("Receive failed");
  if (n == 0) return false;
  FBuffer.append(chunk, static_cast<size_t>(n));
  return true;
}

AnsiString THttpClient::ReadLine() {
  for (;;) {
    const size_t eol = FBuffer.find('\n', FBufferPos);
    if (eol != AnsiString::npos) {
      if (eol - FBufferPos > kMaxHeaderLine) throw EHttpError("Reply header line too long");
      AnsiString line = FBuffer.substr(FBufferPos, eol - FBufferPos);
      FBufferPos = eol + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (FBuffer.size() - FBufferPos > kMaxHeaderLine) throw EHttpError("Reply header line too long");
    if (!Fill()) throw EHttpError("Connection closed gracefully.");
  }
}

void THttpClient::ReadExact(size_t count, AnsiString& target) {
  while (count > 0) {
    if (FBufferPos == FBuffer.size() && !Fill()) throw EHttpError("Connection closed before the reply was complete");
    const size_t take = std::min(count, FBuffer.size() - FBufferPos);
    target.append(FBuffer, FBufferPos, take);
    FBufferPos += take;
    count -= take;
  }
}

void THttpClient::ReadReply(const TUrl& url, bool headRequest, AnsiString& body) {
  // 1xx informational replies precede the real one; a server that sends
  // nothing else is cut off rather than followed for ever.
  for (int interim = 0;; ++interim) {
    if (interim > kMaxInterimReplies) throw EHttpError("Too many interim replies");
    // Status line: "HTTP/1.x nnn text".
    AnsiString status;
    do {
      status = ReadLine();
    } while (status.empty());
    if (Copy(status, 1, 5) != "HTTP/" || status.size() < 12 || status[8] != ' ' || !IsDigitText(status.substr(9, 3)))
      throw EHttpError("Invalid reply status line: " + Copy(status, 1, 80));
    FResponseCode = std::stoi(status.substr(9, 3));
    FResponseText = Trim(status.substr(12));
    FResponseHeaders.clear();
    for (;;) {
      const AnsiString line = ReadLine();
      if (line.empty()) break;
      if (FResponseHeaders.size() >= kMaxHeaderCount) throw EHttpError("Too many reply headers");
      const size_t colon = line.find(':');
      if (colon == AnsiString::npos || colon == 0) throw EHttpError("Invalid reply header: " + Copy(line, 1, 80));
      FResponseHeaders.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
      if (SameText(FResponseHeaders.back().first, "Set-Cookie")) StoreCookie(FResponseHeaders.back().second, url);
    }
    if (FResponseCode < 100 || FResponseCode >= 200) break;
  }
  body.clear();
  if (headRequest || FResponseCode == 204 || FResponseCode == 304) return;
  const auto limit = static_cast<uint64_t>(MaxResponseSize);
  if (LowerCase(ResponseHeader("Transfer-Encoding")).find("chunked") != AnsiString::npos) {
    for (;;) {
      AnsiString sizeLine = ReadLine();
      sizeLine = Trim(sizeLine.substr(0, sizeLine.find(';')));
      uint64_t size = 0;
      if (sizeLine.empty() || sizeLine.size() > 8) throw EHttpError("Invalid chunk size in reply");
      for (char c : sizeLine) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else throw EHttpError("Invalid chunk size in reply");
        size = size * 16 + static_cast<uint64_t>(digit);
      }
      if (size == 0) break;
      if (body.size() + size > limit) TooLarge(limit);
      ReadExact(static_cast<size_t>(size), body);
      if (!ReadLine().empty()) throw EHttpError("Invalid chunk end in reply");
    }
    while (!ReadLine().empty()) {
    }  // trailer headers are not used
    return;
  }
  const AnsiString length = ResponseHeader("Content-Length");
  if (!length.empty()) {
    if (!IsDigitText(length) || length.size() > 18) throw EHttpError("Invalid Content-Length in reply");
    const uint64_t size = std::stoull(length);
    if (size > limit) TooLarge(limit);
    ReadExact(static_cast<size_t>(size), body);
    return;
  }
  // Neither: the body runs to the end of the connection.
  for (;;) {
    body.append(FBuffer, FBufferPos, AnsiString::npos);
    FBuffer.clear();
    FBufferPos = 0;
    if (body.size() > limit) TooLarge(limit);
    if (!Fill()) break;
  }
}

AnsiString THttpClient::RoundTrip(const TUrl& url, const AnsiString& method, const AnsiString* formBody) {
  Disconnect();
  FResponseCode = 0;
  FResponseText.clear();
  FResponseHeaders.clear();
  Connect(url);
  try {
    AnsiString request = method + " " + url.Path + " HTTP/1.1\r\n";
    request += "Host: " + url.Host + (url.Port == 80 ? AnsiString() : ":" + IntToStr(url.Port)) + "\r\n";
    if (!Accept.empty()) request += "Accept: " + Accept + "\r\n";
    if (!UserAgent.empty()) request += "User-Agent: " + UserAgent + "\r\n";
    const AnsiString cookies = AllowCookies ? CookieHeader(url) : AnsiString();
    if (!cookies.empty()) request += "Cookie: " + cookies + "\r\n";
    if (formBody) {
      request += "Content-Type: application/x-www-form-urlencoded\r\n";
      request += "Content-Length: " + IntToStr(static_cast<int64_t>(formBody->size())) + "\r\n";
    }
    request += "Connection: close\r\n\r\n";
    if (formBody) request += *formBody;
    SendAll(request);
    AnsiString body;
    ReadReply(url, method == "HEAD", body);
    Disconnect();
    return body;
  } catch (...) {
    Disconnect();
    throw;
  }
}

namespace {

bool IsIpAddress(const AnsiString& host) {
  return !host.empty() && host.find_first_not_of("0123456789.") == AnsiString::npos;
}

// RFC 6265, section 5.1.3: the host is the domain or a host inside it.
bool DomainMatches(const AnsiString& host, const AnsiString& domain) {
  if (host == domain) return true;
  return !IsIpAddress(host) && host.size() > domain.size() + 1 &&
         host.compare(host.size() - domain.size(), domain.size(), domain) == 0 &&
         host[host.size() - domain.size() - 1] == '.';
}

// RFC 6265, section 5.1.4: the cookie's path is the request's or a folder of it.
bool PathMatches(const AnsiString& requestPath, const AnsiString& cookiePath) {
  if (requestPath.compare(0, cookiePath.size(), cookiePath) != 0) return false;
  return requestPath.size() == cookiePath.size() || cookiePath.back() == '/' || requestPath[cookiePath.size()] == '/';
}

AnsiString PathOf(const AnsiString& target) {
  const AnsiString path = target.substr(0, target.find('?'));
  return path.empty() ? AnsiString("/") : path;
}

}  // namespace

void THttpClient::StoreCookie(const AnsiString& header, const TUrl& url) {
  if (!AllowCookies) return;
  const AnsiString host = LowerCase(url.Host);
  THttpCookie cookie;
  cookie.Domain = host;
  bool expired = false;
  size_t start = 0;
  bool first = true;
  while (start <= header.size()) {
    size_t end = header.find(';', start);
    if (end == AnsiString::npos) end = header.size();
    const AnsiString part = Trim(header.substr(start, end - start));
    const size_t eq = part.find('=');
    const AnsiString name = Trim(part.substr(0, eq));
    const AnsiString value = eq == AnsiString::npos ? AnsiString() : Trim(part.substr(eq + 1));
    if (first) {
      if (eq == AnsiString::npos || name.empty()) return;  // not a cookie
      cookie.Name = name;
      cookie.Value = value;
      first = false;
    } else if (SameText(name, "Path")) {
      cookie.Path = value;
    } else if (SameText(name, "Domain") && !value.empty()) {
      AnsiString domain = LowerCase(value);
      if (domain[0] == '.') domain.erase(0, 1);
      // A service may name its own domain, never another one.
      if (domain.empty() || !DomainMatches(host, domain)) return;
      cookie.Domain = domain;
      cookie.HostOnly = domain == host;
    } else if (SameText(name, "Max-Age")) {
      expired = !value.empty() && (value[0] == '-' || value == "0");
    }
    start = end + 1;
  }
  if (cookie.Path.empty() || cookie.Path[0] != '/') cookie.Path = "/";
  auto same = [&](const THttpCookie& c) {
    return c.Name == cookie.Name && c.Domain == cookie.Domain && c.Path == cookie.Path;
  };
  FCookies.erase(std::remove_if(FCookies.begin(), FCookies.end(), same), FCookies.end());
  if (!expired) FCookies.push_back(cookie);
}

AnsiString THttpClient::CookieHeader(const TUrl& url) const {
  const AnsiString host = LowerCase(url.Host);
  const AnsiString path = PathOf(url.Path);
  AnsiString header;
  for (const THttpCookie& c : FCookies) {
    if (c.HostOnly ? host != c.Domain : !DomainMatches(host, c.Domain)) continue;
    if (!PathMatches(path, c.Path)) continue;
    if (!header.empty()) header += "; ";
    header += c.Name + "=" + c.Value;
  }
  return header;
}
