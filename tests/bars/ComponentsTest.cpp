// Bar components: component lists and their reports, groups (members,
// recursion, enabling and hiding in one update), popup-menu links on real
// windows (right clicks and Shift+F10 through real input, the window
// procedure chain with other subclassers), backgrounds and image options.
#include "bars/model/BarComponents.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/ItemKinds.h"
#include "bars/model/PopupMenu.h"
#include "platform/Bitmap.h"
#include "platform/ImageList.h"
#include "platform/StdCtrls.h"
#include "tests/bars/BarsTestSupport.h"
#include "tests/platform/controls/ControlTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

using namespace control_tests;

namespace {

// An item that records the manager's update lock whenever it is shown or
// hidden.
class TRecordingItem : public TdxBarButton {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TRecordingItem(TComponent* owner, TdxBarManager* manager, std::vector<int>& locks)
      : TdxBarButton(owner), FLocks(locks) {
    FBarManager = manager;
  }
  void SetVisible(int value) override {
    FLocks.push_back(FBarManager->LockUpdateCount());
    TdxBarButton::SetVisible(value);
  }
  void SetEnabled(bool value) override {
    FLocks.push_back(FBarManager->LockUpdateCount());
    TdxBarButton::SetEnabled(value);
  }

private:
  std::vector<int>& FLocks;
};
const TClassInfo TRecordingItem::ClassInfo{"TRecordingItem", &TdxBarButton::ClassInfo, nullptr};

TEST(BarComponents, ComponentListsReportAndTakeOnlyTheirClass) {
  TdxBarComponentList* list = New<TdxBarComponentList>();
  std::vector<std::pair<TComponent*, int>> reports;
  list->OnComponentListChanged = TdxComponentListChangeEvent::Lambda(
      [&](TdxComponentList*, TComponent* c, TdxComponentListChangeKind kind) { reports.emplace_back(c, kind); });
  TdxBarButton* a = New<TdxBarButton>(nullptr);
  TdxBarButton* b = New<TdxBarButton>(nullptr);
  TComponent* foreign = New<TComponent>(nullptr);
  list->Add(a);
  list->Add(foreign);  // taken out again, without any event
  list->Add(b);
  EXPECT_EQ(list->Count(), 2);
  EXPECT_EQ(a->ContainingLists()->IndexOf(list), 0);
  list->Extract(a);
  EXPECT_EQ(a->ContainingLists()->Count(), 0);
  list->BeginUpdate();
  list->Add(a);
  list->EndUpdate(true);
  a->NotifyListsChanged(false);
  a->NotifyListsChanged(true);
  Free(b);  // leaves the list
  const std::vector<std::pair<TComponent*, int>> expected{
      {a, clcAdded}, {b, clcAdded}, {a, clcExtracted}, {nullptr, clcChanged},
      {a, clcChanged}, {nullptr, clcChanged}, {b, clcDeleted}};
  EXPECT_EQ(reports, expected);
  EXPECT_EQ(list->Count(), 1);
  reports.clear();
  Free(list);  // freeing the list reports nothing
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(a->ContainingLists()->Count(), 0);
  Free(a);
  Free(foreign);
}

TEST(BarComponents, GroupMembersAndRecursion) {
  THostedManager host;
  TdxBarManager* manager = host.Manager;
  TdxBarGroup* a = New<TdxBarGroup>(nullptr);
  TdxBarGroup* b = New<TdxBarGroup>(nullptr);
  TdxBarGroup* c = New<TdxBarGroup>(nullptr);
  a->SetParentComponent(manager);
  TdxBarButton* item = New<TdxBarButton>(nullptr);
  a->Add(item);
  a->Add(item);
  a->Add(nullptr);
  EXPECT_EQ(a->MemberCount(), 1);
  a->Add(b);
  b->Add(c);
  struct Case {
    const char* Name;
    TdxBarGroup* Group;
    TdxBarGroup* Added;
  } cases[] = {{"itself", a, a}, {"its parent", b, a}, {"its grandparent", c, a}, {"a parent", c, b}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    const int before = k.Group->MemberCount();
    try {
      k.Group->Add(k.Added);
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "You cannot create recursive groups");
    }
    EXPECT_EQ(k.Group->MemberCount(), before);
  }
  EXPECT_EQ(manager->Groups()->IndexOf(a), 0);
  Free(item);
  EXPECT_EQ(a->MemberCount(), 1);  // the freed item left the group
  Free(c);
  Free(b);
  Free(a);
  EXPECT_EQ(manager->Groups()->Count(), 0);
}

