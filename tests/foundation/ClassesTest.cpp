// Component bases, object lists, the multicast event, the class registries,
// weak object links and the shared routines.
#include "foundation/Classes.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A small class tree: A <- A1 <- A11, A <- A2; B stands apart.
class TA : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
class TA1 : public TA {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
class TA11 : public TA1 {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
class TA2 : public TA {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
class TB : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
const TClassInfo TA::ClassInfo{"TA", &TObject::ClassInfo, nullptr};
const TClassInfo TA1::ClassInfo{"TA1", &TA::ClassInfo, nullptr};
const TClassInfo TA11::ClassInfo{"TA11", &TA1::ClassInfo, nullptr};
const TClassInfo TA2::ClassInfo{"TA2", &TA::ClassInfo, nullptr};
const TClassInfo TB::ClassInfo{"TB", &TObject::ClassInfo, nullptr};

// Registered classes stand for painters, view infos, ...
const TClassInfo RegA{"RegA", &TObject::ClassInfo, nullptr};
const TClassInfo RegA1{"RegA1", &TObject::ClassInfo, nullptr};

std::vector<TClass> ItemClasses(const TcxRegisteredClassList& list) {
  std::vector<TClass> classes;
  for (int i = 0; i < list.PairCount(); ++i) classes.push_back(list.PairAt(i)->ItemClass);
  return classes;
}

TEST(RegisteredClassList, LookupFindsTheMostDerivedRegisteredAncestor) {
  TcxRegisteredClassList list;
  list.AddPair(&TA::ClassInfo, &RegA);
  list.AddPair(&TA1::ClassInfo, &RegA1);
  const struct { TClass Item; TClass Expected; } cases[] = {
      {&TA1::ClassInfo, &RegA1},  {&TA11::ClassInfo, &RegA1}, {&TA::ClassInfo, &RegA},
      {&TA2::ClassInfo, &RegA},   {&TB::ClassInfo, nullptr},  {&TObject::ClassInfo, nullptr},
  };
  for (const auto& c : cases) EXPECT_EQ(list.LookupRegisteredClass(c.Item), c.Expected) << c.Item->Name;
}

TEST(RegisteredClassList, InsertOrderKeepsAncestorsBeforeDescendants) {
  const struct {
    const char* Name;
    std::vector<TClass> Adds;
    std::vector<TClass> Order;
  } cases[] = {
      {"ancestor added after descendant", {&TA1::ClassInfo, &TA::ClassInfo}, {&TA::ClassInfo, &TA1::ClassInfo}},
      {"descendant added after ancestor", {&TA::ClassInfo, &TA1::ClassInfo}, {&TA::ClassInfo, &TA1::ClassInfo}},
      {"ancestor before two descendants",
       {&TA2::ClassInfo, &TA11::ClassInfo, &TA::ClassInfo},
       {&TA::ClassInfo, &TA2::ClassInfo, &TA11::ClassInfo}},
      {"unrelated goes to the end", {&TA::ClassInfo, &TB::ClassInfo}, {&TA::ClassInfo, &TB::ClassInfo}},
      {"sibling after the found ancestor",
       {&TA::ClassInfo, &TB::ClassInfo, &TA2::ClassInfo},
       {&TA::ClassInfo, &TA2::ClassInfo, &TB::ClassInfo}},
  };
  for (const auto& c : cases) {
    TcxRegisteredClassList list;
    for (TClass cls : c.Adds) list.AddPair(cls, &RegA);
    EXPECT_EQ(ItemClasses(list), c.Order) << c.Name;
  }
}

TEST(RegisteredClassList, RemovePairTakesEveryEqualPair) {
  TcxRegisteredClassList list;
  list.AddPair(&TA::ClassInfo, &RegA);
  list.AddPair(&TA::ClassInfo, &RegA1);
  list.AddPair(&TA::ClassInfo, &RegA);
  list.RemovePair(&TA::ClassInfo, &RegA);
  ASSERT_EQ(list.PairCount(), 1);
  EXPECT_EQ(list.PairAt(0)->RegisteredClass, &RegA1);
  list.RemovePair(&TB::ClassInfo, &RegA1);  // nothing of it
  EXPECT_EQ(list.PairCount(), 1);
}

TEST(RegisteredClasses, SortedDescriptionsIgnoreCaseAndTheTextAfterTheBar) {
  TcxRegisteredClasses registry;
  registry.EnrolClass(&TA::ClassInfo, "b");
  registry.EnrolClass(&TA1::ClassInfo, "A|zzz");
  registry.EnrolClass(&TA2::ClassInfo, "C|aaa");
  registry.EnrolClass(&TA1::ClassInfo, "again");  // already present: ignored
  EXPECT_EQ(registry.Count(), 3);
  registry.SetSortedFlag(true);
  ASSERT_EQ(registry.Count(), 3);
  EXPECT_EQ(registry.DescriptionAt(0), "A");
  EXPECT_EQ(registry.DescriptionAt(1), "b");
  EXPECT_EQ(registry.DescriptionAt(2), "C");
  EXPECT_EQ(registry.ClassAt(0), &TA1::ClassInfo);
  // Enrolled later into a sorted registry: sorted at once.
  registry.EnrolClass(&TA11::ClassInfo, "a0|x");
  EXPECT_EQ(registry.IndexOfClass(&TA11::ClassInfo), 1);
  registry.WithdrawClass(&TA::ClassInfo);
  registry.WithdrawClass(&TB::ClassInfo);  // not enrolled: ignored
  EXPECT_EQ(registry.IndexOfClass(&TA::ClassInfo), -1);
  EXPECT_EQ(registry.Count(), 3);
}

TEST(RegisteredClasses, StreamingRegistryNamesEnrolledClasses) {
  TcxRegisteredClasses plain(false);
  plain.EnrolClass(&TA2::ClassInfo, "two");
  EXPECT_EQ(FindStreamableClass("TA2"), nullptr);
  {
    TcxRegisteredClasses streaming(true);
    streaming.EnrolClass(&TA11::ClassInfo, "eleven");
    streaming.WithdrawClass(&TA11::ClassInfo);
  }
  // Withdrawing leaves the streaming registration in place.
  EXPECT_EQ(FindStreamableClass("ta11"), &TA11::ClassInfo);
  UnregisterStreamableClass(&TA11::ClassInfo);
  EXPECT_EQ(FindStreamableClass("TA11"), nullptr);
}

TEST(ObjectLinks, LinkReadsNullAfterFreeAndCountsBalance) {
  ASSERT_EQ(AttachedObjectLinkCount(), 0);
  EXPECT_EQ(AttachObjectLink(nullptr), nullptr);
  EXPECT_FALSE(ObjectLinkControllerExists());

  auto* component = new TcxComponent(nullptr);
  auto* other = new TcxComponent(nullptr);
  TcxObjectLink* first = AttachObjectLink(component);
  TcxObjectLink* second = AttachObjectLink(component);
  TcxObjectLink* third = AttachObjectLink(other);
  EXPECT_TRUE(ObjectLinkControllerExists());
  EXPECT_EQ(AttachedObjectLinkCount(), 3);

  Free(component);
  EXPECT_EQ(first->Ref, nullptr);
  EXPECT_EQ(second->Ref, nullptr);
  EXPECT_EQ(third->Ref, other);

  DetachObjectLink(first);  // already cleared: the controller's list is not touched
  DetachObjectLink(second);
  EXPECT_EQ(AttachedObjectLinkCount(), 1);
  EXPECT_TRUE(ObjectLinkControllerExists());
  DetachObjectLink(third);
  DetachObjectLink(nullptr);
  EXPECT_EQ(AttachedObjectLinkCount(), 0);
  EXPECT_FALSE(ObjectLinkControllerExists());
  Free(other);
}

TEST(ObjectLinks, AHandlerThatFreesItsSenderIsSeenThroughTheLink) {
  auto* component = new TcxComponent(nullptr);
  TNotifyEvent onClick = TNotifyEvent::Lambda([](TObject* sender) { Free(sender); });
  TcxObjectLink* link = AttachObjectLink(component);
  CallNotifyEvent(component, onClick);
  EXPECT_EQ(link->Ref, nullptr);
  DetachObjectLink(link);
  EXPECT_FALSE(ObjectLinkControllerExists());
}

// Records the order its instances are freed in.
class TRecorded : public TObject {
public:
  TRecorded(std::vector<int>& log, int id) : FLog(log), FId(id) {}
  ~TRecorded() override { FLog.push_back(FId); }

private:
  std::vector<int>& FLog;
  int FId;
};

TEST(ObjectList, ClearFreesInIndexOrder) {
  std::vector<int> log;
  TcxObjectList list;
  for (int i = 0; i < 4; ++i) list.Add(new TRecorded(log, i));
  list.Clear();
  EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(list.Count(), 0);
  list.Add(new TRecorded(log, 9));
  EXPECT_TRUE(list.OwnsObjects());
}

class THandlerOwner : public TObject {
public:
  void First(TObject* sender, const void* args) { Log.push_back("first:" + std::to_string(*static_cast<const int*>(args)) + (sender == this ? "" : "?")); }
  void Second(TObject*, const void*) { Log.push_back("second"); }
  std::vector<std::string> Log;
};

TEST(EventHandlerCollection, InvokesInOrderAndRemovesOneByEquality) {
  THandlerOwner owner;
  TcxEventHandlerCollection handlers;
  const int args = 7;
  handlers.InvokeAll(&owner, &args);  // a new collection has no handlers
  EXPECT_TRUE(owner.Log.empty());
  handlers.Add(TcxEventHandler::Bind<&THandlerOwner::First>(&owner));
  handlers.Add(TcxEventHandler::Bind<&THandlerOwner::Second>(&owner));
  handlers.Add(TcxEventHandler::Bind<&THandlerOwner::First>(&owner));
  handlers.InvokeAll(&owner, &args);
  EXPECT_EQ(owner.Log, (std::vector<std::string>{"first:7", "second", "first:7"}));
  owner.Log.clear();
  handlers.Remove(TcxEventHandler::Bind<&THandlerOwner::First>(&owner));
  handlers.InvokeAll(&owner, &args);
  EXPECT_EQ(owner.Log, (std::vector<std::string>{"second", "first:7"}));
}

TEST(FreeNotificator, TellsOfWatchedComponentsOnly) {
  TcxFreeNotificator notificator;
  std::vector<TComponent*> freed;
  notificator.OnFreeNotification = TcxFreeNotificationEvent::Lambda([&](TComponent* c) { freed.push_back(c); });
  auto* watched = new TComponent(nullptr);
  auto* unwatched = new TComponent(nullptr);
  auto* withdrawn = new TComponent(nullptr);
  notificator.WatchFreeOf(watched);
  notificator.WatchFreeOf(withdrawn);
  notificator.WatchFreeOf(nullptr);
  notificator.UnwatchFreeOf(withdrawn);
  notificator.UnwatchFreeOf(nullptr);
  Free(unwatched);
  Free(withdrawn);
  EXPECT_TRUE(freed.empty());
  Free(watched);
  EXPECT_EQ(freed, (std::vector<TComponent*>{watched}));
}

class TNamed : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TComponent::TComponent;
};
class TdxBarWidget : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TComponent::TComponent;
};
const TClassInfo TNamed::ClassInfo{"TNamed", &TComponent::ClassInfo, nullptr};
const TClassInfo TdxBarWidget::ClassInfo{"TdxBarWidget", &TComponent::ClassInfo, nullptr};

TEST(GenerateUniqueName, Table) {
  TComponent owner(nullptr);
  auto* prefix = new TComponent(&owner);
  prefix->SetName("Manager1");
  for (const char* taken : {"Named1", "Caption", "Manager1Widget1", "Named7"}) (new TComponent(&owner))->SetName(taken);
  auto* named = new TNamed(&owner);
  auto* widget = new TdxBarWidget(&owner);
  const struct {
    const char* Case;
    TComponent* Prefix;
    TComponent* Component;
    const char* ClassPrefix;
    AnsiString Base;
    const char* Expected;
  } cases[] = {
      {"empty base: class name without T, next free number", nullptr, named, "", "", "Named2"},
      {"unused base: the base itself", nullptr, named, "", "Title", "Title"},
      {"used base: numbered from 1", nullptr, named, "", "caption", "caption1"},
      {"base stripped to name characters", nullptr, named, "", "Sub-menu 3!", "Submenu3"},
      {"base starting with a digit goes behind the class name", nullptr, named, "", "7", "Named71"},
      {"double-byte characters go whole", nullptr, named, "", "\xD6\xD0" "Box", "Box"},
      {"class-name prefix and prefix component", prefix, widget, "TdxBar", "", "Manager1Widget2"},
      {"class-name prefix compared without case", nullptr, widget, "tdxbar", "", "Widget1"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GenerateUniqueName(&owner, c.Prefix, c.Component, c.ClassPrefix, c.Base), c.Expected) << c.Case;
  // The component's own name does not count as taken.
  named->SetName("Named2");
  EXPECT_EQ(GenerateUniqueName(&owner, nullptr, named, "", ""), "Named2");
}

TEST(SharedRoutines, HalfSumFloorAndSign) {
  const struct { int A, B, Expected; } cases[] = {
      {0, 1, 0}, {0, -1, -1}, {-1, -2, -2}, {3, 4, 3}, {-3, 3, 0}, {0, 0, 0},
      {2147483647, 2147483647, 2147483647}, {-2147483647 - 1, -1, -1073741825},
  };
  for (const auto& c : cases) EXPECT_EQ(HalfSumFloor(c.A, c.B), c.Expected) << c.A << "," << c.B;
  EXPECT_EQ(SignOfFloat(0.0), 1);
  EXPECT_EQ(SignOfFloat(-0.5), -1);
}

TEST(SharedRoutines, BytesAndCharacters) {
  char block[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
  MoveBytes(block, block + 2, 4);  // overlapping
  EXPECT_EQ(std::string(block, 6), "ababcd");
  ZeroFill(block + 1, 2);
  EXPECT_EQ(std::string(block, 6), std::string("a\0\0bcd", 6));
  const AnsiString text = "a\xD6\xD0z";
  EXPECT_EQ(*CharPtrAt(text, 4), 'z');
  EXPECT_EQ(CharByteCount(text, 2), 2);
  EXPECT_EQ(NextCharPos(text, 2), 4);
  EXPECT_EQ(PrevCharPos(text, 4), 2);
  EXPECT_EQ(ReadLocaleString(LOCALE_USER_DEFAULT, 0x7FFFFFF0, "fallback"), "fallback");
  EXPECT_FALSE(ReadLocaleString(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, "").empty());
}

constexpr TResourceString scxTestMessage{0xFF10, "Test message"};

TEST(SharedRoutines, ResourceStringsCanBeReplacedAtRunTime) {
  EXPECT_EQ(LoadOverridableResString(scxTestMessage), "Test message");
  ReplaceResString(scxTestMessage, "Replaced");
  EXPECT_EQ(LoadOverridableResString(scxTestMessage), "Replaced");
  RestoreResString(scxTestMessage);
  // A provider that knows strings by their text.
  const TResStringHook old = SetResStringHook(TResStringHook::Lambda([](const TResourceString& rs, AnsiString& text) {
    if (AnsiString(rs.Default) != "Test message") return false;
    text = "\xB2\xE2\xCA\xD4";
    return true;
  }));
  EXPECT_EQ(LoadOverridableResString(scxTestMessage), "\xB2\xE2\xCA\xD4");
  SetResStringHook(old);
}

// An object handing out IStream-like interfaces without counting references.
class TUncounted : public TcxIUnknownObject<IPersist> {
public:
  STDMETHODIMP GetClassID(CLSID* id) override {
    *id = CLSID{};
    return S_OK;
  }
};

TEST(InterfaceObjects, AnswerTheirInterfacesAndNeverFreeThemselves) {
  TUncounted object;
  void* p = nullptr;
  EXPECT_EQ(object.QueryInterface(IID_IPersist, &p), S_OK);
  EXPECT_EQ(p, static_cast<IPersist*>(&object));
  EXPECT_EQ(object.QueryInterface(IID_IUnknown, &p), S_OK);
  EXPECT_EQ(object.QueryInterface(IID_IStream, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(object.AddRef(), static_cast<ULONG>(-1));
  EXPECT_EQ(object.Release(), static_cast<ULONG>(-1));
  EXPECT_EQ(object.Release(), static_cast<ULONG>(-1));  // still alive

  TComponent owner(nullptr);
  TcxInterfacedPersistent persistent(&owner);
  EXPECT_EQ(persistent.GetOwner(), &owner);
  EXPECT_EQ(OwnerOfPersistent(&persistent), &owner);
  EXPECT_EQ(persistent.QueryInterface(IID_IUnknown, &p), S_OK);
  EXPECT_EQ(persistent.QueryInterface(IID_IPersist, &p), E_NOINTERFACE);
  EXPECT_EQ(persistent.Release(), static_cast<ULONG>(-1));
  TcxOwnedPersistent owned(&persistent);
  EXPECT_EQ(owned.GetOwner(), &persistent);
}

// Links up to three components after loading, while designed.
class TLinking : public TcxComponent {
public:
  using TcxComponent::TcxComponent;
  std::vector<TComponent*> ToLink;

protected:
  void CollectLinkedComponents(TList* list) override {
    for (TComponent* c : ToLink) list->Add(c);
  }
};

TEST(CxComponent, LinksComponentsAfterLoadingOnlyWhileDesigned) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  for (bool designing : {false, true}) {
    auto* linking = new TLinking(&owner);
    linking->ToLink = {a, b};
    linking->SetDesigning(designing);
    linking->BeginLoading();
    linking->Loaded();
    EXPECT_EQ(linking->LinkedComponent(0), designing ? a : nullptr);
    EXPECT_EQ(linking->LinkedComponent(1), designing ? b : nullptr);
    EXPECT_EQ(linking->LinkedComponent(2), nullptr);
    Free(linking);
  }
}

}  // namespace
