// Component collections: joining by parent, the action codes reported, update
// locks and assignment.
#include "foundation/ComponentCollection.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TTestCollection;

// The parent component: holds one collection of TTestItem.
class TTestParent : public TComponent {
public:
  explicit TTestParent(TComponent* AOwner);
  ~TTestParent() override;
  TTestCollection* Items;
};

class TTestItem : public TcxComponentCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxComponentCollectionItem::TcxComponentCollectionItem;

  TcxComponentCollection* CollectionOfParent(TComponent* parent) override;
  void Assign(TPersistent* source) override {
    if (auto* item = ObjectAs<TTestItem>(source)) {
      if (item->Value < 0) throw EConvertError("bad value");
      Value = item->Value;
    } else {
      TcxComponentCollectionItem::Assign(source);
    }
  }
  int Value = 0;
};
const TClassInfo TTestItem::ClassInfo{"TTestItem", &TcxComponentCollectionItem::ClassInfo,
                                      [](TObject* owner) -> TObject* {
                                        return new TTestItem(static_cast<TComponent*>(owner));
                                      }};

// A component of another kind, which a collection of TTestItem refuses.
class TOtherItem : public TcxComponentCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxComponentCollectionItem::TcxComponentCollectionItem;
  TcxComponentCollection* CollectionOfParent(TComponent*) override { return Target; }
  TcxComponentCollection* Target = nullptr;
};
const TClassInfo TOtherItem::ClassInfo{"TOtherItem", &TcxComponentCollectionItem::ClassInfo, nullptr};

// Records the hook calls and the reports.
class TTestCollection : public TcxComponentCollection {
public:
  TTestCollection(TComponent* parent) : TcxComponentCollection(parent, &TTestItem::ClassInfo) {
    OnChange = TcxComponentCollectionChangeEvent::Lambda(
        [this](TObject*, TcxComponentCollectionItem* item, TcxComponentCollectionNotification action) {
          Log.push_back("report " + std::to_string(action) + (item ? " " + std::to_string(item->ID()) : " all"));
        });
  }
  std::vector<std::string> Log;

protected:
  void EmptyHook3(TcxComponentCollectionItem* item, TcxComponentCollectionNotification action) override {
    Log.push_back("hook " + std::to_string(action) + " " + std::to_string(item->ID()));
  }
  void ItemAddedHook(TcxComponentCollectionItem* item) override {
    Log.push_back("added " + std::to_string(item->ID()));
  }
};

TTestParent::TTestParent(TComponent* AOwner) : TComponent(AOwner), Items(new TTestCollection(this)) {}
TTestParent::~TTestParent() { delete Items; }

TcxComponentCollection* TTestItem::CollectionOfParent(TComponent* parent) {
  return static_cast<TTestParent*>(parent)->Items;
}

std::vector<int> Ids(TcxComponentCollection* c) {
  std::vector<int> ids;
  for (int i = 0; i < c->ItemCount(); ++i) ids.push_back(c->ItemByIndex(i)->ID());
  return ids;
}

TEST(ComponentCollection, ReportsJoinLeaveAndChangeCodes) {
  TComponent form(nullptr);
  auto* parent = new TTestParent(&form);
  TTestCollection* items = parent->Items;
  TcxComponentCollectionItem* first = items->AppendNewItem();
  TcxComponentCollectionItem* second = items->AppendNewItem();
  EXPECT_EQ(first->Owner(), &form);  // owned by the parent's owner
  EXPECT_EQ(first->GetParentComponent(), parent);
  EXPECT_TRUE(first->HasParent());
  EXPECT_EQ(Ids(items), (std::vector<int>{0, 1}));
  second->SignalChanged(false);
  second->SignalChanged(true);
  Free(first);
  EXPECT_EQ(items->Log, (std::vector<std::string>{
                            "hook 0 0", "report 0 0", "added 0",
                            "hook 0 1", "report 0 1", "added 1",
                            "report 1 1", "report 1 all",
                            "hook 2 0", "hook 3 0", "report 3 0",
                        }));
  EXPECT_EQ(second->IndexInCollection(), 0);
  // Identity numbers are never reused.
  EXPECT_EQ(items->AppendNewItem()->ID(), 2);
}

