// Menus of skinned windows: owner-drawn items, the skinned menu bar with its
// drop-downs, keyboard and mouse, the replacement system menu, and the
// popup-menu window's frame and background. The tests that open menus run
// their steps from inside the menu loops (TModalStep) and send real input:
// the program holds the input lock.
#include "platform/ImageList.h"
#include "platform/Menus.h"
#include "platform/ShortCuts.h"
#include "platform/ThreadHook.h"
#include "platform/WindowSubclass.h"
#include "skin/SkinDraw.h"
#include "skin/SkinVersion.h"
#include "skin/WinSkinMenu.h"
#include "tests/skin/SkinFormTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using namespace skin_tests;
using namespace testing_support;

// House skin colours.
constexpr uint32_t kWhite = 0xFFFFFF, kHot = 0xD9ECF4, kShadow = 0xA7B2C0, kText = 0x1E2833, kGutter = 0xF1F3F6;

RECT WindowRect(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}

// The visible popup-menu window, or null.
HWND OpenMenuWindow() {
  HWND menu = FindWindowA("#32768", nullptr);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

bool Highlighted(HMENU menu, int position) {
  return (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_HILITE) != 0;
}

void PressKey(WORD vk) {
  SendKey(vk);
  SendKey(vk, true);
}

void PressAltWith(WORD vk) {
  SendKey(VK_MENU);
  PressKey(vk);
  SendKey(VK_MENU, true);
}

// Steps run in order from inside the menu loops: each waits until it is
// ready, then acts.
struct TMenuStep {
  std::string Name;
  std::function<bool()> Ready;
  std::function<void()> Act;
};

class SkinMenuTest : public SkinFormTest {
protected:
  void SetUp() override {
    // The mouse away from every window: a pointer over the bar would move
    // an open drop-down to the item under it.
    SetCursorPos(2, GetSystemMetrics(SM_CYSCREEN) - 2);
  }

  TWinSkinForm* ShowSkinned(TForm* form) {
    ShowAndActivate(form);
    TWinSkinForm* skinner = WaitForSkinner(form->Handle());
    RunMessagesUntilIdle();
    return skinner;
  }

  // Starts with `start` and runs the steps; a step that is not ready in time
  // fails the test and every menu is closed.
  void RunSteps(const std::vector<TMenuStep>& steps, const std::function<void()>& start) {
    size_t next = 0;
    TModalStep step([&](bool last) {
      if (next < steps.size() && steps[next].Ready()) {
        if (steps[next].Act) steps[next].Act();
        ++next;
      }
      if (last && next < steps.size()) {
        ADD_FAILURE() << "not reached: " << steps[next].Name;
        EndMenu();
        return true;
      }
      return next == steps.size();
    });
    step.Post();
    start();
    RunMessagesUntil([&] { return step.Done() && !OpenMenuWindow() && !MenuLoopHookInstalled(); }, 30000);
    EXPECT_EQ(next, steps.size());
    EXPECT_FALSE(MenuLoopHookInstalled()) << "the hook lives as long as a drop-down";
  }

  // Ready once the bar's drop-down `index` is open with its first item
  // selected.
  static std::function<bool()> DropDownOpen(TWinSkinForm* skinner, int index) {
    return [skinner, index] {
      return OpenMenuWindow() && MenuLoopIndex() == index && skinner->TrackedMenu() &&
             Highlighted(skinner->TrackedMenu(), 0);
    };
  }
};

// -- Owner-drawn items

TEST_F(SkinMenuTest, MeasuredWidthsAddTheSkinsRoom) {
  MakeSkinData();
  TForm* form = MakeForm("Measures");
  TMainMenu* main = AddMenuBar(form);
  auto* popup = new TPopupMenu(form);
  NewMenuItem(form, "A popup item", popup->Items());
  auto* images = new TCustomImageList(form);
  images->SetSize(16, 16);
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  // The house skin's MenuItem image has a left margin of 3.
  struct Case {
    const char* Name;
    TMenu* Menu;
    TMenuItem* Item;
    bool Images;
    TMenuMeasureItemEvent Handler;
    int Added;
  };
  const auto mainHandler = TMenuMeasureItemEvent::Bind<&TWinSkinForm::MeasureMainMenuItem>(skinner);
  const auto popupHandler = TMenuMeasureItemEvent::Bind<&TWinSkinForm::MeasurePopupItem>(skinner);
  TMenuItem* open = main->Items()->Items(0)->Items(0);
  TMenuItem* popupItem = popup->Items()->Items(0);
  const Case cases[] = {
      {"main menu without images", main, open, false, mainHandler, 3 + 10 + 25},
      {"main menu with images", main, open, true, mainHandler, 3 + 10},
      {"popup menu without images", popup, popupItem, false, popupHandler, 3 + 12 + 23},
      {"popup menu with images", popup, popupItem, true, popupHandler, 3 + 12},
  };
  TScreenDC screen;
  for (const Case& c : cases) {
    c.Menu->SetImages(c.Images ? images : nullptr);
    TCanvas canvas;
    TCanvasPaintScope scope(canvas, screen.Get());
    int ownWidth = 0, ownHeight = 0, width = 0, height = 0;
    c.Item->OnMeasureItem = nullptr;
    c.Item->MeasureItem(&canvas, ownWidth, ownHeight);
    c.Item->OnMeasureItem = c.Handler;
    c.Item->MeasureItem(&canvas, width, height);
    EXPECT_EQ(width, ownWidth + c.Added) << c.Name;
    EXPECT_EQ(height, ownHeight) << c.Name;
  }
  main->SetImages(nullptr);
  // A bar drop-down's item measured through the window, in the menu font.
  open->OnMeasureItem = nullptr;
  MEASUREITEMSTRUCT measure{ODT_MENU, 0, open->Command(), 0, 0, 0};
  EXPECT_EQ(SendMessageA(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), TRUE);
  TCanvas canvas;
  canvas.Font()->Assign(Screen->MenuFont());
  TCanvasPaintScope scope(canvas, screen.Get());
  int ownWidth = 0, ownHeight = 0;
  open->MeasureItem(&canvas, ownWidth, ownHeight);
  EXPECT_EQ(static_cast<int>(measure.itemWidth), ownWidth + 3 + 10 + 25);
  EXPECT_EQ(static_cast<int>(measure.itemHeight), ownHeight);
}

TEST_F(SkinMenuTest, ItemsAreDrawnFromTheSkin) {
  TSkinData* data = MakeSkinData();
  TForm* form = MakeForm("Items");
  auto* popup = new TPopupMenu(form);
  auto* images = new TCustomImageList(form);
  images->SetSize(16, 16);
  {
    std::unique_ptr<TBitmap> glyph = NewSkinBitmap(16, 16);
    glyph->Canvas()->Brush()->SetColor(clWhite);
    glyph->Canvas()->FillRect({0, 0, 16, 16});
    glyph->Canvas()->Brush()->SetColor(RGB(0xC0, 0x30, 0x30));
    glyph->Canvas()->FillRect({3, 3, 13, 13});
    images->AddMasked(glyph.get(), clWhite);
  }
  popup->SetImages(images);
  struct Row {
    const char* Caption;
    bool Selected, Enabled, Default, Checked;
    int Image;
    const char* ShortCut;
  };
  const Row rows[] = {
      {"Normal", false, true, false, false, -1, ""},       {"Selected", true, true, false, false, -1, ""},
      {"Disabled", false, false, false, false, -1, ""},    {"Default", false, true, true, false, -1, ""},
      {"Checked", false, true, false, true, -1, ""},       {"Checked with image", false, true, false, true, 0, ""},
      {"Image", false, true, false, false, 0, ""},         {"Shortcut", false, true, false, false, -1, "Ctrl+S"},
      {"-", false, true, false, false, -1, ""},            {"After the separator", false, true, false, false, -1, ""},
  };
  std::vector<TMenuItem*> items;
  for (const Row& r : rows) {
    TMenuItem* item = NewMenuItem(form, r.Caption, popup->Items());
    item->SetEnabled(r.Enabled);
    item->SetDefault(r.Default);
    item->SetChecked(r.Checked);
    item->SetImageIndex(r.Image);
    item->SetShortCut(TextToShortCut(r.ShortCut));
    items.push_back(item);
  }
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  ASSERT_TRUE(popup->OwnerDraw()) << "a form's popup menus are drawn by the skin";
  // Every item drawn one below the other, as the menu would.
  constexpr int W = 200, H = 22;
  std::unique_ptr<TBitmap> sheet = NewSkinBitmap(W, H * static_cast<int>(std::size(rows)));
  TCanvas* canvas = sheet->Canvas();
  canvas->Font()->Assign(Screen->MenuFont());
  std::vector<int> tops;
  int y = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const int h = items[i]->IsLine() ? 9 : H;
    tops.push_back(y);
    items[i]->DrawItem(canvas, {0, y, W, y + h}, rows[i].Selected);
    y += h;
  }
  Image image = ReadPixels(canvas->Handle(), {0, 0, W, y});
  SaveArtefact(image, "skin-menu-items");
  // Normal items on the MenuItem image's first frame, the selected one on
  // its fourth.
  EXPECT_EQ(image.At(100, tops[0] + 1), kWhite);
  EXPECT_EQ(image.At(100, tops[1] + 5), kHot) << "selected";
  // The separator shows the image's second frame: its line in the middle.
  bool line = false;
  for (int row = tops[8]; row < tops[8] + 9; ++row) line = line || image.At(100, row) == kShadow;
  EXPECT_TRUE(line) << "separator";
  // Text colours: MenuText, ButtonShadow for the disabled item.
  const auto has = [&](int top, int left, int right, uint32_t colour) {
    for (int r = top; r < top + H; ++r)
      for (int x = left; x < right; ++x)
        if (image.At(x, r) == colour) return true;
    return false;
  };
  EXPECT_TRUE(has(tops[0], 20, 100, kText));
  EXPECT_TRUE(has(tops[2], 20, 100, kShadow)) << "disabled";
  EXPECT_FALSE(has(tops[2], 20, 100, kText)) << "disabled";
  // The check mark in the button-text colour in the glyph cell (left margin
  // 3, one more pixel), the image's red in its cell.
  EXPECT_TRUE(has(tops[4], 4, 20, kText)) << "check mark";
  EXPECT_TRUE(has(tops[5], 4, 20, 0xC03030)) << "checked image";
  EXPECT_TRUE(has(tops[6], 4, 20, 0xC03030)) << "image";
  // The shortcut right-aligned, 10 pixels before the right edge.
  EXPECT_TRUE(has(tops[7], W - 60, W - 10, kText)) << "shortcut";
  EXPECT_FALSE(has(tops[7], W - 10, W, kText));
  (void)data;

  // The same menu shown by the system, its second item selected.
  bool shot = false;
  RunSteps({{"popup open", [] { return OpenMenuWindow() != nullptr; }, [] { PressKey(VK_DOWN); }},
            {"first item selected", [&] { return Highlighted(popup->Handle(), 0); }, [] { PressKey(VK_DOWN); }},
            {"second item selected",
             [&] { return Highlighted(popup->Handle(), 1); },
             [&] {
               SaveScreenshot(OpenMenuWindow(), "skin-popup-menu");
               shot = true;
               PressKey(VK_ESCAPE);
             }}},
           [&] {
             const RECT w = WindowRect(form->Handle());
             popup->Popup(w.left + 40, w.top + 60);
           });
  EXPECT_TRUE(shot);
}

