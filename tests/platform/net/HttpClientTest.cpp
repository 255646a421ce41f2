// The HTTP client against a scripted server on 127.0.0.1 that answers each
// connection with fixed bytes, so framing, errors and cookies are exact.
#include "platform/HttpClient.h"

#include <winsock2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

// Answers the n-th connection with replies[n] (the last one repeats); a reply
// of "HANG" reads the request and then answers nothing until the server stops.
class TScriptedServer {
public:
  explicit TScriptedServer(std::vector<std::string> replies) : FReplies(std::move(replies)) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    FListener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(FListener, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(FListener, 8);
    int len = sizeof addr;
    getsockname(FListener, reinterpret_cast<sockaddr*>(&addr), &len);
    FPort = ntohs(addr.sin_port);
    FThread = std::thread([this] { Run(); });
  }
  ~TScriptedServer() {
    FStopping = true;
    closesocket(FListener);
    FThread.join();
  }
  uint16_t Port() const { return FPort; }
  std::string Url(const std::string& path = "/x") const { return "http://127.0.0.1:" + std::to_string(FPort) + path; }
  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> lock(FLock);
    return FRequests;
  }

private:
  void Run() {
    for (size_t n = 0;; ++n) {
      SOCKET s = accept(FListener, nullptr, nullptr);
      if (s == INVALID_SOCKET) return;
      // Read the head and, when announced, the body.
      std::string data;
      char chunk[4096];
      for (;;) {
        const size_t head = data.find("\r\n\r\n");
        if (head != std::string::npos) {
          const size_t cl = data.find("Content-Length: ");
          const size_t length = cl == std::string::npos || cl > head ? 0 : std::stoul(data.substr(cl + 16));
          if (data.size() >= head + 4 + length) break;
        }
        const int got = recv(s, chunk, sizeof chunk, 0);
        if (got <= 0) break;
        data.append(chunk, static_cast<size_t>(got));
      }
      {
        std::lock_guard<std::mutex> lock(FLock);
        FRequests.push_back(data);
      }
      const std::string& reply = FReplies[std::min(n, FReplies.size() - 1)];
      if (reply == "HANG") {
        while (!FStopping) Sleep(20);
      } else {
        send(s, reply.data(), static_cast<int>(reply.size()), 0);
      }
      shutdown(s, SD_SEND);
      closesocket(s);
    }
  }

  std::vector<std::string> FReplies;
  SOCKET FListener;
  uint16_t FPort = 0;
  std::thread FThread;
  std::atomic<bool> FStopping{false};
  std::mutex FLock;
  std::vector<std::string> FRequests;
};

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

