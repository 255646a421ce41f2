// Owner-drawn menus: items measured and drawn by their handlers on a form's
// menu bar and in a popup menu (screenshots), the default drawing with
// images and check marks, accelerators of owner-drawn items, CM_MENUCHANGED
// to the form, popup alignment, and menu messages that are not ours left
// alone.
#include "platform/Bitmap.h"
#include "platform/ImageList.h"
#include "platform/Menus.h"
#include "platform/WindowSubclass.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_support;
using namespace control_tests;

const auto* const kUnansweredDialogsFail = ::testing::AddGlobalTestEnvironment(new UnansweredDialogsFail);

constexpr TColor kItemColor = 0x00206020;  // a green no theme uses
constexpr uint32_t kItemPixel = 0x00206020 >> 16 | (0x00206020 & 0xFF00) | (0x00206020 & 0xFF) << 16;

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const char* caption) {
  auto* item = New<TMenuItem>(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

// An item that measures itself 120 x 30 and paints itself green, with its
// caption in white.
struct DrawnItem {
  int Measured = 0;
  int Drawn = 0;
  RECT LastRect{};
  void Attach(TMenuItem* item) {
    item->OnMeasureItem = TMenuMeasureItemEvent::Lambda([this](TObject*, TCanvas*, int& width, int& height) {
      ++Measured;
      width = 120;
      height = 30;
    });
    item->OnDrawItem = TMenuDrawItemEvent::Lambda([this, item](TObject*, TCanvas* canvas, const RECT& r, bool) {
      ++Drawn;
      LastRect = r;
      canvas->Brush()->SetColor(kItemColor);
      canvas->FillRect(r);
      canvas->Font()->SetColor(clWhite);
      canvas->Brush()->SetStyle(bsClear);
      RECT text{r.left + 6, r.top, r.right, r.bottom};
      canvas->TextRect(text, item->Caption(), DT_SINGLELINE | DT_VCENTER);
    });
  }
};

TEST(OwnerDrawnMenus, AMenuBarItemIsMeasuredAndDrawnByItsHandlers) {
  // The screen keeps the menu font once it made it.
  Screen->MenuFont()->Handle();
  const THandleCounts before = HandleCounts();
  {
    ShownForm form(40, 40, 360, 200, "Owner-drawn bar");
    auto* menu = New<TMainMenu>(form.Form);
    TMenuItem* file = AddItem(form.Form, menu->Items(), "&File");
    AddItem(form.Form, file, "&Open");
    AddItem(form.Form, menu->Items(), "&Help");
    DrawnItem drawn;
    drawn.Attach(file);
    form->SetMenu(menu);
    form.Show();
    ASSERT_TRUE(RunMessagesUntil([&] { return drawn.Drawn > 0; }, 3000));
    EXPECT_GT(drawn.Measured, 0);
    RECT item{};
    ASSERT_TRUE(GetMenuItemRect(form->Handle(), GetMenu(form->Handle()), 0, &item));
    // The bar takes the item's width; its height stays the bar's (Wine
    // keeps the system's bar height).
    EXPECT_GE(item.right - item.left, 120);
    // The handler's green is on the screen, inside the item.
    const Image shot = ReadWindowPixels(form->Handle());
    RECT window;
    GetWindowRect(form->Handle(), &window);
    const int x = item.left - window.left + 100, y = item.top - window.top + 3;
    EXPECT_EQ(shot.At(x, y), kItemPixel);
    SaveScreenshot(form->Handle(), "menus-owner-drawn-bar");
    // The second item keeps the system's drawing.
    EXPECT_NE(shot.At(item.right - window.left + 10, y), kItemPixel);
  }
  EXPECT_EQ(HandleCounts(), before);
}

// Runs `during` while the popup menu is open (from a timer the menu's own
// loop serves), then closes it.
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

void WhileOpen(TPopupMenu* menu, HWND owner, int x, int y, const std::function<void(HWND menuWindow)>& during) {
  OpenMenuProbe::During = during;
  OpenMenuProbe::Done = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, OpenMenuProbe::Tick);
  SetForegroundWindow(owner);
  menu->Popup(x, y);
  KillTimer(nullptr, timer);
  EXPECT_TRUE(OpenMenuProbe::Done) << "the menu opened";
  OpenMenuProbe::During = nullptr;
}

TEST(OwnerDrawnMenus, APopupMenuDrawsItsItemsAndTheHandlersItem) {
  ShownForm form(40, 40, 360, 300, "Popup");
  form.Show();
  auto* menu = New<TPopupMenu>(form.Form);
  menu->SetOwnerDraw(true);
  auto* images = New<TCustomImageList>(form.Form);
  TBitmap red;
  red.SetSize(16, 16);
  red.Canvas()->Brush()->SetColor(clRed);
  red.Canvas()->FillRect(RECT{0, 0, 16, 16});
  images->Add(&red, nullptr);
  menu->SetImages(images);
  TMenuItem* plain = AddItem(form.Form, menu->Items(), "&Plain item");
  plain->SetImageIndex(0);
  plain->SetShortCut(ShortCut('P', false, true, false));
  TMenuItem* checked = AddItem(form.Form, menu->Items(), "&Checked item");
  checked->SetChecked(true);
  AddItem(form.Form, menu->Items(), "-");
  TMenuItem* custom = AddItem(form.Form, menu->Items(), "Drawn by its handler");
  DrawnItem drawn;
  drawn.Attach(custom);
  int clicked = 0;
  custom->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicked; });

  const POINT at = form->ClientToScreen(POINT{20, 20});
  WhileOpen(menu, form->Handle(), at.x, at.y, [&](HWND menuWindow) {
    RunMessagesUntil([&] { return drawn.Drawn > 0; }, 1000);
    RunMessagesUntilIdle();
    SaveScreenshot(menuWindow, "menus-owner-drawn-popup");
    const Image shot = ReadWindowPixels(menuWindow);
    EXPECT_EQ(drawn.LastRect.right - drawn.LastRect.left >= 120, true);
    // The handler's item in its green, the image of the first item in red.
    EXPECT_EQ(shot.At(drawn.LastRect.left + 100, drawn.LastRect.top + 3), kItemPixel);
    bool redSeen = false;
    for (int y = 0; y < 30 && !redSeen; ++y)
      for (int x = 0; x < 30 && !redSeen; ++x) redSeen = shot.At(x, y) == 0xFF0000;
    EXPECT_TRUE(redSeen) << "the first item's image";
  });
  EXPECT_EQ(drawn.Measured, 1);
  EXPECT_EQ(clicked, 0);
}

