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
  // The read waits as the connection says, but its time passes at once.
  std::vector<uint32_t> readWaits;
  signIn.OnSocketWait = TSocketWaitEvent::Lambda([&](uintptr_t socket, bool forWrite, uint32_t timeoutMs) {
    if (forWrite) return THttpClient::WaitSocket(socket, forWrite, timeoutMs);
    readWaits.push_back(timeoutMs);
    return THttpClient::WaitSocket(socket, forWrite, 1);
  });
  Service->SetHang(true);
  EXPECT_THROW(signIn.Get(PictureCodeUrl()), EHttpTimeout);
  EXPECT_EQ(readWaits, (std::vector<uint32_t>{20000u}));
  Service->SetHang(false);
}

// ---- what the fake service answers: the reply formats the windows read ----

// Posts RequestParams (or GETs) on a connection of its own and loads the reply.
AnsiString Ask(const AnsiString& url, TXmlDocument& reply, bool get = false) {
  THttpClient http;
  const AnsiString body = get ? http.Get(url) : http.Post(url, RequestParams);
  EXPECT_TRUE(reply.LoadXML(body)) << body;
  return body;
}

AnsiString KnowledgeId(const TFakeService& service, const std::string& name) {
  for (const TFakeService::Category& c : service.Categories())
    if (!c.Daily && c.Name == name) return c.Id;
  return AnsiString();
}

AnsiString DailyId(const TFakeService& service) {
  for (const TFakeService::Category& c : service.Categories())
    if (c.Daily) return c.Id;
  return AnsiString();
}

