// The filter-edit registry (pairs kept under the parent class, found for
// every derived class, freed with its last pair), the helpers' operators and
// property set-up, and the constant tables.
#include "editors/framework/DataStorage.h"
#include "editors/framework/EditTables.h"
#include "editors/framework/FilterEditHelpers.h"
#include "editors/framework/TextEdit.h"
#include "tests/editors/framework/EditorFixture.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

namespace {

// Stand for a further text editor's properties (a mask edit's, say): its
// base class and the class it publishes.
class TCustomDerivedProperties : public TcxCustomTextEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
};
const TClassInfo TCustomDerivedProperties::ClassInfo{"TCustomDerivedProperties",
                                                     &TcxCustomTextEditProperties::ClassInfo, nullptr};

class TDerivedTextProperties : public TCustomDerivedProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomDerivedProperties::TCustomDerivedProperties;
};
const TClassInfo TDerivedTextProperties::ClassInfo{"TDerivedTextProperties", &TCustomDerivedProperties::ClassInfo,
                                                   nullptr};

class TOwnHelper : public TcxCustomFilterEditHelper {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
const TClassInfo TOwnHelper::ClassInfo{"TOwnHelper", &TcxCustomFilterEditHelper::ClassInfo,
                                       [](TObject*) -> TObject* { return new TOwnHelper(); }};

class FilterEditHelpers : public ::testing::Test {
protected:
  void SetUp() override { editor_test::StartEditorUnits(); }
  void TearDown() override { editor_test::FinishEditorUnits(); }
};

TClass HelperClassOf(TClass propertiesClass) {
  auto helper = FilterEditHelperOf(propertiesClass);
  return helper ? helper->ClassType() : nullptr;
}

TEST_F(FilterEditHelpers, ADerivedClassFindsTheTextHelperAndTheLastRemovalFreesTheRegistry) {
  ASSERT_FALSE(FilterEditsControllerExists());
  cxTextEditInit();
  ASSERT_TRUE(FilterEditsControllerExists()) << "the first registration makes it";
  struct TCase {
    const char* Name;
    TClass Properties;
    TClass Helper;
  };
  const TCase found[] = {
      {"the published class", &TcxTextEditProperties::ClassInfo, &TcxFilterTextEditHelper::ClassInfo},
      {"its parent", &TcxCustomTextEditProperties::ClassInfo, &TcxFilterTextEditHelper::ClassInfo},
      {"another class derived from that parent", &TDerivedTextProperties::ClassInfo,
       &TcxFilterTextEditHelper::ClassInfo},
      {"the edit properties' base", &TcxCustomEditProperties::ClassInfo, nullptr},
  };
  for (const TCase& c : found) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(HelperClassOf(c.Properties), c.Helper);
  }
  // A further editor's own helper wins for its class.
  FilterEditsController()->AddPair(&TDerivedTextProperties::ClassInfo, &TOwnHelper::ClassInfo);
  EXPECT_EQ(HelperClassOf(&TDerivedTextProperties::ClassInfo), &TOwnHelper::ClassInfo);
  EXPECT_EQ(HelperClassOf(&TCustomDerivedProperties::ClassInfo), &TOwnHelper::ClassInfo) << "kept under the parent";
  EXPECT_EQ(HelperClassOf(&TcxTextEditProperties::ClassInfo), &TcxFilterTextEditHelper::ClassInfo);
  FilterEditsController()->RemovePair(&TDerivedTextProperties::ClassInfo, &TOwnHelper::ClassInfo);
  EXPECT_TRUE(FilterEditsControllerExists());
  cxTextEditDone();
  EXPECT_FALSE(FilterEditsControllerExists()) << "freed with its last pair";
  EXPECT_EQ(HelperClassOf(&TcxTextEditProperties::ClassInfo), nullptr);
  cxTextEditInit();
  EXPECT_TRUE(FilterEditsControllerExists()) << "the next registration makes a new one";
  EXPECT_EQ(HelperClassOf(&TcxTextEditProperties::ClassInfo), &TcxFilterTextEditHelper::ClassInfo);
  cxTextEditDone();
  EXPECT_FALSE(FilterEditsControllerExists());
}

