// Object model, ownership, collections, start-up order, MD5 and rounding;
// built natively and, through tests/platform/core/PortableTests.cpp, under Wine.
#include "platform/CallbackGuard.h"
#include "platform/Collection.h"
#include "platform/Component.h"
#include "platform/Exceptions.h"
#include "platform/Md5.h"
#include "platform/Numbers.h"
#include "platform/Stream.h"
#include "platform/Units.h"
#ifdef _WIN32
#include "platform/Win32.h"  // MulDiv is the system's there
#endif

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Log;

// A component that records its notifications and its end.
class TProbe : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TProbe(TComponent* owner, const char* name) : TComponent(owner) { SetName(name); }
  ~TProbe() override { Log.push_back("free " + Name()); }
  TComponent* LastRemoved = nullptr;

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove) {
      LastRemoved = component;
      Log.push_back(Name() + " heard " + component->Name());
    }
  }
};

const TClassInfo TProbe::ClassInfo{"TProbe", &TComponent::ClassInfo,
                                   [](TObject* owner) -> TObject* { return new TProbe(static_cast<TComponent*>(owner), ""); }};

TEST(Component, OwnerFreesInReverseOrderAndListenersHear) {
  Log.clear();
  auto* form = new TProbe(nullptr, "Form");
  new TProbe(form, "A");
  auto* b = new TProbe(form, "B");
  new TProbe(form, "C");
  auto* outsider = new TProbe(nullptr, "Outsider");
  TWeakLink<TProbe> link(b);
  b->FreeNotification(outsider);  // the outsider wants to hear when B goes

  Free(b);
  EXPECT_FALSE(link);
  EXPECT_EQ(form->ComponentCount(), 2);
  EXPECT_EQ(outsider->LastRemoved, b);
  // Its own destructor body first, then whoever asked, then its owner, which
  // passes the news to the siblings.
  EXPECT_EQ(Log, (std::vector<std::string>{"free B", "Outsider heard B", "C heard B", "A heard B", "Form heard B"}));

  Log.clear();
  Free(form);
  EXPECT_EQ(Log, (std::vector<std::string>{"free Form", "free C", "free A"}));
  Free(outsider);
}

TEST(Component, StateNamesAndOwnershipMoves) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  a->SetName("Edit1");
  auto* b = new TComponent(&owner);
  EXPECT_THROW(b->SetName("edit1"), EComponentError);
  EXPECT_THROW(b->SetName("1st"), EComponentError);
  EXPECT_EQ(owner.FindComponent("EDIT1"), a);

  owner.SetDesigning(true);
  EXPECT_TRUE(a->ComponentState().Contains(csDesigning));
  a->BeginLoading();
  EXPECT_TRUE(a->ComponentState().Contains(csLoading));
  a->Loaded();
  EXPECT_FALSE(a->ComponentState().Contains(csLoading));

  TComponent other(nullptr);
  other.InsertComponent(a);  // a component has one owner
  EXPECT_EQ(a->Owner(), &other);
  EXPECT_EQ(owner.ComponentCount(), 1);
  b->SetComponentIndex(0);
  EXPECT_EQ(b->ComponentIndex(), 0);
}

TEST(Component, ClassReferencesCreateByReference) {
  TComponent owner(nullptr);
  TClass cls = &TProbe::ClassInfo;
  TObject* made = CreateObject(cls, &owner);
  EXPECT_STREQ(made->ClassName(), "TProbe");
  EXPECT_TRUE(made->InheritsFrom(&TComponent::ClassInfo));
  EXPECT_EQ(ObjectAs<TComponent>(made)->Owner(), &owner);
  EXPECT_EQ(ObjectAs<TStream>(made), nullptr);
  EXPECT_THROW(CreateObject(&TStream::ClassInfo), EInvalidOperation);  // abstract
}

TEST(WeakLink, CopiesAndReassignmentTrackTheirObject) {
  auto* a = new TObject;
  TObject b;
  TWeakLink<TObject> one(a), two(one), three;
  three = &b;
  three = a;
  delete a;
  EXPECT_EQ(one.Get(), nullptr);
  EXPECT_EQ(two.Get(), nullptr);
  EXPECT_EQ(three.Get(), nullptr);
  {
    TWeakLink<TObject> scoped(&b);  // detaches on its own end
  }
  TWeakLink<TObject> last(&b);
  EXPECT_EQ(last.Get(), &b);
}

class TTestItem : public TCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCollectionItem::TCollectionItem;
  void Assign(TPersistent* source) override {
    if (auto* item = ObjectAs<TTestItem>(source)) Value = item->Value;
    else TCollectionItem::Assign(source);
  }
  void Touch() { Changed(false); }
  int Value = 0;
};
const TClassInfo TTestItem::ClassInfo{"TTestItem", &TCollectionItem::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TTestItem(static_cast<TCollection*>(owner));
                                      }};

class TTestCollection : public TCollection {
public:
  TTestCollection() : TCollection(&TTestItem::ClassInfo) {}
  std::vector<std::string> Reports;

protected:
  void Update(TCollectionItem* item) override { Reports.push_back(item ? std::to_string(item->ID()) : "all"); }
};