TEST_F(ProtocolTest, EveryOperationRepliesWithItsOpAndFields) {
  const AnsiString notes = KnowledgeId(*Service, "学习笔记");
  const AnsiString tools = KnowledgeId(*Service, "工具");
  ASSERT_FALSE(notes.empty());
  Trighttree article;  // the first article of the notes category, a root
  for (const TFakeService::Article& a : Service->Articles())
    if (a.CategoryId == notes && article.cid.empty()) {
      article.cid = IntToStr(a.Id);
      article.j = IntToStr(a.Root);
      article.fst = a.Root;
    }
  ASSERT_FALSE(article.cid.empty());
  const AnsiString today = DailyId(*Service);

  struct Case {
    const char* name;
    std::function<AnsiString()> prepare;
    const char* op;
    // Fields the reading window needs, with their text ("*": any non-empty).
    std::vector<std::pair<const char*, AnsiString>> fields;
  };
  const Case cases[] = {
      {"add to the daily category", [] { return PrepareAddArticle("今日日志", "<P>x</P>", "t"); }, "add",
       {{"jr", "1"}, {"da", today}, {"classid", today}, {"classnm", today}, {"classif", "0"}}},
      {"add to a knowledge category", [] { return PrepareAddArticle("学习笔记", "<P>x</P>", "t"); }, "add",
       {{"jr", "0"}, {"classid", notes}, {"classnm", "学习笔记"}, {"classif", "0"}}},
      {"add to a new category", [] { return PrepareAddArticle("新类", "<P>x</P>", "t"); }, "add",
       {{"jr", "0"}, {"classid", "*"}, {"classnm", "新类"}, {"classif", "1"}}},
      {"change", [&] { return PrepareChangeArticle(article.cid, "<P>y</P>", "学习笔记", "t2"); }, "chg", {}},
      {"append", [&] { return PrepareAppendArticle(article, "<P>z</P>", "学习笔记", "part"); }, "follow", {}},
      {"move", [&] { return PrepareMoveArticle(article.cid, tools, "工具"); }, "chgmgrp", {{"groupid", tools}}},
      {"delete", [&] { return PrepareDeleteArticle(article); }, "del", {}},
      {"rename category", [&] { return PrepareRenameCategory(tools, " 工具箱 "); }, "chggrp", {}},
      {"add category", [] { return PrepareAddCategory("新 分类"); }, "addgrp",
       {{"ifadd", "1"}, {"classid", "*"}, {"cnm", "新 分类"}}},
      {"add an existing category", [] { return PrepareAddCategory("读书"); }, "addgrp", {{"ifadd", "0"}}},
      {"delete category", [&] { return PrepareDeleteCategory(tools); }, "delgrp", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TXmlDocument reply;
    Ask(c.prepare(), reply);
    EXPECT_EQ(ReplyTextDef(reply, "con/ifs"), "1");
    EXPECT_EQ(ReplyTextDef(reply, "con/op"), c.op);
    for (const auto& [field, value] : c.fields) {
      SCOPED_TRACE(field);
      const AnsiString text = ReplyTextDef(reply, AnsiString("con/") + field, "(missing)");
      if (value == "*") {
        EXPECT_NE(text, "(missing)");
        EXPECT_FALSE(text.empty());
      } else {
        EXPECT_EQ(text, value);
      }
    }
  }
  // The store followed: renamed, then deleted with its articles.
  EXPECT_TRUE(KnowledgeId(*Service, "工具箱").empty());
  for (const TFakeService::Article& a : Service->Articles()) EXPECT_NE(a.CategoryId, std::string(tools));
  EXPECT_FALSE(KnowledgeId(*Service, "新 分类").empty());

  // Without a valid session nothing is done.
  UserInfo.SessionToken = "stale";
  TXmlDocument reply;
  Ask(PrepareAddCategory("不应出现"), reply);
  EXPECT_EQ(ReplyTextDef(reply, "con/ifs"), "0");
  EXPECT_TRUE(KnowledgeId(*Service, "不应出现").empty());
}

TEST_F(ProtocolTest, SignInRegistrationAndRecoveryAnswerEveryResult) {
  Service->SetPictureCode("7788");
  THttpClient signIn;
  ConfigureSignInConnection(signIn);
  signIn.Get(PictureCodeUrl());
  const AnsiString hash = "27cd5bcb0147c8b1ed590fa502ff36e3";  // of "mevra"
  struct Case {
    const char* name;
    std::function<AnsiString()> url;  // a GET; "" to post RequestParams to `post`
    std::function<AnsiString()> post;
    const char* result;
  };
  const Case cases[] = {
      {"sign-in", [&] { return SignInUrl("demo@mevra.test", hash, false, "7788"); }, nullptr, "1"},
      {"wrong password", [&] { return SignInUrl("demo@mevra.test", "00", false, "7788"); }, nullptr, "0"},
      {"no such user", [&] { return SignInUrl("nobody@mevra.test", hash, false, "7788"); }, nullptr, "-2"},
      {"wrong picture code", [&] { return SignInUrl("demo@mevra.test", hash, false, "1234"); }, nullptr, "-1"},
      {"address taken", nullptr,
       [&] { return PrepareRegistration("demo@mevra.test", hash, "7788", "n", "男", "2000-1-1", false); }, "0"},
      {"registration", nullptr,
       [&] { return PrepareRegistration(" new@mevra.test ", hash, "7788", "新人", "女", "2000-1-1", true); }, "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TXmlDocument reply;
    ASSERT_TRUE(reply.LoadXML(c.url ? signIn.Get(c.url()) : signIn.Post(c.post(), RequestParams)));
    EXPECT_EQ(ReplyTextDef(reply, "con/result"), c.result);
    if (AnsiString(c.result) != "1") continue;
    for (const char* field : {"uid", "pwd", "un", "em", "ifreg", "dm", "clstr", "z"})
      EXPECT_TRUE(reply.SelectSingleNode(AnsiString("con/") + field)) << field;
    EXPECT_EQ(ReplyText(reply, "con/pwd"), hash);
    EXPECT_NO_THROW(StrToInt(ReplyText(reply, "con/ifreg")));  // a decimal
  }
  TXmlDocument reply;
  ASSERT_TRUE(reply.LoadXML(signIn.Post(PrepareRegistration("new@mevra.test", hash, "7788", "n", "男", "b", false),
                                        RequestParams)));
  EXPECT_EQ(ReplyText(reply, "con/result"), "0");

  // Recovery: the mail goes out only for a known address with the right code.
  const struct {
    const char* email;
    const char* code;
    const char* sent;
  } recoveries[] = {{"demo@mevra.test", "7788", "1"}, {"demo@mevra.test", "0000", "0"}, {"x@y.z", "7788", "0"}};
  for (const auto& r : recoveries) {
    SCOPED_TRACE(r.email);
    ASSERT_TRUE(reply.LoadXML(signIn.Post(PrepareRecovery(r.email, r.code), RequestParams)));
    EXPECT_EQ(ReplyText(reply, "con/op"), "rpwd");
    EXPECT_EQ(ReplyText(reply, "con/emailo"), r.sent);
  }
}

TEST_F(ProtocolTest, ListsComeInPagesOf25WithEveryItemField) {
  const AnsiString notes = KnowledgeId(*Service, "学习笔记");
  size_t roots = 0;
  for (const TFakeService::Article& a : Service->Articles()) roots += a.CategoryId == notes && a.Parent == 0;
  while (roots < 26) Service->AddArticle(notes, "条目" + std::to_string(roots++), "<P>x</P>");

  // The category document counts them.
  TXmlDocument categories;
  Ask(PrepareKnowledgeCategories(), categories);
  EXPECT_EQ(FindCategory(categories, notes).SelectSingleNode("con").Text(), "26");
  EXPECT_EQ(FindCategory(categories, notes).SelectSingleNode("id").Text(), notes);

  const struct {
    const char* name;
    bool daily;
    AnsiString id;
    int page;
    size_t items;
    const char* kind;
  } cases[] = {
      {"first page", false, notes, 1, 25, nullptr},
      {"last page", false, notes, 2, 1, nullptr},
      {"beyond the end", false, notes, 3, 0, nullptr},
      {"daily list", true, DailyId(*Service), 1, 1, "jr"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TXmlDocument list;
    Ask(PrepareArticleList(c.daily, c.id, c.page), list);
    EXPECT_EQ(ReplyText(list, "doc/lscid"), c.id);
    if (c.kind) {
      EXPECT_EQ(ReplyText(list, "doc/lskind"), c.kind);
    } else {
      EXPECT_NE(ReplyText(list, "doc/lskind"), "jr");
    }
    const std::vector<TXmlNode> items = list.SelectNodes("doc/cont");
    EXPECT_EQ(items.size(), c.items);
    for (const TXmlNode& item : items) {
      for (const char* field : {"j", "js", "title", "date", "lyid", "cnm", "cid", "clbz", "fst", "pid", "lx", "ly"})
        EXPECT_TRUE(item.SelectSingleNode(field)) << field;
      for (const char* number : {"js", "fst", "pid"})
        EXPECT_NO_THROW(StrToInt(Trim(item.SelectSingleNode(number).Text()))) << number;
    }
  }
}

TEST_F(ProtocolTest, ViewerPagesAnswerThePostedSession) {
  UserInfo.UserId = Service->DemoUser().Uid;
  EXPECT_EQ(BrowserPostData("&cid=" + UserInfo.UserId),
            "uid=" + UserInfo.UserId + "&dm=" + UserInfo.SessionToken + "&cid=" + UserInfo.UserId);
  const int article = Service->AddArticle(std::string(KnowledgeId(*Service, "读书")), "书评", "<P>好书</P>");
  // The viewer posts the body as it is; a list of its pairs encodes to the same
  // ASCII bytes (plus the closing "&", which the service ignores).
  auto page = [&](const AnsiString& endpoint, const AnsiString& extra) {
    TStringList pairs;
    pairs.SetText(StringReplaceAll(BrowserPostData(extra), "&", "\r\n"));
    THttpClient http;
    return http.Post(ServiceUrl(endpoint), pairs);
  };
  const struct {
    const char* name;
    AnsiString endpoint;
    AnsiString extra;
    const char* shows;
  } cases[] = {
      {"profile", "usersta.php", "&cid=" + UserInfo.UserId, "演示用户"},
      {"profile change", "userchg.php", "&cid=" + UserInfo.UserId, "demo@mevra.test"},
      {"article", "ri.php?cid=" + IntToStr(article), "", "好书"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NE(page(c.endpoint, c.extra).find(c.shows), AnsiString::npos);
  }
  UserInfo.SessionToken = "stale";
  EXPECT_NE(page("usersta.php", "").find("请先登录"), AnsiString::npos);
  THttpClient http;
  EXPECT_NE(http.Get(ServiceUrl("h.html")).find("<html>"), AnsiString::npos);
}

}  // namespace
