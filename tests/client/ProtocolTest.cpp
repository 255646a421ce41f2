// Every endpoint's URL and body bytes, and the sign-in connection's cookies,
// redirects and read time-out, against the fake service.
#include "client/HttpThread.h"
#include "platform/Jpeg.h"
#include "tests/client/ClientFixture.h"

#include <functional>

namespace {

using ProtocolTest = ClientFixture;

struct EndpointCase {
  const char* name;
  std::function<AnsiString()> prepare;  // answers the URL
  const char* target;                   // the URL's path and query
  const char* body;                     // "" for a GET
};

// The fixed user of the table: uid 42, token "ab12", e-mail "a&b@x.cn".
std::vector<EndpointCase> EndpointTable() {
  Trighttree article;
  article.cid = "56";
  article.j = "55";
  article.js = 1;
  article.fst = 55;
  article.pid = 55;
  return {
      {"picture code", [] { return PictureCodeUrl(); }, "/qzuser/yz.php", ""},
      {"sign-in", [] { return SignInUrl("a&b@x.cn", "0123abcd", true, " 12ab "); },
       "/qzuser/rl.php?un=a%26b%40x%2Ecn&p=0123abcd&z=True&yz=12ab", ""},
      {"registration",
       [] { return PrepareRegistration(" a&b@x.cn ", "0123abcd", "12ab ", " 新 分类", "男", " 1990-01-02 ", false); },
       "/qzuser/norrg.php",
       "email=a%26b%40x%2Ecn&pwd=0123abcd&yz=12ab&un=%D0%C2+%B7%D6%C0%E0&s=1&b=1990%2D01%2D02&z=False&"},
      {"registration, other sex", [] { return PrepareRegistration("e", "p", "y", "n", "女", "b", true); },
       "/qzuser/norrg.php", "email=e&pwd=p&yz=y&un=n&s=2&b=b&z=True&"},
      {"recovery", [] { return PrepareRecovery(" a&b@x.cn", "12ab "); }, "/qzuser/rpwd.php",
       "email=a%26b%40x%2Ecn&yz=12ab&"},
      {"knowledge categories", [] { return PrepareKnowledgeCategories(); }, "/qzuser/ils.php", "uid=42&dm=ab12&"},
      {"index", [] { return PrepareIndex(); }, "/qzuser/indx.php", "uid=42&dm=ab12&"},
      {"daily categories", [] { return PrepareDailyCategories(); }, "/qzuser/itls.php", "uid=42&dm=ab12&"},
      {"knowledge list", [] { return PrepareArticleList(false, "11", 2); }, "/qzuser/mlist1.php?cid=11&p=2",
       "uid=42&dm=ab12&pg=2&"},
      {"daily list", [] { return PrepareArticleList(true, "2026-12-10", 1); },
       "/qzuser/mtlist.php?cid=2026-12-10&p=1", "uid=42&dm=ab12&pg=1&"},
      {"add article", [] { return PrepareAddArticle("今日日志", "<p>a b&c</p>", "标题"); }, "/qzuser/in.php",
       "cid=%BD%F1%C8%D5%C8%D5%D6%BE&uid=42&content=%3Cp%3Ea+b%26c%3C%2Fp%3E&dm=ab12&ti=%B1%EA%CC%E2&"},
      {"change article", [] { return PrepareChangeArticle("56", "x", "学习笔记", "t"); }, "/qzuser/chg.php?cid=56",
       "content=x&uid=42&dm=ab12&cnm=%D1%A7%CF%B0%B1%CA%BC%C7&ti=t&"},
      {"append article", [article] { return PrepareAppendArticle(article, "x", "c", "t"); }, "/qzuser/fin.php",
       "uid=42&content=x&dm=ab12&cid=55&cnm=c&j=55&js=2&fstp=55&ti=t&"},
      {"delete article", [article] { return PrepareDeleteArticle(article); }, "/qzuser/del.php",
       "uid=42&dm=ab12&cid=56&csid=55&j=55&"},
      {"move article", [] { return PrepareMoveArticle("56", "12", "知识 & 分享"); }, "/qzuser/chgmtgrp.php",
       "uid=42&dm=ab12&cid=56&gid=12&gnm=%D6%AA%CA%B6+%26+%B7%D6%CF%ED&"},
      {"rename category", [] { return PrepareRenameCategory("12", "  new name "); }, "/qzuser/chgmgrp.php",
       "uid=42&dm=ab12&cid=12&cnm=new+name&"},
      {"delete category", [] { return PrepareDeleteCategory("12"); }, "/qzuser/delmgrp.php?un=a%26b%40x%2Ecn",
       "uid=42&cid=12&dm=ab12&"},
      {"add category", [] { return PrepareAddCategory(" 新 分类"); }, "/qzuser/addmgrp.php?un=a%26b%40x%2Ecn",
       "uid=42&cnm=+%D0%C2+%B7%D6%C0%E0&dm=ab12&"},
  };
}

TEST_F(ProtocolTest, EveryEndpointSendsItsUrlAndBodyByteForByte) {
  UserInfo.UserId = "42";
  UserInfo.SessionToken = "ab12";
  UserInfo.Email = "a&b@x.cn";
  for (const EndpointCase& c : EndpointTable()) {
    SCOPED_TRACE(c.name);
    RequestParams.Clear();
    const AnsiString url = c.prepare();
    EXPECT_EQ(url, "http://" + Service->Host() + c.target);
    const bool get = *c.body == '\0';
    if (!get) {
      EXPECT_EQ(THttpClient::EncodeForm(RequestParams), c.body);
    }

    // And on the wire, as the service receives it.
    Service->ClearRequests();
    THttpClient http;
    try {
      if (get) {
        http.Get(url);
      } else {
        http.Post(url, RequestParams);
      }
    } catch (const EHttpError&) {
    }
    const std::vector<TFakeRequest> requests = Service->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].RequestLine, std::string(get ? "GET " : "POST ") + c.target + " HTTP/1.1");
    EXPECT_EQ(requests[0].Body, c.body);
  }
}

