// Bar items and their links: the hint that follows the caption, shortcuts,
// clicks through actions, personalized menus, separator pruning,
// accelerators and the action link's property protocol.
#include "bars/model/BarItem.h"
#include "bars/model/BarManager.h"
#include "bars/model/ItemKinds.h"
#include "bars/model/ItemLinks.h"
#include "bars/model/PopupMenu.h"
#include "bars/model/QuickCustomizing.h"
#include "bars/model/SubItems.h"
#include "bars/views/ItemActionLink.h"
#include "platform/ActnList.h"
#include "platform/Dialogs.h"
#include "platform/ImageList.h"
#include "platform/Bitmap.h"
#include "platform/Win32.h"
#include "tests/bars/BarsTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// A manager with a popup menu whose links track recent use.
struct MenuHost : THostedManager {
  MenuHost() : Menu(New<TdxBarPopupMenu>(Form)) { Menu->ItemLinks()->SetUseRecentItems(true); }
  TdxBarItemLinks* Links() const { return Menu->ItemLinks(); }
  template <class T = TdxBarButton>
  T* AddItem(const AnsiString& caption) {
    T* item = New<T>(Form);
    item->SetCaption(caption);
    Links()->AddItem(item);
    return item;
  }
  TdxBarPopupMenu* Menu;
};

TEST(BarItem, TheHintFollowsTheCaptionWhileItsShortPartIsTheOldCaption) {
  struct Case {
    const char* Name;
    const char* OldCaption;
    const char* OldHint;
    const char* NewCaption;
    const char* Hint;
  } cases[] = {
      {"empty hint", "&Open...", "", "&Close...", "Close"},
      {"short part equal, long part kept", "&Open...", "Open|Opens a file", "Sa&ve as...", "Save as|Opens a file"},
      {"hint equal, no long part", "&Open", "Open", "&Print", "Print"},
      {"short part differs", "&Open...", "Load a file|Opens a file", "&Close", "Load a file|Opens a file"},
      {"only the first marks go", "A&&B......", "A&B...|x", "&C", "C|x"},
  };
  MenuHost host;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TdxBarButton* item = New<TdxBarButton>(host.Form);
    item->SetCaption(c.OldCaption);
    item->SetHint(c.OldHint);
    item->SetCaption(c.NewCaption);
    EXPECT_EQ(item->Hint(), c.Hint);
    Free(item);
  }
  // A sub-item's hint never follows.
  TdxBarSubItem* sub = New<TdxBarSubItem>(host.Form);
  sub->SetCaption("&File");
  EXPECT_EQ(sub->Hint(), "");
  sub->SetHint("File");
  sub->SetCaption("&Edit");
  EXPECT_EQ(sub->Hint(), "File");
}

TEST(BarItem, ItemsJoinTheManagerAndGoWithIt) {
  TForm* form = New<TForm>(nullptr);
  TdxBarManager* manager = New<TdxBarManager>(form);
  TdxBarButton* a = New<TdxBarButton>(form);
  TdxBarButton* b = New<TdxBarButton>(form);
  a->SetName("Save");
  EXPECT_EQ(a->BarManager(), manager);
  EXPECT_EQ(manager->ItemCount(), 2);
  EXPECT_EQ(manager->ItemByName("SAVE"), a);
  EXPECT_EQ(manager->ItemAt(1), b);
  EXPECT_EQ(manager->ItemAt(2), nullptr);
  Free(b);
  EXPECT_EQ(manager->ItemCount(), 1);
  Free(manager);
  EXPECT_EQ(form->ComponentCount(), 0);
  Free(form);
}

TEST(BarItem, SettersIgnoreWhatTheyRefuse) {
  MenuHost host;
  TdxBarButton* item = New<TdxBarButton>(host.Form);
  item->SetWidth(40);
  item->SetWidth(-3);
  EXPECT_EQ(item->Width(), 40);
  item->SetMergeOrder(-7);
  EXPECT_EQ(item->MergeOrder(), 0);
  item->SetCategory(0);  // no such category
  EXPECT_EQ(item->Category(), -1);
  EXPECT_EQ(item->CaptionWithoutMarks(), "");
}