TEST(ComponentCollection, RefusesItemsOfAnotherClass) {
  TTestParent parent(nullptr);
  TOtherItem other(nullptr);
  other.Target = parent.Items;
  other.SetParentComponent(&parent);
  EXPECT_EQ(other.Collection(), nullptr);
  EXPECT_EQ(other.IndexInCollection(), -1);
  EXPECT_EQ(parent.Items->ItemCount(), 0);
  EXPECT_TRUE(parent.Items->Log.empty());
}

TEST(ComponentCollection, LocksHoldReportsBackUntilTheOutermostUnlock) {
  TTestParent parent(nullptr);
  TTestCollection* items = parent.Items;
  TcxComponentCollectionItem* item = items->AppendNewItem();
  items->Log.clear();
  items->LockUpdates();
  items->LockUpdates();
  item->SignalChanged(false);
  items->UnlockUpdates(true);  // another lock still held: nothing
  EXPECT_EQ(items->Log, std::vector<std::string>{});
  items->UnlockUpdates(true);
  EXPECT_EQ(items->Log, std::vector<std::string>{"report 1 all"});
  items->UnlockUpdates(false);  // never below 0
  EXPECT_EQ(items->UpdateCount(), 0);
  Free(item);
}

TEST(ComponentCollection, MovesBetweenIndexesAndCollections) {
  TTestParent a(nullptr), b(nullptr);
  auto* x = a.Items->AppendNewItem();
  auto* y = a.Items->AppendNewItem();
  auto* z = a.Items->AppendNewItem();
  a.Items->Log.clear();
  z->MoveToIndex(0);
  EXPECT_EQ(Ids(a.Items), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(a.Items->Log, std::vector<std::string>{"report 1 all"});
  z->MoveToIndex(0);  // same index: nothing
  EXPECT_EQ(a.Items->Log.size(), 1u);
  EXPECT_THROW(z->MoveToIndex(5), EListError);
  y->AdoptParentComponent(&b);
  EXPECT_EQ(y->Collection(), b.Items);
  EXPECT_EQ(y->ID(), 0);  // numbered by its new collection
  EXPECT_EQ(Ids(a.Items), (std::vector<int>{2, 0}));
  x->MoveToCollection(nullptr);
  EXPECT_EQ(x->GetParentComponent(), nullptr);
  Free(x);
}

TEST(ComponentCollection, AssignCopiesItemsAndUnlocksWhenAnItemRaises) {
  TComponent form(nullptr);
  auto* source = new TTestParent(&form);
  auto* target = new TTestParent(&form);
  for (int v : {5, 6}) static_cast<TTestItem*>(source->Items->AppendNewItem())->Value = v;
  target->Items->AppendNewItem();
  target->Items->Log.clear();
  target->Items->Assign(source->Items);
  ASSERT_EQ(target->Items->ItemCount(), 2);
  EXPECT_EQ(static_cast<TTestItem*>(target->Items->ItemByIndex(1))->Value, 6);
  // One report for the whole assignment.
  EXPECT_EQ(std::count(target->Items->Log.begin(), target->Items->Log.end(), "report 1 all"), 1);
  EXPECT_EQ(std::count_if(target->Items->Log.begin(), target->Items->Log.end(),
                          [](const std::string& s) { return s.rfind("report", 0) == 0; }),
            1);

  static_cast<TTestItem*>(source->Items->ItemByIndex(1))->Value = -1;
  EXPECT_THROW(target->Items->Assign(source->Items), EConvertError);
  EXPECT_EQ(target->Items->UpdateCount(), 0);
}

TEST(ComponentCollection, DestructionFreesItemsSilently) {
  TComponent form(nullptr);
  auto* parent = new TTestParent(&form);
  for (int i = 0; i < 3; ++i) parent->Items->AppendNewItem();
  EXPECT_EQ(form.ComponentCount(), 4);
  std::vector<int> reported;
  parent->Items->OnChange = TcxComponentCollectionChangeEvent::Lambda(
      [&](TObject*, TcxComponentCollectionItem*, TcxComponentCollectionNotification action) {
        reported.push_back(action);
      });
  delete parent->Items;
  parent->Items = nullptr;
  EXPECT_TRUE(reported.empty());
  EXPECT_EQ(form.ComponentCount(), 1);  // the items are gone from their owner too
  Free(parent);
}

}  // namespace
