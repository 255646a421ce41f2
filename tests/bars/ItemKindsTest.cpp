// Item kinds: check buttons in groups, separators, combos (prefix matching,
// the selected line, the drop-down's width and place) and list items (line
// accelerators, group breaks, data indexes, generated buttons).
#include "bars/model/ItemKinds.h"
#include "bars/model/SubItems.h"
#include "bars/model/Bars.h"
#include "bars/model/PopupMenu.h"
#include "bars/views/BarControl.h"
#include "bars/views/ItemControl.h"
#include "platform/Exceptions.h"
#include "tests/bars/BarsTestSupport.h"

#include <gtest/gtest.h>

namespace {

TdxBarButton* CheckButton(TComponent* owner, int group) {
  auto* button = New<TdxBarButton>(owner);
  button->SetButtonStyle(bsChecked);
  button->SetGroupIndex(group);
  return button;
}

TEST(BarButton, AGroupKeepsOneButtonDown) {
  THostedManager host;
  TdxBarButton* a = CheckButton(host.Form, 1);
  TdxBarButton* b = CheckButton(host.Form, 1);
  TdxBarButton* other = CheckButton(host.Form, 2);
  a->Click();
  EXPECT_TRUE(a->Down());
  a->Click();  // the only down button of the group stays down
  EXPECT_TRUE(a->Down());
  b->Click();
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  other->Click();
  EXPECT_TRUE(other->Down());
  EXPECT_TRUE(b->Down());
  // AllowAllUp reaches the whole group, and then the last one may go up.
  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->AllowAllUp());
  EXPECT_FALSE(other->AllowAllUp());
  b->Click();
  EXPECT_FALSE(b->Down());
}

TEST(BarButton, ChangingTheStyleOfADownButton) {
  struct Case {
    const char* Name;
    TdxBarButtonStyle NewStyle;
    bool StaysDown;
  } cases[] = {{"to checked drop-down", bsCheckedDropDown, true},
               {"to default", bsDefault, false},
               {"to drop-down", bsDropDown, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    THostedManager host;
    TdxBarButton* button = CheckButton(host.Form, 1);
    CheckButton(host.Form, 1);
    button->SetDown(true);
    button->SetButtonStyle(c.NewStyle);
    EXPECT_EQ(button->Down(), c.StaysDown);
  }
}

TEST(BarButton, OnlyCheckButtonsHaveAGroupOrGoDown) {
  THostedManager host;
  auto* button = New<TdxBarButton>(host.Form);
  button->SetGroupIndex(3);
  EXPECT_EQ(button->GroupIndex(), 0);
  button->SetDown(true);
  EXPECT_FALSE(button->Down());
  int clicks = 0;
  button->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  button->Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button->Down());
}

TEST(BarSeparator, GoesIntoMenusButNotOnToolbars) {
  THostedManager host;
  auto* separator = New<TdxBarSeparator>(host.Form);
  AnsiString message;
  EXPECT_FALSE(separator->CanBePlacedOn(0, nullptr, message));
  EXPECT_EQ(message, "A separator item cannot be placed on the specified toolbar");
  message.clear();
  EXPECT_TRUE(separator->CanBePlacedOn(1, nullptr, message));
  EXPECT_TRUE(message.empty());
  EXPECT_TRUE(separator->ShowCaption());
}

TdxBarCombo* FruitCombo(TComponent* owner) {
  auto* combo = New<TdxBarCombo>(owner);
  combo->Items()->Add("Apple");
  combo->Items()->Add("Apricot");
  combo->Items()->Add("Banana");
  return combo;
}

