// Container styles (defaults, resolution through controllers, refused
// cycles, a freed controller, the font read from a form) and the container
// control (hot tracking of the Office 2003 frame, the shadow in the window
// region, Tab navigation, colour kept with the normal style, what a refresh
// invalidates), and the unit's region and border helpers.
#include "foundation/Container.h"
#include "foundation/Office11.h"
#include "platform/FormResource.h"
#include "platform/Properties.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/foundation/LookAndFeelFixture.h"

#include <memory>
#include <string>

using namespace lookandfeel_test;
using namespace testing_support;

namespace {

// A container that publishes its normal style, as the editors do.
class TStyledContainer : public TcxContainer {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxContainer::TcxContainer;
};
const TClassInfo TStyledContainer::ClassInfo{"TStyledContainer", &TcxContainer::ClassInfo,
                                             [](TObject* owner) -> TObject* {
                                               return new TStyledContainer(static_cast<TComponent*>(owner));
                                             }};
const TPublishedRegistration styledRegistration(&TStyledContainer::ClassInfo, {
    Property<&TcxContainer::Style>("Style"),
});

class ContainerTest : public ::testing::Test {
protected:
  void SetUp() override {
    StartContainerUnits();
    FSetWindowRgn = cxSetWindowRgn;
  }
  void TearDown() override {
    cxSetWindowRgn = FSetWindowRgn;
    if (GetCapture()) ReleaseCapture();
    FinalizeUnits();
  }

private:
  TSetWindowRgnProc FSetWindowRgn = nullptr;
};

TEST_F(ContainerTest, BorderWidthsOfTheSevenStyles) {
  const struct { int Style; int Width; } cases[] = {
      {cbsNone, 0}, {cbsSingle, 1}, {cbsThick, 2}, {cbsFlat, 2}, {cbs3D, 2}, {cbsUltraFlat, 1}, {cbsOffice11, 1},
      {7, 0},                    // past the table: no room (the table has seven entries)
      {128 + cbsThick, 2},       // the style's low seven bits
      {255, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(BorderWidthOfStyle(c.Style), c.Width) << c.Style;
}

TEST_F(ContainerTest, AFreshStandardContainersStyles) {
  TcxContainer* c = TcxContainer::CreateWithOwner(nullptr);
  c->Style()->GetLookAndFeel()->SetKind(lfStandard);
  TcxContainerStyles* s = c->Styles();
  EXPECT_EQ(s->NormalStyle()->GetBorderStyle(), cbs3D);
  EXPECT_EQ(s->FocusedStyle()->GetBorderStyle(), cbs3D);
  EXPECT_TRUE(s->NormalStyle()->GetHotTrack());
  EXPECT_TRUE(s->HotStyle()->GetHotTrack()) << "non-root styles ask the root";
  EXPECT_EQ(s->NormalStyle()->GetEdges(), cxBordersAll);
  EXPECT_FALSE(s->NormalStyle()->GetShadow());
  EXPECT_TRUE(s->NormalStyle()->GetTransparentBorder());
  EXPECT_EQ(s->NormalStyle()->GetTextColor(), s->NormalStyle()->GetFont()->Color());
  EXPECT_EQ(s->DisabledStyle()->GetTextColor(), clBtnShadow);
  EXPECT_EQ(s->DisabledStyle()->GetBorderColor(), clBtnShadow);
  EXPECT_EQ(s->NormalStyle()->GetBorderColor(), clWindowFrame);
  EXPECT_EQ(s->NormalStyle()->GetColor(), clWindow);
  for (int state = 0; state < cxContainerStyleStateCount; ++state)
    EXPECT_TRUE(s->StyleForState(state)->GetAssignedValues().Empty()) << state;
  const struct { TcxLookAndFeelKind Kind; TcxContainerBorderStyle Style; } kinds[] = {
      {lfFlat, cbsFlat}, {lfStandard, cbs3D}, {lfUltraFlat, cbsUltraFlat}, {lfOffice11, cbsOffice11}};
  for (const auto& k : kinds) {
    c->Style()->GetLookAndFeel()->SetKind(k.Kind);
    EXPECT_EQ(s->NormalStyle()->GetBorderStyle(), k.Style) << k.Kind;
  }
  Free(c);
}

TEST_F(ContainerTest, LitStatesThickenTheNormalStylesBorderWhileHotTracking) {
  TcxContainer* c = TcxContainer::CreateWithOwner(nullptr);
  TcxContainerStyles* s = c->Styles();
  const struct { TcxContainerBorderStyle Normal, Lit; } cases[] = {
      {cbsNone, cbsFlat}, {cbsSingle, cbsThick}, {cbsThick, cbsThick}, {cbsFlat, cbs3D},
      {cbs3D, cbs3D},     {cbsUltraFlat, cbsUltraFlat}, {cbsOffice11, cbsOffice11},
  };
  for (const auto& k : cases) {
    s->NormalStyle()->SetHotTrack(true);
    s->NormalStyle()->SetBorderStyle(k.Normal);
    EXPECT_EQ(s->FocusedStyle()->GetBorderStyle(), k.Lit) << k.Normal;
    EXPECT_EQ(s->HotStyle()->GetBorderStyle(), k.Lit) << k.Normal;
    EXPECT_EQ(s->DisabledStyle()->GetBorderStyle(), k.Normal) << k.Normal;
    s->NormalStyle()->SetHotTrack(false);
    EXPECT_EQ(s->FocusedStyle()->GetBorderStyle(), k.Normal) << k.Normal << " without hot tracking";
  }
  Free(c);
}

TEST_F(ContainerTest, AControllersValuesReachItsListenersUnlessTheirOwnAreSet) {
  TcxStyleController* controller = TcxStyleController::CreateWithOwner(nullptr);
  controller->Style()->SetBorderColor(clRed);
  TcxContainer* a = TcxContainer::CreateWithOwner(nullptr);
  TcxContainer* b = TcxContainer::CreateWithOwner(nullptr);
  int changes = 0;
  a->Style()->SetBorderStyle(cbsSingle);  // a frame in the border colour
  a->Style()->SetStyleController(controller);
  b->Style()->SetStyleController(controller);
  EXPECT_EQ(controller->ListenerCount(), 2);
  EXPECT_EQ(a->Style()->GetStyleController(), controller);
  EXPECT_EQ(a->Styles()->FocusedStyle()->GetStyleController(), controller) << "the root's";
  EXPECT_EQ(a->Style()->GetBorderColor(), clRed);
  EXPECT_TRUE(a->Style()->IsValueAssigned(csvBorderColor));
  EXPECT_FALSE(a->Style()->GetAssignedValues().Contains(csvBorderColor));
  b->Style()->SetBorderColor(clBlue);
  EXPECT_EQ(b->Style()->GetBorderColor(), clBlue) << "the own value wins";
  controller->OnStyleChanged = TcxStyleControllerChangedEvent::Lambda([&](TcxStyleController*) { ++changes; });
  controller->Style()->SetBorderColor(clGreen);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(a->Style()->GetBorderColor(), clGreen);
  EXPECT_EQ(a->ViewInfo()->BorderColor, clGreen) << "the listener refreshed its view";
  // Freed: the listeners go back to the default controller (none here).
  Free(controller);
  EXPECT_EQ(a->Style()->GetStyleController(), nullptr);
  EXPECT_EQ(a->Style()->ActiveStyleController(), nullptr);
  EXPECT_EQ(a->Style()->GetBorderColor(), clWindowFrame);
  EXPECT_EQ(a->ViewInfo()->BorderColor, clWindowFrame);
  Free(a);
  Free(b);
}

TEST_F(ContainerTest, ACycleOfControllersIsRefused) {
  TcxStyleController* a = TcxStyleController::CreateWithOwner(nullptr);
  TcxStyleController* b = TcxStyleController::CreateWithOwner(nullptr);
  a->Style()->SetStyleController(b);
  EXPECT_EQ(a->Style()->GetStyleController(), b);
  b->Style()->SetStyleController(a);
  EXPECT_EQ(b->Style()->GetStyleController(), nullptr) << "refused without a message";
  a->Style()->SetStyleController(a);
  EXPECT_EQ(a->Style()->GetStyleController(), b) << "a controller cannot follow itself";
  EXPECT_EQ(a->FakeStyleController(), b);
  Free(a);
  Free(b);
}

TcxStyleController* TheDefaultController = nullptr;

TEST_F(ContainerTest, TheDefaultControllerIsWhatTheHookAnswers) {
  EXPECT_EQ(DefaultStyleController(), nullptr) << "none until the edit framework registers one";
  TheDefaultController = TcxStyleController::CreateWithOwner(nullptr);
  TheDefaultController->Style()->SetColor(clYellow);
  const TcxDefaultStyleControllerProc old = SetDefaultStyleControllerProc([] { return TheDefaultController; });
  TcxContainer* c = TcxContainer::CreateWithOwner(nullptr);
  EXPECT_EQ(c->Style()->ActiveStyleController(), TheDefaultController);
  EXPECT_EQ(c->Style()->GetStyleController(), nullptr) << "the default one reads as none";
  EXPECT_EQ(c->Style()->GetColor(), clYellow);
  Free(TheDefaultController);
  EXPECT_EQ(c->Style()->ActiveStyleController(), nullptr);
  EXPECT_EQ(c->Style()->GetColor(), clWindow);
  TheDefaultController = nullptr;
  Free(c);
  SetDefaultStyleControllerProc(old);
}

TEST_F(ContainerTest, TheFontAssignedMarkIsReadFromAForm) {
  // The stored mark alone assigns the font.
  const AnsiString text =
      "object Box: TStyledContainer\n"
      "  Style.IsFontAssigned = True\n"
      "end\n";
  TStyledContainer* box = New<TStyledContainer>(nullptr);
  ReadComponentText(text, box, "Box");
  EXPECT_TRUE(box->Style()->GetAssignedValues().Contains(csvFont));
  Free(box);

  // Written and read back, a font of its own stays when the parent's changes.
  TStyledContainer* source = New<TStyledContainer>(nullptr);
  TFont font;
  font.SetSize(20);
  source->Style()->SetFont(&font);
  const AnsiString written = WriteComponentText(source);
  EXPECT_NE(written.find("IsFontAssigned = True"), AnsiString::npos) << written;
  Free(source);
  TForm* form = New<TForm>(nullptr);
  TStyledContainer* read = New<TStyledContainer>(form);
  ReadComponentText(written, read, "Box");
  read->SetParent(form);
  EXPECT_TRUE(read->Style()->GetAssignedValues().Contains(csvFont));
  EXPECT_FALSE(read->ParentFont());
  form->Font()->SetSize(30);
  EXPECT_EQ(read->Style()->GetFont()->Size(), 20);
  EXPECT_EQ(read->Font()->Size(), 20);
  Free(form);
}

TEST_F(ContainerTest, TheShadowRegionCoversTheBoxAndItsCopy) {
  std::unique_ptr<TcxRegion> region(BuildWindowRegion(RECT{0, 0, 100, 20}, false, RECT{0, 0, 0, 0}, true));
  ASSERT_NE(region, nullptr);
  std::unique_ptr<TcxRegion> expected(new TcxRegion(RECT{0, 0, 100, 20}));
  expected->CombineWith(new TcxRegion(RECT{3, 3, 103, 23}), roAdd);
  EXPECT_TRUE(region->IsEqual(expected.get()));
  EXPECT_EQ(BuildWindowRegion(RECT{0, 0, 100, 20}, true, RECT{0, 0, 0, 0}, true), nullptr);
  std::unique_ptr<TcxRegion> holed(BuildWindowRegion(RECT{0, 0, 100, 20}, false, RECT{10, 5, 20, 15}, false));
  EXPECT_FALSE(PtInRegion(holed->Handle(), 12, 8));
  EXPECT_TRUE(PtInRegion(holed->Handle(), 2, 2));

  TForm* form = New<TForm>(nullptr);
  TcxContainer* c = TcxContainer::CreateWithOwner(form);
  c->SetBounds(10, 10, 120, 40);
  c->SetParent(form);
  c->Style()->SetShadow(true);
  form->Show();
  RunMessagesUntilIdle();
  HRGN window = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(c->Handle(), window), ERROR);
  // The transparent border leaves 1 pixel outside the frame; the shadow
  // copy is 3 pixels right and down.
  EXPECT_TRUE(PtInRegion(window, 1, 1));
  EXPECT_FALSE(PtInRegion(window, 0, 0));
  EXPECT_TRUE(PtInRegion(window, 118, 38)) << "the shadow's corner";
  EXPECT_FALSE(PtInRegion(window, 118, 2)) << "beside the shadow";
  DeleteObject(window);
  const RECT body = c->BodyRect();
  EXPECT_EQ(body.right, 120 - 3 - 1) << "the body leaves the shadow out";
  Free(form);
}

int RegionSets = 0;
int WINAPI CountingSetWindowRgn(HWND wnd, HRGN region, BOOL redraw) {
  ++RegionSets;
  return SetWindowRgn(wnd, region, redraw);
}

void MoveCursorTo(POINT p) {
  SendMouseMove(p.x, p.y);
  ASSERT_TRUE(RunMessagesUntil([p] {
    POINT q;
    return GetCursorPos(&q) && q.x == p.x && q.y == p.y;
  }));
  RunMessagesUntilIdle();
}

void SendLeftButton(bool up) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &in, sizeof in);
}

