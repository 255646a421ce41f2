// Styles, styles objects, style sheets and the style repository: assigned
// values, listeners, removal, sheet chains, streaming and font scaling.
#include "foundation/Styles.h"
#include "platform/Filer.h"
#include "platform/Stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Styles that record the indexes reported changed.
class TRecordingStyles : public TcxCustomStyles {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomStyles::TcxCustomStyles;
  void ChangedHook(int index) override { Changed.push_back(index); }
  std::vector<int> Changed;
};
const TClassInfo TRecordingStyles::ClassInfo{"TRecordingStyles", &TcxCustomStyles::ClassInfo,
                                             [](TObject* owner) -> TObject* {
                                               return new TRecordingStyles(ObjectAs<TPersistent>(owner));
                                             }};

// A sheet whose styles record.
class TRecordingSheet : public TcxCustomStyleSheet {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomStyleSheet::TcxCustomStyleSheet;
  TClass StylesClass() const override { return &TRecordingStyles::ClassInfo; }
  TRecordingStyles* Recorder() const { return static_cast<TRecordingStyles*>(Styles()); }
};
const TClassInfo TRecordingSheet::ClassInfo{"TRecordingSheet", &TcxCustomStyleSheet::ClassInfo,
                                            [](TObject* owner) -> TObject* {
                                              return new TRecordingSheet(static_cast<TComponent*>(owner));
                                            }};

// The root of the forms the streaming tests write and read.
class TStyleForm : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TComponent::TComponent;
};
const TClassInfo TStyleForm::ClassInfo{"TStyleForm", &TComponent::ClassInfo, [](TObject* owner) -> TObject* {
                                         return new TStyleForm(static_cast<TComponent*>(owner));
                                       }};

int InjectedPixelsPerInch = 96;

class StylesTest : public ::testing::Test {
protected:
  void SetUp() override {
    cxStylesInit();
    SavedScreen = cxStylesScreenPixelsPerInch;
    cxStylesScreenPixelsPerInch = [] { return InjectedPixelsPerInch; };
  }
  void TearDown() override {
    cxStylesScreenPixelsPerInch = SavedScreen;
    cxStylesDone();
  }
  int (*SavedScreen)() = nullptr;
  TStyleForm Form{nullptr};
};

template <class T>
T* NewItem(TcxStyleRepository* repository) {
  return static_cast<T*>(repository->CreateItem(&T::ClassInfo));
}

TEST_F(StylesTest, ColoursSetAndClearTheirAssignedBits) {
  struct Case {
    const char* Name;
    TColor Color;
    bool Assigned;
  };
  const Case cases[] = {{"red", clRed, true}, {"clDefault", clDefault, false}, {"clNone", clNone, true},
                        {"black", clBlack, true}, {"clDefault again", clDefault, false}};
  TcxStyle style(nullptr);
  TRecordingStyles styles(nullptr);
  styles.SetStyle(3, &style);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    styles.Changed.clear();
    style.SetColor(c.Color);
    style.SetTextColor(c.Color);
    EXPECT_EQ(style.AssignedValues().Contains(svColor), c.Assigned);
    EXPECT_EQ(style.AssignedValues().Contains(svTextColor), c.Assigned);
    EXPECT_EQ(styles.Changed, (std::vector<int>{3, 3}));
  }
  // The same colour again tells nobody.
  styles.Changed.clear();
  style.SetColor(clDefault);
  EXPECT_TRUE(styles.Changed.empty());
}

TEST_F(StylesTest, FontAndBitmapChangesMarkTheirValues) {
  TcxStyle style(nullptr);
  EXPECT_TRUE(style.AssignedValues().Bits() == 0);
  style.Font()->SetHeight(-20);
  EXPECT_TRUE(style.AssignedValues().Contains(svFont));
  TBitmap bitmap;
  bitmap.SetSize(4, 4);
  style.SetBitmap(&bitmap);
  EXPECT_TRUE(style.AssignedValues().Contains(svBitmap));
  EXPECT_EQ(style.Bitmap()->Width(), 4);
  style.SetBitmap(nullptr);
  EXPECT_FALSE(style.AssignedValues().Contains(svBitmap));
  style.SetColor(clRed);
  style.RestoreDefaults();
  EXPECT_TRUE(style.AssignedValues().Bits() == 0);
  EXPECT_EQ(style.Color(), clDefault);

  TcxStyle copy(nullptr);
  style.SetTextColor(clBlue);
  copy.Assign(&style);
  EXPECT_EQ(copy.TextColor(), clBlue);
  EXPECT_EQ(copy.AssignedValues(), style.AssignedValues());
}