TEST(BarComponents, AGroupSetsItsMembersInOneUpdate) {
  THostedManager host;
  TdxBarManager* manager = host.Manager;
  TdxBarGroup* group = New<TdxBarGroup>(nullptr);
  group->SetParentComponent(manager);
  std::vector<int> locks;
  std::vector<TRecordingItem*> items;
  for (int i = 0; i < 3; ++i) {
    items.push_back(new TRecordingItem(nullptr, manager, locks));
    group->Add(items.back());
  }
  group->SetVisible(ivNever);
  EXPECT_EQ(locks, (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(manager->LockUpdateCount(), 0);
  for (TRecordingItem* item : items) EXPECT_EQ(item->Visible(), ivNever);
  locks.clear();
  group->SetEnabled(false);
  EXPECT_EQ(locks, (std::vector<int>{1, 1, 1}));
  for (TRecordingItem* item : items) EXPECT_FALSE(item->GetEnabled());
  EXPECT_FALSE(group->Enabled());
  for (TRecordingItem* item : items) Free(item);
  Free(group);
}

TEST(BarComponents, ImageOptions) {
  THostedManager host;
  TdxBarManager* manager = host.Manager;
  TdxBarImageOptions* options = manager->ImageOptions();
  EXPECT_EQ(options->GlyphSize(), 16);
  EXPECT_EQ(options->ImageListBkColor(), static_cast<TColor>(0xFF00FF));
  EXPECT_TRUE(options->CacheGlyphs);
  EXPECT_TRUE(options->UseLeftBottomPixelAsTransparent());
  options->SetLargeIcons(true);
  options->UpdateGlyphSize();
  EXPECT_EQ(options->GlyphSize(), 32);
  TCustomImageList* large = New<TCustomImageList>(nullptr);
  large->SetWidth(24);
  large->SetHeight(24);
  int largeChanges = 0, listChanges = 0;
  options->OnLargeIconsChanged = TNotifyEvent::Lambda([&](TObject*) { ++largeChanges; });
  options->ChangeLink(4)->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++listChanges; });
  options->SetUseLargeImagesForLargeIcons(true);
  options->SetLargeImages(large);
  EXPECT_EQ(largeChanges, 1);
  EXPECT_EQ(listChanges, 1);
  options->UpdateGlyphSize();
  EXPECT_EQ(options->GlyphSize(), 24);
  TCustomImageList* images = New<TCustomImageList>(nullptr);
  options->SetImages(images);
  // Freeing an image list clears it from the options.
  Free(images);
  EXPECT_EQ(options->Images(), nullptr);
  Free(large);
  EXPECT_EQ(options->LargeImages(), nullptr);
}

TEST(BarComponents, TheBarBackgroundRestylesTheManager) {
  THostedManager host;
  TdxBarManager* manager = host.Manager;
  TdxBarBackgrounds* backgrounds = manager->Backgrounds();
  const int before = manager->ApplyStyleCount();
  backgrounds->SetBar(nullptr);  // nothing set, nothing was there
  EXPECT_EQ(manager->ApplyStyleCount(), before);
  TBitmap picture;
  picture.SetSize(4, 4);
  backgrounds->SetBar(&picture);
  EXPECT_EQ(manager->ApplyStyleCount(), before + 1);
  backgrounds->Bar()->SetSize(8, 8);  // the bitmap's own change
  EXPECT_GT(manager->ApplyStyleCount(), before + 1);
  const int now = manager->ApplyStyleCount();
  backgrounds->SetSubMenu(&picture);
  EXPECT_EQ(manager->ApplyStyleCount(), now);
}

// A form with a bar manager, a popup menu and a child button, shown and
// active.
class LinkForm : public ::testing::Test {
protected:
  void SetUp() override {
    Form = std::make_unique<ShownForm>(120, 120, 300, 200, "Links");
    Manager = New<TdxBarManager>(Form->Form);
    Menu = New<TdxBarPopupMenu>(Form->Form);
    Child = Place<TButton>(Form->Form, 150, 100, 100, 40);
    Child->SetCaption("Child");
    Form->Form->OnContextPopup = TContextPopupEvent::Lambda([this](TObject*, POINT, bool&) { ++ContextSeen; });
    Link = Manager->PopupMenuLinks()->Add();
    Link->SetControl(Form->Form);
    Link->SetPopupMenu(Menu);
    Link->OnAction = TdxBarPopupMenuLinkActionEvent::Lambda(
        [this](TdxBarPopupMenuLink*, int& x, int& y, bool byMouse, bool&) {
          ++Actions;
          ClickedByMouse = byMouse;
          ActionPoint = POINT{x, y};
        });
    Form->Show();
  }
  void TearDown() override { Form.reset(); }

  void RightClick(int clientX, int clientY) {
    POINT p{clientX, clientY};
    ClientToScreen(Form->Form->Handle(), &p);
    testing_support::SendMouseMove(p.x, p.y);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, in, sizeof(INPUT));
  }

  std::unique_ptr<ShownForm> Form;
  TdxBarManager* Manager = nullptr;
  TdxBarPopupMenu* Menu = nullptr;
  TButton* Child = nullptr;
  TdxBarPopupMenuLink* Link = nullptr;
  int ContextSeen = 0;
  int Actions = 0;
  bool ClickedByMouse = true;
  POINT ActionPoint{};
};

