// The request worker against the fake service: retries, silent failure, the
// busy guard, non-XML replies and overlapping requests.
#include "client/HttpThread.h"
#include "tests/client/ClientFixture.h"

namespace {

using WorkerTest = ClientFixture;
using testing_support::RunMessagesUntil;

TEST_F(WorkerTest, FourFailuresThenAnAnswerGiveExactlyOneReply) {
  ReplyCounter window;
  window.OnReply = [&] {
    // The document is filled by the time the window hears of it.
    EXPECT_EQ(KnowledgeDoc->SelectNodes("con/g").size(), 3u);
  };
  Service->FailNext(4);
  LoadKnowledgeCategories(window.Handle());
  ASSERT_TRUE(window.WaitFor(1));
  ASSERT_TRUE(WaitForWorkers());
  EXPECT_EQ(window.Count, 1);
  EXPECT_EQ(Service->RequestCount(), 5u);
  EXPECT_EQ(KnowledgeDoc->SelectSingleNode("con/g[0]/n").Text(), "学习笔记");
}

TEST_F(WorkerTest, EveryAttemptSendsTheSameBytes) {
  // Values encoded in place would be encoded again by the next attempt
  // ("%" becoming "%25"), so the service would store mangled text.
  ReplyCounter window;
  Service->FailNext(2);
  StartRequest(PrepareAddArticle("今日日志", "<P>a b&c 100%</P>", "标题"), window.Handle(), ReplyDoc);
  EXPECT_EQ(RequestParams[2], "content=<P>a b&c 100%</P>");
  ASSERT_TRUE(window.WaitFor(1));
  const auto requests = Service->Requests();
  ASSERT_EQ(requests.size(), 3u);
  for (const TFakeRequest& r : requests) {
    EXPECT_EQ(r.Body, requests[0].Body);
    EXPECT_EQ(r.Form().at("content"), "<P>a b&c 100%</P>");
  }
  EXPECT_EQ(ReplyText(*ReplyDoc, "con/op"), "add");
  EXPECT_EQ(RequestParams[2], "content=<P>a b&c 100%</P>");
}

TEST_F(WorkerTest, FiveFailuresGiveFiveAttemptsNoReplyAndClearTheGuard) {
  ReplyCounter window;
  ReplyWindow = window.Handle();
  SelectedArticle.cid = "1";
  Service->FailNext(5, 503);
  httpthread* worker = DeleteArticle();
  EXPECT_EQ(ActiveRequest.load(), worker);
  ASSERT_TRUE(RunMessagesUntil([] { return ActiveRequest.load() == nullptr; }, 10000));
  ASSERT_TRUE(WaitForWorkers());
  EXPECT_EQ(window.Count, 0);
  EXPECT_EQ(Service->RequestCount(), 5u);
  for (const TFakeRequest& r : Service->Requests()) EXPECT_EQ(r.Endpoint, "del.php");
}

TEST_F(WorkerTest, ANonXmlReplyLeavesTheDocumentEmptyAndStillReplies) {
  ReplyCounter window;
  ASSERT_TRUE(ReplyDoc->LoadXML(AnsiString("<con><ifs>1</ifs><op>chg</op></con>")));
  Service->AnswerNonXml(1);
  StartRequest(PrepareChangeArticle("1", "x", "c", "t"), window.Handle(), ReplyDoc);
  ASSERT_TRUE(window.WaitFor(1));
  EXPECT_FALSE(ReplyDoc->DocumentElement());
  EXPECT_FALSE(ReplyDoc->SelectSingleNode("con/ifs"));
  EXPECT_EQ(Service->RequestCount(), 1u);
}

TEST_F(WorkerTest, OverlappingWorkersKeepTheirParametersAndRepliesApart) {
  ReplyCounter window;
  std::vector<AnsiString> seen;
  window.OnReply = [&] { seen.push_back(ReplyText(*ReplyDoc, "con/classnm")); };
  // Both target ReplyDoc; the second refills RequestParams while the first may
  // still be posting.
  Service->SetHang(true, "in.php");
  StartRequest(PrepareAddArticle("甲类", "first", "一"), window.Handle(), ReplyDoc);
  StartRequest(PrepareAddArticle("乙类", "second", "二"), window.Handle(), ReplyDoc);
  ASSERT_TRUE(Service->WaitForRequests(2, 10000));
  Service->SetHang(false);
  ASSERT_TRUE(window.WaitFor(2));
  ASSERT_TRUE(WaitForWorkers());
  EXPECT_EQ(window.Count, 2);
  ASSERT_EQ(seen.size(), 2u);
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen[0], "甲类");
  EXPECT_EQ(seen[1], "乙类");
  std::vector<std::string> bodies;
  for (const TFakeRequest& r : Service->Requests()) bodies.push_back(r.Form().at("cid") + "/" + r.Form().at("ti"));
  std::sort(bodies.begin(), bodies.end());
  EXPECT_EQ(bodies, (std::vector<std::string>{"甲类/一", "乙类/二"}));
}