TEST_F(FilterEditHelpers, OperatorsDependOnTheValueType) {
  const TcxValueType* stringType = cxValueType<TcxStringValueType>();
  const TcxValueType* integerType = cxValueType<TcxIntegerValueType>();
  TcxCustomFilterEditHelper base;
  TcxFilterMemoHelper memo;
  const auto set = [](std::initializer_list<int> items) {
    TcxFilterOperators s;
    for (int i : items) s.Include(i);
    return s;
  };
  struct TCase {
    const char* Name;
    const TcxCustomFilterEditHelper* Helper;
    const TcxValueType* Type;
    bool Extended;
    TcxFilterOperators Expected;
  };
  const TCase cases[] = {
      {"no value type", &base, nullptr, false, set({1, 2, 3, 4, 5, 6, 9, 10})},
      {"a string value type", &base, stringType, false, set({1, 2, 3, 4, 5, 6, 7, 8, 9, 10})},
      {"a number value type, extended", &base, integerType, true, set({1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14})},
      {"a string value type, extended", &base, stringType, true,
       set({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14})},
      {"the memo, whatever the type", &memo, nullptr, true, set({7, 8, 9, 10})},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_TRUE(c.Helper->AllowedOperators(nullptr, c.Type, c.Extended) == c.Expected);
  }
}

TEST_F(FilterEditHelpers, TheTextHelperSetsAnEditUpForAFilterRow) {
  auto* edit = New<TcxTextEdit>(nullptr);
  std::unique_ptr<TcxTextEditProperties> source(New<TcxTextEditProperties>(nullptr));
  source->Buttons()->AddButton();
  source->SetReadOnly(true);
  source->SetBeepOnError(true);
  source->SetAutoSelect(false);
  source->SetHideSelection(false);
  source->SetHiddenCaret(true);
  source->SetMaxLength(5);
  source->Alignment()->SetHorz(taRightJustify);
  source->OnChange = TNotifyEvent::Lambda([](TObject*) {});
  source->OnValidate = TcxEditValidateEvent::Lambda([](TObject*, TcxEditValue&, AnsiString&, bool&) {});
  TcxFilterTextEditHelper helper;
  EXPECT_EQ(helper.FilterEditorClass(), &TcxTextEdit::ClassInfo);
  helper.SetupEdit(edit, source.get());
  TcxTextEditProperties* p = edit->Properties();
  EXPECT_EQ(p->MaxLength(), 5) << "copied";
  EXPECT_EQ(p->Buttons()->Count(), 0) << "no buttons for kind 0";
  EXPECT_FALSE(p->GetReadOnly());
  EXPECT_FALSE(p->BeepOnError());
  EXPECT_TRUE(p->ValidateOnEnter());
  EXPECT_TRUE(p->AutoSelect());
  EXPECT_TRUE(p->HideSelection());
  EXPECT_FALSE(p->HiddenCaret());
  EXPECT_EQ(p->Alignment()->Horz(), taLeftJustify);
  EXPECT_FALSE(static_cast<bool>(p->OnChange)) << "the copied handlers are dropped";
  EXPECT_FALSE(static_cast<bool>(p->OnValidate));
  helper.PutFilterValue(edit, p, Variant("abc"));
  AnsiString text;
  Variant value;
  helper.FilterValueText(edit, p, text, value);
  EXPECT_EQ(VarToStr(value), "abc");
  EXPECT_EQ(text, "abc");
  Free(edit);
}

TEST_F(FilterEditHelpers, TheConstantTables) {
  EXPECT_STREQ(cxBooleanTexts[0], "False");
  EXPECT_STREQ(cxBooleanTexts[1], "True");
  EXPECT_STREQ(cxSummaryFormats[0].Format, "SUM=%s;SUM=-%s");
  EXPECT_STREQ(cxSummaryFormats[3].DefaultFormat, "COUNT=0");
  EXPECT_STREQ(cxSummaryFormats[5].Prefix, "");
  EXPECT_STREQ(cxSummaryFormats[9].DefaultFormat, "AVG=0.00;AVG=-0.00");
  EXPECT_STREQ(cxColorConstantNames.front(), "clBlack");
  EXPECT_STREQ(cxColorConstantNames.back(), "clWindowText");
  // The sorted web colours are the family-ordered ones, sorted.
  std::set<std::string> family(cxWebColorNamesByFamily.begin(), cxWebColorNamesByFamily.end());
  EXPECT_EQ(family.size(), 140u) << "no name twice";
  std::set<std::string> sorted(cxWebColorNamesSorted.begin(), cxWebColorNamesSorted.end());
  EXPECT_EQ(sorted, family);
  EXPECT_TRUE(std::is_sorted(cxWebColorNamesSorted.begin(), cxWebColorNamesSorted.end(),
                             [](const char* a, const char* b) { return std::strcmp(a, b) < 0; }));
  EXPECT_STREQ(cxWebColorNamesSorted.front(), "AliceBlue");
  EXPECT_STREQ(cxWebColorNamesSorted.back(), "YellowGreen");
  for (const char* basic : cxBasicColorNames) EXPECT_TRUE(family.count(basic)) << basic;
}

}  // namespace