TEST(BarCombo, FindBestPrefixMatch) {
  THostedManager host;
  TdxBarCombo* combo = FruitCombo(host.Form);
  struct Case {
    const char* Text;
    int Line;
  } cases[] = {{"apricot", 1}, {"APR", 1}, {"apr", 1}, {"apx", 0}, {"a", 0}, {"ban", 2}, {"z", -1}, {"bx", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(combo->FindBestPrefixMatch(c.Text), c.Line);
  }
}

TEST(BarCombo, TheTextAndTheSelectedLineFollowEachOther) {
  THostedManager host;
  TdxBarCombo* combo = FruitCombo(host.Form);
  int changes = 0;
  combo->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  combo->SetText("banana");
  EXPECT_EQ(combo->ItemIndex(), 2);
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), "Apricot");
  combo->SetItemIndex(5);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
  EXPECT_EQ(changes, 3);
  combo->SetItemIndex(-7);
  EXPECT_EQ(combo->ItemIndex(), -1);
  // Sorting keeps the text's line selected, without a change.
  combo->SetText("Banana");
  combo->Items()->Insert(0, "Zucchini");
  combo->SetSorted(true);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Items()->Strings(3), "Zucchini");
  // Lines taken away past the selected one clear it.
  combo->SetItemIndex(3);
  combo->Items()->Delete(3);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
}

TEST(BarCombo, DropDownWidth) {
  THostedManager host;
  TdxBarCombo* combo = FruitCombo(host.Form);
  combo->SetDropDownWidth(150);
  EXPECT_EQ(combo->DropDownWidthInEffect(), 154);
  for (int i = 0; i < 8; ++i) combo->Items()->Add("line " + std::to_string(i));
  EXPECT_EQ(combo->DropDownWidthInEffect(), 154 + GetSystemMetrics(SM_CXVSCROLL));
  // Without a width of its own the widest line counts.
  combo->SetDropDownWidth(0);
  combo->Items()->Clear();
  combo->Items()->Add("W");
  combo->Items()->Add("WWWWWWWWWWWWWWWWWWWW");
  int widest = 0;
  combo->MeasureItemWidth(1, widest);
  EXPECT_GT(widest, 20);
  EXPECT_EQ(combo->DropDownWidthInEffect(), widest + 4);
  EXPECT_EQ(combo->DropDownWidthInEffect(widest + 100), widest + 100);
}

TEST(BarCombo, KeysThatOpenTheList) {
  THostedManager host;
  auto* plain = New<TCustomdxBarCombo>(host.Form);
  TdxBarCombo* combo = FruitCombo(host.Form);
  const auto acceptAll = TdxBarCheckKeyForDropDownWindowEvent::Lambda(
      [](TCustomdxBarCombo*, WORD, TShiftState, bool& accept) { accept = true; });
  EXPECT_TRUE(plain->CheckKeyForDropDown('A', {}));
  EXPECT_FALSE(plain->CheckKeyForDropDown(VK_TAB, {}));
  EXPECT_FALSE(plain->CheckKeyForDropDown(VK_ESCAPE, {}));
  plain->OnCheckKeyForDropDownWindow = acceptAll;
  EXPECT_TRUE(plain->CheckKeyForDropDown(VK_TAB, {}));
  combo->OnCheckKeyForDropDownWindow = acceptAll;
  struct Case {
    WORD Key;
    TShiftState Shift;
    bool Opens;
  } cases[] = {{VK_UP, {}, true},      {VK_DOWN, {}, true},   {VK_PRIOR, {}, true},        {VK_NEXT, {}, true},
               {'A', {}, false},       {VK_TAB, {}, false},   {VK_DOWN, {ssShift}, false}, {VK_F4, {}, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Key);
    EXPECT_EQ(combo->CheckKeyForDropDown(c.Key, c.Shift), c.Opens);
  }
}

