// Edit properties (change notification under a lock, assigned values,
// copying, the buttons and their widths, the registry) and the edit
// repository (items, listeners, default names).
#include "editors/framework/EditConsts.h"
#include "editors/framework/EditProperties.h"
#include "editors/framework/EditRepository.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct Counter {
  int Calls = 0;
  void Changed(TObject*) { ++Calls; }
};

TEST(EditProperties, ChangesInOneLockNotifyOnce) {
  TcxCustomEditProperties properties(nullptr);
  Counter counter;
  properties.ChangeHandler = TNotifyEvent::Bind<&Counter::Changed>(&counter);
  const struct {
    const char* Name;
    bool Fire;
    int Calls;
  } cases[] = {{"unlock with fire", true, 1}, {"unlock without", false, 0}};
  bool value = false;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    counter.Calls = 0;
    value = !value;
    properties.LockChanges();
    properties.SetAutoSelect(value);
    properties.SetTransparent(value);
    properties.SetReadOnly(value);
    EXPECT_EQ(counter.Calls, 0);
    properties.UnlockChanges(c.Fire);
    EXPECT_EQ(counter.Calls, c.Calls);
  }
  // Outside a lock every setter notifies; an equal value does not.
  counter.Calls = 0;
  properties.SetTransparent(!properties.Transparent());
  properties.SetTransparent(properties.Transparent());
  EXPECT_EQ(counter.Calls, 1);
  // An unlock below zero does nothing.
  properties.UnlockChanges();
  EXPECT_FALSE(properties.IsChangeLocked());
  properties.BlockChanges(true);
  EXPECT_TRUE(properties.IsChangeLocked());
  properties.SetTransparent(!properties.Transparent());
  EXPECT_EQ(counter.Calls, 1);
  properties.BlockChanges(false);
}

TEST(EditProperties, AssignedValues) {
  TcxCustomEditProperties properties(nullptr);
  Counter counter;
  properties.ChangeHandler = TNotifyEvent::Bind<&Counter::Changed>(&counter);
  EXPECT_FALSE(properties.GetReadOnly());
  EXPECT_FALSE(properties.AssignedValues()->MaxValue());
  properties.SetMaxValue(0);
  EXPECT_TRUE(properties.AssignedValues()->MaxValue()) << "0 for the first time marks it";
  EXPECT_EQ(counter.Calls, 1);
  properties.SetMaxValue(0);
  EXPECT_EQ(counter.Calls, 1) << "the same assigned value does not notify";
  properties.SetReadOnly(false);
  EXPECT_TRUE(properties.AssignedValues()->ReadOnly());
  EXPECT_TRUE(properties.CanModify());
  counter.Calls = 0;
  properties.AssignedValues()->ClearAssigned();
  EXPECT_EQ(counter.Calls, 1) << "three marks, one notification";
  EXPECT_FALSE(properties.AssignedValues()->ReadOnly());
}

TEST(EditProperties, CopyingClearsAnUnassignedReadOnly) {
  TcxCustomEditProperties source(nullptr), target(nullptr);
  target.SetReadOnly(true);
  target.SetMinValue(5);
  source.SetAutoSelect(false);
  source.SetMinValue(2);
  source.Buttons()->AddButton()->SetKind(bkEllipsis);
  Counter counter;
  target.ChangeHandler = TNotifyEvent::Bind<&Counter::Changed>(&counter);
  target.CopyFrom(&source);
  EXPECT_FALSE(target.AssignedValues()->ReadOnly());
  EXPECT_FALSE(target.GetReadOnly());
  EXPECT_TRUE(target.AssignedValues()->MinValue());
  EXPECT_EQ(target.MinValue(), 2);
  EXPECT_FALSE(target.AutoSelect());
  ASSERT_EQ(target.Buttons()->Count(), 1);
  EXPECT_EQ(target.Buttons()->GetButton(0)->Kind(), bkEllipsis);
  EXPECT_EQ(counter.Calls, 1);
  TComponent* other = New<TComponent>(nullptr);
  EXPECT_THROW(target.CopyFrom(other), EConvertError);
  Free(other);
}