TEST_F(ContainerTest, AnOffice2003FrameLightsUnderTheMouse) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(200, 200, 300, 200);
  TcxContainer* c = TcxContainer::CreateWithOwner(form);
  c->SetBounds(20, 20, 120, 30);
  c->SetParent(form);
  c->Style()->SetBorderStyle(cbsOffice11);
  form->Show();
  // A window that takes a press without capturing the mouse.
  TestWindow beside(80, 80, {}, "beside", WS_POPUP | WS_VISIBLE);
  SetWindowPos(beside.Handle(), nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RunMessagesUntilIdle();
  cxSetWindowRgn = CountingSetWindowRgn;
  const TColor lit = Office11Color(41);
  auto frame = [&] { return ReadClientPixels(c->Handle()).At(1, 15); };
  const POINT outside = form->ClientToScreen(POINT{200, 150});
  MoveCursorTo(outside);
  EXPECT_EQ(frame(), Rgb(ColorToRGB(clBtnShadow))) << "unlit";

  RegionSets = 0;
  MoveCursorTo(c->ClientToScreen(POINT{60, 15}));
  EXPECT_TRUE(c->ViewInfo()->ContainerState.Contains(csfHotTrack));
  EXPECT_EQ(c->ViewInfo()->BorderColor, lit);
  EXPECT_EQ(frame(), Rgb(ColorToRGB(lit))) << "palette entry 41 while hovered";
  // Moves inside the body change no region.
  for (int x : {30, 50, 70, 90}) MoveCursorTo(c->ClientToScreen(POINT{x, 12}));
  EXPECT_EQ(RegionSets, 0);

  MoveCursorTo(outside);
  EXPECT_TRUE(RunMessagesUntil([&] { return !c->ViewInfo()->ContainerState.Contains(csfHotTrack); }));
  RunMessagesUntilIdle();
  EXPECT_EQ(frame(), Rgb(ColorToRGB(clBtnShadow))) << "back after leaving";

  // Entering with a button held (pressed on a window that does not take
  // the mouse) leaves it unlit.
  MoveCursorTo(POINT{50, 50});
  SendLeftButton(false);
  ASSERT_TRUE(RunMessagesUntil([] { return GetKeyState(VK_LBUTTON) < 0; }));
  MoveCursorTo(c->ClientToScreen(POINT{60, 15}));
  EXPECT_FALSE(c->ViewInfo()->ContainerState.Contains(csfHotTrack));
  EXPECT_EQ(frame(), Rgb(ColorToRGB(clBtnShadow)));
  SendLeftButton(true);
  RunMessagesUntilIdle();
  cxSetWindowRgn = &SetWindowRgn;
  Free(form);
}