TEST(BarCombo, FittingTheDropDownIntoTheWorkArea) {
  const RECT work{0, 0, 800, 600};
  const SIZE item{100, 20}, list{150, 200};
  struct Case {
    const char* Name;
    int X, Y;
    bool Beside;
    int FitX, FitY;
  } cases[] = {
      {"below, room enough", 100, 100, false, 100, 100},
      {"below, at the right edge", 700, 100, false, 650, 100},
      {"below, at the bottom with more room above", 100, 500, false, 100, 280},
      {"below, at the bottom with more room below", 100, 110, false, 100, 110},
      {"below, left of and above the work area", -10, -5, false, 0, 0},
      {"beside, at the right edge", 700, 100, true, 450, 100},
      {"beside, at the right edge with more room right", 120, 100, true, 120, 100},
      {"beside, at the bottom", 100, 500, true, 100, 400},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    SIZE small = list;
    if (c.X == 120) small.cx = 700;  // wider than the room on either side
    const POINT p = TCustomdxBarCombo::FitDropDownPosition(c.X, c.Y, item, small, work, c.Beside);
    EXPECT_EQ(p.x, c.FitX);
    EXPECT_EQ(p.y, c.FitY);
  }
}

TEST(BarEdit, WidthAndMaxLengthTakeOnlyPositiveValues) {
  THostedManager host;
  auto* edit = New<TdxBarEdit>(host.Form);
  EXPECT_EQ(edit->Width(), 100);
  edit->SetWidth(-4);
  EXPECT_EQ(edit->Width(), 100);
  edit->SetWidth(60);
  EXPECT_EQ(edit->Width(), 60);
  edit->SetMaxLength(-3);
  EXPECT_EQ(edit->MaxLength(), 0);
  EXPECT_FALSE(edit->HandlesShortCut());
}

TEST(BarListItem, LinesBecomeNumberedButtons) {
  THostedManager host;
  auto* list = New<TdxBarListItem>(host.Form);
  for (const char* line : {"a", "-", "b", "c"}) list->Items()->Add(line);
  const std::vector<TdxBarListLine> lines = list->Expand();
  ASSERT_EQ(lines.size(), 3u);
  const char* captions[] = {"&1 a", "&2 b", "&3 c"};
  const bool breaks[] = {true, true, false};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(lines[i].Caption, captions[i]);
    EXPECT_EQ(lines[i].Button->Caption(), captions[i]);
    EXPECT_EQ(lines[i].BeginGroup, breaks[i]);
  }
  EXPECT_EQ(lines[1].Button->Tag(), 2);
  // A click on a generated button selects its line.
  lines[2].Button->Click();
  EXPECT_EQ(list->ItemIndex(), 3);
  list->SetShowNumbers(false);
  EXPECT_EQ(list->Expand()[0].Caption, "a");
}

TEST(BarListItem, AcceleratorsRunOutAfterTheLetterZ) {
  struct Case {
    int Line;  // from 1
    const char* Prefix;
  } cases[] = {{1, "&1 "}, {9, "&9 "}, {10, "&A "}, {11, "&B "}, {12, "&C "}, {35, "&Z "},
               {36, ""},   {37, ""},   {40, ""},   {201, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Line);
    EXPECT_EQ(TdxBarListItem::LinePrefix(c.Line - 1), c.Prefix);
  }
  THostedManager host;
  auto* list = New<TdxBarListItem>(host.Form);
  for (int i = 1; i <= 40; ++i) list->Items()->Add("line" + std::to_string(i));
  const std::vector<TdxBarListLine> lines = list->Expand();
  EXPECT_EQ(lines[9].Caption, "&A line10");
  EXPECT_EQ(lines[34].Caption, "&Z line35");
  EXPECT_EQ(lines[35].Caption, "line36");
  EXPECT_EQ(lines[39].Caption, "line40");
}