TEST_F(SkinMenuTest, APopupMenuTaggedDisableTagKeepsTheSystemsDrawing) {
  MakeSkinData();
  TForm* form = MakeForm("Popup menus");
  auto* skinned = new TPopupMenu(form);
  TMenuItem* plainItem = NewMenuItem(form, "Skinned", skinned->Items());
  auto* native = new TPopupMenu(form);
  native->SetTag(99);
  TMenuItem* nativeItem = NewMenuItem(form, "Native", native->Items());
  // An item that measures itself keeps its own measure.
  auto* own = new TPopupMenu(form);
  TMenuItem* measured = NewMenuItem(form, "Measures itself", own->Items());
  int calls = 0;
  measured->OnMeasureItem = TMenuMeasureItemEvent::Lambda([&](TObject*, TCanvas*, int& w, int&) {
    ++calls;
    w = 77;
  });
  const TMenuMeasureItemEvent ownHandler = measured->OnMeasureItem;
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  EXPECT_TRUE(skinned->OwnerDraw());
  EXPECT_TRUE(plainItem->OnDrawItem == TMenuDrawItemEvent::Bind<&TWinSkinForm::DrawMenuItem>(skinner));
  EXPECT_TRUE(plainItem->OnMeasureItem == TMenuMeasureItemEvent::Bind<&TWinSkinForm::MeasurePopupItem>(skinner));
  EXPECT_FALSE(native->OwnerDraw()) << "Tag 99";
  EXPECT_FALSE(nativeItem->OnDrawItem);
  EXPECT_FALSE(nativeItem->OnMeasureItem);
  EXPECT_TRUE(measured->OnMeasureItem == ownHandler);
  EXPECT_TRUE(measured->OnDrawItem == TMenuDrawItemEvent::Bind<&TWinSkinForm::DrawMenuItem>(skinner));
  TScreenDC screen;
  TCanvas canvas;
  TCanvasPaintScope scope(canvas, screen.Get());
  int w = 0, h = 0;
  measured->MeasureItem(&canvas, w, h);
  EXPECT_EQ(w, 77);
  EXPECT_EQ(calls, 1);

  // Unskinned, the handlers are gone and the menus are the system's again.
  SkinManager()->Request(SkinManager()->MainSkinData(), srUnskinAll, 0);
  SkinManager()->DoRequest();
  EXPECT_FALSE(skinned->OwnerDraw());
  EXPECT_FALSE(plainItem->OnDrawItem);
  EXPECT_FALSE(plainItem->OnMeasureItem);
  EXPECT_TRUE(measured->OnMeasureItem == ownHandler);
}