TEST(EditButtons, DefaultsOneAndWidthsStayReplaceable) {
  TcxCustomEditProperties properties(nullptr);
  Counter counter;
  properties.ChangeHandler = TNotifyEvent::Bind<&Counter::Changed>(&counter);
  TcxEditButtons* buttons = properties.Buttons();
  TcxEditButton* first = buttons->AddButton();
  TcxEditButton* second = buttons->AddButton();
  EXPECT_EQ(first->Kind(), bkDown);
  EXPECT_TRUE(first->Visible());
  EXPECT_EQ(first->ContentAlignment(), taCenter);
  first->SetDefault(true);
  second->SetDefault(true);
  EXPECT_FALSE(first->Default());
  EXPECT_TRUE(second->Default());
  counter.Calls = 0;
  second->SetWidth(-4);
  EXPECT_EQ(second->Width(), -4) << "a negative width is stored";
  second->SetWidth(-8);
  EXPECT_EQ(second->Width(), -8) << "and can be replaced";
  second->SetWidth(-8);
  EXPECT_EQ(counter.Calls, 2);
  second->SetVisible(false);
  EXPECT_EQ(buttons->VisibleCount(), 1);
  const struct {
    const char* Caption;
    const char* Shown;
  } captions[] = {{"&Open", "Open"}, {"A&&B", "A&B"}, {"", ""}};
  for (const auto& c : captions) {
    first->SetCaption(c.Caption);
    EXPECT_EQ(first->DisplayCaption(), c.Shown) << c.Caption;
  }
  TcxCustomEditProperties copy(nullptr);
  copy.Assign(&properties);
  EXPECT_EQ(copy.Buttons()->GetButton(0)->DisplayCaption(), "");
  first->SetCaption("&Go");
  copy.Assign(&properties);
  EXPECT_EQ(copy.Buttons()->GetButton(0)->DisplayCaption(), "Go");
  EXPECT_FALSE(first->HasGlyph());
  first->Glyph()->SetSize(4, 4);
  EXPECT_TRUE(first->HasGlyph());
  first->SetGlyph(nullptr);
  EXPECT_FALSE(first->HasGlyph());
}

TEST(EditProperties, TheRegistryIsSortedByDescription) {
  TcxRegisteredClasses* registry = RegisteredPropertiesClasses();
  const TClassInfo a{"TA", &TcxCustomEditProperties::ClassInfo, nullptr};
  const TClassInfo b{"TB", &TcxCustomEditProperties::ClassInfo, nullptr};
  const TClassInfo c{"TC", &TcxCustomEditProperties::ClassInfo, nullptr};
  registry->EnrolClass(&a, LoadResString(cxSEditRepositoryTextItem));
  registry->EnrolClass(&b, LoadResString(cxSEditRepositoryCheckBoxItem));
  registry->EnrolClass(&c, "memo|lower case");
  ASSERT_EQ(registry->Count(), 3);
  EXPECT_EQ(registry->DescriptionAt(0), "CheckBox");
  EXPECT_EQ(registry->DescriptionAt(1), "memo");
  EXPECT_EQ(registry->DescriptionAt(2), "TextEdit");
  FreeRegisteredPropertiesClasses();
}

// A listener that records what it heard, into a shared log.
struct TListener : IcxEditRepositoryItemListener {
  TListener(std::string name, std::string& log) : Name(std::move(name)), Log(log) {}
  void RepositoryItemPropertiesChanged(TcxEditRepositoryItem*) override { Log += Name + " changed;"; }
  void RepositoryItemRemoved(TcxEditRepositoryItem* item) override {
    Log += Name + " removed;";
    Item = nullptr;
    (void)item;
  }
  std::string Name;
  std::string& Log;
  TcxEditRepositoryItem* Item = nullptr;
};

class TcxEditRepositoryTextItem : public TcxEditRepositoryItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
};
const TClassInfo TcxEditRepositoryTextItem::ClassInfo{"TcxEditRepositoryTextItem", &TcxEditRepositoryItem::ClassInfo,
                                                      [](TObject* owner) -> TObject* {
                                                        return new TcxEditRepositoryTextItem(
                                                            static_cast<TComponent*>(owner));
                                                      }};

TEST(EditRepository, AnItemFreedUnderThreeListenersTellsEachOnceLastFirst) {
  auto* repository = New<TcxEditRepository>(nullptr);
  repository->SetName("Repo");
  TcxEditRepositoryItem* item = repository->CreateItem(&TcxEditRepositoryTextItem::ClassInfo);
  EXPECT_EQ(item->DefaultItemName(), "RepoTextItem");
  EXPECT_EQ(repository->Count(), 1);
  std::string log;
  TListener a("a", log), b("b", log), c("c", log);
  for (TListener* l : {&a, &b, &c}) {
    item->AddListener(l);
    l->Item = item;
  }
  item->AddListener(&a);
  EXPECT_EQ(item->ListenerCount(), 3);
  item->Properties()->SetAutoSelect(false);
  EXPECT_EQ(log, "c changed;b changed;a changed;");
  log.clear();
  Free(item);
  EXPECT_EQ(log, "c removed;b removed;a removed;");
  for (TListener* l : {&a, &b, &c}) EXPECT_EQ(l->Item, nullptr);
  EXPECT_EQ(repository->Count(), 0);
  // The repository frees the items it still lists.
  repository->CreateItem(&TcxEditRepositoryItem::ClassInfo);
  TcxEditRepositoryItem* plain = repository->CreateItem(&TcxEditRepositoryItem::ClassInfo);
  EXPECT_EQ(plain->DefaultItemName(), "RepoItem");
  EXPECT_EQ(repository->Count(), 2);
  Free(repository);
}

}  // namespace