TEST(BarItem, CategoriesKeepTheirItemsTogether) {
  MenuHost host;
  TdxBarManager* m = host.Manager;
  m->Categories()->Add("File");
  m->Categories()->Add("Edit");
  TdxBarButton* open = New<TdxBarButton>(host.Form);
  TdxBarButton* cut = New<TdxBarButton>(host.Form);
  TdxBarButton* save = New<TdxBarButton>(host.Form);
  open->SetCategory(0);
  cut->SetCategory(1);
  save->SetCategory(0);  // moves beside open
  EXPECT_EQ(m->IndexOfItem(open), 0);
  EXPECT_EQ(m->IndexOfItem(save), 1);
  EXPECT_EQ(m->IndexOfItem(cut), 2);
  TList items;
  m->CategoryItems(0, &items);
  EXPECT_EQ(items.Count(), 2);
  m->CategoryItems(5, &items);
  EXPECT_EQ(items.Count(), 0);
  EXPECT_EQ(m->CategoryItemsVisible(1), ivAlways);
  EXPECT_EQ(m->CategoryItemsVisible(9), ivNever);
  // ivNever hides the category's items in one update.
  m->SetCategoryItemsVisible(0, ivNever);
  EXPECT_EQ(open->Visible(), ivNever);
  EXPECT_EQ(save->Visible(), ivNever);
  EXPECT_EQ(cut->Visible(), ivAlways);
  EXPECT_EQ(m->LockUpdateCount(), 0);
  m->SetCategoryVisible(0, false);
  EXPECT_EQ(m->VisibleCategoryToIndex(0), 1);
  EXPECT_EQ(m->VisibleCategoryToIndex(1), -1);
}

// A sub-item with links of its own that tells whether they were asked.
class TCountingSubItem : public TCustomdxBarSubItem {
public:
  explicit TCountingSubItem(TComponent* owner)
      : TCustomdxBarSubItem(owner), Links(new TdxBarSubMenuControlItemLinks(BarManager(), this)) {}
  ~TCountingSubItem() override { Free(Links); }
  TdxBarItemLinks* GetItemLinks() const override {
    ++Asked;
    return Links;
  }
  TCustomdxBarControl* CreateBarControl() override { return nullptr; }
  TObject* LinksOwnerObject() override { return this; }
  bool CanContainItem(TdxBarItem*, AnsiString&) override { return true; }
  bool IsMenuOwner() override { return true; }
  TdxBarItemLinks* Links;
  mutable int Asked = 0;
};