TEST_F(LinkForm, ARightClickOnAChildShowsTheMenuOnlyWhenChildrenAreProcessed) {
  struct Case {
    const char* Name;
    bool ProcessChildren;
    POINT At;
    int Popups;
  } cases[] = {
      {"child, processing children", true, {170, 110}, 1},
      {"child, not processing children", false, {170, 110}, 0},
      {"form, not processing children", false, {20, 20}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Link->SetProcessChildren(c.ProcessChildren);
    const int seen = ContextSeen, popups = Menu->PopupCount();
    RightClick(c.At.x, c.At.y);
    ASSERT_TRUE(testing_support::RunMessagesUntil([&] { return ContextSeen > seen; }));
    testing_support::RunMessagesUntilIdle();
    EXPECT_EQ(Menu->PopupCount() - popups, c.Popups);
    if (c.Popups) {
      EXPECT_TRUE(ClickedByMouse);
      POINT screen{c.At.x, c.At.y};
      ClientToScreen(Form->Form->Handle(), &screen);
      EXPECT_EQ(Menu->LastPopupPoint().x, screen.x);
      EXPECT_EQ(Menu->LastPopupPoint().y, screen.y);
    }
  }
  // The form's own handler is back after each request.
  EXPECT_EQ(ContextSeen, 3);
}

TEST_F(LinkForm, TheKeyboardsContextMenuIsNotClickedByMouse) {
  // What Shift+F10 and the menu key send: a context menu request without a
  // mouse position, from the focused child up to the form.
  const int popups = Menu->PopupCount();
  SendMessageA(Child->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Child->Handle()), -1);
  ASSERT_TRUE(testing_support::RunMessagesUntil([&] { return Actions > 0; }));
  EXPECT_FALSE(ClickedByMouse);
  EXPECT_EQ(Menu->PopupCount(), popups + 1);
}

TEST_F(LinkForm, ShiftF10OnTheFocusedChildIsNotClickedByMouse) {
  // Real keys: the system turns Shift+F10 into a context menu request
  // without a mouse position, from the focused child up to the form.
  Child->SetFocus();
  ASSERT_TRUE(testing_support::RunMessagesUntil([&] { return GetFocus() == Child->Handle(); }));
  const int popups = Menu->PopupCount();
  // Releasing F10 also starts the system's keyboard menu mode, a modal loop
  // inside the default window procedure that waits for more keys (under
  // Wine it would wait for ever): a timer ends it. Timers keep running in
  // that loop.
  const UINT_PTR ender = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
  testing_support::SendKey(VK_SHIFT);
  testing_support::SendKey(VK_F10);
  testing_support::SendKey(VK_F10, true);
  testing_support::SendKey(VK_SHIFT, true);
  const bool seen = testing_support::RunMessagesUntil([&] { return Actions > 0; });
  testing_support::RunMessagesUntilIdle();
  KillTimer(nullptr, ender);
  ASSERT_TRUE(seen);
  EXPECT_FALSE(ClickedByMouse);
  EXPECT_EQ(Menu->PopupCount(), popups + 1);
}

TEST_F(LinkForm, AControlOutsideTheManagersFormIsNoControl) {
  ShownForm other(500, 120, 200, 100, "Other");
  TdxBarPopupMenuLink* link = Manager->PopupMenuLinks()->Add();
  link->SetControl(other.Form);
  EXPECT_EQ(link->Control(), nullptr);
  link->SetControl(Child);
  EXPECT_EQ(link->Control(), Child);
  // A freed control leaves the link.
  Free(Child);
  Child = nullptr;
  EXPECT_EQ(link->Control(), nullptr);
  FreeDeadPopupMenuLinkHooks();
}

TEST_F(LinkForm, LinksAndAnotherSubclasserLeaveInAnyOrder) {
  TWinControl* control = Child;
  const TWndMethod original = control->WindowProc;
  std::array<int, 3> order{0, 1, 2};
  do {
    SCOPED_TRACE(testing::Message() << order[0] << order[1] << order[2]);
    TdxBarPopupMenuLink* first = Manager->PopupMenuLinks()->Add();
    first->SetControl(control);
    TdxBarPopupMenuLink* second = Manager->PopupMenuLinks()->Add();
    second->SetControl(control);
    // A third subclasser that puts its saved procedure back unconditionally.
    int thirdSeen = 0;
    const TWndMethod saved = control->WindowProc;
    control->WindowProc = TWndMethod::Lambda([&thirdSeen, saved](TMessage& m) {
      ++thirdSeen;
      saved(m);
    });
    for (int who : order) {
      if (who == 0) Free(first);
      if (who == 1) Free(second);
      if (who == 2) control->WindowProc = saved;
      // The window keeps working after every removal.
      const std::string caption = "Step " + std::to_string(who);
      SetWindowTextA(control->Handle(), caption.c_str());
      char text[32] = {};
      GetWindowTextA(control->Handle(), text, sizeof text);
      EXPECT_EQ(std::string(text), caption);
    }
    SendMessageA(control->Handle(), WM_NULL, 0, 0);
    EXPECT_TRUE(control->WindowProc == original);
    FreeDeadPopupMenuLinkHooks();
  } while (std::next_permutation(order.begin(), order.end()));
}

}  // namespace
