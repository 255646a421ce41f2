// The HTML editing component against a stand-in browser whose document
// records what the component asks of it: the settings a page gets, reading
// and writing its HTML, a new document, formatting commands, failures
// reported to the caller, focus, and a browser that has no HTML engine.
#include "client/HtmlEdit.h"
#include "platform/ExtCtrls.h"
#include "tests/platform/controls/ControlTestUtil.h"
#include "tests/platform/ole/FakeBrowserHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace testing_support;
using namespace control_tests;
using namespace fake_browser;

const auto* const kUnansweredDialogsFail = ::testing::AddGlobalTestEnvironment(new UnansweredDialogsFail);

std::wstring WithoutSpace(const std::wstring& text) {
  std::wstring result;
  for (wchar_t ch : text)
    if (ch != L' ' && ch != L'\r' && ch != L'\n') result += ch;
  return result;
}

class HtmlEditTest : public FakeBrowserHost {
protected:
  // The document's calls from `from` on.
  static std::vector<std::wstring> CallsSince(size_t from) {
    const auto& calls = FakeBrowser::Last()->Html()->Calls;
    return {calls.begin() + static_cast<std::ptrdiff_t>(std::min(from, calls.size())), calls.end()};
  }
};

TEST_F(HtmlEditTest, StartsOnAnEmptyEditablePageInTheChineseCharacterSet) {
  THtmlEdit* edit = New<THtmlEdit>(nullptr);
  FakeBrowser* fake = FakeBrowser::Last();
  ASSERT_EQ(fake->Navigations.size(), 1u);
  EXPECT_EQ(fake->Navigations[0].URL, L"about:blank");
  EXPECT_EQ(fake->Html()->Charset, L"gb2312");
  EXPECT_EQ(fake->Html()->DesignMode, L"On");
  EXPECT_FALSE(edit->ReadOnly());
  EXPECT_EQ(edit->CharSet(), "gb2312");
  // The system's temporary folder.
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  EXPECT_EQ(edit->ImageFolder(), temp);
  EXPECT_EQ(edit->Commander().ImageFolder(), temp);
  Free(edit);
}

TEST_F(HtmlEditTest, ReadsAndWritesThePage) {
  THtmlEdit* edit = New<THtmlEdit>(nullptr);
  FakeDocument* document = FakeBrowser::Last()->Html();
  const size_t before = document->Calls.size();
  edit->SetHTML(L"<html><body><p>Notes \u4F60\u597D</p></body></html>");
  EXPECT_EQ(CallsSince(before), std::vector<std::wstring>{L"write <html><body><p>Notes \u4F60\u597D</p></body></html>"});
  EXPECT_EQ(edit->HTML(), L"<body><p>Notes \u4F60\u597D</p></body>");
  EXPECT_EQ(edit->PageText(), L"Notes \u4F60\u597D");

  edit->SetReadOnly(true);
  EXPECT_EQ(document->DesignMode, L"Off");
  edit->SetReadOnly(false);
  EXPECT_EQ(document->DesignMode, L"On");
  edit->SetCharSet("utf-8");
  EXPECT_EQ(document->Charset, L"utf-8");
  Free(edit);
}

TEST_F(HtmlEditTest, ClearWritesTheTemplateIntoAClosedAndClearedDocument) {
  THtmlEdit* edit = New<THtmlEdit>(nullptr);
  edit->SetHTML(L"<body>old text</body>");
  const size_t before = FakeBrowser::Last()->Html()->Calls.size();
  edit->Clear();
  const std::vector<std::wstring> calls = CallsSince(before);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0], L"close");
  EXPECT_EQ(calls[1], L"clear");
  EXPECT_EQ(calls[2],
            L"write <HTML>\r\n<HEAD>\r\n<META NAME=\"GENERATOR\" CONTENT=\"KV HTML-WRITER\">\r\n"
            L"<TITLE>NewDocument</TITLE>\r\n</HEAD>\r\n<BODY>\r\n</BODY>\r\n</HTML>\r\n");
  EXPECT_EQ(WithoutSpace(edit->HTML()), L"<BODY></BODY>") << "an empty body";
  EXPECT_EQ(edit->PageText(), L"");
  Free(edit);
}