TEST_F(SkinMenuTest, NativeItemsWithACommandGoToThePreviousProcedure) {
  MakeSkinData();
  TForm* form = MakeForm("Native items");
  AddMenuBar(form);
  form->HandleNeeded();
  // What reaches the window's procedure under the skinner.
  std::vector<UINT> reached;
  TWindowSubclass recorder;
  recorder.Attach(form->Handle(), TWndMethod::Lambda([&](TMessage& m) {
    if (m.Msg == WM_MEASUREITEM || m.Msg == WM_DRAWITEM) reached.push_back(m.Msg);
    recorder.CallPrevious(m);
  }));
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  HMENU native = CreatePopupMenu();
  AppendMenuA(native, MF_STRING, 100, "Command 100");
  AppendMenuA(native, MF_STRING, 5000, "Native item");
  const struct {
    UINT Id;
    bool Previous;
  } cases[] = {{100, true}, {1, true}, {4095, true}, {5000, false}, {0, false}};
  for (const auto& c : cases) {
    reached.clear();
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, c.Id, 0, 0, 0};
    SendMessageA(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    std::unique_ptr<TBitmap> target = NewSkinBitmap(120, 20);
    DRAWITEMSTRUCT draw{ODT_MENU, 0, c.Id, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(native),
                        target->Canvas()->Handle(), {0, 0, 120, 20}, 0};
    SendMessageA(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(reached.size(), c.Previous ? 2u : 0u) << c.Id;
    if (c.Id == 5000) {
      EXPECT_GT(measure.itemWidth, 26u) << "measured from its text";
      EXPECT_EQ(Rgb(PixelOf(target.get(), 100, 1)), kWhite) << "drawn from the skin";
    }
  }
  DestroyMenu(native);
  recorder.Remove();
}

// -- The menu bar

TEST_F(SkinMenuTest, TheBarTakesThePlaceOfTheNativeMenu) {
  TSkinData* data = MakeSkinData();
  TForm* form = MakeForm("Bar", 60, 60, 360, 200);
  AddMenuBar(form);
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  const HWND wnd = form->Handle();
  EXPECT_EQ(GetMenu(wnd), nullptr);
  TWinSkinMenu* bar = skinner->MenuBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->ItemCount(), 3);
  EXPECT_EQ(skinner->MenuBarHeight(), GetSystemMetrics(SM_CYMENU));
  const Image image = ReadWindowPixels(wnd);
  // The bar's background: the menuBar image's first frame, stretched.
  TDataSkinObject* object = data->Object(soMenuBar);
  ASSERT_NE(object, nullptr);
  const RECT barRect = bar->BarRect();
  const int x = barRect.right - 20;
  for (int row : {0, 5}) {
    const int y = row * object->Bitmap->Height() / 2 / RectHeight(barRect);
    EXPECT_EQ(image.At(x, barRect.top + row), Rgb(PixelOf(object->Bitmap.get(), 16, y))) << row;
  }
  // The items from the left margin + 4, their captions in MenuBarText.
  EXPECT_EQ(bar->Items(0)->Bounds.left, barRect.left + 2 + 4);
  EXPECT_EQ(bar->Items(1)->Bounds.left, bar->Items(0)->Bounds.right);
  for (int i = 0; i < 3; ++i) {
    const RECT r = bar->Items(i)->Bounds;
    bool text = false;
    for (int yy = r.top; yy < r.bottom; ++yy)
      for (int xx = r.left; xx < r.right; ++xx) text = text || image.At(xx, yy) == kText;
    EXPECT_TRUE(text) << i;
  }
  EXPECT_TRUE(bar->ItemAt({barRect.left + 1, barRect.top + 5}) == nullptr) << "left of the first item";
  EXPECT_EQ(bar->ItemAt({bar->Items(2)->Bounds.left + 2, barRect.top + 5}), bar->Items(2));
}