TEST_F(ProtocolTest, UserTextInAQueryReachesTheServiceAsTyped) {
  UserInfo.Email = "li & wang#1@x.cn";
  Service->ClearRequests();
  THttpClient http;
  http.Post(PrepareDeleteCategory("12"), RequestParams);
  http.Get(SignInUrl("李 & 王@x.cn", "h", false, "a#b"));
  const auto requests = Service->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].Query().at("un"), "li & wang#1@x.cn");
  EXPECT_EQ(requests[1].Query().at("un"), "李 & 王@x.cn");
  EXPECT_EQ(requests[1].Query().at("yz"), "a#b");
  EXPECT_EQ(requests[1].Query().at("z"), "False");
}

TEST_F(ProtocolTest, ServiceHostComesFromTheOverrideTheEnvironmentOrTheDefault) {
  EXPECT_EQ(ServiceUrl("ils.php"), "http://" + Service->Host() + "/qzuser/ils.php");
  SetServiceHost("");
  SetEnvironmentVariableA("MEVRA_SERVICE", "127.0.0.1:9");
  EXPECT_EQ(ServiceHost(), "127.0.0.1:9");
  SetEnvironmentVariableA("MEVRA_SERVICE", nullptr);
  EXPECT_EQ(ServiceHost(), DefaultServiceHost);
}