TEST_F(StylesTest, AFreedStyleLeavesEveryStylesObjectUsingIt) {
  auto* repository = new TcxStyleRepository(&Form);
  auto* style = NewItem<TcxStyle>(repository);
  auto* other = NewItem<TcxStyle>(repository);
  TRecordingStyles first(nullptr), second(nullptr);
  first.SetStyle(1, style);
  first.SetStyle(2, other);
  first.SetStyle(4, style);
  second.SetStyle(7, style);
  EXPECT_EQ(style->ListenerCount(), 2);
  first.Changed.clear();
  second.Changed.clear();

  Free(style);
  EXPECT_EQ(first.Changed, (std::vector<int>{4, 1}));
  EXPECT_EQ(second.Changed, (std::vector<int>{7}));
  EXPECT_EQ(first.ItemCount(), 1);
  EXPECT_EQ(first.GetStyle(2), other);
  EXPECT_EQ(first.GetStyle(1), nullptr);
  EXPECT_EQ(second.ItemCount(), 0);
  EXPECT_EQ(repository->Count(), 1);
  EXPECT_EQ(repository->Items(0), other);
}

TEST_F(StylesTest, ASheetChainLeadingBackToTheOwnerIsRefused) {
  auto* repository = new TcxStyleRepository(&Form);
  auto* a = static_cast<TRecordingSheet*>(repository->CreateStyleSheet(&TRecordingSheet::ClassInfo));
  auto* b = static_cast<TRecordingSheet*>(repository->CreateStyleSheet(&TRecordingSheet::ClassInfo));
  auto* c = static_cast<TRecordingSheet*>(repository->CreateStyleSheet(&TRecordingSheet::ClassInfo));
  a->Recorder()->SetStyleSheet(b);
  EXPECT_EQ(a->Recorder()->StyleSheet(), b);
  b->Recorder()->SetStyleSheet(c);
  EXPECT_EQ(b->Recorder()->StyleSheet(), c);
  struct Case {
    const char* Name;
    TcxCustomStyles* Styles;
    TcxCustomStyleSheet* Sheet;
  };
  TcxCustomStyleSheet* plain = repository->CreateStyleSheet(&TcxCustomStyleSheet::ClassInfo);
  const Case refused[] = {
      {"own sheet", a->Styles(), a},
      {"direct cycle", b->Styles(), a},
      {"cycle through two", c->Styles(), a},
      {"other styles class", a->Styles(), plain},
  };
  for (const Case& r : refused) {
    SCOPED_TRACE(r.Name);
    TcxCustomStyleSheet* before = r.Styles->StyleSheet();
    r.Styles->SetStyleSheet(r.Sheet);
    EXPECT_EQ(r.Styles->StyleSheet(), before);
  }
  EXPECT_EQ(repository->StyleSheetCount(), 4);
}

TEST_F(StylesTest, ChangingTheSheetReportsEachDefinedIndexOnce) {
  auto* repository = new TcxStyleRepository(&Form);
  auto* style = NewItem<TcxStyle>(repository);
  auto* a = static_cast<TRecordingSheet*>(repository->CreateStyleSheet(&TRecordingSheet::ClassInfo));
  auto* b = static_cast<TRecordingSheet*>(repository->CreateStyleSheet(&TRecordingSheet::ClassInfo));
  a->Styles()->SetStyle(5, style);
  a->Styles()->SetStyle(2, style);
  b->Styles()->SetStyle(2, style);
  b->Styles()->SetStyle(9, style);
  a->Styles()->SetStyleSheet(b);

  TRecordingStyles control(nullptr);
  control.SetStyleSheet(a);
  EXPECT_EQ(control.Changed, (std::vector<int>{5, 2, 9}));
  EXPECT_EQ(control.GetStyle(9), style);
  EXPECT_EQ(a->UserCount(), 1);

  // A change of a sheet's style reaches the controls using the sheet, once
  // per item holding it, the last listener first (b's styles, then a's).
  control.Changed.clear();
  style->SetColor(clRed);
  EXPECT_EQ(control.Changed, (std::vector<int>{2, 9, 5, 2}));

  // A freed sheet is let go by its users, which report its indexes.
  control.Changed.clear();
  Free(a);
  EXPECT_EQ(control.StyleSheet(), nullptr);
  EXPECT_EQ(control.Changed, (std::vector<int>{5, 2, 9}));
}