TEST_F(SkinMenuTest, AChangedMenuRebuildsTheBarAndRestoringGivesTheNativeMenuBack) {
  MakeSkinData();
  TForm* form = MakeForm("Changes", 60, 60, 360, 200);
  TMainMenu* menu = AddMenuBar(form);
  form->HandleNeeded();
  RECT client{};
  GetClientRect(form->Handle(), &client);
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  const HWND wnd = form->Handle();
  RECT skinned{};
  GetClientRect(wnd, &skinned);
  EXPECT_EQ(skinned.right, client.right);
  EXPECT_EQ(skinned.bottom, client.bottom) << "the client keeps its size under the skinned bar";
  // A new caption: the class library builds a new menu and tells the
  // window, the bar takes it and the window shows no native bar.
  menu->Items()->Items(1)->SetCaption("&Change");
  NewMenuItem(form, "&More", menu->Items());
  RunMessagesUntilIdle();
  EXPECT_EQ(GetMenu(wnd), nullptr);
  TWinSkinMenu* bar = skinner->MenuBar();
  ASSERT_EQ(bar->ItemCount(), 4);
  EXPECT_EQ(bar->Items(1)->Caption, L"&Change");
  EXPECT_EQ(bar->Items(3)->Caption, L"&More");
  EXPECT_EQ(bar->Handle(), menu->Handle());
  // Unskinned, the native bar is back and the client area keeps its size.
  SkinManager()->Request(SkinManager()->MainSkinData(), srUnskinAll, 0);
  SkinManager()->DoRequest();
  EXPECT_EQ(GetMenu(wnd), menu->Handle());
  RECT restored{};
  GetClientRect(wnd, &restored);
  EXPECT_EQ(restored.right, client.right);
  EXPECT_EQ(restored.bottom, client.bottom);
}

TEST_F(SkinMenuTest, AMaximizedMDIChildsButtonsSitInTheFramesBar) {
  TSkinData* data = MakeSkinData();
  TForm* frame = MakeForm("MDI frame", 40, 40, 560, 420);
  frame->SetFormStyle(fsMDIForm);
  AddMenuBar(frame);
  TWinSkinForm* skinner = ShowSkinned(frame);
  ASSERT_NE(skinner, nullptr);
  ASSERT_NE(skinner->MenuBar(), nullptr);
  TForm* child = New<TForm>(nullptr);
  FForms.push_back(child);
  child->SetFormStyle(fsMDIChild);
  child->SetCaption("Child");
  child->SetBounds(10, 10, 220, 150);
  child->Show();
  ASSERT_NE(WaitForSkinner(child->Handle()), nullptr);
  SendMessageA(frame->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->Handle()), 0);
  ASSERT_TRUE(RunMessagesUntil([&] { return IsZoomed(child->Handle()) != FALSE; }));
  RedrawWindow(frame->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RunMessagesUntilIdle();
  EXPECT_EQ(GetMenu(frame->Handle()), nullptr) << "the system adds no buttons of its own";
  EXPECT_EQ(SkinManager()->MDIMaximized(), 1);
  SaveScreenshot(frame->Handle(), "skin-mdi-maximized");
  // Minimize, restore and close: Align 100, in the bar from its right end.
  const RECT bar = skinner->MenuBar()->BarRect();
  const Image image = ReadWindowPixels(frame->Handle());
  int shown = 0;
  for (const auto& button : skinner->SysButtons()) {
    TDataSkinSysButton* b = button->Data();
    if (!b || b->Align != 100) continue;
    ASSERT_TRUE(button->Visible) << b->Action;
    const RECT r = button->Bounds;
    EXPECT_GE(r.top, bar.top);
    EXPECT_LE(r.bottom, bar.bottom);
    EXPECT_EQ(r.left, RectWidth(WindowRect(frame->Handle())) - b->XCoord - 4 - 2) << b->Action;
    const int w = b->Bitmap->Width() / 4;
    EXPECT_EQ(image.At(r.left + w / 2, r.top + 2), Rgb(PixelOf(b->Bitmap.get(), w / 2, 2))) << b->Action;
    ++shown;
  }
  EXPECT_EQ(shown, 3);
  (void)data;
  // The close button closes the child.
  TWinSysButton* close = nullptr;
  for (const auto& button : skinner->SysButtons())
    if (button->Data() && button->Data()->Action == 9) close = button.get();
  ASSERT_NE(close, nullptr);
  bool closed = false;
  child->OnClose = TCloseEvent::Lambda([&](TObject*, TCloseAction& action) {
    closed = true;
    action = caNone;
  });
  const RECT w = WindowRect(frame->Handle());
  const LPARAM at = MAKELPARAM(w.left + close->Bounds.left + 3, w.top + close->Bounds.top + 3);
  SendMessageA(frame->Handle(), WM_NCLBUTTONDOWN, HTMENU, at);
  SendMessageA(frame->Handle(), WM_NCLBUTTONUP, HTMENU, at);
  EXPECT_TRUE(RunMessagesUntil([&] { return closed; }));
}