TEST(BarListItem, DataIndexCountsLinesThatAreNoBreaks) {
  THostedManager host;
  auto* list = New<TdxBarListItem>(host.Form);
  for (const char* line : {"a", "-", "b", "c"}) list->Items()->Add(line);
  struct Case {
    const char* Name;
    int DataIndex, ItemIndex;
  } cases[] = {{"a", 0, 0}, {"b", 1, 2}, {"c", 2, 3}, {"past the lines", 9, -1}, {"negative", -3, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    list->SetDataIndex(c.DataIndex);
    EXPECT_EQ(list->ItemIndex(), c.ItemIndex);
    EXPECT_EQ(list->DataIndex(), c.ItemIndex < 0 ? -1 : c.DataIndex);
  }
  list->SetItemIndex(1);  // the break line counts as the line before it
  EXPECT_EQ(list->DataIndex(), 0);
}

TEST(BarListItem, GeneratedButtonsAreReusedUntilNoLinkUsesThem) {
  THostedManager host;
  auto* list = New<TdxBarListItem>(host.Form);
  EXPECT_FALSE(list->HasContent());
  list->OnGetData = TNotifyEvent::Lambda([](TObject*) {});
  EXPECT_TRUE(list->HasContent());
  list->Items()->Add("one");
  list->Items()->Add("two");
  const int components = host.Form->ComponentCount();
  TdxBarButton* first = list->Expand()[0].Button;
  EXPECT_EQ(host.Form->ComponentCount(), components + 2);
  EXPECT_EQ(list->Expand()[0].Button, first);
  EXPECT_EQ(host.Form->ComponentCount(), components + 2);
  // A collapse marks them; while a link still shows the first they stay.
  auto* menu = New<TdxBarSubItem>(host.Form);
  TdxBarItemLink* shown = menu->ItemLinks()->AddItem(first);
  list->MarkLinksStale();
  EXPECT_EQ(list->Expand()[0].Button, first);
  EXPECT_FALSE(list->LinksStale());
  // With no link left they are made again.
  Free(shown);
  list->MarkLinksStale();
  const std::vector<TdxBarListLine> again = list->Expand();
  EXPECT_EQ(again.size(), 2u);
  EXPECT_EQ(host.Form->ComponentCount(), components + 3);  // the new pair and the menu
  EXPECT_EQ(list->GeneratedCount(), 2);
}

TEST(BarContainerItem, ContentComesFromShownLinksOrOnGetData) {
  THostedManager host;
  auto* container = New<TdxBarContainerItem>(host.Form);
  EXPECT_FALSE(container->HasContent());
  // A link with no item yet counts as content.
  container->ItemLinks()->AppendLink();
  EXPECT_TRUE(container->HasContent());
  container->ItemLinks()->Clear();
  auto* hidden = New<TdxBarButton>(host.Form);
  hidden->SetVisible(ivNever);
  auto* also = New<TdxBarButton>(host.Form);
  also->SetVisible(ivNever);
  container->ItemLinks()->AddItem(hidden);
  container->ItemLinks()->AddItem(also);
  EXPECT_FALSE(container->HasContent());
  container->OnGetData = TNotifyEvent::Lambda([](TObject*) {});
  EXPECT_TRUE(container->HasContent());
  container->OnGetData.Clear();
  also->SetVisible(ivAlways);
  EXPECT_TRUE(container->HasContent());
}

}  // namespace

namespace {

// The links that hold an item (a refused item leaves its link empty).
int LinkedItems(TdxBarItemLinks* links) {
  int n = 0;
  for (int i = 0; i < links->Count(); ++i)
    if (links->LinkAt(i)->Item()) ++n;
  return n;
}

TEST(BarSubItem, ASubMenuCannotGoBelowItself) {
  THostedManager host;
  auto* a = New<TdxBarSubItem>(host.Form);
  auto* b = New<TdxBarSubItem>(host.Form);
  auto* c = New<TdxBarSubItem>(host.Form);
  a->ItemLinks()->AddItem(b);
  b->ItemLinks()->AddItem(c);
  struct Case {
    const char* Name;
    TdxBarSubItem* Into;
  } cases[] = {{"into the sub-menu it holds", b}, {"into one further below", c}, {"into itself", a}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    const int before = LinkedItems(k.Into->ItemLinks());
    const int links = k.Into->ItemLinks()->Count();
    try {
      k.Into->ItemLinks()->AddItem(a);
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "You cannot create recursive menus");
    }
    EXPECT_EQ(LinkedItems(k.Into->ItemLinks()), before);
    EXPECT_EQ(k.Into->ItemLinks()->Count(), links) << "the refused item left an empty link";
  }
  // Elsewhere it goes, and a separator goes into a sub-menu.
  auto* d = New<TdxBarSubItem>(host.Form);
  d->ItemLinks()->AddItem(a);
  d->ItemLinks()->AddItem(New<TdxBarSeparator>(host.Form));
  EXPECT_EQ(d->ItemLinks()->Count(), 2);
}