TEST_F(HtmlEditTest, CommandsGoToTheDocumentAndFocusItsWindow) {
  THtmlEdit* edit = New<THtmlEdit>(nullptr);
  TEditCommander& commander = edit->Commander();
  struct Case {
    const char* Name;
    std::function<void()> Command;
    const wchar_t* Call;
  };
  const Case cases[] = {
      {"bold", [&] { commander.Bold(); }, L"execCommand Bold true true"},
      {"italic", [&] { commander.Italic(); }, L"execCommand Italic true true"},
      {"underline", [&] { commander.Underline(); }, L"execCommand Underline true true"},
      {"link", [&] { commander.CreateLink(); }, L"execCommand CreateLink true true"},
      {"image", [&] { commander.InsertImage(); }, L"execCommand InsertImage true true"},
      {"any command", [&] { commander.ExecCommand(L"Indent"); }, L"execCommand Indent true true"},
      {"fore colour", [&] { commander.ForeColor(0x0000FF); }, L"execCommand ForeColor true 255"},
      {"back colour", [&] { commander.BackColor(0x808000); }, L"execCommand BackColor true 8421376"},
      {"font name in quotes", [&] { commander.FontName(L"\u5B8B\u4F53"); }, L"execCommand FontName true \"\u5B8B\u4F53\""},
      {"size 1", [&] { commander.FontSize(1); }, L"execCommand FontSize true 1"},
      {"size 7", [&] { commander.FontSize(7); }, L"execCommand FontSize true 7"},
      {"size 0 is 3", [&] { commander.FontSize(0); }, L"execCommand FontSize true 3"},
      {"size 8 is 3", [&] { commander.FontSize(8); }, L"execCommand FontSize true 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const size_t before = FakeBrowser::Last()->Html()->Calls.size();
    c.Command();
    EXPECT_EQ(CallsSince(before), (std::vector<std::wstring>{c.Call, L"focus"}));
  }
  Free(edit);
}

TEST_F(HtmlEditTest, ADocumentThatRefusesACallRaisesItToTheCaller) {
  THtmlEdit* edit = New<THtmlEdit>(nullptr);
  FakeBrowser::Last()->Html()->Failure = E_ACCESSDENIED;
  const std::vector<std::pair<const char*, std::function<void()>>> calls = {
      {"write", [&] { edit->SetHTML(L"<body>x</body>"); }},
      {"read", [&] { (void)edit->HTML(); }},
      {"new document", [&] { edit->NewDocument(); }},
      {"command", [&] { edit->Commander().Bold(); }},
      {"read-only", [&] { edit->SetReadOnly(true); }},
  };
  for (const auto& [name, call] : calls) {
    SCOPED_TRACE(name);
    try {
      call();
      ADD_FAILURE() << "no error raised";
    } catch (const EOleSysError& e) {
      EXPECT_EQ(e.ErrorCode(), E_ACCESSDENIED);
      EXPECT_NE(std::string(e.what()).find("The document refused the call"), std::string::npos) << e.what();
    }
  }
  Free(edit);
}

TEST_F(HtmlEditTest, ABrowserWithoutAnHtmlEngineGivesAClearErrorOnUse) {
  Factory->HideDocuments = true;
  THtmlEdit* edit = New<THtmlEdit>(nullptr);
  EXPECT_FALSE(FakeBrowser::Last()->ShowsDocument);
  edit->SetReadOnly(true);  // kept for a page that comes
  EXPECT_TRUE(edit->ReadOnly());
  EXPECT_THROW((void)edit->HTML(), EOleError);
  try {
    edit->SetHTML(L"x");
    ADD_FAILURE() << "no error raised";
  } catch (const EOleError& e) {
    EXPECT_STREQ(e.what(), "The browser shows no HTML document");
  }
  // The engine appears with the next page: it gets the settings kept.
  FakeBrowser::Last()->ShowsDocument = true;
  edit->Navigate("about:blank");
  EXPECT_EQ(FakeBrowser::Last()->Html()->DesignMode, L"Off");
  EXPECT_EQ(FakeBrowser::Last()->Html()->Charset, L"gb2312");
  Free(edit);
}

TEST_F(HtmlEditTest, ANewPageIsEditedAsTheOneBefore) {
  THtmlEdit* edit = New<THtmlEdit>(nullptr);
  FakeBrowser* fake = FakeBrowser::Last();
  // Kept alive here: the browser and the component let the old page go.
  const TComPtr<FakeDocument> first(fake->Html());
  fake->NewDocumentPerNavigation = true;
  edit->SetReadOnly(true);
  edit->Navigate("about:page");
  FakeDocument* second = fake->Html();
  ASSERT_NE(first.Get(), second);
  EXPECT_EQ(second->DesignMode, L"Off");
  EXPECT_EQ(second->Charset, L"gb2312");
  edit->SetHTML(L"<body>second</body>");
  EXPECT_EQ(edit->PageText(), L"second");
  EXPECT_EQ(first->Source.find(L"second"), std::wstring::npos) << "the old page is left alone";
  const size_t before = second->Calls.size();
  edit->Commander().Bold();
  EXPECT_EQ(CallsSince(before).front(), L"execCommand Bold true true");
  Free(edit);
}

TEST_F(HtmlEditTest, FocusNeedsAnEnabledChainToAFormButNotVisibility) {
  THtmlEdit* loose = New<THtmlEdit>(nullptr);
  EXPECT_FALSE(loose->CanFocus()) << "no parent form";
  Free(loose);

  ShownForm form(40, 40, 420, 320, "Editor");
  TPanel* panel = Place<TPanel>(form.Form, 0, 0, 400, 300);
  THtmlEdit* edit = Place<THtmlEdit>(panel, 10, 10, 300, 200);
  EXPECT_TRUE(edit->CanFocus()) << "the form is not shown yet";
  edit->SetVisible(false);
  EXPECT_TRUE(edit->CanFocus()) << "an invisible editor";
  edit->SetVisible(true);
  panel->SetEnabled(false);
  EXPECT_FALSE(edit->CanFocus());
  panel->SetEnabled(true);

  form.Show();
  const size_t before = FakeBrowser::Last()->Html()->Calls.size();
  edit->SetFocus();
  EXPECT_EQ(CallsSince(before), std::vector<std::wstring>{L"focus"}) << "the document's window is focused";
}

// Records what switching a history does.
class RecordingHistory : public THistoryBase {
public:
  using THistoryBase::THistoryBase;
  std::vector<std::string> Calls;

protected:
  void Deactivate() override { Calls.push_back("deactivate"); }
  void Activate() override { Calls.push_back("activate"); }
  void Reset() override { Calls.push_back("reset"); }
};

TEST(HistoryBase, SwitchingCallsOnlyOnAChange) {
  RecordingHistory history(nullptr);
  history.SetActive(false);
  history.SetActive(true);
  history.SetActive(true);
  history.SetActive(false);
  EXPECT_EQ(history.Calls, (std::vector<std::string>{"activate", "deactivate"}));
}

}  // namespace