TEST_F(ProtocolTest, PictureCodeCookiesComeBackOnTheSignInConnectionOnly) {
  Service->SetPictureCode("4821");
  THttpClient signIn;
  ConfigureSignInConnection(signIn);
  const AnsiString jpeg = signIn.Get(PictureCodeUrl());
  EXPECT_EQ(jpeg.substr(0, 3), "\xFF\xD8\xFF");
  {
    // The code is drawn dark on light, readable by a person.
    TStringStream stream(jpeg);
    TJPEGImage picture;
    picture.LoadFromStream(stream);
    HDC dc = picture.Bitmap()->Canvas()->Handle();
    int dark = 0;
    for (int y = 0; y < picture.GetHeight(); ++y)
      for (int x = 0; x < picture.GetWidth(); ++x) dark += GetRValue(GetPixel(dc, x, y)) < 96;
    EXPECT_GT(dark, 20);
    EXPECT_LT(dark, picture.GetWidth() * picture.GetHeight() / 2);
  }
  const AnsiString cookie = Service->Requests().back().Header("Cookie");
  EXPECT_EQ(cookie, "");
  TXmlDocument reply;
  ASSERT_TRUE(reply.LoadXML(signIn.Get(SignInUrl("demo@mevra.test", "27cd5bcb0147c8b1ed590fa502ff36e3", true, "4821"))));
  EXPECT_EQ(ReplyText(reply, "con/result"), "1");
  const AnsiString token = ReplyText(reply, "con/dm");
  const TFakeRequest signInRequest = Service->Requests().back();
  EXPECT_EQ(signInRequest.Header("Cookie").rfind("QZYZ=", 0), 0u);
  EXPECT_EQ(signInRequest.Header("Accept"), "text/html, */*");
  EXPECT_EQ(signInRequest.Header("User-Agent"), "Mozilla/3.0 (compatible; Mevra)");

  // Without the cookie the code is not recognised.
  THttpClient stranger;
  ASSERT_TRUE(reply.LoadXML(stranger.Get(SignInUrl("demo@mevra.test", "x", true, "4821"))));
  EXPECT_EQ(ReplyText(reply, "con/result"), "-1");

  // Workers start without cookies.
  UserInfo.SessionToken = token;
  ReplyCounter window;
  const size_t before = Service->RequestCount();
  LoadKnowledgeCategories(window.Handle());
  ASSERT_TRUE(window.WaitFor(1));
  const auto requests = Service->Requests();
  ASSERT_EQ(requests.size(), before + 1);
  EXPECT_EQ(requests.back().Endpoint, "ils.php");
  EXPECT_EQ(requests.back().Header("Cookie"), "");
  EXPECT_EQ(KnowledgeDoc->SelectNodes("con/g").size(), 3u);
}

TEST_F(ProtocolTest, SignInConnectionFollowsRedirectsWorkersDoNot) {
  THttpClient signIn;
  ConfigureSignInConnection(signIn);
  Service->RedirectNext(1, "/qzuser/h.html");
  EXPECT_NE(signIn.Get(PictureCodeUrl()).find("<html>"), AnsiString::npos);
  EXPECT_EQ(Service->Requests().back().Endpoint, "h.html");

  ReplyCounter window;
  ASSERT_TRUE(KnowledgeDoc->LoadXML(AnsiString("<con><g k=\"1\"/></con>")));
  Service->ClearRequests();
  Service->RedirectNext(1, "/qzuser/ils.php");
  LoadKnowledgeCategories(window.Handle());
  ASSERT_TRUE(window.WaitFor(1));
  // The redirect's own page is the reply: not XML, so the document is empty.
  EXPECT_EQ(Service->RequestCount(), 1u);
  EXPECT_FALSE(KnowledgeDoc->DocumentElement());
}

TEST_F(ProtocolTest, SignInReadTimeOutFiresAgainstAHangingService) {
  THttpClient signIn;
  ConfigureSignInConnection(signIn);
  EXPECT_EQ(signIn.ReadTimeout, 20000u);
  Service->SetHang(true);
  const DWORD start = GetTickCount();
  EXPECT_THROW(signIn.Get(PictureCodeUrl()), EHttpTimeout);
  EXPECT_GE(GetTickCount() - start, 19000u);
  Service->SetHang(false);
}

}  // namespace