std::string Ok(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

TEST(HttpClient, ReadsBodiesInEveryFraming) {
  struct Case {
    const char* name;
    std::string reply;
    std::string body;
  } cases[] = {
      {"content length", Ok("<con>1</con>"), "<con>1</con>"},
      {"content length, extra bytes ignored", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabcdef", "abc"},
      {"chunked with extension and trailer",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4;x=1\r\n<con\r\n9\r\n>\xBD\xF1</con>\r\n0\r\nX-T: 1\r\n\r\n",
       "<con>\xBD\xF1</con>"},
      {"until the connection closes", "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n\r\nall of it", "all of it"},
      {"interim reply first", "HTTP/1.1 100 Continue\r\n\r\n" + Ok("x"), "x"},
      {"several interim replies", Repeat("HTTP/1.1 102 Processing\r\nX-P: 1\r\n\r\n", 3) + Ok("y"), "y"},
      {"no body on 204", "HTTP/1.1 204 No Content\r\nContent-Length: 5\r\n\r\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TScriptedServer server({c.reply, c.reply});
    THttpClient http;
    EXPECT_EQ(http.Get(server.Url()), c.body);
    TMemoryStream stream;
    http.Get(server.Url(), stream);
    EXPECT_EQ(stream.DataString(), c.body);
  }
}

TEST(HttpClient, RejectsBrokenReplies) {
  struct Case {
    const char* name;
    std::string reply;
    const char* message;
  } cases[] = {
      {"not HTTP", "SSH-2.0-Server\r\n\r\n", "Invalid reply status line"},
      {"bad chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nabc\r\n0\r\n\r\n",
       "Invalid chunk size"},
      {"huge chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFF\r\n", "Invalid chunk size"},
      {"short body", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc", "Connection closed before"},
      {"negative length", "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\nabc", "Invalid Content-Length"},
      {"header without colon", "HTTP/1.1 200 OK\r\nnonsense\r\n\r\n", "Invalid reply header"},
      {"header line too long", "HTTP/1.1 200 OK\r\nX: " + std::string(20000, 'a') + "\r\n\r\n", "too long"},
      {"nothing at all", "", "Connection closed"},
      // Each interim reply used to be read one call deeper: enough of them
      // overflowed the stack.
      {"endless interim replies", Repeat("HTTP/1.1 100 Continue\r\n\r\n", 20000) + Ok("x"),
       "Too many interim replies"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TScriptedServer server({c.reply});
    THttpClient http;
    try {
      http.Get(server.Url());
      ADD_FAILURE() << "no error";
    } catch (const EHttpError& e) {
      EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
    }
  }
}

TEST(HttpClient, CapsTheReplySizeInEveryFraming) {
  const std::string big(5000, 'x');
  const struct {
    const char* name;
    std::string reply;
  } cases[] = {
      {"content length", Ok(big)},
      {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1388\r\n" + big + "\r\n0\r\n\r\n"},
      {"until the connection closes", "HTTP/1.0 200 OK\r\n\r\n" + big},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TScriptedServer server({c.reply});
    THttpClient http;
    http.MaxResponseSize = 4096;
    try {
      http.Get(server.Url());
      ADD_FAILURE() << "no error";
    } catch (const EHttpError& e) {
      EXPECT_EQ(e.Message(), "The reply is larger than 4096 bytes");
    }
  }
}

TEST(HttpClient, StatusOf400OrMoreRaisesWithTheCode) {
  TScriptedServer server({"HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\ngone", "HTTP/1.1 500 Oops\r\n\r\n",
                          "HTTP/1.1 399 Odd\r\nContent-Length: 2\r\n\r\nok"});
  THttpClient http;
  try {
    http.Get(server.Url());
    ADD_FAILURE();
  } catch (const EHttpProtocolError& e) {
    EXPECT_EQ(e.ErrorCode(), 404);
    EXPECT_EQ(e.Message(), "HTTP/1.1 404 Not Found");
    EXPECT_EQ(e.Body(), "gone");
  }
  EXPECT_THROW(http.Get(server.Url()), EHttpProtocolError);
  EXPECT_EQ(http.Get(server.Url()), "ok");
  EXPECT_EQ(http.ResponseCode(), 399);
}

TEST(HttpClient, SendsHeadersAndAnEncodedForm) {
  TScriptedServer server({Ok("done")});
  THttpClient http;
  TStringList params;
  params.Add("cid=\xBD\xF1\xC8\xD5\xC8\xD5\xD6\xBE");
  params.Add("ti=a b&c");
  params.Add("e=");
  EXPECT_EQ(http.Post(server.Url("/qzuser/in.php"), params), "done");
  const std::string request = server.Requests().at(0);
  EXPECT_EQ(request.substr(0, request.find("\r\n")), "POST /qzuser/in.php HTTP/1.1");
  EXPECT_NE(request.find("\r\nHost: 127.0.0.1:"), std::string::npos);
  EXPECT_NE(request.find("\r\nAccept: text/html, */*\r\n"), std::string::npos);
  EXPECT_NE(request.find("\r\nUser-Agent: Mozilla/3.0 (compatible; Mevra)\r\n"), std::string::npos);
  EXPECT_NE(request.find("\r\nContent-Type: application/x-www-form-urlencoded\r\n"), std::string::npos);
  EXPECT_EQ(request.substr(request.find("\r\n\r\n") + 4), "cid=%BD%F1%C8%D5%C8%D5%D6%BE&ti=a+b%26c&e=&");
  // A retry must send the same text, so the caller's list stays as it was.
  EXPECT_EQ(params[1], "ti=a b&c");
}

TEST(HttpClient, EncodesFormsByteForByte) {
  struct Case {
    std::vector<const char*> lines;
    const char* body;
  } cases[] = {
      {{"uid=42"}, "uid=42"},  // a single pair stands alone
      {{"uid=42", "dm=ab"}, "uid=42&dm=ab&"},
      {{"a=x=y", "b=~-_.*"}, "a=x%3Dy&b=%7E%2D%5F%2E%2A&"},
      {{"n=\x01\xFF"}, "n=%01%FF"},
      {{"a=", "b= "}, "a=&b=+&"},
  };
  for (const Case& c : cases) {
    TStringList list;
    for (const char* line : c.lines) list.Add(line);
    EXPECT_EQ(THttpClient::EncodeForm(list), c.body);
  }
}

TEST(HttpClient, ReadTimeOutFiresOnASilentServer) {
  TScriptedServer server({"HANG"});
  THttpClient http;
  http.ReadTimeout = 300;
  EXPECT_THROW(http.Get(server.Url()), EHttpTimeout);
}

TEST(HttpClient, ConnectionRefusedRaises) {
  THttpClient http;
  EXPECT_THROW(http.Get("http://127.0.0.1:1/x"), EHttpError);
  EXPECT_THROW(http.Get("https://127.0.0.1/x"), EHttpError);
  EXPECT_THROW(http.Get("http://127.0.0.1:99999/x"), EHttpError);
}

TEST(HttpClient, KeepsCookiesPerObject) {
  const std::string setting =
      "HTTP/1.1 200 OK\r\nSet-Cookie: S=1; path=/\r\nSet-Cookie: T=2; Path=/qzuser; HttpOnly\r\n"
      "Set-Cookie: U=3\r\nContent-Length: 0\r\n\r\n";
  TScriptedServer server({setting, Ok(""), Ok(""), "HTTP/1.1 200 OK\r\nSet-Cookie: S=gone; Max-Age=0\r\n\r\n", Ok("")});
  THttpClient first;
  THttpClient second;
  first.Get(server.Url("/qzuser/yz.php"));
  first.Get(server.Url("/qzuser/rl.php"));
  second.Get(server.Url("/qzuser/rl.php"));
  first.Get(server.Url("/other"));
  first.Get(server.Url("/other"));
  const auto requests = server.Requests();
  EXPECT_NE(requests[1].find("\r\nCookie: S=1; T=2; U=3\r\n"), std::string::npos) << requests[1];
  EXPECT_EQ(requests[2].find("Cookie:"), std::string::npos);
  EXPECT_NE(requests[3].find("\r\nCookie: S=1; U=3\r\n"), std::string::npos) << requests[3];
  EXPECT_NE(requests[4].find("\r\nCookie: U=3\r\n"), std::string::npos) << requests[4];
}

TEST(HttpClient, CookiesGoBackOnlyToTheirHostAndPath) {
  TScriptedServer server({"HTTP/1.1 200 OK\r\nSet-Cookie: A=1; Path=/qz\r\nSet-Cookie: B=2\r\n"
                          "Set-Cookie: C=3; Domain=other.test\r\nSet-Cookie: D=4; Domain=127.0.0.1\r\n"
                          "Content-Length: 0\r\n\r\n",
                          Ok("")});
  const std::string port = std::to_string(server.Port());
  THttpClient http;
  http.Get(server.Url("/qz/set"));
  const struct {
    const char* name;
    std::string url;
    const char* cookies;  // "" for no Cookie header
  } cases[] = {
      {"a folder of the cookie's path", server.Url("/qz/deeper"), "A=1; B=2; D=4"},
      {"the cookie's path itself", server.Url("/qz"), "A=1; B=2; D=4"},
      {"a path that only begins the same", server.Url("/qzuser/rl.php"), "B=2; D=4"},
      {"a query is not part of the path", server.Url("/qzuser?to=/qz"), "B=2; D=4"},
      {"another host on the same server", "http://localhost:" + port + "/qz/x", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t before = server.Requests().size();
    http.Get(c.url);
    const std::string request = server.Requests().at(before);
    const size_t at = request.find("\r\nCookie: ");
    const std::string sent =
        at == std::string::npos ? "" : request.substr(at + 10, request.find("\r\n", at + 2) - at - 10);
    EXPECT_EQ(sent, c.cookies);
  }
  // A domain that is not the service's own is refused.
  for (const THttpCookie& cookie : http.Cookies()) EXPECT_NE(cookie.Name, "C");

  // A redirect to another host takes none of the service's cookies along.
  TScriptedServer elsewhere({Ok("there")});
  TScriptedServer redirecting({"HTTP/1.1 302 Found\r\nSet-Cookie: S=1\r\nLocation: http://localhost:" +
                               std::to_string(elsewhere.Port()) + "/x\r\nContent-Length: 0\r\n\r\n"});
  THttpClient follower;
  follower.HandleRedirects = true;
  follower.Get(redirecting.Url("/qz/set"));
  EXPECT_EQ(follower.Get(redirecting.Url("/qz/set")), "there");
  ASSERT_EQ(elsewhere.Requests().size(), 2u);
  EXPECT_EQ(elsewhere.Requests()[1].find("Cookie:"), std::string::npos) << elsewhere.Requests()[1];
}

TEST(HttpClient, ResolvesRedirectTargetsAsABrowserDoes) {
  // The reference resolution examples of RFC 3986 (section 5.4), fragments
  // dropped as a request never sends them, and the service's own case.
  const char* const base = "http://a/b/c/d;p?q";
  const struct {
    const char* reference;
    const char* target;
  } cases[] = {
      {"g:h", "g:h"}, {"g", "http://a/b/c/g"}, {"./g", "http://a/b/c/g"}, {"g/", "http://a/b/c/g/"},
      {"/g", "http://a/g"}, {"//g", "http://g/"}, {"?y", "http://a/b/c/d;p?y"}, {"g?y", "http://a/b/c/g?y"},
      {"#s", "http://a/b/c/d;p?q"}, {"g#s", "http://a/b/c/g"}, {"g?y#s", "http://a/b/c/g?y"},
      {";x", "http://a/b/c/;x"}, {"g;x", "http://a/b/c/g;x"}, {"", "http://a/b/c/d;p?q"},
      {".", "http://a/b/c/"}, {"./", "http://a/b/c/"}, {"..", "http://a/b/"}, {"../", "http://a/b/"},
      {"../g", "http://a/b/g"}, {"../..", "http://a/"}, {"../../", "http://a/"}, {"../../g", "http://a/g"},
      {"../../../g", "http://a/g"}, {"../../../../g", "http://a/g"}, {"/./g", "http://a/g"},
      {"/../g", "http://a/g"}, {"g.", "http://a/b/c/g."}, {".g", "http://a/b/c/.g"}, {"g..", "http://a/b/c/g.."},
      {"..g", "http://a/b/c/..g"}, {"./../g", "http://a/b/g"}, {"./g/.", "http://a/b/c/g/"},
      {"g/./h", "http://a/b/c/g/h"}, {"g/../h", "http://a/b/c/h"}, {"g;x=1/./y", "http://a/b/c/g;x=1/y"},
      {"g;x=1/../y", "http://a/b/c/y"}, {"g?y/./x", "http://a/b/c/g?y/./x"}, {"g?y/../x", "http://a/b/c/g?y/../x"},
      {"http://a/b/../g", "http://a/g"},
  };
  for (const auto& c : cases) EXPECT_EQ(THttpClient::ResolveUrl(base, c.reference), c.target) << c.reference;
  EXPECT_EQ(THttpClient::ResolveUrl("http://127.0.0.1:8046/qzuser/a/x.php", "/qzuser/a/../b.php"),
            "http://127.0.0.1:8046/qzuser/b.php");
  EXPECT_EQ(THttpClient::ResolveUrl("http://127.0.0.1:8046", "b.php"), "http://127.0.0.1:8046/b.php");

  // And on the wire: the request goes to the resolved path.
  TScriptedServer server({"HTTP/1.1 302 Found\r\nLocation: ../b.php?n=1#top\r\nContent-Length: 0\r\n\r\n",
                          Ok("there")});
  THttpClient http;
  http.HandleRedirects = true;
  EXPECT_EQ(http.Get(server.Url("/qzuser/a/x.php")), "there");
  EXPECT_EQ(server.Requests().at(1).substr(0, 31), "GET /qzuser/b.php?n=1 HTTP/1.1\r");
}

TEST(HttpClient, FollowsRedirectsOnlyWhenAsked) {
  const std::string moved = "HTTP/1.1 302 Found\r\nLocation: /next\r\nContent-Length: 5\r\n\r\nmoved";
  {
    TScriptedServer server({moved, Ok("there")});
    THttpClient http;
    TStringList params;
    params.Add("a=1");
    EXPECT_EQ(http.Post(server.Url("/form"), params), "moved");
    EXPECT_EQ(http.ResponseCode(), 302);
    EXPECT_EQ(server.Requests().size(), 1u);
  }
  {
    TScriptedServer server({moved, Ok("there")});
    THttpClient http;
    http.HandleRedirects = true;
    TStringList params;
    params.Add("a=1");
    EXPECT_EQ(http.Post(server.Url("/form"), params), "there");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].substr(0, 14), "GET /next HTTP");
    EXPECT_EQ(http.FinalUrl(), server.Url("/next"));
  }
  {
    TScriptedServer server({moved});
    THttpClient http;
    http.HandleRedirects = true;
    http.RedirectMaximum = 3;
    EXPECT_THROW(http.Get(server.Url("/loop")), EHttpError);
  }
}

}  // namespace