TEST(OwnerDrawnMenus, PopupAlignmentPlacesTheMenuAgainstThePoint) {
  ShownForm form(40, 40, 300, 200, "Alignment");
  form.Show();
  auto* menu = New<TPopupMenu>(form.Form);
  AddItem(form.Form, menu->Items(), "An item of some width");
  const int x = 600, y = 300;
  struct Case {
    TPopupAlignment Alignment;
    const char* Name;
  };
  for (const Case& c : {Case{paLeft, "left"}, Case{paRight, "right"}, Case{paCenter, "centre"}}) {
    SCOPED_TRACE(c.Name);
    menu->SetAlignment(c.Alignment);
    RECT r{};
    WhileOpen(menu, form->Handle(), x, y, [&](HWND menuWindow) { GetWindowRect(menuWindow, &r); });
    const int expected = c.Alignment == paLeft ? r.left : c.Alignment == paRight ? r.right : (r.left + r.right) / 2;
    EXPECT_NEAR(expected, x, 1);
  }
}

TEST(OwnerDrawnMenus, AnOwnerDrawnItemsAcceleratorIsFound) {
  ShownForm form(40, 40, 300, 200, "Accelerators");
  auto* menu = New<TPopupMenu>(form.Form);
  menu->SetOwnerDraw(true);
  AddItem(form.Form, menu->Items(), "&Open");
  TMenuItem* hidden = AddItem(form.Form, menu->Items(), "&Hidden");
  hidden->SetVisible(false);
  AddItem(form.Form, menu->Items(), "&Save");
  form.Show();
  HMENU handle = menu->Handle();
  // Positions count the items the menu shows.
  EXPECT_EQ(SendMessageA(form->Handle(), WM_MENUCHAR, MAKEWPARAM('s', MF_POPUP), reinterpret_cast<LPARAM>(handle)),
            MAKELRESULT(1, MNC_EXECUTE));
  EXPECT_EQ(SendMessageA(form->Handle(), WM_MENUCHAR, MAKEWPARAM('h', MF_POPUP), reinterpret_cast<LPARAM>(handle)),
            0);
  HMENU foreign = CreatePopupMenu();
  EXPECT_EQ(SendMessageA(form->Handle(), WM_MENUCHAR, MAKEWPARAM('s', MF_POPUP), reinterpret_cast<LPARAM>(foreign)),
            0);
  DestroyMenu(foreign);
}