TEST(Collection, UpdateBracketsHoldReportsAndAssignCopies) {
  TTestCollection c;
  static_cast<TTestItem*>(c.Add())->Value = 1;
  static_cast<TTestItem*>(c.Add())->Value = 2;
  EXPECT_EQ(c.Reports, (std::vector<std::string>{"all", "all"}));
  c.Reports.clear();

  c.BeginUpdate();
  static_cast<TTestItem*>(c.Items(0))->Touch();
  c.Add();
  c.Delete(2);
  EXPECT_TRUE(c.Reports.empty());
  c.EndUpdate();
  EXPECT_EQ(c.Reports, (std::vector<std::string>{"all"}));
  c.Reports.clear();
  static_cast<TTestItem*>(c.Items(1))->Touch();
  EXPECT_EQ(c.Reports, (std::vector<std::string>{"1"}));

  c.Items(1)->SetIndex(0);
  EXPECT_EQ(static_cast<TTestItem*>(c.Items(0))->Value, 2);
  EXPECT_EQ(c.FindItemID(0), c.Items(1));

  TTestCollection copy;
  copy.Assign(&c);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(static_cast<TTestItem*>(copy.Items(0))->Value, 2);

  Free(c.Items(0));  // an item freed alone leaves its collection
  EXPECT_EQ(c.Count(), 1);
  TCollectionItem stranger(nullptr);
  EXPECT_THROW(stranger.SetCollection(&c), EInvalidOperation);
}

std::vector<std::string> UnitLog;

TEST(Units, InitializeInOrderFinalizeInReverse) {
  UnitLog.clear();
  {
    TUnitScope units{{"first", [] { UnitLog.push_back("init first"); }, [] { UnitLog.push_back("done first"); }},
                     {"second", [] { UnitLog.push_back("init second"); }, nullptr},
                     {"third", nullptr, [] { UnitLog.push_back("done third"); }}};
    EXPECT_EQ(InitializedUnitCount(), 3u);
    EXPECT_THROW(InitializeUnits({}), EInvalidOperation);
  }
  EXPECT_EQ(UnitLog, (std::vector<std::string>{"init first", "init second", "done third", "done first"}));

  // A failing initialization finalizes what came before it, in reverse.
  UnitLog.clear();
  EXPECT_THROW(InitializeUnits({{"a", [] { UnitLog.push_back("init a"); }, [] { UnitLog.push_back("done a"); }},
                                {"b", [] { throw EInvalidOperation("b failed"); }, [] { UnitLog.push_back("done b"); }},
                                {"c", [] { UnitLog.push_back("init c"); }, nullptr}}),
               EInvalidOperation);
  EXPECT_EQ(UnitLog, (std::vector<std::string>{"init a", "done a"}));
  EXPECT_EQ(InitializedUnitCount(), 0u);
}

TEST(Units, AFailingFinalizationGoesToTheCallbackHandler) {
  // A GUI program has no console: standard error would lose the report.
  UnitLog.clear();
  std::vector<std::string> reported;
  const TExceptionEvent old = SetCallbackExceptionHandler(
      TExceptionEvent::Lambda([&](TObject*, Exception& e) { reported.push_back(e.Message()); }));
  InitializeUnits({{"first", nullptr, [] { UnitLog.push_back("done first"); }},
                   {"second", nullptr, [] { throw EInvalidOperation("second could not stop"); }},
                   {"third", nullptr, [] { throw std::runtime_error("third could not stop"); }}});
  FinalizeUnits();
  SetCallbackExceptionHandler(old);
  EXPECT_EQ(reported, (std::vector<std::string>{"third could not stop", "second could not stop"}));
  EXPECT_EQ(UnitLog, (std::vector<std::string>{"done first"}));
  EXPECT_EQ(InitializedUnitCount(), 0u);
}

TEST(MD5, MatchesTheTestVectorsOfItsDefinition) {
  const struct { const char* In; const char* Hex; } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"}};
  for (const auto& c : cases) EXPECT_EQ(MD5String(c.In), c.Hex) << c.In;

  // Fed in uneven pieces across the 64-byte blocks: the same digest.
  const AnsiString text(1000, 'x');
  TMD5 md5;
  for (size_t i = 0; i < text.size(); i += 37) md5.Update(text.data() + i, std::min<size_t>(37, text.size() - i));
  EXPECT_EQ(DigestToHex(md5.Final()), MD5String(text));
  TStringStream stream(text);
  EXPECT_EQ(MD5Stream(stream), MD5String(text));
}

TEST(Numbers, RoundIsBankersAndMulDivRoundsHalfAway) {
  const struct { double In; int64_t Out; } rounds[] = {
      {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-7.0, -7}};
  for (const auto& c : rounds) EXPECT_EQ(Round(c.In), c.Out) << c.In;
  EXPECT_THROW(Round(1e300), EInvalidOperation);

  const struct { int A, B, C, Out; } muldivs[] = {
      {10, 3, 4, 8},   {10, 1, 4, 3},     {-10, 1, 4, -3},        {5, 1, 2, 3},  {-5, 1, 2, -3}, {5, 1, -2, -3},
      {7, 0, 3, 0},    {1, 2, 0, -1},     {0x40000000, 4, 1, -1}, {12, 96, 72, 16},
      {65535, 65535, 65535, 65535}};
  for (const auto& c : muldivs) EXPECT_EQ(MulDiv(c.A, c.B, c.C), c.Out) << c.A << "*" << c.B << "/" << c.C;
}

}  // namespace