TEST_F(SkinMenuTest, AltAndALetterOpenThatDropDownWithItsFirstItemSelected) {
  MakeSkinData();
  TForm* form = MakeForm("Alt and a letter", 60, 60, 360, 200);
  AddMenuBar(form);
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  TSkinManage* manager = SkinManager();
  RunSteps({{"Edit open",
             [&] { return DropDownOpen(skinner, 1)() && manager->MenuMode() == 1 && skinner->MenuLoop(); },
             [&] {
               SaveScreenshot(OpenMenuWindow(), "skin-menu-drop-down");
               SaveScreenshot(form->Handle(), "skin-menu-bar");
               EXPECT_TRUE(MenuLoopHookInstalled());
               EXPECT_TRUE(manager->MenuBarTracking());
               PressKey(VK_ESCAPE);
             }}},
           [] { PressAltWith('E'); });
  EXPECT_FALSE(skinner->MenuLoop());
  // Alt alone opens the first item; message 0x3518 the item at a point.
  RunSteps({{"File open", DropDownOpen(skinner, 0), [] { PressKey(VK_ESCAPE); }}}, [] { PressKey(VK_MENU); });
  const RECT w = WindowRect(form->Handle());
  const RECT help = skinner->MenuBar()->Items(2)->Bounds;
  RunSteps({{"Help open", DropDownOpen(skinner, 2), [] { PressKey(VK_ESCAPE); }}}, [&] {
    PostMessageA(form->Handle(), SM_OPENMENUAT, 0, MAKELPARAM(w.left + help.left + 3, w.top + help.top + 3));
  });
}

TEST_F(SkinMenuTest, LeftAndRightMoveBetweenBarItemsWrappingAround) {
  MakeSkinData();
  TForm* form = MakeForm("Left and right", 60, 60, 360, 200);
  AddMenuBar(form);
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  std::vector<TMenuStep> steps;
  // File, then Right three times (wrapping to File), then Left (wrapping to Help).
  const struct {
    int Open;
    WORD Key;
  } moves[] = {{0, VK_RIGHT}, {1, VK_RIGHT}, {2, VK_RIGHT}, {0, VK_LEFT}, {2, VK_ESCAPE}};
  for (const auto& m : moves)
    steps.push_back({"drop-down " + std::to_string(m.Open), DropDownOpen(skinner, m.Open), [k = m.Key] { PressKey(k); }});
  RunSteps(steps, [] { PressAltWith('F'); });
}

TEST_F(SkinMenuTest, MovingTheMouseOntoAnotherBarItemSwitchesDropDowns) {
  MakeSkinData();
  TForm* form = MakeForm("Mouse", 60, 60, 360, 200);
  AddMenuBar(form);
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  const RECT w = WindowRect(form->Handle());
  const auto over = [&](int index) {
    const RECT r = skinner->MenuBar()->Items(index)->Bounds;
    SendMouseMove(w.left + (r.left + r.right) / 2, w.top + (r.top + r.bottom) / 2);
  };
  RunSteps({{"File open", DropDownOpen(skinner, 0), [&] { over(2); }},
            {"Help open", [&] { return OpenMenuWindow() && MenuLoopIndex() == 2; }, [&] { over(1); }},
            {"Edit open", [&] { return OpenMenuWindow() && MenuLoopIndex() == 1; }, [] { PressKey(VK_ESCAPE); }}},
           [] { PressAltWith('F'); });
  SetCursorPos(2, GetSystemMetrics(SM_CYSCREEN) - 2);
}

TEST_F(SkinMenuTest, AnItemWithoutADropDownPostsItsCommandAndADisabledOneDoesNothing) {
  MakeSkinData();
  TForm* form = MakeForm("Commands", 60, 60, 360, 200);
  TMainMenu* menu = AddMenuBar(form);
  int about = 0, disabled = 0;
  TMenuItem* aboutItem = NewMenuItem(form, "&About", menu->Items());
  aboutItem->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++about; });
  TMenuItem* off = NewMenuItem(form, "&Off", menu->Items());
  NewMenuItem(form, "Inside", off);
  off->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++disabled; });
  off->SetEnabled(false);
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  TWinSkinMenu* bar = skinner->MenuBar();
  ASSERT_EQ(bar->ItemCount(), 5);
  const RECT w = WindowRect(form->Handle());
  const auto click = [&](int index) {
    const RECT r = bar->Items(index)->Bounds;
    SendMessageA(form->Handle(), WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(w.left + r.left + 3, w.top + r.top + 3));
    RunMessagesUntilIdle();
  };
  click(3);
  EXPECT_EQ(about, 1) << "WM_COMMAND of the item";
  EXPECT_EQ(SkinManager()->MenuMode(), 0) << "no drop-down";
  EXPECT_FALSE(bar->Items(4)->Enabled);
  TThreadHook watch(hkMsgFilter, THookProc::Lambda([](THookCall&) {}));
  click(4);
  EXPECT_EQ(disabled, 0) << "nothing posted";
  EXPECT_EQ(SkinManager()->MenuMode(), 0) << "no drop-down";
  EXPECT_EQ(TThreadHook::SystemHookCount(hkMsgFilter), 1) << "no hook of the menu loop came and went";
  // The item's own Click would run it; the skinned bar does not.
  EXPECT_FALSE(skinner->DropMenu(bar->Items(4)));
  EXPECT_FALSE(MenuLoopHookInstalled());
}