TEST_F(WorkerTest, OnlyTheGuardsOwnWorkerClearsIt) {
  ReplyCounter window;
  ReplyWindow = window.Handle();
  SelectedArticle.cid = "1";
  Service->SetHang(true, "del.php");
  httpthread* deleting = DeleteArticle();
  ASSERT_TRUE(Service->WaitForRequests(1, 10000));
  LoadIndex(window.Handle());
  ASSERT_TRUE(window.WaitFor(1));
  // The index worker has ended; only the delete still runs.
  ASSERT_TRUE(RunMessagesUntil([] { return httpthread::Running() == 1; }, 10000));
  EXPECT_EQ(ActiveRequest.load(), deleting);
  Service->SetHang(false);
  ASSERT_TRUE(window.WaitFor(2));
  ASSERT_TRUE(RunMessagesUntil([] { return ActiveRequest.load() == nullptr; }, 10000));
  EXPECT_EQ(ReplyText(*ReplyDoc, "con/op"), "del");
  EXPECT_EQ(IndexDoc->SelectSingleNode("con/n").Text(), "3");
}

TEST_F(WorkerTest, AReplyHandlerMayStartTheNextDeleteOrMove) {
  // The guard is clear by the time the reply is read, so the handler of a
  // delete's reply is not refused as busy when it starts a move; the move
  // then holds the guard until its own reply.
  ReplyCounter window;
  ReplyWindow = window.Handle();
  SelectedArticle.cid = "1";
  std::vector<httpthread*> guardAtReply;
  httpthread* moving = nullptr;
  window.OnReply = [&] {
    guardAtReply.push_back(ActiveRequest.load());
    if (!moving) {
      moving = MoveArticle("12", "工具");
      EXPECT_EQ(ActiveRequest.load(), moving);
    }
  };
  DeleteArticle();
  ASSERT_TRUE(window.WaitFor(2));
  ASSERT_TRUE(WaitForWorkers());
  EXPECT_EQ(guardAtReply, (std::vector<httpthread*>{nullptr, nullptr}));
  EXPECT_EQ(ActiveRequest.load(), nullptr);
  std::vector<std::string> endpoints;
  for (const TFakeRequest& r : Service->Requests()) endpoints.push_back(r.Endpoint);
  EXPECT_EQ(endpoints, (std::vector<std::string>{"del.php", "chgmtgrp.php"}));
  EXPECT_EQ(Service->Requests()[1].Form().at("gnm"), "工具");
}

TEST_F(WorkerTest, RepliesBeyondTheCapFailTheAttempt) {
  ReplyCounter window;
  // Just under the cap: read as usual.
  Service->PadNext(1, static_cast<size_t>(httpthread::MaxReplySize) - 4096);
  LoadKnowledgeCategories(window.Handle());
  ASSERT_TRUE(window.WaitFor(1));
  EXPECT_EQ(KnowledgeDoc->SelectNodes("con/g").size(), 3u);
  // Over it: each attempt fails, and after five nothing is posted.
  Service->ClearRequests();
  Service->PadNext(5, static_cast<size_t>(httpthread::MaxReplySize) + 1);
  LoadKnowledgeCategories(window.Handle());
  ASSERT_TRUE(WaitForWorkers());
  EXPECT_EQ(Service->RequestCount(), 5u);
  EXPECT_EQ(window.Count, 1);
}

TEST_F(WorkerTest, ACategoryDocumentReplacedMeanwhileIsStillFilled) {
  // CreateDocuments may replace a document while its request runs; the
  // request fills the one it was given.
  ReplyCounter window;
  Service->SetHang(true, "itls.php");
  LoadDailyCategories(window.Handle());
  const TXmlDocumentRef first = DailyDoc;
  ASSERT_TRUE(Service->WaitForRequests(1, 10000));
  CreateDocuments();
  Service->SetHang(false);
  ASSERT_TRUE(window.WaitFor(1));
  EXPECT_EQ(first->SelectNodes("con/g").size(), 1u);
  EXPECT_FALSE(DailyDoc->DocumentElement());
}

TEST_F(WorkerTest, TheSignInLoadsRunOneAfterAnother) {
  // Each reply starts the next load, as the sign-in sequence does.
  ReplyCounter window;
  LoginStage = 0;
  auto next = [&] {
    switch (LoginStage) {
      case 0: CreateDocuments(); LoadKnowledgeCategories(window.Handle()); break;
      case 1: LoadIndex(window.Handle()); break;
      case 2: LoadDailyCategories(window.Handle()); break;
      default: return;
    }
    ++LoginStage;
  };
  window.OnReply = next;
  next();
  ASSERT_TRUE(window.WaitFor(3));
  ASSERT_TRUE(WaitForWorkers());
  EXPECT_EQ(LoginStage, 3);
  std::vector<std::string> endpoints;
  for (const TFakeRequest& r : Service->Requests()) endpoints.push_back(r.Endpoint);
  EXPECT_EQ(endpoints, (std::vector<std::string>{"ils.php", "indx.php", "itls.php"}));
  EXPECT_EQ(KnowledgeDoc->SelectNodes("con/g").size(), 3u);
  EXPECT_EQ(DailyDoc->SelectNodes("con/g").size(), 1u);
  ASSERT_TRUE(IndexDoc->DocumentElement());
}

}  // namespace