TEST_F(StylesTest, CaptionFallsBackToTheName) {
  auto* repository = new TcxStyleRepository(&Form);
  TcxCustomStyleSheet* sheet = repository->CreateStyleSheet(&TcxCustomStyleSheet::ClassInfo);
  sheet->SetName("Sheet1");
  EXPECT_EQ(sheet->Caption(), "Sheet1");
  sheet->SetCaption("Blue look");
  EXPECT_EQ(sheet->Caption(), "Blue look");
  EXPECT_TRUE(sheet->IsCaptionStored());
  sheet->SetCaption("SHEET1");
  EXPECT_FALSE(sheet->IsCaptionStored());
  EXPECT_EQ(sheet->Caption(), "Sheet1");
}

TEST_F(StylesTest, AScalableRepositoryScalesStoredFontsToTheScreen) {
  InjectedPixelsPerInch = 96;
  TMemoryStream stream;
  {
    TStyleForm form(nullptr);
    auto* repository = new TcxStyleRepository(&form);
    repository->SetName("Repository");
    repository->SetScalable(true);
    auto* style = NewItem<TcxStyle>(repository);
    style->SetName("Heading");
    style->Font()->SetHeight(-11);
    style->SetColor(clYellow);
    auto* plain = NewItem<TcxStyle>(repository);
    plain->SetName("Plain");
    plain->SetTextColor(clNavy);
    TcxCustomStyleSheet* sheet = repository->CreateStyleSheet(&TcxCustomStyleSheet::ClassInfo);
    sheet->SetName("Sheet");
    WriteComponentToStream(stream, &form);
  }
  struct Case {
    int Screen;
    bool Scalable;
    int Height;
  };
  for (const Case c : {Case{120, true, -14}, Case{96, true, -11}, Case{144, true, -17}}) {
    SCOPED_TRACE(c.Screen);
    InjectedPixelsPerInch = c.Screen;
    stream.SetPosition(0);
    TStyleForm form(nullptr);
    ReadComponentFromStream(stream, &form);
    auto* repository = static_cast<TcxStyleRepository*>(form.FindComponent("Repository"));
    ASSERT_NE(repository, nullptr);
    EXPECT_EQ(repository->StoredPixelsPerInch(), 96);
    EXPECT_TRUE(repository->Scalable());
    ASSERT_EQ(repository->Count(), 2);
    ASSERT_EQ(repository->StyleSheetCount(), 1);
    auto* heading = static_cast<TcxStyle*>(repository->Items(0));
    EXPECT_EQ(heading->Name(), "Heading");
    EXPECT_EQ(heading->Font()->Height(), c.Height);
    EXPECT_EQ(heading->Color(), clYellow);
    EXPECT_TRUE(heading->AssignedValues().Contains(svFont));
    auto* plain = static_cast<TcxStyle*>(repository->Items(1));
    EXPECT_EQ(plain->TextColor(), clNavy);
    EXPECT_EQ(plain->AssignedValues(), TcxStyleValues{svTextColor});
    EXPECT_EQ(repository->ScaleValue(-11), c.Height);
  }
  TcxStyleRepository fixed(nullptr);
  EXPECT_EQ(fixed.ScaleValue(-11), -11);
}

TEST_F(StylesTest, FreeingTheRepositoryFreesItsStylesAndSheets) {
  auto* repository = new TcxStyleRepository(&Form);
  auto* style = NewItem<TcxStyle>(repository);
  TcxCustomStyleSheet* sheet = repository->CreateStyleSheet(&TcxCustomStyleSheet::ClassInfo);
  TRecordingStyles control(nullptr);
  control.SetStyle(0, style);
  control.SetStyleSheet(sheet);
  EXPECT_EQ(Form.ComponentCount(), 3);
  Free(repository);
  EXPECT_EQ(Form.ComponentCount(), 0);
  EXPECT_EQ(control.ItemCount(), 0);
  EXPECT_EQ(control.StyleSheet(), nullptr);
}

}  // namespace