TEST_F(ContainerTest, TabAndShiftTabMoveTheFocus) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(100, 100, 400, 200);
  auto* before = New<TEdit>(form);
  before->SetBounds(10, 10, 80, 24);
  before->SetParent(form);
  TcxContainer* c = TcxContainer::CreateWithOwner(form);
  c->SetBounds(100, 10, 100, 24);
  c->SetParent(form);
  c->AssignKeys(TcxKeys{kTab});
  auto* after = New<TEdit>(form);
  after->SetBounds(210, 10, 80, 24);
  after->SetParent(form);
  form->Show();
  RunMessagesUntilIdle();
  BYTE keys[256];
  GetKeyboardState(keys);
  const struct { const char* Name; bool Shift; TWinControl* Expected; } cases[] = {
      {"Tab", false, after},
      {"Shift+Tab", true, before},
  };
  for (const auto& k : cases) {
    c->SetFocus();
    ASSERT_EQ(GetFocus(), c->Handle()) << k.Name;
    BYTE state[256];
    std::copy(keys, keys + 256, state);
    state[VK_SHIFT] = k.Shift ? 0x80 : 0;
    SetKeyboardState(state);
    PostKey(c->Handle(), VK_TAB);
    RunMessagesUntilIdle();
    EXPECT_EQ(GetFocus(), k.Expected->Handle()) << k.Name;
  }
  SetKeyboardState(keys);
  Free(form);
}