TEST(BarSubItem, ASeparatorIsRefusedOnAToolbar) {
  THostedManager host;
  TdxBar* bar = host.Manager->Bars()->AddBar();
  ASSERT_NE(bar->ItemLinks(), nullptr);
  bar->ItemLinks()->AddItem(New<TdxBarButton>(host.Form));
  try {
    bar->ItemLinks()->AddItem(New<TdxBarSeparator>(host.Form));
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "A separator item cannot be placed on the specified toolbar");
  }
  EXPECT_EQ(LinkedItems(bar->ItemLinks()), 1);
  EXPECT_EQ(bar->ItemLinks()->Count(), 1) << "the refused item left an empty link";
}

TEST(BarButton, ADropDownMenuHoldingTheButtonIsRefused) {
  THostedManager host;
  auto* button = New<TdxBarButton>(host.Form);
  auto* plain = New<TdxBarPopupMenu>(host.Form);
  auto* holding = New<TdxBarPopupMenu>(host.Form);
  auto* sub = New<TdxBarSubItem>(host.Form);
  sub->ItemLinks()->AddItem(button);
  holding->ItemLinks()->AddItem(sub);
  button->SetDropDownMenu(plain);
  EXPECT_EQ(button->GetItemLinks(), plain->ItemLinks());
  try {
    button->SetDropDownMenu(holding);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "You cannot create recursive menus");
  }
  EXPECT_EQ(button->DropDownMenu(), plain);
  Free(plain);
  EXPECT_EQ(button->DropDownMenu(), nullptr);
  EXPECT_EQ(button->GetItemLinks(), nullptr);
}

}  // namespace

namespace {

// Links shown on a bar window of one kind: a toolbar or a menu.
class TWindowLinks : public IdxBarLinksOwner {
public:
  TWindowLinks(TdxBarManager* manager, TComponent* owner, bool menu)
      : Owner(owner), Menu(menu), Links(new TdxBarSubMenuControlItemLinks(manager, this)) {
    Links->AttachBarControl();
  }
  ~TWindowLinks() {
    Free(Links);
  }
  TCustomdxBarControl* CreateBarControl() override {
    if (Menu) return new TdxBarSubMenuControl(Owner);
    return new TdxBarControl(Owner);
  }
  TObject* LinksOwnerObject() override { return nullptr; }
  bool CanContainItem(TdxBarItem*, AnsiString&) override { return true; }
  bool IsMenuOwner() override { return Menu; }
  TComponent* Owner;
  bool Menu;
  TdxBarItemLinks* Links;
};

TEST(BarEdit, TheWindowControlLinkIsOnAToolbar) {
  THostedManager host;
  auto* edit = New<TdxBarEdit>(host.Form);
  TWindowLinks menu(host.Manager, host.Form, true);
  TWindowLinks toolbar(host.Manager, host.Form, false);
  TdxBarItemLink* inMenu = menu.Links->AddItem(edit);
  TdxBarItemLink* onToolbar = toolbar.Links->AddItem(edit);
  EXPECT_EQ(edit->WindowControlLink(false), nullptr);  // no controls yet
  for (TdxBarItemLink* link : {inMenu, onToolbar}) {
    auto* control = new TdxBarEditControl;
    control->AttachToLink(link);
    link->SetControl(control);
  }
  // The menu's link comes first, but only a toolbar can take the focus.
  EXPECT_EQ(edit->WindowControlLink(false), onToolbar);
  // The toolbar's window is not showing.
  EXPECT_EQ(edit->WindowControlLink(true), nullptr);
}

}  // namespace