TEST_F(SkinMenuTest, ARightToLeftBarRunsFromTheRightAndExchangesLeftAndRight) {
  MakeSkinData();
  TestWindow window(360, 160, {}, "Right to left", WS_OVERLAPPEDWINDOW);
  const HWND wnd = window.Handle();
  SetWindowLongA(wnd, GWL_EXSTYLE, GetWindowLongA(wnd, GWL_EXSTYLE) | WS_EX_LEFTSCROLLBAR);
  HMENU menu = CreateMenu();
  for (const char* caption : {"&First", "&Second", "&Third"}) {
    HMENU drop = CreatePopupMenu();
    AppendMenuA(drop, MF_STRING, 10, "Item");
    AppendMenuA(drop, MF_STRING, 11, "Another");
    AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(drop), caption);
  }
  SetMenu(wnd, menu);
  ASSERT_TRUE(SkinManager()->AttachWindow(wnd));
  ShowWindow(wnd, SW_SHOW);
  SetForegroundWindow(wnd);
  TWinSkinForm* skinner = WaitForSkinner(wnd);
  ASSERT_NE(skinner, nullptr);
  RunMessagesUntilIdle();
  TWinSkinMenu* bar = skinner->MenuBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->ItemCount(), 3);
  SaveScreenshot(wnd, "skin-menu-bar-right-to-left");
  // The first item ends at the bar's right end less the menuBar image's
  // right margin and 8; the others follow to its left.
  EXPECT_EQ(bar->Items(0)->Bounds.right, bar->BarRect().right - 2 - 8);
  EXPECT_EQ(bar->Items(1)->Bounds.right, bar->Items(0)->Bounds.left);
  EXPECT_EQ(bar->Items(2)->Bounds.right, bar->Items(1)->Bounds.left);
  // Left moves on to the next item, Right back to the previous.
  RunSteps({{"first open", DropDownOpen(skinner, 0), [] { PressKey(VK_LEFT); }},
            {"second open", DropDownOpen(skinner, 1), [] { PressKey(VK_RIGHT); }},
            {"first again", DropDownOpen(skinner, 0), [] { PressKey(VK_RIGHT); }},
            {"last, wrapping", DropDownOpen(skinner, 2), [] { PressKey(VK_ESCAPE); }}},
           [] { PressAltWith('F'); });
  SetMenu(wnd, menu);
  DestroyWindow(wnd);
}

TEST_F(SkinMenuTest, AltSpaceAndACaptionRightClickShowTheReplacementSystemMenu) {
  MakeSkinData();
  TForm* form = MakeForm("System menu", 60, 60, 360, 200);
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  skinner->SetDoubleClickTime(0);
  const auto systemMenuOpen = [&] {
    return OpenMenuWindow() && skinner->SystemMenu() && SkinManager()->MenuMode() == 2 &&
           SkinManager()->IsMenuSkinned(OpenMenuWindow());
  };
  std::vector<AnsiString> captions;
  std::vector<int> images;
  RunSteps({{"system menu",
             systemMenuOpen,
             [&] {
               SaveScreenshot(OpenMenuWindow(), "skin-system-menu");
               TMenuItem* root = skinner->SystemMenu()->Items();
               for (int i = 0; i < root->Count(); ++i) {
                 captions.push_back(root->Items(i)->Caption());
                 images.push_back(root->Items(i)->ImageIndex());
               }
               PressKey(VK_ESCAPE);
             }}},
           [] { PressAltWith(VK_SPACE); });
  ASSERT_FALSE(captions.empty());
  // The glyphs: 0 restore, 1 maximize, 2 minimize, 3 close.
  const HMENU system = GetSystemMenu(form->Handle(), FALSE);
  for (size_t i = 0; i < captions.size(); ++i) {
    const UINT id = GetMenuItemID(system, static_cast<int>(i)) & 0xFFF0;
    const int expected = id == SC_RESTORE ? 0 : id == SC_MAXIMIZE ? 1 : id == SC_MINIMIZE ? 2 : id == SC_CLOSE ? 3 : -1;
    EXPECT_EQ(images[i], expected) << captions[i];
  }
  const RECT w = WindowRect(form->Handle());
  RunSteps({{"system menu again", systemMenuOpen, [] { PressKey(VK_ESCAPE); }}},
           [&] { PostMessageA(form->Handle(), WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(w.left + 150, w.top + 12)); });
}