TEST(OwnerDrawnMenus, ItemMessagesNotOfOurItemsAreLeftAlone) {
  auto* item = New<TMenuItem>(nullptr);
  int drawn = 0;
  item->OnDrawItem = TMenuDrawItemEvent::Lambda([&](TObject*, TCanvas*, const RECT&, bool) { ++drawn; });
  auto* menu = New<TPopupMenu>(nullptr);
  menu->Items()->Add(item);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA | MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(menu->Handle(), 0, TRUE, &info));
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
  ASSERT_EQ(TMenuItem::FromItemData(info.dwItemData), item);

  TBitmap surface;
  surface.SetSize(50, 20);
  DRAWITEMSTRUCT draw{ODT_MENU, 0, 0, ODA_DRAWENTIRE, 0, nullptr, surface.Canvas()->Handle(), {0, 0, 50, 20}, 0};
  TMessage message{WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), 0};
  for (ULONG_PTR data : {ULONG_PTR(0), ULONG_PTR(12345678), info.dwItemData + 1000}) {
    draw.itemData = data;
    EXPECT_FALSE(DispatchMenuMessage(message)) << data;
  }
  EXPECT_EQ(drawn, 0);
  draw.itemData = info.dwItemData;
  EXPECT_TRUE(DispatchMenuMessage(message));
  EXPECT_EQ(drawn, 1);
  draw.CtlType = ODT_BUTTON;
  EXPECT_FALSE(DispatchMenuMessage(message)) << "a control's drawing is not a menu's";

  // An item gone (with its menu: nobody else owns it) leaves its serial dead.
  const ULONG_PTR data = info.dwItemData;
  Free(menu);
  EXPECT_EQ(TMenuItem::FromItemData(data), nullptr);
}

TEST(OwnerDrawnMenus, AChangedMenuBarReachesTheFormAsCMMenuChanged) {
  ShownForm form(40, 40, 300, 200, "Menu changes");
  auto* menu = New<TMainMenu>(form.Form);
  TMenuItem* file = AddItem(form.Form, menu->Items(), "&File");
  form->SetMenu(menu);
  form.Show();
  // Whoever subclasses the form sees the change and the new bar after it.
  int changes = 0;
  HMENU seenAfter = nullptr;
  TWindowSubclass subclass;
  subclass.Attach(form->Handle(), TWndMethod::Lambda([&](TMessage& m) {
    subclass.CallPrevious(m);
    if (m.Msg == CM_MENUCHANGED) {
      ++changes;
      seenAfter = GetMenu(form->Handle());
    }
  }));
  const HMENU old = GetMenu(form->Handle());
  file->SetCaption("&Document");
  EXPECT_EQ(changes, 1);
  ASSERT_TRUE(seenAfter);
  EXPECT_NE(seenAfter, old);
  EXPECT_EQ(GetMenu(form->Handle()), seenAfter);
  EXPECT_FALSE(IsMenu(old)) << "the old bar is gone";
  char text[32] = {};
  GetMenuStringA(seenAfter, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&Document");
  subclass.Remove();
}

}  // namespace