TEST_F(ContainerTest, TheInnerControlTakesTheFocusAndTheClientRectangle) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(100, 100, 400, 200);
  TcxContainer* c = TcxContainer::CreateWithOwner(form);
  c->SetBounds(10, 10, 150, 30);
  c->SetParent(form);
  auto* inner = New<TEdit>(c);
  inner->SetParent(c);
  c->AssignInnerControl(inner);
  form->Show();
  RunMessagesUntilIdle();
  const RECT client = c->ViewInfo()->ClientRect;
  const RECT expectedClient{2, 2, 148, 28};
  EXPECT_TRUE(EqualRect(&client, &expectedClient))
      << client.left << "," << client.top << "," << client.right << "," << client.bottom;
  const RECT bounds = inner->BoundsRect();
  EXPECT_TRUE(EqualRect(&bounds, &client));
  c->SetFocus();
  RunMessagesUntilIdle();
  EXPECT_EQ(GetFocus(), inner->Handle());
  EXPECT_TRUE(c->Focused());
  EXPECT_TRUE(c->ViewInfo()->ContainerState.Contains(csfActive));
  // A refresh invalidates the frame band only.
  ValidateRect(c->Handle(), nullptr);
  c->TrackMouseAt(POINT{-1, -1}, 0, {}, false);
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(c->Handle(), update, FALSE);
  EXPECT_TRUE(PtInRegion(update, 1, 1));
  EXPECT_FALSE(PtInRegion(update, 50, 15));
  DeleteObject(update);
  // Freed with the container's form, the inner control leaves no reference.
  Free(inner);
  EXPECT_EQ(c->InnerControl(), nullptr);
  ValidateRect(c->Handle(), nullptr);
  c->TrackMouseAt(POINT{-1, -1}, 0, {}, false);
  RECT updated{};
  GetUpdateRect(c->Handle(), &updated, FALSE);
  const RECT whole{0, 0, 150, 30};
  EXPECT_TRUE(EqualRect(&updated, &whole)) << "without one, the whole bounds";
  Free(form);
}