TEST(BarItem, ShortcutsRunTheItemOrItsLinks) {
  MenuHost host;
  auto* sub = New<TCountingSubItem>(host.Form);
  TdxBarButton* save = New<TdxBarButton>(host.Form);
  save->SetShortCut(0x4053);  // Ctrl+S
  int clicks = 0;
  save->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  sub->Links->AddItem(save);
  struct Case {
    const char* Name;
    bool SubEnabled;
    TShortCut Key;
    bool Answer;
    int Clicks;
  } cases[] = {
      {"enabled, the link's shortcut", true, 0x4053, true, 1},
      {"enabled, no such shortcut", true, 0x4054, false, 0},
      {"enabled, zero: no shortcut", true, 0, false, 0},
      {"disabled: no link is asked", false, 0x4053, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    sub->SetEnabled(c.SubEnabled);
    const int asked = sub->Asked;
    clicks = 0;
    EXPECT_EQ(sub->ExecuteShortCut(c.Key), c.Answer);
    EXPECT_EQ(clicks, c.Clicks);
    if (!c.SubEnabled) {
      EXPECT_EQ(sub->Asked, asked);
    }
  }
  Free(save);
  Free(sub);
}

TEST(BarItem, AClickRunsTheManagersEventThenOnClickOrTheActionOnce) {
  MenuHost host;
  TAction* action = New<TAction>(host.Form);
  std::vector<std::string> trace;
  struct Handler : TObject {
    std::vector<std::string>* Trace;
    void Execute(TObject*) { Trace->push_back("execute"); }
    void Other(TObject*) { Trace->push_back("own"); }
  } handler;
  handler.Trace = &trace;
  action->SetOnExecute(TNotifyEvent::Bind<&Handler::Execute>(&handler));
  host.Manager->OnClickItem =
      TdxBarClickItemEvent::Lambda([&](TdxBarManager*, TdxBarItem*) { trace.push_back("manager"); });
  TdxBarButton* item = New<TdxBarButton>(host.Form);
  item->SetAction(action);
  // The action's OnExecute became OnClick: it runs once, through the action.
  EXPECT_TRUE(item->OnClick == action->OnExecute());
  item->Click();
  EXPECT_EQ(trace, (std::vector<std::string>{"manager", "execute"}));
  trace.clear();
  item->OnClick = TNotifyEvent::Bind<&Handler::Other>(&handler);
  item->Click();
  EXPECT_EQ(trace, (std::vector<std::string>{"manager", "own"}));
  trace.clear();
  item->SetEnabled(false);
  item->Click();
  EXPECT_TRUE(trace.empty());
  // A failing handler goes to the application's handler, not out of Click.
  item->SetEnabled(true);
  item->SetAction(nullptr);
  item->OnClick = TNotifyEvent::Lambda([](TObject*) { throw Exception("boom"); });
  std::vector<std::string> shown;
  TDialogHandler old = SetDialogHandler(TDialogHandler::Lambda([&](TDialogRequest& r) {
    shown.push_back(r.Text);
    return IDOK;
  }));
  EXPECT_NO_THROW(item->Click());
  SetDialogHandler(old);
  EXPECT_EQ(shown.size(), 1u);
}

TEST(ItemLinks, RecentLinkCountFollowsUseCounts) {
  MenuHost host;
  std::vector<TdxBarItemLink*> links;
  for (const char* caption : {"One", "Two", "Three", "Four", "Five"}) {
    host.AddItem(caption);
    links.push_back(host.Links()->LinkAt(host.Links()->Count() - 1));
  }
  TdxBarItemLinks* all = host.Links();
  EXPECT_EQ(all->RecentLinkCount(), -1);  // every link counts as recent
  links[4]->SetMostRecentlyUsed(false);
  EXPECT_EQ(links[4]->UseCount(), 0);
  EXPECT_EQ(links[4]->UsageOrderIndex(), 4);
  EXPECT_EQ(all->RecentLinkCount(), 4);
  // A recent-first menu shows the other four, in collection order.
  all->SetShownLimit(all->RecentLinkCount());
  ASSERT_EQ(all->ShownLinkCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(all->GetShownLink(i), links[static_cast<size_t>(i)]);
  all->RestoreShownLimit();
  EXPECT_EQ(all->ShownLinkCount(), 5);
  // Clicking the fifth counts one use and brings it to the front.
  links[4]->RecordUse(true);
  EXPECT_EQ(links[4]->UseCount(), 1);
  EXPECT_EQ(links[4]->UsageOrderIndex(), 0);
  EXPECT_EQ(all->RecentLinkCount(), -1);
  // The standard style tracks nothing.
  host.Manager->SetStyle(bmsStandard);
  EXPECT_FALSE(all->RecentTrackingOn());
  EXPECT_EQ(all->RecentLinkCount(), -1);
}

TEST(ItemLinks, SeparatorsArePrunedOutsideCustomizingOnly) {
  struct Case {
    const char* Name;
    const char* Layout;  // 's' a separator, a letter a button
    const char* Shown;
    const char* Customizing;
  } cases[] = {
      {"trailing", "ab s", "ab", "abs"},
      {"two adjacent", "a ss b", "asb", "assb"},
      {"adjacent and trailing", "a ss b s", "asb", "assbs"},
      {"leading stays", "s a", "sa", "sa"},
      {"only separators", "ss", "", "ss"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    MenuHost host;
    for (const char* p = c.Layout; *p; ++p) {
      if (*p == ' ') continue;
      if (*p == 's')
        host.AddItem<TdxBarSeparator>("s");
      else
        host.AddItem(AnsiString(1, *p));
    }
    auto shown = [&host] {
      AnsiString s;
      for (int i = 0; i < host.Links()->ShownLinkCount(); ++i) s += host.Links()->GetShownLink(i)->Item()->Caption();
      return s;
    };
    EXPECT_EQ(shown(), c.Shown);
    host.Manager->SetCustomizingMode(true);
    EXPECT_EQ(shown(), c.Customizing);
    host.Manager->SetCustomizingMode(false);
    EXPECT_EQ(shown(), c.Shown);
  }
}

TEST(ItemLinks, AcceleratorsWithTheUsLayout) {
  HKL us = LoadKeyboardLayoutA("00000409", KLF_ACTIVATE);
  ASSERT_NE(us, nullptr);
  HKL previous = ActivateKeyboardLayout(us, 0);
  MenuHost host;
  const TShiftState none, shift{TShiftStateItem::ssShift}, ctrl{TShiftStateItem::ssCtrl},
      alt{TShiftStateItem::ssAlt};
  struct Case {
    const char* Caption;
    WORD Key;
    TShiftState Shift;
    bool Matches;
  } cases[] = {
      {"&Save", 'S', none, true},  {"&Save", 'S', shift, true},  {"&Save", 'S', ctrl, false},
      {"&save", 'S', none, true},  {"&save", 'S', shift, false}, {"&save", 'S', alt, true},
      {"&1", '1', none, true},     {"&1", '1', shift, false},    {"&1", VK_NUMPAD1, none, false},
      {"Sa&&ve", 'V', none, false}, {"Save&", 'E', none, false}, {"Sa&ve", 'V', none, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Caption << " key " << c.Key << " shift " << c.Shift.Bits());
    TdxBarButton* item = host.AddItem(c.Caption);
    TdxBarItemLink* link = host.Links()->LinkAt(host.Links()->Count() - 1);
    EXPECT_EQ(link->AccelMatches(c.Key, c.Shift), c.Matches);
    Free(item);
  }
  // The menu's keyboard search goes round from the link after the start.
  host.AddItem("&Open");
  host.AddItem("&Close");
  host.AddItem("C&ut");
  TdxBarItemLinks* links = host.Links();
  EXPECT_EQ(links->FindLinkForKey('C', none, nullptr), links->LinkAt(1));
  EXPECT_EQ(links->FindLinkForKey('U', alt, nullptr), links->LinkAt(2));
  EXPECT_EQ(links->FindLinkForKey('O', none, links->LinkAt(0)), links->LinkAt(0));
  EXPECT_EQ(links->FindLinkForKey('X', none, nullptr), nullptr);
  if (previous) ActivateKeyboardLayout(previous, 0);
}

TEST(ItemLinks, UserValuesOverrideTheItems) {
  MenuHost host;
  TdxBarButton* item = host.AddItem("&Save");
  TdxBarItemLink* link = host.Links()->LinkAt(0);
  EXPECT_EQ(link->DisplayCaption(), "&Save");
  link->SetUserCaption("Keep");
  EXPECT_TRUE(link->UserDefine().Contains(udCaption));
  item->SetCaption("&Store");
  EXPECT_EQ(link->DisplayCaption(), "Keep");
  link->SetUserDefine(TdxBarUserDefines{});
  EXPECT_EQ(link->UserCaption(), "");
  EXPECT_EQ(link->DisplayCaption(), "&Store");
  link->SetUserPaintStyle(psCaption);
  EXPECT_EQ(link->DisplayPaintStyle(), psCaption);
  EXPECT_EQ(link->DisplayWidth(), 0);
  link->SetUserWidth(30);
  EXPECT_EQ(link->DisplayWidth(), 30);
}

TEST(ItemLinks, TheManagerHearsOfLinksComingAndGoing) {
  MenuHost host;
  std::vector<std::string> heard;
  host.Manager->OnItemLinkAdd = TdxBarItemLinkEvent::Lambda([&](TObject*, TdxBarItemLink* link) {
    heard.push_back("add " + std::to_string(link->Index()));
  });
  host.Manager->OnItemLinkChange = TdxBarItemLinkEvent::Lambda([&](TObject*, TdxBarItemLink* link) {
    heard.push_back("change " + std::string(link->Item() ? link->Item()->Caption() : ""));
  });
  host.Manager->OnItemLinkDelete = TdxBarItemLinkEvent::Lambda([&](TObject*, TdxBarItemLink* link) {
    heard.push_back("delete " + std::to_string(link->Index()));
  });
  TdxBarButton* a = New<TdxBarButton>(host.Form);
  a->SetCaption("a");
  TdxBarItemLink* link = host.Links()->AppendLink();
  EXPECT_EQ(link->UseCount(), host.Manager->RecentUseCount());
  EXPECT_EQ(link->UsageOrderIndex(), 0);
  link->SetItem(a);
  Free(link);
  EXPECT_EQ(heard, (std::vector<std::string>{"add 0", "change a", "delete 0"}));
  EXPECT_EQ(a->LinkCount(), 0);
}

TEST(ItemLinks, AHiddenLinksGroupBreakPassesToTheNextShownOne) {
  MenuHost host;
  host.AddItem("a");
  host.AddItem("b");
  host.AddItem("c");
  TdxBarItemLinks* links = host.Links();
  links->LinkAt(0)->SetBeginGroup(true);
  EXPECT_FALSE(links->LinkAt(0)->BeginGroup());  // the first shown link shows none
  links->LinkAt(1)->SetBeginGroup(true);
  links->LinkAt(1)->SetVisible(false);
  EXPECT_TRUE(links->LinkAt(2)->BeginGroup());
  links->LinkAt(1)->SetVisible(true);
  EXPECT_FALSE(links->LinkAt(2)->BeginGroup());
}

TEST(ItemLinks, ANilItemFreesTheLinkAndEndsItsUpdate) {
  MenuHost host;
  TdxBarButton* item = host.AddItem("a");
  host.AddItem("b");
  TdxBarItemLinks* links = host.Links();
  const int updates = links->UpdateCount();
  links->LinkAt(0)->SetItem(nullptr);
  EXPECT_EQ(links->Count(), 1);
  EXPECT_EQ(links->UpdateCount(), updates);
  EXPECT_EQ(item->LinkCount(), 0);
  // Freeing an item frees its links.
  Free(links->LinkAt(0)->Item());
  EXPECT_EQ(links->Count(), 0);
  EXPECT_EQ(links->UsageOrderCount(), 0);
}

TEST(ItemLinks, AMenuRefusesToContainItself) {
  MenuHost host;
  auto* sub = New<TCountingSubItem>(host.Form);
  // A sub-item with links of its own may join.
  host.Links()->AddItem(sub);
  EXPECT_EQ(host.Links()->Count(), 1);
  // A sub-item whose links are the menu's own would recurse.
  auto* inner = New<TCountingSubItem>(host.Form);
  Free(inner->Links);
  inner->Links = host.Links();  // pretend its links are the menu's
  try {
    host.Links()->AddItem(inner);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "You cannot create recursive menus");
  }
  inner->Links = nullptr;
  Free(inner);
}

TEST(PopupMenu, NeedsAManager) {
  TForm* form = New<TForm>(nullptr);
  try {
    New<TdxBarPopupMenu>(form);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "There are no TdxBarManagers available");
  }
  EXPECT_EQ(form->ComponentCount(), 0);
  // A form without a manager takes the first one there is.
  THostedManager host;
  TdxBarPopupMenu* menu = New<TdxBarPopupMenu>(form);
  EXPECT_EQ(menu->BarManager(), host.Manager);
  Free(form);
}

TEST(PopupMenu, SizesFontsAndOwnerValues) {
  MenuHost host;
  TdxBarPopupMenu* menu = host.Menu;
  menu->SetBarSize(-5);
  EXPECT_EQ(menu->BarSize(), 0);
  menu->SetBarSize(24);
  EXPECT_EQ(menu->BarSize(), 24);
  // The manager's font until the menu's own is set.
  EXPECT_FALSE(menu->UseOwnFont());
  EXPECT_EQ(menu->Font()->Name(), host.Manager->Font()->Name());
  host.Manager->Font()->SetName("Arial");
  EXPECT_EQ(menu->Font()->Name(), "Arial");
  menu->Font()->SetName("Courier New");
  EXPECT_TRUE(menu->UseOwnFont());
  host.Manager->Font()->SetName("Tahoma");
  EXPECT_EQ(menu->Font()->Name(), "Courier New");
  menu->SetUseOwnFont(false);
  EXPECT_FALSE(menu->UseOwnFont());
  EXPECT_EQ(menu->Font()->Name(), "Tahoma");
  // Owner values hold for one call only.
  std::vector<std::string> seen;
  menu->OnPopup = TNotifyEvent::Lambda([&](TObject*) {
    seen.push_back(std::to_string(menu->OwnerWidth()) + "," + std::to_string(menu->UseOwnMessageLoop()) + "," +
                   std::to_string(menu->OwnerBounds() != nullptr));
  });
  menu->OnCloseUp = TNotifyEvent::Lambda([&](TObject*) { seen.push_back("closed"); });
  const RECT bounds{1, 2, 3, 4};
  menu->ShowForOwner(10, 20, 30, 40, false, &bounds, false, host.Form);
  EXPECT_EQ(menu->OwnerWidth(), 0);
  EXPECT_EQ(menu->OwnerHeight(), 0);
  EXPECT_EQ(menu->OwnerBounds(), nullptr);
  EXPECT_EQ(menu->OwnerControl(), nullptr);
  EXPECT_TRUE(menu->ShowAnimation());
  EXPECT_TRUE(menu->UseOwnMessageLoop());
  EXPECT_FALSE(menu->PopupVisible());
  menu->ShowAt(5, 6);
  EXPECT_EQ(seen, (std::vector<std::string>{"30,0,1", "closed", "0,1,0", "closed"}));
  EXPECT_EQ(menu->LastPopupPoint().x, 5);
}

TEST(PopupMenu, ShortcutKeysReachTheLinks) {
  MenuHost host;
  TdxBarButton* save = host.AddItem("&Save");
  save->SetShortCut(0x4053);
  int clicks = 0;
  save->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  // Ctrl is read from the keyboard state.
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  const BYTE ctrl = keys[VK_CONTROL];
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  EXPECT_TRUE(host.Menu->IsShortCutKey('S', 0));
  EXPECT_FALSE(host.Menu->IsShortCutKey(0, 0));
  keys[VK_CONTROL] = ctrl;
  SetKeyboardState(keys);
  EXPECT_FALSE(host.Menu->IsShortCutKey('S', 0));
  EXPECT_EQ(clicks, 1);
}

TEST(PopupMenu, MenusGoWithTheirManager) {
  TForm* form = New<TForm>(nullptr);
  TdxBarManager* manager = New<TdxBarManager>(form);
  TdxBarPopupMenu* menu = New<TdxBarPopupMenu>(form);
  EXPECT_EQ(manager->PopupMenuCount(), 1);
  EXPECT_EQ(manager->PopupMenuAt(0), static_cast<TdxBarCustomPopupMenu*>(menu));
  Free(manager);
  EXPECT_EQ(form->ComponentCount(), 0);
  Free(form);
}

// --- The action link ----------------------------------------------------------

TEST(ItemActionLink, TheItemFollowsEachPropertyUntilItIsChangedAway) {
  struct Case {
    const char* Name;
    std::function<bool(TdxBarItemActionLink*)> Linked;
    std::function<void(TdxBarButton*)> ChangeItem;
    std::function<void(TAction*)> ChangeAction;
    std::function<bool(TdxBarButton*)> ActionReachedItem;
    bool Flag = false;
  } cases[] = {
      {"caption", [](TdxBarItemActionLink* l) { return l->IsCaptionLinked(); },
       [](TdxBarButton* b) { b->SetCaption("Mine"); }, [](TAction* a) { a->SetCaption("Theirs"); },
       [](TdxBarButton* b) { return b->Caption() == "Theirs"; }},
      {"checked", [](TdxBarItemActionLink* l) { return l->IsCheckedLinked(); },
       [](TdxBarButton* b) { b->SetDown(true); }, [](TAction* a) { a->SetChecked(true); },
       [](TdxBarButton* b) { return b->Down(); }, true},
      {"enabled", [](TdxBarItemActionLink* l) { return l->IsEnabledLinked(); },
       [](TdxBarButton* b) { b->SetEnabled(false); }, [](TAction* a) { a->SetEnabled(false); },
       [](TdxBarButton* b) { return !b->Enabled(); }, true},
      {"help context", [](TdxBarItemActionLink* l) { return l->IsHelpContextLinked(); },
       [](TdxBarButton* b) { b->SetHelpContext(7); }, [](TAction* a) { a->SetHelpContext(9); },
       [](TdxBarButton* b) { return b->HelpContext() == 9; }},
      {"hint", [](TdxBarItemActionLink* l) { return l->IsHintLinked(); },
       [](TdxBarButton* b) { b->SetHint("Mine"); }, [](TAction* a) { a->SetHint("Theirs"); },
       [](TdxBarButton* b) { return b->Hint() == "Theirs"; }},
      {"image index", [](TdxBarItemActionLink* l) { return l->IsImageIndexLinked(); },
       [](TdxBarButton* b) { b->SetImageIndex(3); }, [](TAction* a) { a->SetImageIndex(5); },
       [](TdxBarButton* b) { return b->ImageIndex() == 5; }},
      {"shortcut", [](TdxBarItemActionLink* l) { return l->IsShortCutLinked(); },
       [](TdxBarButton* b) { b->SetShortCut(0x4041); }, [](TAction* a) { a->SetShortCut(0x4042); },
       [](TdxBarButton* b) { return b->ShortCut() == 0x4042; }},
      {"visible", [](TdxBarItemActionLink* l) { return l->IsVisibleLinked(); },
       [](TdxBarButton* b) { b->SetVisible(ivInCustomizing); }, [](TAction* a) { a->SetVisible(false); },
       [](TdxBarButton* b) { return b->Visible() == ivNever; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    for (bool changedAway : {false, true}) {
      SCOPED_TRACE(changedAway ? "changed away" : "following");
      MenuHost host;
      TAction* action = New<TAction>(host.Form);
      action->SetCaption("Action");
      action->SetHint("A hint that is no caption");
      TdxBarButton* item = New<TdxBarButton>(host.Form);
      item->SetButtonStyle(bsChecked);  // only check buttons go down
      item->SetAction(action);
      ASSERT_NE(item->ActionLink(), nullptr);
      EXPECT_TRUE(c.Linked(item->ActionLink()));
      if (changedAway) {
        c.ChangeItem(item);
        EXPECT_FALSE(c.Linked(item->ActionLink()));
      }
      // A flag changed away can only differ from the action's until the
      // action takes the same value, which links them again.
      if (changedAway && c.Flag) continue;
      c.ChangeAction(action);
      EXPECT_EQ(c.ActionReachedItem(item), !changedAway);
    }
  }
}

TEST(ItemActionLink, OnClickIsLinkedByItsCode) {
  MenuHost host;
  struct Handler : TObject {
    void Execute(TObject*) {}
    void Other(TObject*) {}
  } one, two;
  TAction* action = New<TAction>(host.Form);
  action->SetOnExecute(TNotifyEvent::Bind<&Handler::Execute>(&one));
  TdxBarButton* item = New<TdxBarButton>(host.Form);
  item->SetAction(action);
  item->OnClick = TNotifyEvent::Bind<&Handler::Execute>(&two);  // same code, other object
  EXPECT_TRUE(item->ActionLink()->IsOnExecuteLinked());
  item->OnClick = TNotifyEvent::Bind<&Handler::Other>(&one);
  EXPECT_FALSE(item->ActionLink()->IsOnExecuteLinked());
}

TEST(ItemActionLink, AnItemWritesItselfIntoAnAction) {
  MenuHost host;
  TdxBarButton* item = New<TdxBarButton>(host.Form);
  item->SetCaption("&Print");
  item->SetShortCut(0x4050);
  item->SetVisible(ivNever);
  item->SetButtonStyle(bsChecked);  // only check buttons go down
  item->SetDown(true);
  TAction* action = New<TAction>(host.Form);
  action->Assign(item);
  EXPECT_EQ(action->Caption(), "&Print");
  EXPECT_EQ(action->ShortCut(), 0x4050);
  EXPECT_FALSE(action->Visible());
  EXPECT_TRUE(action->Checked());
  TFont font;
  EXPECT_THROW(font.Assign(item), Exception);
}

// A button that counts what it is told.
class TCountingButton : public TdxBarButton {
public:
  using TdxBarButton::TdxBarButton;
  void GlyphChanged() override {
    ++Glyph;
    TdxBarButton::GlyphChanged();
  }
  void LargeGlyphChanged() override {
    ++Large;
    TdxBarButton::LargeGlyphChanged();
  }
  void ControlsAuxChanged() override {
    ++Aux;
    TdxBarButton::ControlsAuxChanged();
  }
  int Glyph = 0, Large = 0, Aux = 0;
};

TEST(BarManager, ImageListChangesReachTheItemsThatUseThem) {
  MenuHost host;
  TdxBarImageOptions* options = host.Manager->ImageOptions();
  auto* indexed = New<TCountingButton>(host.Form);
  indexed->SetImageIndex(0);
  auto* large = New<TCountingButton>(host.Form);
  large->SetLargeImageIndex(1);
  auto* none = New<TCountingButton>(host.Form);
  TCustomImageList* images = New<TCustomImageList>(host.Form);
  TBitmap picture;
  picture.SetSize(16, 16);
  struct Case {
    const char* Name;
    std::function<void(TCustomImageList*)> Attach;
    int IndexedGlyph, IndexedLarge, LargeGlyph, LargeLarge, IndexedAux, LargeAux;
  } cases[] = {
      {"images", [&](TCustomImageList* l) { options->SetImages(l); }, 1, 0, 0, 0, 0, 0},
      {"disabled images", [&](TCustomImageList* l) { options->SetDisabledImages(l); }, 1, 0, 0, 0, 0, 0},
      {"large images", [&](TCustomImageList* l) { options->SetLargeImages(l); }, 0, 1, 0, 1, 0, 0},
      {"hot images", [&](TCustomImageList* l) { options->SetHotImages(l); }, 0, 0, 0, 0, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    options->SetImages(nullptr);
    options->SetDisabledImages(nullptr);
    options->SetLargeImages(nullptr);
    options->SetHotImages(nullptr);
    c.Attach(images);
    for (TCountingButton* b : {indexed, large, none}) b->Glyph = b->Large = b->Aux = 0;
    images->Add(&picture, nullptr);
    EXPECT_EQ(indexed->Glyph, c.IndexedGlyph);
    EXPECT_EQ(indexed->Large, c.IndexedLarge);
    EXPECT_EQ(large->Glyph, c.LargeGlyph);
    EXPECT_EQ(large->Large, c.LargeLarge);
    EXPECT_EQ(indexed->Aux, c.IndexedAux);
    EXPECT_EQ(large->Aux, c.LargeAux);
    EXPECT_EQ(none->Glyph + none->Large + none->Aux, 0);
    EXPECT_EQ(host.Manager->LockUpdateCount(), 0);
  }
}

// --- The manager's side ---------------------------------------------------------

TEST(BarManager, ResettingUsageAsksYesNoWithNoAsTheDefault) {
  MenuHost host;
  for (const char* caption : {"One", "Two", "Three"}) host.AddItem(caption);
  TdxBarItemLink* used = host.Links()->LinkAt(2);
  used->RecordUse(true);
  const int usedCount = used->UseCount();
  struct Case {
    const char* Name;
    int Answer;
    int UseCount;
  } cases[] = {{"no keeps the usage", IDNO, usedCount}, {"yes resets it", IDYES, host.Manager->RecentUseCount()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<TDialogRequest> asked;
    TDialogHandler old = SetDialogHandler(TDialogHandler::Lambda([&](TDialogRequest& r) {
      asked.push_back(r);
      return c.Answer;
    }));
    host.Manager->ResetUsageData();
    SetDialogHandler(old);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Flags, 0x134u);
    EXPECT_EQ(asked[0].Text.rfind("This will delete the record of the commands you", 0), 0u);
    EXPECT_EQ(used->UseCount(), c.UseCount);
    EXPECT_EQ(host.Manager->LockUpdateCount(), 0);
  }
}

TEST(BarManager, RenamingItInDesignModeRenamesItsItems) {
  THostedManager host;
  host.Manager->SetName("Bars");
  TdxBarButton* prefixed = New<TdxBarButton>(host.Form);
  prefixed->SetName("BarsOpen");
  TdxBarButton* other = New<TdxBarButton>(host.Form);
  other->SetName("OpenFile");
  TdxBarButton* exact = New<TdxBarButton>(host.Form);
  exact->SetName("barsSave");
  TdxBarButton* taken = New<TdxBarButton>(host.Form);
  taken->SetName("BarsClose");
  TdxBarButton* blocker = New<TdxBarButton>(host.Form);
  blocker->SetName("MenusClose");
  // At run time nothing follows.
  host.Manager->SetName("Tools");
  EXPECT_EQ(prefixed->Name(), "BarsOpen");
  host.Manager->SetName("Bars");
  host.Form->SetDesigning(true);
  host.Manager->SetName("Menus");
  EXPECT_EQ(prefixed->Name(), "MenusOpen");
  EXPECT_EQ(exact->Name(), "MenusSave");
  EXPECT_EQ(other->Name(), "OpenFile");
  EXPECT_EQ(taken->Name(), "BarsClose");  // "MenusClose" is taken
  host.Form->SetDesigning(false);
}

TEST(BarManager, FlatBrushesHaveTheFlatColours) {
  THostedManager host;
  TdxBarManager* m = host.Manager;
  struct Case {
    const char* Name;
    HBRUSH Brush;
    TColor Color;
  } cases[] = {
      {"border", m->FlatBorderBrush(), TdxBarManager::FlatBorderColor()},
      {"toolbar", m->FlatToolbarBrush(), TdxBarManager::FlatToolbarColor()},
      {"down", m->FlatDownedBrush(), TdxBarManager::FlatDownedColor()},
      {"down selected", m->FlatDownedSelBrush(), TdxBarManager::FlatDownedSelColor()},
      {"selected", m->FlatSelBrush(), TdxBarManager::FlatSelColor()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    LOGBRUSH log{};
    ASSERT_EQ(GetObjectA(c.Brush, sizeof log, &log), static_cast<int>(sizeof log));
    EXPECT_EQ(log.lbColor, static_cast<COLORREF>(ColorToRGB(c.Color)));
  }
  // The border is the shadow colour darkened to eight tenths.
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF border = static_cast<COLORREF>(ColorToRGB(TdxBarManager::FlatBorderColor()));
  EXPECT_NEAR(GetRValue(border), GetRValue(shadow) * 8 / 10, 8);
  m->RefreshDrawingResources();
  EXPECT_NE(m->FlatSelBrush(), nullptr);
}

TEST(BarManager, TheFontFollowsTheSystemUntilItIsSet) {
  THostedManager host;
  TdxBarManager* m = host.Manager;
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0));
  EXPECT_TRUE(m->UseSystemFont());
  EXPECT_EQ(m->Font()->Name(), metrics.lfMenuFont.lfFaceName);
  EXPECT_NE(m->EditFont()->Handle(), nullptr);
  EXPECT_NE(m->BarCaptionFont()->Handle(), nullptr);
  int changes = 0;
  m->OnSystemFontChanged = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  m->Font()->SetName("Courier New");
  EXPECT_FALSE(m->UseSystemFont());
  EXPECT_GE(changes, 1);
  m->SetUseSystemFont(true);
  EXPECT_TRUE(m->UseSystemFont());
  EXPECT_EQ(m->Font()->Name(), metrics.lfMenuFont.lfFaceName);
}

TEST(BarManager, SettingTheDockColourSwitchesAutoDockColorOff) {
  THostedManager host;
  TdxBarManager* m = host.Manager;
  host.Form->SetColor(clRed);
  EXPECT_TRUE(m->AutoDockColor());
  EXPECT_EQ(m->DockColor(), clRed);
  EXPECT_FALSE(m->IsDockColorStored());
  m->SetDockColor(clBlue);
  EXPECT_FALSE(m->AutoDockColor());
  EXPECT_EQ(m->DockColor(), clBlue);
  EXPECT_TRUE(m->IsDockColorStored());
  struct Case {
    int Value, Arrow, LargeArrow, Wait;
  } cases[] = {{1, 11, 13, 1}, {2, 2, 2, 2}, {-1, 2, 2, 2}, {30, 30, 30, 30}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Value);
    m->SetButtonArrowWidth(c.Value);
    m->SetLargeButtonArrowWidth(c.Value);
    m->SetWaitForDockingTime(c.Value);
    EXPECT_EQ(m->ButtonArrowWidth(), c.Arrow);
    EXPECT_EQ(m->LargeButtonArrowWidth(), c.LargeArrow);
    EXPECT_EQ(m->WaitForDockingTime(), c.Wait);
  }
}

TEST(BarManager, CustomizingEnablesCategorizedItemsAndShowsCustomizingOnes) {
  MenuHost host;
  TdxBarManager* m = host.Manager;
  m->Categories()->Add("File");
  TdxBarButton* item = host.AddItem("a");
  TdxBarButton* hidden = host.AddItem("b");
  item->SetCategory(0);
  item->SetEnabled(false);
  hidden->SetVisible(ivInCustomizing);
  EXPECT_EQ(host.Links()->DisplayableLinkCount(), 1);
  m->SetCustomizingMode(true);
  EXPECT_TRUE(item->Enabled());
  EXPECT_EQ(host.Links()->DisplayableLinkCount(), 2);
  m->SetCustomizingMode(false);
  EXPECT_FALSE(item->Enabled());
  EXPECT_EQ(host.Links()->DisplayableLinkCount(), 1);
}

}  // namespace
