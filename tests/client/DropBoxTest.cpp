// The floating drop box read from the client's own form resource, against the
// stand-in service: its window, the tray icon and its messages, hiding at the
// top, moving by the marquee, the marquee's queue, real OLE drops posted to
// the service byte for byte, the replies counted in the shared documents and
// the exit question. The cursor is moved over the box, so this program holds
// the input lock.
#include "client/DropBox.h"
#include "client/DropText.h"
#include "foundation/FoundationUnits.h"
#include "panels/PanelsUnits.h"
#include "platform/Dialogs.h"
#include "platform/HttpClient.h"
#include "platform/Units.h"
#include "skin/SkinUnit.h"
#include "tests/client/ClientFixture.h"
#include "tests/dragdrop/FakeDataObject.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace testing_support;

// Lets the drag run a few rounds over the cursor's window, then drops.
class DroppingSource : public IDropSource {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
      *object = static_cast<IDropSource*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return ++Rounds < 3 ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
  int Rounds = 0;
};

struct IconCall {
  DWORD Message;
  NOTIFYICONDATAA Data;
  BOOL ShellAnswer;
};

// Runs `during` while a popup menu is open (from a timer the menu's own loop
// serves), then closes it.
struct OpenMenuProbe {
  static inline std::function<void(HWND)> During;
  static inline bool Done = false;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (Done) return;
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow)) return;
    Done = true;
    During(menuWindow);
    EndMenu();
  }
};

const AnsiString DailyName = "%BD%F1%C8%D5%C8%D5%D6%BE";  // 今日日志 in GBK, form-encoded

class DropBox : public ClientFixture {
protected:
  void SetUp() override {
    ClientFixture::SetUp();
    UserInfo.NickName = Service->DemoUser().NickName;
    InitializeUnits({dxGDIPlusAPIUnit, dxGDIPlusClassesUnit, cxClassesUnit, dxUxThemeUnit, dxThemeManagerUnit,
                     RzCommonUnit, SkinUnit});
    OldIconCall = SetNotifyIconCall([this](DWORD message, NOTIFYICONDATAA* data) {
      const BOOL answer = Shell_NotifyIconA(message, data);
      IconCalls.push_back({message, *data, answer});
      return answer;
    });
    OldDialogs = SetDialogHandler(TDialogHandler::Lambda([this](TDialogRequest& request) {
      Dialogs.push_back(request);
      return DialogAnswer;
    }));
    Form = New<Tmform>(Application);
    ASSERT_NE(Form, nullptr);
  }
  void TearDown() override {
    if (Form) Free(Form);
    Form = nullptr;
    ClientFixture::TearDown();
    SetDialogHandler(OldDialogs);
    SetNotifyIconCall(OldIconCall);
    httpthread::SetReadTimeout(0);
    FinalizeUnits();
  }