TEST_F(SkinMenuTest, ASecondIconClickWithinTheDoubleClickTimeClosesTheWindow) {
  MakeSkinData();
  TForm* form = MakeForm("Icon", 60, 60, 360, 200);
  bool closed = false;
  form->OnClose = TCloseEvent::Lambda([&](TObject*, TCloseAction&) { closed = true; });
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  skinner->SetDoubleClickTime(60000);
  TWinSysButton* icon = skinner->SysButtons().at(4).get();
  ASSERT_TRUE(icon->Visible);
  const RECT w = WindowRect(form->Handle());
  const LPARAM at = MAKELPARAM(w.left + icon->Bounds.left + 4, w.top + icon->Bounds.top + 4);
  const auto click = [&] {
    SendMessageA(form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, at);
    SendMessageA(form->Handle(), WM_NCLBUTTONUP, HTCAPTION, at);
  };
  RunSteps({{"system menu", [] { return OpenMenuWindow() != nullptr; }, [] { PressKey(VK_ESCAPE); }}},
           [&] { click(); });
  EXPECT_FALSE(closed);
  click();
  ASSERT_TRUE(RunMessagesUntil([&] { return closed; }));
  EXPECT_EQ(OpenMenuWindow(), nullptr) << "no menu the second time";
}

// -- The popup-menu window

// Records the messages that reach a menu window's own procedure, under the
// skinner: its subclass is put on as the window is created, before the
// skin engine's (the newer hook runs first).
class TMenuWindowRecorder {
public:
  TMenuWindowRecorder()
      : FHook(hkCBT, THookProc::Lambda([this](THookCall& call) {
          if (call.Code != HCBT_CREATEWND) return;
          const auto wnd = reinterpret_cast<HWND>(call.WParam);
          char name[16] = {};
          GetClassNameA(wnd, name, sizeof name);
          if (std::string(name) != "#32768") return;
          auto subclass = std::make_unique<TWindowSubclass>();
          TWindowSubclass* self = subclass.get();
          subclass->Attach(wnd, TWndMethod::Lambda([this, self](TMessage& m) {
            Reached.push_back(m.Msg);
            self->CallPrevious(m);
          }));
          FSubclasses.push_back(std::move(subclass));
        })) {}
  bool Got(UINT msg) const { return std::find(Reached.begin(), Reached.end(), msg) != Reached.end(); }
  std::vector<UINT> Reached;

private:
  std::vector<std::unique_ptr<TWindowSubclass>> FSubclasses;
  TThreadHook FHook;
};

class SkinPopMenuTest : public SkinMenuTest {
protected:
  // A popup menu of the skinned form opened by the system; `check` runs
  // while it is open, on its window.
  void WithOpenPopup(TForm* form, const std::function<void(HWND)>& check) {
    RunSteps({{"popup open", [] { return OpenMenuWindow() != nullptr; }, [&] {
                 check(OpenMenuWindow());
                 PressKey(VK_ESCAPE);
               }}},
             [&] {
               const RECT w = WindowRect(form->Handle());
               form->PopupMenu()->Popup(w.left + 40, w.top + 60);
             });
  }

  TForm* MakePopupForm() {
    TForm* form = MakeForm("Popup window", 60, 60, 360, 200);
    auto* popup = new TPopupMenu(form);
    for (const char* caption : {"First", "Second", "Third"}) NewMenuItem(form, caption, popup->Items());
    form->SetPopupMenu(popup);
    return form;
  }
};

// The frame pixels the skin's MenuBackground gives: its edge, its gutter
// (left margin) and white (right margin).
void ExpectMenuBackgroundFrame(const Image& image, const char* what) {
  SCOPED_TRACE(what);
  const int W = image.Width, H = image.Height;
  EXPECT_EQ(image.At(0, H / 2), kShadow);
  EXPECT_EQ(image.At(1, H / 2), kGutter);
  EXPECT_EQ(image.At(W - 2, H / 2), kWhite);
  EXPECT_EQ(image.At(W / 2, 0), kShadow);
  EXPECT_EQ(image.At(W / 2, H - 1), kShadow);
}

// Under Wine the menu window has no non-client area: it is all client, and
// the menu draws its own frame with its items. Wine sends it WM_NCPAINT with
// 1 as it opens, then WM_ERASEBKGND and WM_PAINT, and no WM_PRINT; the menu's
// painting covers the skinned frame. So the frame is tested by sending the
// messages Windows sends.
TEST_F(SkinPopMenuTest, TheMenuWindowAnswers0x3523AndPaintsTheSkinsFrameForTheWholeFrame) {
  MakeSkinData();
  TForm* form = MakePopupForm();
  ASSERT_NE(ShowSkinned(form), nullptr);
  TMenuWindowRecorder recorder;
  WithOpenPopup(form, [&](HWND menu) {
    recorder.Reached.clear();
    EXPECT_EQ(SendMessageA(menu, SM_ISSKINNED, 0, 0), 1);
    EXPECT_FALSE(recorder.Got(SM_ISSKINNED)) << "answered by the skinner";
    // The whole frame (1) is the skin's, another region the menu's own.
    recorder.Reached.clear();
    SendMessageA(menu, WM_NCPAINT, 1, 0);
    EXPECT_FALSE(recorder.Got(WM_NCPAINT));
    const Image image = ReadWindowPixels(menu);
    ExpectMenuBackgroundFrame(image, "WM_NCPAINT 1");
    SaveArtefact(image, "skin-popup-menu-frame");
    const RECT w = WindowRect(menu);
    TGdiObject region(CreateRectRgnIndirect(&w));
    SendMessageA(menu, WM_NCPAINT, reinterpret_cast<WPARAM>(region.Get()), 0);
    EXPECT_TRUE(recorder.Got(WM_NCPAINT)) << "left to the menu";
  });
}