TEST_F(ContainerTest, ColorAndTheNormalStyleFollowEachOther) {
  TForm* form = New<TForm>(nullptr);
  form->SetColor(clAqua);
  TcxContainer* c = TcxContainer::CreateWithOwner(form);
  c->SetParent(form);
  EXPECT_FALSE(c->ParentColor());
  EXPECT_EQ(c->Color(), clWindow);
  c->SetColor(clRed);
  EXPECT_TRUE(c->Style()->GetAssignedValues().Contains(csvColor));
  EXPECT_EQ(c->Style()->GetColor(), clRed);
  c->Style()->SetColor(clBlue);
  EXPECT_EQ(c->Color(), clBlue);
  EXPECT_EQ(c->ViewInfo()->BackgroundColor, clBlue);
  c->SetParentColor(true);
  EXPECT_FALSE(c->Style()->GetAssignedValues().Contains(csvColor)) << "the parent's colour drops it";
  EXPECT_EQ(c->Color(), clAqua);
  EXPECT_EQ(c->Style()->GetColor(), clAqua);
  Free(form);
}

TEST_F(ContainerTest, FreedWithEveryHandle) {
  const THandleCounts before = HandleCounts();
  {
    TcxStyleController* controller = TcxStyleController::CreateWithOwner(nullptr);
    TForm* form = New<TForm>(nullptr);
    TcxContainer* c = TcxContainer::CreateWithOwner(form);
    c->SetBounds(10, 10, 120, 30);
    c->SetParent(form);
    c->Style()->SetShadow(true);
    c->Style()->SetStyleController(controller);
    auto* inner = New<TEdit>(c);
    inner->SetParent(c);
    c->AssignInnerControl(inner);
    form->Show();
    RunMessagesUntilIdle();
    Free(form);
    Free(controller);
  }
  RunMessagesUntilIdle();
  EXPECT_EQ(HandleCounts(), before);
}

TEST_F(ContainerTest, ScalingScalesTheStylesOwnFontOnce) {
  TForm* form = New<TForm>(nullptr);
  TcxContainer* c = TcxContainer::CreateWithOwner(form);
  c->SetBounds(10, 10, 100, 20);
  c->SetParent(form);
  TFont font;
  font.SetSize(10);
  c->Style()->SetFont(&font);
  ASSERT_FALSE(c->ParentFont());
  c->ScaleBy(2, 1);
  EXPECT_EQ(c->Width(), 200);
  EXPECT_EQ(c->Style()->GetFont()->Size(), 20);
  EXPECT_EQ(c->Font()->Size(), 20);
  TcxContainer* plain = TcxContainer::CreateWithOwner(form);
  plain->SetParent(form);
  const int size = plain->Style()->GetFont()->Size();
  plain->ScaleBy(3, 2);
  EXPECT_EQ(plain->Style()->GetFont()->Size(), size) << "a font the style does not own stays";
  Free(form);
}

}  // namespace