  // Shows the box where it stands, above everything.
  void ShowBox() {
    Form->Show();
    SetWindowPos(Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RunMessagesUntilIdle();
  }

  // A real OLE drag onto the box's marquee, the cursor moved there by input.
  void Drop(FakeDataObject& data) {
    POINT centre{Form->ms1->Left() + Form->ms1->Width() / 2, Form->ms1->Top() + Form->ms1->Height() / 2};
    ClientToScreen(Form->Handle(), &centre);
    SendMouseMove(centre.x, centre.y);
    ASSERT_TRUE(RunMessagesUntil([&] {
      POINT at{};
      GetCursorPos(&at);
      return at.x == centre.x && at.y == centre.y;
    }));
    ASSERT_EQ(GetAncestor(WindowFromPoint(centre), GA_ROOT), Form->Handle()) << "another window covers the box";
    DroppingSource source;
    DWORD effect = DROPEFFECT_NONE;
    EXPECT_EQ(DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
  }

  // The body an in.php request of the demo user carries (every pair ends
  // with "&").
  AnsiString AddBody(const AnsiString& content, const AnsiString& title) const {
    return "cid=" + DailyName + "&uid=" + THttpClient::EncodeFormValue(UserInfo.UserId) + "&content=" + content +
           "&dm=" + THttpClient::EncodeFormValue(UserInfo.SessionToken) + "&ti=" + title + "&";
  }

  // A mouse message for the marquee (a control without a window of its own)
  // at a point of its own.
  void ToMarquee(UINT msg, WPARAM keys, int x, int y) {
    SendMessageA(Form->Handle(), msg, keys, MAKELPARAM(Form->ms1->Left() + x, Form->ms1->Top() + y));
  }

  bool WaitForCaption(const AnsiString& text) {
    return RunMessagesUntil([&] { return Form->ms1->Caption() == text; }, 20000);
  }

  // The count of a category, or "" when the document lacks it.
  static AnsiString CountOf(const TXmlDocument& doc, const AnsiString& key) {
    const TXmlNode g = FindCategory(doc, key);
    return g ? g.SelectSingleNode("con").Text() : AnsiString();
  }

  Tmform* Form = nullptr;
  std::vector<IconCall> IconCalls;
  std::vector<TDialogRequest> Dialogs;
  int DialogAnswer = IDNO;
  TNotifyIconCall OldIconCall;
  TDialogHandler OldDialogs;
};

TEST_F(DropBox, IsASmallBorderlessTopmostSemiTransparentBox) {
  ShowBox();
  RECT r{};
  GetWindowRect(Form->Handle(), &r);
  EXPECT_EQ(r.left, 800);
  EXPECT_EQ(r.top, 2);
  EXPECT_EQ(r.right - r.left, 145);
  EXPECT_EQ(r.bottom - r.top, 60);
  const LONG_PTR style = GetWindowLongPtrA(Form->Handle(), GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrA(Form->Handle(), GWL_EXSTYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0);
  EXPECT_EQ(exStyle & WS_EX_TOPMOST, WS_EX_TOPMOST);
  EXPECT_EQ(exStyle & WS_EX_LAYERED, WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(Form->Handle(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 180);
  EXPECT_EQ(flags & LWA_ALPHA, DWORD(LWA_ALPHA));
  char caption[64] = {};
  GetWindowTextA(Form->Handle(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Mevra-主页面");
  EXPECT_TRUE(Form->KeyPreview());
  // The box sets exactly WS_EX_TOOLWINDOW; the window manager adds
  // WS_EX_WINDOWEDGE itself to a window with a frame.
  EXPECT_EQ(GetWindowLongPtrA(Application->Handle(), GWL_EXSTYLE) & ~LONG_PTR(WS_EX_WINDOWEDGE), 0x80);
  // Start-up state.
  EXPECT_EQ(SelectedCategory.Key, "-1");
  EXPECT_EQ(ReplyWindow, Form->Handle());
  EXPECT_EQ(Form->MarqueeQueue.Count(), 0);
  EXPECT_EQ(Form->MoveOriginX, 0);
  EXPECT_EQ(Form->MoveOriginY, 0);
  // The marquee and its companions as the form holds them.
  EXPECT_EQ(Form->ms1->Caption(), " 拖入保存");
  EXPECT_EQ(Form->ms1->ScrollDelay(), 40);
  EXPECT_EQ(Form->ms1->Color(), clSkyBlue);
  EXPECT_EQ(Form->ms1->Font()->Name(), "宋体");
  EXPECT_EQ(Form->ms1->Font()->Height(), -14);
  EXPECT_TRUE(Form->ms1->Font()->Style().Contains(fsBold));
  EXPECT_EQ(Form->ms1->PopupMenu(), Form->PopupMenu1);
  EXPECT_EQ(Form->ms1->Align(), alClient);
  EXPECT_EQ(Form->tmwh->Interval(), 50u);
  EXPECT_FALSE(Form->tmwh->Enabled());
  ASSERT_EQ(Form->PopupMenu1->Items()->Count(), 4);
  const char* const items[] = {"打开管理界面", "Mevra帮助", "关于Mevra", "退出Mevra"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Form->PopupMenu1->Items()->Items(i)->Caption(), items[i]);
  ASSERT_EQ(Form->PopupMenu2->Items()->Count(), 2);
  EXPECT_EQ(Form->N1->Caption(), "查看个人资料");
  EXPECT_EQ(Form->N5->Caption(), "修改个人资料");
  EXPECT_EQ(Form->ToolBar1->ButtonCount(), 5);
  EXPECT_EQ(Form->ToolButton3->DropdownMenu(), Form->PopupMenu2);
  EXPECT_EQ(Form->ToolButton5->DropdownMenu(), Form->PopupMenu1);
  EXPECT_EQ(Form->DropTextTarget1->Target(), Form->Handle());
  EXPECT_EQ(Form->DropTextTarget1->DragTypes, (TDragTypes{dtCopy, dtLink}));
  EXPECT_EQ(Form->DropURLTarget1->Target(), nullptr);
}

// The skin data as the form holds it, carrying the house skin as it is
// committed (a form left behind by a changed house skin fails here: refresh
// it with skintool formtext).
TEST_F(DropBox, CarriesTheHouseSkinForEveryWindow) {
  TSkinData* skin = Form->SkinData1;
  ASSERT_NE(skin, nullptr);
  EXPECT_TRUE(skin->Active());
  EXPECT_EQ(skin->DisableTag(), 99);
  EXPECT_EQ(skin->SkinFormtype(), sfMainform);
  EXPECT_EQ(skin->Options(), (TSkinOptions{xoPreview, xoToolbarBK, xoCaptionButtonHint}));
  EXPECT_EQ(skin->Version(), "5.40.07.15");
  EXPECT_TRUE(skin->MenuUpdate());
  EXPECT_TRUE(skin->MenuMerge());
  EXPECT_FALSE(skin->SkinControls().Contains(xcMenuItem));
  EXPECT_FALSE(skin->SkinControls().Contains(xcFastReport));
  // The twenty other kinds.
  for (int i = 0; i <= static_cast<int>(xcSystemMenu); ++i)
    if (i != static_cast<int>(xcMenuItem)) {
      EXPECT_TRUE(skin->SkinControls().Contains(static_cast<TSkinControlType>(i))) << "kind " << i;
    }
  EXPECT_TRUE(skin->SkinLoaded());
  std::ifstream in(MEVRA_HOUSE_SKIN_FILE, std::ios::binary);
  ASSERT_TRUE(in) << MEVRA_HOUSE_SKIN_FILE;
  std::ostringstream house;
  house << in.rdbuf();
  EXPECT_TRUE(skin->Package().DataString() == house.str()) << "the form's skin is not the committed house skin";
}

// The tool bars' pictures: one strip of 16 x 16 images with a transparent
// background, the article list's at 12.
TEST_F(DropBox, TheImageListHoldsTheClientsPictures) {
  ASSERT_NE(Form->ImageList1, nullptr);
  EXPECT_EQ(Form->ToolBar1->Images(), Form->ImageList1);
  EXPECT_EQ(Form->ImageList1->Width(), 16);
  EXPECT_EQ(Form->ImageList1->Height(), 16);
  ASSERT_GE(Form->ImageList1->Count(), ClientImageCount);
  ASSERT_GT(Form->ImageList1->Count(), ArticleListImage);
  // Drawn on white: the corner stays white (the magenta is masked out) and
  // every image draws something of its own.
  std::set<std::vector<COLORREF>> seen;
  for (int i = 0; i < Form->ImageList1->Count(); ++i) {
    TBitmap canvas;
    canvas.SetSize(16, 16);
    canvas.Canvas()->Brush()->SetColor(clWhite);
    canvas.Canvas()->FillRect(RECT{0, 0, 16, 16});
    Form->ImageList1->Draw(canvas.Canvas(), 0, 0, i);
    std::vector<COLORREF> pixels;
    bool magenta = false;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const COLORREF c = GetPixel(canvas.Canvas()->Handle(), x, y);
        magenta = magenta || c == RGB(255, 0, 255);
        pixels.push_back(c);
      }
    EXPECT_FALSE(magenta) << "image " << i << " shows its mask colour";
    EXPECT_EQ(pixels.back(), RGB(255, 255, 255)) << "image " << i;
    EXPECT_TRUE(seen.insert(pixels).second) << "image " << i << " repeats an earlier one";
  }
}

TEST_F(DropBox, InstallsTheTrayIconAndDeletesItWhenItGoes) {
  ASSERT_EQ(IconCalls.size(), 1u);
  const IconCall& add = IconCalls[0];
  EXPECT_EQ(add.Message, DWORD(NIM_ADD));
  EXPECT_EQ(add.Data.cbSize, DWORD(NOTIFYICONDATAA_V1_SIZE));
#ifndef _WIN64
  EXPECT_EQ(add.Data.cbSize, 88u);
#endif
  EXPECT_EQ(add.Data.hWnd, Form->Handle());
  EXPECT_EQ(add.Data.uID, 1u);
  EXPECT_EQ(add.Data.uFlags, 7u);
  EXPECT_EQ(add.Data.uCallbackMessage, 0x401u);
  // The program's own icon, drawn for it, not the system's stand-in.
  EXPECT_EQ(add.Data.hIcon, LoadIconA(GetModuleHandleA(nullptr), "MAINICON"));
  EXPECT_NE(add.Data.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
  EXPECT_STREQ(add.Data.szTip, "Mevra");
  // The shell's answer as the box got it; Wine on the virtual display may
  // have no notification area to put the icon in.
  RecordProperty("ShellAnswerToAdd", add.ShellAnswer ? "TRUE" : "FALSE");
  const HWND box = Form->Handle();
  Free(Form);
  Form = nullptr;
  ASSERT_EQ(IconCalls.size(), 2u);
  EXPECT_EQ(IconCalls[1].Message, DWORD(NIM_DELETE));
  EXPECT_EQ(IconCalls[1].Data.hWnd, box);
  EXPECT_EQ(IconCalls[1].Data.uID, 1u);
  EXPECT_EQ(IconCalls[1].ShellAnswer, add.ShellAnswer);
}

TEST_F(DropBox, TrayMessagesBringTheBoxBackOrPopTheMenu) {
  ShowBox();
  struct Case {
    LPARAM Mouse;
    bool BringsBack;
  };
  const Case cases[] = {{WM_LBUTTONDOWN, true}, {WM_MOUSEMOVE, false}, {WM_LBUTTONUP, false},
                        {WM_LBUTTONDBLCLK, false}, {WM_RBUTTONUP, false}, {WM_MBUTTONDOWN, false}};
  for (const Case& c : cases) {
    Form->ToolButton4->Click();
    ASSERT_EQ(Form->Top(), -57);
    ASSERT_TRUE(Form->tmwh->Enabled());
    SendMessageA(Form->Handle(), 0x401, 1, c.Mouse);
    EXPECT_EQ(Form->Top(), c.BringsBack ? 2 : -57) << c.Mouse;
    EXPECT_EQ(Form->tmwh->Enabled(), !c.BringsBack) << c.Mouse;
    Form->SetTop(2);
    Form->tmwh->SetEnabled(false);
  }

  // The right button pops the tray menu where the cursor is.
  SetCursorPos(600, 300);
  ASSERT_TRUE(RunMessagesUntil([] {
    POINT at{};
    GetCursorPos(&at);
    return at.x == 600 && at.y == 300;
  }));
  RECT menuRect{};
  OpenMenuProbe::During = [&](HWND menu) {
    GetWindowRect(menu, &menuRect);
    SaveScreenshot(menu, "drop-box-tray-menu");
  };
  OpenMenuProbe::Done = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, OpenMenuProbe::Tick);
  SetForegroundWindow(Form->Handle());
  SendMessageA(Form->Handle(), 0x401, 1, WM_RBUTTONDOWN);
  KillTimer(nullptr, timer);
  OpenMenuProbe::During = nullptr;
  ASSERT_TRUE(OpenMenuProbe::Done) << "the tray menu opened";
  EXPECT_EQ(menuRect.left, 600);
  EXPECT_EQ(menuRect.top, 300);
}

TEST_F(DropBox, HidesAtTheTopUntilTheMouseTouchesIt) {
  ShowBox();
  struct Case {
    const char* Name;
    int X, Y;  // relative to the box's left and its hidden top
    bool Shows;
  };
  // The box reaches from its top to top + height, both edges included.
  const Case cases[] = {
      {"on the visible strip", 10, 58, true},
      {"on the bottom edge", 10, 60, true},
      {"one below the bottom edge", 10, 61, false},
      {"on the left edge", 0, 58, true},
      {"one left of it", -1, 58, false},
      {"on the right edge", 145, 58, true},
      {"one right of it", 146, 58, false},
  };
  for (const Case& c : cases) {
    Form->RzToolButton3Click(nullptr);
    ASSERT_EQ(Form->Top(), -57);
    SetCursorPos(Form->Left() + c.X, Form->Top() + c.Y);
    Form->tmwhTimer(nullptr);
    EXPECT_EQ(Form->Top(), c.Shows ? 2 : -57) << c.Name;
    EXPECT_EQ(Form->tmwh->Enabled(), !c.Shows) << c.Name;
  }
  // Hidden again, with the real timer: the mouse comes, the box follows.
  SetCursorPos(Form->Left() + 20, 200);
  Form->ToolButton4->Click();
  SaveScreenshot(GetDesktopWindow(), "drop-box-hidden-at-the-top");
  EXPECT_TRUE(RunTimerTicks(50, 3));
  EXPECT_EQ(Form->Top(), -57);
  SendMouseMove(Form->Left() + 20, 1);
  EXPECT_TRUE(RunMessagesUntil([&] { return Form->Top() == 2; }));
  EXPECT_FALSE(Form->tmwh->Enabled());
}

TEST_F(DropBox, MovesWithTheLeftButtonOnTheMarqueeAndSnapsToTheTop) {
  ShowBox();
  ToMarquee(WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
  EXPECT_EQ(Form->MoveOriginX, 10);
  EXPECT_EQ(Form->MoveOriginY, 10);
  ToMarquee(WM_MOUSEMOVE, MK_LBUTTON, 50, 14);
  EXPECT_EQ(Form->Left(), 840);
  EXPECT_EQ(Form->Top(), 6);
  ToMarquee(WM_LBUTTONUP, 0, 50, 14);
  EXPECT_EQ(Form->Left(), 840);
  EXPECT_EQ(Form->Top(), 2);
  EXPECT_EQ(Form->MoveOriginX, 0);
  EXPECT_EQ(Form->MoveOriginY, 0);

  // The right button does not move it (its menu is taken off for the test,
  // so that the button's release opens nothing).
  Form->ms1->SetPopupMenu(nullptr);
  ToMarquee(WM_RBUTTONDOWN, MK_RBUTTON, 10, 10);
  ToMarquee(WM_MOUSEMOVE, MK_RBUTTON, 50, 30);
  ToMarquee(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 50, 30);
  EXPECT_EQ(Form->Left(), 840);
  EXPECT_EQ(Form->Top(), 2);
  ToMarquee(WM_RBUTTONUP, 0, 50, 30);
  Form->ms1->SetPopupMenu(Form->PopupMenu1);

  // A click puts the box back at the top, unless it was on the top-left pixel.
  struct Case {
    int X, Y, Top;
  };
  const Case clicks[] = {{5, 5, 2}, {0, 7, 2}, {0, 0, 30}};
  for (const Case& c : clicks) {
    Form->SetTop(30);
    ToMarquee(WM_LBUTTONDOWN, MK_LBUTTON, c.X, c.Y);
    ToMarquee(WM_LBUTTONUP, 0, c.X, c.Y);
    EXPECT_EQ(Form->Top(), c.Top) << c.X << "," << c.Y;
    EXPECT_EQ(Form->Left(), 840);
  }
}

TEST_F(DropBox, TheMarqueeTakesItsTextsFromTheQueue) {
  ShowBox();
  struct Case {
    std::vector<AnsiString> Queue;
    AnsiString Caption;
    std::vector<AnsiString> Left;
  };
  const Case cases[] = {
      {{}, "拖入保存！", {"祝演示用户使用愉快!"}},
      {{"增加信息1条"}, "增加信息1条", {}},
      {{"一", "二", "三"}, "一", {"二", "三"}},
  };
  for (const Case& c : cases) {
    Form->MarqueeQueue.Clear();
    for (const AnsiString& text : c.Queue) Form->MarqueeQueue.Add(text);
    Form->ms1ScrollComplete(Form->ms1);
    EXPECT_EQ(Form->ms1->Caption(), c.Caption);
    std::vector<AnsiString> left;
    for (int i = 0; i < Form->MarqueeQueue.Count(); ++i) left.push_back(Form->MarqueeQueue[i]);
    EXPECT_EQ(left, c.Left);
  }
  // A pass that ends runs the same handler.
  Form->MarqueeQueue.Clear();
  Form->MarqueeQueue.Add("下一条");
  ASSERT_TRUE(RunMessagesUntil([&] { return Form->ms1->Caption() == "下一条"; }, 30000));

  // A text shown by the box starts from the beginning.
  for (int i = 0; i < 30; ++i) Form->ms1->ScrollTick(nullptr);
  ASSERT_GT(Form->ms1->ScrollOffset(), 0);
  SaveScreenshot(Form->Handle(), "drop-box-mid-scroll");
  Form->ShowText("正在处理信息！");
  EXPECT_EQ(Form->ms1->ScrollOffset(), 0);
  EXPECT_TRUE(Form->ms1->Scrolling());
  EXPECT_EQ(Form->ms1->Caption(), "正在处理信息！");
}

// ---- drops ----

struct DropCase {
  const char* Name;
  std::string Plain;  // CF_TEXT without its zero ("" = not offered)
  std::string Html;   // "HTML Format" ("" = not offered)
  AnsiString Content;
  AnsiString Title;
};

TEST_F(DropBox, RealDropsArePostedToTheServiceByteForByte) {
  ShowBox();
  const std::string cfHtml = "Version:0.9\r\nStartHTML:00000097\r\n<html><body><!--StartFragment-->"
                             "<b>\xE4\xBB\x8A\xE6\x97\xA5</b><!--EndFragment--></body></html>";
  const DropCase cases[] = {
      {"plain text", "Hello world\r\nsecond", "", "Hello+world%0D%0Asecond", "Helloworld"},
      {"HTML with its plain text", "今日", cfHtml, "%3Cb%3E%BD%F1%C8%D5%3C%2Fb%3E", "%BD%F1%C8%D5"},
      {"a longer plain text wins", "今日 and more", cfHtml, "%BD%F1%C8%D5+and+more", "%BD%F1%C8%D5andmore"},
      {"HTML without a start marker", "abc", "Version:0.9\r\n<html><body>abc</body></html>", "abc", "abc"},
      {"blank plain text", "  ", "", "++", "%CE%DE%D6%F7%CC%E2%21"},
  };
  for (const DropCase& c : cases) {
    Service->ClearRequests();
    FakeDataObject data;
    if (!c.Plain.empty()) data.Offer(CF_TEXT, c.Plain + '\0');
    if (!c.Html.empty()) data.Offer(static_cast<CLIPFORMAT>(RegisterClipboardFormatA("HTML Format")), c.Html + '\0');
    Drop(data);
    EXPECT_EQ(Form->ms1->Caption(), "正在处理信息！") << c.Name;
    EXPECT_EQ(ReplyWindow, Form->Handle());
    ASSERT_TRUE(WaitForCaption("增加信息1条")) << c.Name;
    ASSERT_TRUE(WaitForWorkers());
    const std::vector<TFakeRequest> requests = Service->Requests();
    ASSERT_EQ(requests.size(), 1u) << c.Name;
    EXPECT_EQ(requests[0].Method, "POST");
    EXPECT_EQ(requests[0].Endpoint, "in.php");
    EXPECT_EQ(requests[0].Body, AddBody(c.Content, c.Title)) << c.Name;
  }
  SaveScreenshot(Form->Handle(), "drop-box-article-added");
}

TEST_F(DropBox, ADropWithoutTextFilesNothing) {
  ShowBox();
  FakeDataObject data;
  data.Offer(static_cast<CLIPFORMAT>(RegisterClipboardFormatA("HTML Format")),
             std::string("Version:0.9\r\n<html><body>no fragment</body></html>") + '\0');
  Drop(data);
  EXPECT_EQ(Form->ms1->Caption(), NothingDroppedText);
  ASSERT_TRUE(WaitForWorkers());
  EXPECT_EQ(Service->RequestCount(), 0u);
}

TEST_F(DropBox, RepliesCountTheArticleInItsCategory) {
  struct Case {
    const char* Name;
    AnsiString Reply;     // the elements after op
    bool Daily;
    AnsiString Key;
    AnsiString Count;     // afterwards
    bool First;           // the category is then the document's first
  };
  const AnsiString daily = "<con><g k=\"2026-12-10\"><id>2026-12-10</id><con>3</con><n>2026-12-10</n></g></con>";
  const AnsiString knowledge = "<con><g k=\"7\"><id>7</id><con> 5 </con><n>工具</n></g>"
                               "<g k=\"8\"><id>8</id><con>0</con><n>读书</n></g></con>";
  const Case cases[] = {
      {"today's daily category", "<jr>1</jr><da>2026-12-10</da><classid>x</classid><classnm>x</classnm><classif>0</classif>",
       true, "2026-12-10", "4", true},
      {"an unknown date", "<jr>1</jr><da>2026-12-11</da><classid>x</classid><classnm>x</classnm><classif>0</classif>",
       true, "2026-12-11", "1", true},
      {"a knowledge category", "<jr>0</jr><da>2026-12-11</da><classid>8</classid><classnm>读书</classnm><classif>0</classif>",
       false, "8", "1", false},
      {"a trimmed count", "<jr>0</jr><da>2026-12-11</da><classid>7</classid><classnm>工具</classnm><classif>0</classif>",
       false, "7", "6", true},
      {"a new knowledge category", "<jr>0</jr><da>2026-12-11</da><classid>9</classid><classnm>新类</classnm><classif>1</classif>",
       false, "9", "1", true},
      {"a key the document lacks", "<jr>0</jr><da>2026-12-11</da><classid>10</classid><classnm>别类</classnm><classif>0</classif>",
       false, "10", "1", true},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(DailyDoc->LoadXML(daily));
    ASSERT_TRUE(KnowledgeDoc->LoadXML(knowledge));
    ASSERT_TRUE(ReplyDoc->LoadXML("<con><ifs>1</ifs><op>add</op>" + c.Reply + "</con>"));
    SendMessageA(Form->Handle(), WM_REPLYREADY, 0, 0);
    const TXmlDocument& doc = c.Daily ? *DailyDoc : *KnowledgeDoc;
    EXPECT_EQ(CountOf(doc, c.Key), c.Count) << c.Name;
    const TXmlNode first = doc.SelectSingleNode("con/g");
    ASSERT_TRUE(first) << c.Name;
    EXPECT_EQ(first.GetAttribute("k") == c.Key, c.First) << c.Name;
    if (c.Count == "1" && c.First) {
      EXPECT_EQ(first.SelectSingleNode("id").Text(), c.Key) << c.Name;
      EXPECT_FALSE(first.SelectSingleNode("n").Text().empty()) << c.Name;
    }
    EXPECT_EQ(Form->ms1->Caption(), "增加信息1条") << c.Name;
    Form->ShowText("x");
  }
  // Other replies are left alone.
  ASSERT_TRUE(ReplyDoc->LoadXML("<con><ifs>1</ifs><op>del</op></con>"));
  SendMessageA(Form->Handle(), WM_REPLYREADY, 0, 0);
  ASSERT_TRUE(ReplyDoc->LoadXML("<con><ifs>0</ifs><op>add</op></con>"));
  SendMessageA(Form->Handle(), WM_REPLYREADY, 0, 0);
  EXPECT_EQ(Form->ms1->Caption(), "x");
  EXPECT_TRUE(Dialogs.empty());
}

TEST_F(DropBox, TwoQuickDropsPostTwoArticlesAndCountBoth) {
  ShowBox();
  ReplyCounter loads;
  LoadDailyCategories(loads.Handle());
  ASSERT_TRUE(loads.WaitFor(1));
  ReplyWindow = Form->Handle();
  const AnsiString today = ReplyTextDef(*DailyDoc, "con/g/id");
  ASSERT_FALSE(today.empty());
  const int before = StrToInt(CountOf(*DailyDoc, today));
  Service->ClearRequests();
  Service->SetHang(true, "in.php");
  FakeDataObject first;
  first.Offer(CF_TEXT, WithNul("first drop"));
  Drop(first);
  FakeDataObject second;
  second.Offer(CF_TEXT, WithNul("second drop"));
  Drop(second);
  ASSERT_TRUE(Service->WaitForRequests(2, 10000));
  Service->SetHang(false);
  ASSERT_TRUE(WaitForWorkers());
  std::vector<std::string> bodies;
  for (const TFakeRequest& r : Service->Requests()) bodies.push_back(r.Body);
  std::sort(bodies.begin(), bodies.end());
  EXPECT_EQ(bodies, (std::vector<std::string>{AddBody("first+drop", "firstdrop"), AddBody("second+drop", "seconddrop")}));
  EXPECT_EQ(CountOf(*DailyDoc, today), IntToStr(before + 2));
  EXPECT_EQ(Form->ms1->Caption(), "增加信息1条");
}

TEST_F(DropBox, AFailedPostSaysSoAndTheNextDropWorks) {
  ShowBox();
  httpthread::SetReadTimeout(300);
  struct Case {
    const char* Name;
    std::function<void()> Break;
    std::function<void()> Mend;
  };
  const Case cases[] = {
      {"500 five times", [&] { Service->FailNext(5); }, [] {}},
      {"no answer", [&] { Service->SetHang(true, "in.php"); }, [&] { Service->SetHang(false); }},
  };
  for (const Case& c : cases) {
    Service->ClearRequests();
    c.Break();
    FakeDataObject data;
    data.Offer(CF_TEXT, WithNul("lost text"));
    Drop(data);
    EXPECT_TRUE(WaitForCaption(DropFailedText)) << c.Name;
    EXPECT_TRUE(Service->WaitForRequests(5, 10000)) << c.Name;
    c.Mend();
    ASSERT_TRUE(WaitForWorkers());
    Service->ClearRequests();
    FakeDataObject again;
    again.Offer(CF_TEXT, WithNul("kept text"));
    Drop(again);
    EXPECT_TRUE(WaitForCaption("增加信息1条")) << c.Name;
    ASSERT_TRUE(WaitForWorkers());
    ASSERT_EQ(Service->RequestCount(), 1u) << c.Name;
    EXPECT_EQ(Service->Requests()[0].Body, AddBody("kept+text", "kepttext"));
  }
  EXPECT_TRUE(Dialogs.empty());
}

TEST_F(DropBox, AReplyThatIsNotXmlShowsOneErrorBox) {
  ShowBox();
  Service->AnswerNonXml(1);
  FakeDataObject data;
  data.Offer(CF_TEXT, WithNul("text"));
  Drop(data);
  ASSERT_TRUE(RunMessagesUntil([&] { return !Dialogs.empty(); }, 20000));
  ASSERT_TRUE(WaitForWorkers());
  ASSERT_EQ(Dialogs.size(), 1u);
  EXPECT_NE(Dialogs[0].Text.find("con/ifs"), AnsiString::npos) << Dialogs[0].Text;
  EXPECT_EQ(Dialogs[0].Flags & MB_ICONSTOP, UINT(MB_ICONSTOP));
  EXPECT_EQ(Form->ms1->Caption(), "正在处理信息！");
}

// ---- commands ----

TEST_F(DropBox, ExitAsksAndOnlyYesClosesTheBox) {
  ShowBox();
  for (int answer : {IDNO, IDCANCEL}) {
    DialogAnswer = answer;
    Form->N4->Click();
    RunMessagesUntilIdle();
    ASSERT_TRUE(IsWindow(Form->Handle()));
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
  }
  ASSERT_EQ(Dialogs.size(), 2u);
  for (const TDialogRequest& d : Dialogs) {
    EXPECT_EQ(d.Kind, dkMessageBox);
    EXPECT_EQ(d.Text, "是否关闭");
    EXPECT_EQ(d.Caption, "请确认关闭");
    EXPECT_EQ(d.Flags, UINT(MB_YESNOCANCEL | MB_ICONQUESTION));
  }
  DialogAnswer = IDYES;
  const HWND box = Form->Handle();
  bool destroyed = false;
  Form->OnDestroy = TNotifyEvent::Lambda([&](TObject*) { destroyed = true; });
  Form->N4->Click();
  ASSERT_TRUE(RunMessagesUntil([&] { return destroyed; }));
  Form = nullptr;
  EXPECT_FALSE(IsWindow(box));
  ASSERT_EQ(IconCalls.size(), 2u);
  EXPECT_EQ(IconCalls[1].Message, DWORD(NIM_DELETE));
}

TEST_F(DropBox, TheAboutBoxIsMadeOnceWithoutOwnerAndShown) {
  ShowBox();
  ASSERT_EQ(hform, nullptr);
  Form->ToolButton5->Click();
  ASSERT_NE(hform, nullptr);
  Thform* made = hform;
  EXPECT_EQ(made->Owner(), nullptr);
  EXPECT_TRUE(IsWindowVisible(made->Handle()));
  made->Button1->Click();
  EXPECT_FALSE(IsWindowVisible(made->Handle()));
  Form->N3->Click();
  EXPECT_EQ(hform, made);
  EXPECT_TRUE(IsWindowVisible(made->Handle()));
  // The about box goes with the drop box.
  Free(Form);
  Form = nullptr;
  EXPECT_EQ(hform, nullptr);
}

}  // namespace