TEST_F(SkinPopMenuTest, TheFrameIsPaintedThroughEitherDeviceContext) {
  MakeSkinData();
  TForm* form = MakePopupForm();
  ASSERT_NE(ShowSkinned(form), nullptr);
  // Windows 7 asks for the frame region's device context, Windows Server
  // 2003 for the window's; where the first gives none the second serves.
  for (TSkinWindowsVersion version : {TSkinWindowsVersion{6, 1, true}, TSkinWindowsVersion{5, 2, true}}) {
    SetSkinWindowsVersion(version);
    WithOpenPopup(form, [&](HWND menu) {
      const RECT w = WindowRect(menu);
      HDC dc = GetWindowDC(menu);
      const RECT all{0, 0, w.right - w.left, w.bottom - w.top};
      FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      ReleaseDC(menu, dc);
      SendMessageA(menu, WM_NCPAINT, 1, 0);
      ExpectMenuBackgroundFrame(ReadWindowPixels(menu), version.Minor == 1 ? "Windows 7" : "Windows 2003");
    });
  }
  ResetSkinWindowsVersion();
}

TEST_F(SkinPopMenuTest, WMPrintGivesTheItemsTheSkinsBackground) {
  MakeSkinData();
  TForm* form = MakePopupForm();
  ASSERT_NE(ShowSkinned(form), nullptr);
  WithOpenPopup(form, [&](HWND menu) {
    const RECT w = WindowRect(menu);
    const int W = w.right - w.left, H = w.bottom - w.top;
    std::unique_ptr<TBitmap> print = NewSkinBitmap(W, H);
    HDC dc = print->Canvas()->Handle();
    SendMessageA(menu, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    const Image image = ReadPixels(dc, {0, 0, W, H});
    SaveArtefact(image, "skin-popup-menu-printed");
    ExpectMenuBackgroundFrame(image, "printed");
  });
}

TEST_F(SkinPopMenuTest, WithMenuBGErasingLeavesTheBackgroundAndAnswers1) {
  TSkinData* data = MakeSkinData();
  TForm* form = MakePopupForm();
  ASSERT_NE(ShowSkinned(form), nullptr);
  TMenuWindowRecorder recorder;
  for (bool menuBG : {true, false}) {
    TSkinOptions options = data->Options();
    if (menuBG) options.Include(xoMenuBG); else options.Exclude(xoMenuBG);
    data->SetOptions(options);
    WithOpenPopup(form, [&](HWND menu) {
      HDC dc = GetDC(menu);
      RECT client{};
      GetClientRect(menu, &client);
      TGdiObject red(CreateSolidBrush(RGB(255, 0, 0)));
      FillRect(dc, &client, static_cast<HBRUSH>(red.Get()));
      recorder.Reached.clear();
      EXPECT_EQ(SendMessageA(menu, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1) << menuBG;
      // With the option the menu's own procedure never hears of it.
      EXPECT_EQ(recorder.Got(WM_ERASEBKGND), !menuBG);
      if (menuBG) {
        EXPECT_EQ(ReadPixels(dc, {client.right / 2, 1, client.right / 2 + 1, 2}).At(0, 0), 0xFF0000u);
      }
      ReleaseDC(menu, dc);
    });
  }
}

// -- A skin without menu images

TEST_F(SkinMenuTest, ASkinWithoutMenuImagesFallsBackToColoursAndTheSystemsFrame) {
  TSkinData* data = MakeSkinData(true, HouseVariant([](AnsiString& ini) {
    RemoveSection(ini, "MenuItem");
    RemoveSection(ini, "MenuBackground");
    SetKey(ini, "Personality", "menuBar", "");
    SetKey(ini, "Colours", "Menubar", "200 100 50");
    SetKey(ini, "Colours", "Hilight", "20 140 60");
  }));
  ASSERT_EQ(data->Object(soMenuBar), nullptr);
  ASSERT_EQ(data->Object(soMenuItem), nullptr);
  ASSERT_EQ(data->Object(soMenuBackground), nullptr);
  TForm* form = MakeForm("Plain menus", 60, 60, 360, 200);
  AddMenuBar(form);
  auto* popup = new TPopupMenu(form);
  NewMenuItem(form, "First", popup->Items());
  NewMenuItem(form, "Second", popup->Items());
  form->SetPopupMenu(popup);
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  const RECT bar = skinner->MenuBar()->BarRect();
  EXPECT_EQ(ReadWindowPixels(form->Handle()).At(bar.right - 10, bar.top + 3), 0xC86432u) << "the Menubar colour";
  // Plain items: Menu, or Hilight when selected.
  std::unique_ptr<TBitmap> sheet = NewSkinBitmap(120, 40);
  sheet->Canvas()->Font()->Assign(Screen->MenuFont());
  popup->Items()->Items(0)->DrawItem(sheet->Canvas(), {0, 0, 120, 20}, false);
  popup->Items()->Items(1)->DrawItem(sheet->Canvas(), {0, 20, 120, 40}, true);
  EXPECT_EQ(Rgb(PixelOf(sheet.get(), 110, 2)), Rgb(ColorToRGB(data->Colors(ccMenu))));
  EXPECT_EQ(Rgb(PixelOf(sheet.get(), 110, 22)), 0x148C3Cu);
  // The menu window keeps the system's frame.
  TMenuWindowRecorder recorder;
  RunSteps({{"popup open", [] { return OpenMenuWindow() != nullptr; }, [&] {
               HWND menu = OpenMenuWindow();
               recorder.Reached.clear();
               SendMessageA(menu, WM_NCPAINT, 1, 0);
               EXPECT_TRUE(recorder.Got(WM_NCPAINT)) << "left to the menu";
               SaveScreenshot(menu, "skin-popup-menu-plain");
               PressKey(VK_ESCAPE);
             }}},
           [&] {
             const RECT w = WindowRect(form->Handle());
             popup->Popup(w.left + 40, w.top + 60);
           });
}

}  // namespace
