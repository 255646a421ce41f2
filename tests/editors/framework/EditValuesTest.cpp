// The properties' alignment, the default-values provider and the global list
// of properties, validation of a display value, the classes a properties
// class names, the form tables of properties, edit buttons, edit styles and
// the repository, and the small editor helpers.
#include "editors/framework/EditConsts.h"
#include "editors/framework/EditHelpers.h"
#include "editors/framework/EditProperties.h"
#include "editors/framework/EditRepository.h"
#include "editors/framework/EditStyle.h"
#include "editors/framework/EditUnit.h"
#include "editors/framework/EditValuesProvider.h"
#include "foundation/Container.h"
#include "platform/FormResource.h"
#include "platform/Forms.h"
#include "tests/foundation/LookAndFeelFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace lookandfeel_test;

namespace {

struct Counter {
  int Calls = 0;
  void Changed(TObject*) { ++Calls; }
};

// A provider whose answers a test sets.
class TTestProvider : public TcxCustomEditDefaultValuesProvider {
public:
  using TcxCustomEditDefaultValuesProvider::TcxCustomEditDefaultValuesProvider;
  TAlignment ProvidedAlignment() override { return Alignment; }
  bool ProvidedReadOnly() override { return ReadOnly; }
  bool AllowsModify() override { return Modify; }
  double ProvidedMaximum() override { return 9; }
  double ProvidedMinimum() override { return -9; }
  bool HasDisplayFormatFor(bool editing) override { return editing ? FormatEditing : FormatShown; }
  TAlignment Alignment = taRightJustify;
  bool ReadOnly = false;
  bool Modify = true;
  bool FormatEditing = true;
  bool FormatShown = false;
};

// Text-editor-like properties: they validate and publish the usual set.
class TTestEditProperties : public TcxCustomEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomEditProperties::TcxCustomEditProperties;
  bool ValidatesDisplayValue() const override { return Validates; }
  unsigned EditOptionFlags() const override { return Options; }
  int IsTextValueEditor(bool focused) const override { return focused ? 0 : 1; }
  bool Validates = true;
  unsigned Options = 0;
};
const TClassInfo TTestEditProperties::ClassInfo{"TTestEditProperties", &TcxCustomEditProperties::ClassInfo,
                                                [](TObject* owner) -> TObject* {
                                                  return new TTestEditProperties(dynamic_cast<TPersistent*>(owner));
                                                }};
const TPublishedRegistration testPropertiesRegistration(&TTestEditProperties::ClassInfo, {
    cxEditPublished::Alignment(), cxEditPublished::AssignedValues(), cxEditPublished::AutoSelect(),
    cxEditPublished::BeepOnError(), cxEditPublished::Buttons(), cxEditPublished::ClearKey(),
    cxEditPublished::ImmediatePost(), cxEditPublished::MaxValue(), cxEditPublished::MinValue(),
    cxEditPublished::ReadOnly(), cxEditPublished::UseLeftAlignmentOnEditing(),
    cxEditPublished::ValidateOnEnter(), cxEditPublished::OnChange(), cxEditPublished::OnEditValueChanged(),
    cxEditPublished::OnValidate(),
});

// -- alignment ---------------------------------------------------------------------------------

TEST(EditAlignment, TheFaceShowsTheEffectiveHorizontalPartUntilAssigned) {
  TTestEditProperties properties(nullptr);
  Counter counter;
  properties.ChangeHandler = TNotifyEvent::Bind<&Counter::Changed>(&counter);
  EXPECT_EQ(properties.Alignment()->Horz(), taLeftJustify);
  EXPECT_FALSE(properties.IsAlignmentStored());
  TTestProvider provider(nullptr);
  properties.SetValuesProvider(&provider);
  EXPECT_EQ(counter.Calls, 0) << "a provider notifies only an editor control's properties";
  EXPECT_EQ(properties.Alignment()->Horz(), taRightJustify) << "unassigned: the provider's";
  EXPECT_FALSE(properties.Alignment()->HorzIsSet());
  properties.Alignment()->SetHorz(taCenter);
  EXPECT_EQ(counter.Calls, 1);
  EXPECT_TRUE(properties.StoredAlignment()->HorzIsSet());
  EXPECT_EQ(properties.Alignment()->Horz(), taCenter) << "assigned: its own";
  EXPECT_TRUE(properties.IsAlignmentStored());
  properties.Alignment()->SetHorz(taCenter);
  EXPECT_EQ(counter.Calls, 1) << "the same assigned value does not notify";
  const struct {
    TcxEditVertAlignment Vert;
    int Calls;
  } verticals[] = {{taVCenter, 2}, {taVCenter, 2}, {taBottomJustify, 3}};
  for (const auto& v : verticals) {
    properties.Alignment()->SetVert(v.Vert);
    EXPECT_EQ(counter.Calls, v.Calls);
    EXPECT_EQ(properties.StoredAlignment()->Vert(), v.Vert);
  }
  properties.Alignment()->ClearHorz();
  EXPECT_EQ(counter.Calls, 4);
  EXPECT_EQ(properties.Alignment()->Horz(), taRightJustify);
  EXPECT_TRUE(properties.IsAlignmentStored()) << "the vertical part is not at the top";
  properties.RestoreDefaultSettings();
  EXPECT_EQ(counter.Calls, 5) << "one notification";
  EXPECT_FALSE(properties.IsAlignmentStored());
  // Assigning copies both parts and the mark, and notifies.
  TcxEditAlignment other(nullptr);
  other.SetHorz(taCenter);
  other.SetVert(taVCenter);
  properties.SetAlignment(&other);
  EXPECT_EQ(counter.Calls, 6);
  EXPECT_EQ(properties.Alignment()->Horz(), taCenter);
  EXPECT_EQ(properties.Alignment()->Vert(), taVCenter);
}

struct TEventSink {
  void Validate(TObject*, TcxEditValue&, AnsiString&, bool&) {}
  void ButtonClick(TObject*, int) {}
  void PopupClosed(TObject*, TcxEditCloseUpReason) {}
};

TEST(EditAlignment, CopyingTakesTheAlignmentTheProviderAndAllEventsButPopupClosed) {
  TTestEditProperties source(nullptr), target(nullptr);
  TTestProvider provider(nullptr);
  TEventSink sink;
  source.SetValuesProvider(&provider);
  source.Alignment()->SetVert(taBottomJustify);
  source.OnValidate = TcxEditValidateEvent::Bind<&TEventSink::Validate>(&sink);
  source.OnEditButtonClick = TcxEditButtonClickEvent::Bind<&TEventSink::ButtonClick>(&sink);
  source.OnPopupClosed = TcxEditClosePopupEvent::Bind<&TEventSink::PopupClosed>(&sink);
  target.CopyFrom(&source);
  EXPECT_EQ(target.ValuesProvider(), &provider);
  EXPECT_EQ(target.StoredAlignment()->Vert(), taBottomJustify);
  EXPECT_FALSE(target.StoredAlignment()->HorzIsSet()) << "the provider's horizontal part is not taken as assigned";
  EXPECT_EQ(target.OnValidate, source.OnValidate);
  EXPECT_EQ(target.OnEditButtonClick, source.OnEditButtonClick);
  EXPECT_FALSE(target.OnPopupClosed) << "not copied";
}

// -- the provider and the global list ----------------------------------------------------------

TEST(EditValuesProvider, UnassignedValuesAndPermissionsComeFromTheProvider) {
  const struct {
    const char* Name;
    int ReadOnlyAssigned;  // -1 unassigned, else the value
    bool ProviderReadOnly;
    bool ProviderModify;
    bool ReadOnly;
    bool CanModify;
  } cases[] = {
      {"unassigned, provider allows", -1, false, true, false, true},
      {"unassigned, provider read-only", -1, true, true, true, false},
      {"unassigned, provider refuses", -1, false, false, false, false},
      {"assigned False beats a refusing provider", 0, true, false, false, true},
      {"assigned True", 1, false, true, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestEditProperties properties(nullptr);
    TTestProvider provider(nullptr);
    provider.ReadOnly = c.ProviderReadOnly;
    provider.Modify = c.ProviderModify;
    properties.SetValuesProvider(&provider);
    if (c.ReadOnlyAssigned >= 0) properties.SetReadOnly(c.ReadOnlyAssigned != 0);
    EXPECT_EQ(properties.GetReadOnly(), c.ReadOnly);
    EXPECT_EQ(properties.CanModify(), c.CanModify);
  }
  TTestEditProperties properties(nullptr);
  EXPECT_EQ(properties.EffectiveMaxValue(), 0) << "no provider";
  TTestProvider provider(nullptr);
  properties.SetValuesProvider(&provider);
  EXPECT_EQ(properties.EffectiveMaxValue(), 9);
  EXPECT_EQ(properties.EffectiveMinValue(), -9);
  properties.SetMaxValue(3);
  EXPECT_EQ(properties.EffectiveMaxValue(), 3) << "assigned: its own";
  // Display formats: option bit 0 and a provider, which is asked with True
  // while bit 1 is clear.
  EXPECT_FALSE(properties.HasDisplayFormat(false)) << "bit 0 clear";
  EXPECT_FALSE(properties.UsesProviderDisplayFormat());
  properties.Options = 1;
  EXPECT_TRUE(properties.HasDisplayFormat(false));
  EXPECT_FALSE(properties.HasDisplayFormat(true)) << "never while editing";
  EXPECT_TRUE(properties.UsesProviderDisplayFormat());
  properties.Options = 3;
  EXPECT_FALSE(properties.HasDisplayFormat(false)) << "bit 1 set: asked with False";
  EXPECT_FALSE(properties.UsesProviderDisplayFormat());
}

TEST(EditValuesProvider, TheBaseAnswersAndAFreedProviderIsDroppedEverywhere) {
  auto* provider = New<TcxCustomEditDefaultValuesProvider>(nullptr);
  EXPECT_TRUE(provider->AllowsEditStart());
  EXPECT_TRUE(provider->AllowsModify());
  EXPECT_TRUE(provider->HasData());
  EXPECT_TRUE(provider->AllowsChar('x'));
  EXPECT_EQ(provider->ProvidedAlignment(), taLeftJustify);
  EXPECT_EQ(provider->ProvidedPrecision(), 15);
  EXPECT_EQ(provider->ProvidedMaxLength(), 0);
  EXPECT_FALSE(provider->BoundToStorage());
  EXPECT_FALSE(provider->HasDisplayFormatFor(true));
  EXPECT_EQ(provider->ProviderObject(), provider);

  TTestProvider other(nullptr);
  const size_t before = AllEditProperties().size();
  auto* a = new TTestEditProperties(nullptr);
  auto* b = new TTestEditProperties(nullptr);
  auto* c = new TTestEditProperties(nullptr);
  EXPECT_EQ(AllEditProperties().size(), before + 3);
  EXPECT_EQ(AllEditProperties().back(), c);
  a->SetValuesProvider(provider);
  b->SetValuesProvider(provider);
  c->SetValuesProvider(&other);
  Free(provider);
  EXPECT_EQ(a->ValuesProvider(), nullptr);
  EXPECT_EQ(b->ValuesProvider(), nullptr);
  EXPECT_EQ(c->ValuesProvider(), &other) << "another provider stays";
  delete b;
  EXPECT_EQ(std::count(AllEditProperties().begin(), AllEditProperties().end(), b), 0);
  delete a;
  delete c;
  EXPECT_EQ(AllEditProperties().size(), before);
}

// -- validation --------------------------------------------------------------------------------

// An edit as validation sees it: its handler sets the error and may change
// the value.
class TValidatedEdit : public IcxEditValidationTarget {
public:
  bool HasValidateHandler() override { return HasHandler; }
  void FireValidate(TcxEditValue& displayValue, AnsiString& errorText, bool& error) override {
    ++Fired;
    SeenText = errorText;
    if (SetsError) error = true;
    if (NewValue) displayValue = TcxEditValue(AnsiString(NewValue));
    if (NewErrorText) errorText = NewErrorText;
  }
  AnsiString ReadShownText() override { return "shown"; }
  bool HasHandler = true;
  bool SetsError = false;
  const char* NewValue = nullptr;
  const char* NewErrorText = nullptr;
  int Fired = 0;
  AnsiString SeenText;
};

TEST(EditValidation, TheHandlersDecideAndTheShownTextComesBackOnError) {
  const struct {
    const char* Name;
    bool Validates;
    bool HasHandler;
    bool SetsError;
    const char* NewValue;
    const char* NewErrorText;
    bool Error;
    const char* Value;
    int Fired;
  } cases[] = {
      {"properties that do not validate", false, true, true, nullptr, nullptr, false, "typed", 0},
      {"no handler", true, false, false, nullptr, nullptr, false, "typed", 0},
      {"handler accepts", true, true, false, nullptr, nullptr, false, "typed", 1},
      {"error, value left: the shown text", true, true, true, nullptr, nullptr, true, "shown", 1},
      {"error, value changed: kept", true, true, true, "fixed", nullptr, true, "fixed", 1},
      {"handler changes the text, no error", true, true, false, "other", nullptr, false, "other", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestEditProperties properties(nullptr);
    properties.Validates = c.Validates;
    TValidatedEdit edit;
    edit.HasHandler = c.HasHandler;
    edit.SetsError = c.SetsError;
    edit.NewValue = c.NewValue;
    edit.NewErrorText = c.NewErrorText;
    TcxEditValue value(AnsiString("typed"));
    AnsiString errorText;
    bool error = false;
    properties.ValidateDisplayValue(value, errorText, &edit, error);
    EXPECT_EQ(error, c.Error);
    EXPECT_EQ(VarToStr(value), c.Value);
    EXPECT_EQ(edit.Fired, c.Fired);
    if (c.Fired) {
      EXPECT_EQ(edit.SeenText, "Invalid input value. Use escape key to abandon changes");
    }
  }
  // A text given by the caller stays; a replaced resource text is read at use.
  TTestEditProperties properties(nullptr);
  TValidatedEdit edit;
  TcxEditValue value(AnsiString("x"));
  AnsiString errorText = "own text";
  bool error = false;
  properties.ValidateDisplayValue(value, errorText, &edit, error);
  EXPECT_EQ(edit.SeenText, "own text");
  ReplaceResString(cxSEditValidateErrorText, "Nope");
  EXPECT_EQ(properties.ValidationErrorText(0), "Nope");
  RestoreResString(cxSEditValidateErrorText);
  EXPECT_EQ(properties.ValidationErrorText(0), "Invalid input value. Use escape key to abandon changes");
}

// -- the classes a properties class names ------------------------------------------------------

class TOwnButtons : public TcxEditButtons {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxEditButtons::TcxEditButtons;
};
const TClassInfo TOwnButtons::ClassInfo{"TOwnButtons", &TcxEditButtons::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TOwnButtons(dynamic_cast<TPersistent*>(owner),
                                                                 &TcxEditButton::ClassInfo);
                                        }};
class TOwnValues : public TcxCustomEditPropertiesValues {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomEditPropertiesValues::TcxCustomEditPropertiesValues;
};
const TClassInfo TOwnValues::ClassInfo{"TOwnValues", &TcxCustomEditPropertiesValues::ClassInfo,
                                       [](TObject* owner) -> TObject* {
                                         return new TOwnValues(dynamic_cast<TcxCustomEditProperties*>(owner));
                                       }};
class TDerivedProperties : public TTestEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TTestEditProperties::TTestEditProperties;
};
const TClassInfo TDerivedProperties::ClassInfo{"TDerivedProperties", &TTestEditProperties::ClassInfo,
                                               [](TObject* owner) -> TObject* {
                                                 return new TDerivedProperties(dynamic_cast<TPersistent*>(owner));
                                               }};
const TClassInfo TSomeEditor{"TSomeEditor", &TObject::ClassInfo, nullptr};
const TClassInfo TSomeViewInfo{"TSomeViewInfo", &TObject::ClassInfo, nullptr};

TEST(EditPropertiesClasses, EachClassIsAnsweredByTheNearestClassThatNamesIt) {
  const TcxEditPropertiesClasses base = EditPropertiesClassesOf(&TcxCustomEditProperties::ClassInfo);
  EXPECT_EQ(base.Style, &TcxEditStyle::ClassInfo);
  EXPECT_EQ(base.Buttons, &TcxEditButtons::ClassInfo);
  EXPECT_EQ(base.AssignedValues, &TcxCustomEditPropertiesValues::ClassInfo);
  RegisterEditPropertiesClasses(&TTestEditProperties::ClassInfo,
                                {&TSomeEditor, nullptr, nullptr, nullptr, &TOwnButtons::ClassInfo, nullptr});
  RegisterEditPropertiesClasses(&TDerivedProperties::ClassInfo,
                                {nullptr, nullptr, &TSomeViewInfo, nullptr, nullptr, &TOwnValues::ClassInfo});
  const TcxEditPropertiesClasses derived = EditPropertiesClassesOf(&TDerivedProperties::ClassInfo);
  EXPECT_EQ(derived.Editor, &TSomeEditor) << "from its parent";
  EXPECT_EQ(derived.ViewInfo, &TSomeViewInfo);
  EXPECT_EQ(derived.ViewData, nullptr);
  EXPECT_EQ(derived.Style, &TcxEditStyle::ClassInfo) << "from the base";
  EXPECT_EQ(derived.Buttons, &TOwnButtons::ClassInfo);
  // An object made through its class takes the buttons and assigned values it names.
  auto* properties = static_cast<TcxCustomEditProperties*>(CreateObject(&TDerivedProperties::ClassInfo, nullptr));
  EXPECT_EQ(properties->Buttons()->ClassType(), &TOwnButtons::ClassInfo);
  EXPECT_EQ(properties->AssignedValues()->ClassType(), &TOwnValues::ClassInfo);
  EXPECT_EQ(properties->EditorClass(), &TSomeEditor);
  EXPECT_EQ(properties->StyleClass(), &TcxEditStyle::ClassInfo);
  Counter counter;
  properties->ChangeHandler = TNotifyEvent::Bind<&Counter::Changed>(&counter);
  properties->Buttons()->AddButton();
  EXPECT_EQ(counter.Calls, 1) << "the replaced buttons notify too";
  TcxCustomEditProperties* copy = properties->NewOfSameClass();
  EXPECT_EQ(copy->ClassType(), &TDerivedProperties::ClassInfo);
  EXPECT_EQ(copy->Owner(), nullptr);
  Free(copy);
  Free(properties);
}

// -- form tables ---------------------------------------------------------------------------------

// A component holding properties, as an editor or repository item does.
class TPropertiesHolder : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TPropertiesHolder(TComponent* owner) : TComponent(owner), FProperties(New<TTestEditProperties>(this)) {}
  ~TPropertiesHolder() override { Free(FProperties); }
  TTestEditProperties* Properties() const { return FProperties; }

private:
  TTestEditProperties* FProperties;
};
const TClassInfo TPropertiesHolder::ClassInfo{"TPropertiesHolder", &TComponent::ClassInfo, [](TObject* o) -> TObject* {
                                                return new TPropertiesHolder(static_cast<TComponent*>(o));
                                              }};
const TPublishedRegistration holderRegistration(&TPropertiesHolder::ClassInfo, {
    Property<&TPropertiesHolder::Properties>("Properties"),
});

bool Has(const AnsiString& text, const char* line) { return text.find(line) != AnsiString::npos; }

TEST(EditFormTables, PropertiesAndButtonsAreWrittenAndReadBack) {
  auto* written = New<TPropertiesHolder>(nullptr);
  written->SetName("Holder");
  TTestEditProperties* p = written->Properties();
  const AnsiString plain = WriteComponentText(written);
  for (const char* absent : {"Alignment", "ReadOnly", "MaxValue", "UseLeftAlignmentOnEditing", "Buttons", "AutoSelect"})
    EXPECT_FALSE(Has(plain, absent)) << absent << " in\n" << plain;
  p->Alignment()->SetHorz(taRightJustify);
  p->SetReadOnly(false);
  p->SetMaxValue(5);
  p->SetAutoSelect(false);
  p->SetUseLeftAlignmentOnEditing(false);
  p->SetClearKey(0x2E);
  TcxEditButton* first = p->Buttons()->AddButton();
  first->SetKind(bkEllipsis);
  first->SetWidth(-3);
  first->SetCaption("Go");
  TcxEditButton* second = p->Buttons()->AddButton();
  second->SetDefault(true);
  second->SetVisible(false);
  second->Glyph()->SetSize(4, 4);
  const AnsiString text = WriteComponentText(written);
  for (const char* line : {"Properties.Alignment.Horz = taRightJustify", "Properties.ReadOnly = False",
                           "Properties.MaxValue = 5", "Properties.AutoSelect = False",
                           "Properties.UseLeftAlignmentOnEditing = False", "Properties.ClearKey = 46",
                           "Properties.Buttons = <", "Kind = bkEllipsis", "Width = -3", "Caption = 'Go'",
                           "Default = True", "Visible = False", "Glyph.Data"})
    EXPECT_TRUE(Has(text, line)) << line << " missing in\n" << text;
  for (const char* absent : {"Vert", "MinValue", "Stretchable", "Enabled"})
    EXPECT_FALSE(Has(text, absent)) << absent << " in\n" << text;
  Free(written);

  auto* read = New<TPropertiesHolder>(nullptr);
  ReadComponentText(text, read, "Holder");
  TTestEditProperties* r = read->Properties();
  EXPECT_TRUE(r->StoredAlignment()->HorzIsSet());
  EXPECT_EQ(r->Alignment()->Horz(), taRightJustify);
  EXPECT_TRUE(r->AssignedValues()->ReadOnly());
  EXPECT_FALSE(r->GetReadOnly());
  EXPECT_TRUE(r->AssignedValues()->MaxValue());
  EXPECT_FALSE(r->AssignedValues()->MinValue());
  EXPECT_FALSE(r->AutoSelect());
  EXPECT_FALSE(r->UseLeftAlignmentOnEditing());
  EXPECT_EQ(r->ClearKey(), 0x2E);
  ASSERT_EQ(r->Buttons()->Count(), 2);
  EXPECT_EQ(r->Buttons()->GetButton(0)->Kind(), bkEllipsis);
  EXPECT_EQ(r->Buttons()->GetButton(0)->Width(), -3);
  EXPECT_EQ(r->Buttons()->GetButton(0)->Caption(), "Go");
  EXPECT_TRUE(r->Buttons()->GetButton(1)->Default());
  EXPECT_FALSE(r->Buttons()->GetButton(1)->Visible());
  EXPECT_EQ(r->Buttons()->GetButton(1)->Glyph()->Width(), 4);
  Free(read);
}

TEST(EditFormTables, AnUnknownButtonKindFailsTheRead) {
  const AnsiString text =
      "object Holder: TPropertiesHolder\n"
      "  Properties.Buttons = <\n"
      "    item\n"
      "      Kind = bkNoSuchKind\n"
      "    end>\n"
      "end\n";
  auto* read = New<TPropertiesHolder>(nullptr);
  EXPECT_THROW(ReadComponentText(text, read, "Holder"), Exception);
  Free(read);
}

// -- edit styles in forms, and the in-place default ---------------------------------------------

class EditStyleForms : public ::testing::Test {
protected:
  void SetUp() override {
    StartContainerUnits();
    cxEditInit();
  }
  void TearDown() override {
    cxEditDone();
    FinalizeUnits();
  }
};

// A component with the four styles of an edit.
class TStyleHolder : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TStyleHolder(TComponent* owner) : TComponent(owner), FStyles(this, &TcxEditStyle::ClassInfo) {}
  TcxEditStyle* Style() const { return static_cast<TcxEditStyle*>(FStyles.NormalStyle()); }
  TcxEditStyle* StyleFocused() const { return static_cast<TcxEditStyle*>(FStyles.FocusedStyle()); }

private:
  TcxContainerStyles FStyles;
};
const TClassInfo TStyleHolder::ClassInfo{"TStyleHolder", &TComponent::ClassInfo, [](TObject* o) -> TObject* {
                                           return new TStyleHolder(static_cast<TComponent*>(o));
                                         }};
const TPublishedRegistration styleHolderRegistration(&TStyleHolder::ClassInfo, {
    Property<&TStyleHolder::Style>("Style"),
    Property<&TStyleHolder::StyleFocused>("StyleFocused"),
});

TEST_F(EditStyleForms, BorderStyleIsTypedAndTheControllerIsWrittenByTheRootOnly) {
  auto* form = New<TComponent>(nullptr);
  form->SetName("Form");
  auto* holder = New<TStyleHolder>(form);
  holder->SetName("Holder");
  auto* controller = New<TcxEditStyleController>(form);
  controller->SetName("Controller");
  holder->Style()->SetEditBorderStyle(ebsUltraFlat);
  holder->Style()->SetStyleController(controller);
  holder->StyleFocused()->SetButtonStyle(btsFlat);
  EXPECT_EQ(holder->StyleFocused()->GetStyleController(), controller) << "the root's";
  const TPropInfo* info = GetPropInfo(&TcxEditStyle::ClassInfo, "StyleController");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->PropClass, &TcxEditStyleController::ClassInfo);
  EXPECT_TRUE(IsStoredProp(holder->Style(), info));
  EXPECT_FALSE(IsStoredProp(holder->StyleFocused(), info)) << "a state style does not write it";
  const AnsiString text = WriteComponentText(holder);
  EXPECT_TRUE(Has(text, "Style.BorderStyle = ebsUltraFlat")) << text;
  EXPECT_TRUE(Has(text, "Style.StyleController = Controller")) << text;
  EXPECT_TRUE(Has(text, "StyleFocused.ButtonStyle = btsFlat")) << text;
  EXPECT_FALSE(Has(text, "StyleFocused.StyleController")) << text;
  EXPECT_FALSE(Has(text, "cbs")) << text;

  // Read back: the typed names, and a controller reference by name.
  auto* read = New<TStyleHolder>(form);
  const AnsiString readable =
      "object Other: TStyleHolder\n"
      "  Style.BorderStyle = ebsOffice11\n"
      "  StyleFocused.ButtonStyle = btsHotFlat\n"
      "end\n";
  ReadComponentText(readable, read, "Other");
  EXPECT_EQ(read->Style()->BorderStyle(), ebsOffice11);
  EXPECT_EQ(read->Style()->GetBorderStyle(), cbsOffice11);
  EXPECT_EQ(read->StyleFocused()->ButtonStyle(), btsHotFlat);
  // The assigned set names the editor values too.
  SetPropValue(read->Style(), "AssignedValues", "[svBorderStyle,svGradient]");
  EXPECT_TRUE(read->Style()->GetAssignedValues().Contains(svGradient));
  EXPECT_EQ(GetPropValue(read->Style(), "AssignedValues"), "[svBorderStyle,svGradient]");
  const AnsiString wrongName =
      "object Other2: TStyleHolder\n"
      "  Style.BorderStyle = cbsFlat\n"
      "end\n";
  auto* wrong = New<TStyleHolder>(form);
  EXPECT_THROW(ReadComponentText(wrongName, wrong, "Other2"), Exception);
  Free(form);
}

// A container that works in place (it ignores the parent's colour).
class TInPlaceContainer : public TcxContainer {
public:
  using TcxContainer::TcxContainer;
  bool IgnoresParentColor() override { return InPlace; }
  bool InPlace = true;
};

TEST_F(EditStyleForms, InPlaceAndDirectStylesHaveNoDefaultController) {
  TcxEditStyleController* byDefault = cxDefaultEditStyleController();
  ASSERT_NE(byDefault, nullptr);
  auto* host = New<TInPlaceContainer>(nullptr);
  const int listeners = byDefault->ListenerCount();
  {
    TcxContainerStyles styles(host, &TcxEditStyle::ClassInfo);
    auto* normal = static_cast<TcxEditStyle*>(styles.NormalStyle());
    EXPECT_EQ(normal->DefaultController(), nullptr);
    EXPECT_EQ(normal->ActiveStyleController(), nullptr) << "an in-place edit's style follows no default";
    EXPECT_EQ(byDefault->ListenerCount(), listeners) << "not among the default's listeners";
    byDefault->Style()->SetButtonStyle(btsUltraFlat);
    EXPECT_EQ(normal->ButtonStyle(), btsDefault);
    // A controller of its own still counts.
    auto* controller = New<TcxEditStyleController>(nullptr);
    controller->Style()->SetButtonStyle(btsFlat);
    normal->SetStyleController(controller);
    EXPECT_EQ(normal->ButtonStyle(), btsFlat);
    normal->SetStyleController(nullptr);
    EXPECT_EQ(normal->ActiveStyleController(), nullptr);
    Free(controller);
  }
  host->InPlace = false;
  {
    TcxContainerStyles styles(host, &TcxEditStyle::ClassInfo);
    EXPECT_EQ(styles.NormalStyle()->ActiveStyleController(), byDefault) << "standalone: the default one";
  }
  Free(host);
  TcxEditStyle direct(nullptr, true, nullptr, cxssNormal);
  EXPECT_EQ(direct.DefaultController(), nullptr);
  EXPECT_EQ(direct.ActiveStyleController(), nullptr) << "direct access: none";
  TcxEditStyle plain(nullptr, false, nullptr, cxssNormal);
  EXPECT_EQ(plain.ActiveStyleController(), byDefault);
}

// -- the repository in forms ---------------------------------------------------------------------

class TcxEditRepositoryTestItem : public TcxEditRepositoryItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
  TClass PropertiesClass() const override { return &TTestEditProperties::ClassInfo; }
};
const TClassInfo TcxEditRepositoryTestItem::ClassInfo{"TcxEditRepositoryTestItem", &TcxEditRepositoryItem::ClassInfo,
                                                      [](TObject* owner) -> TObject* {
                                                        return new TcxEditRepositoryTestItem(
                                                            static_cast<TComponent*>(owner));
                                                      }};
const TPublishedRegistration testItemRegistration(&TcxEditRepositoryTestItem::ClassInfo, {});

class TRepositoryForm : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TComponent::TComponent;
};
const TClassInfo TRepositoryForm::ClassInfo{"TRepositoryForm", &TComponent::ClassInfo, [](TObject* o) -> TObject* {
                                              return new TRepositoryForm(static_cast<TComponent*>(o));
                                            }};
const TPublishedRegistration repositoryFormRegistration(&TRepositoryForm::ClassInfo, {});

TEST(EditRepositoryForms, ItemsAreWrittenInsideTheirRepositoryAndJoinItWhenRead) {
  auto* form = New<TRepositoryForm>(nullptr);
  form->SetName("Form");
  auto* repository = New<TcxEditRepository>(form);
  repository->SetName("Repo");
  TcxEditRepositoryItem* first = repository->CreateItemEx(&TcxEditRepositoryTestItem::ClassInfo, form);
  first->SetName("RepoTestItem");
  first->Properties()->SetAutoSelect(false);
  TcxEditRepositoryItem* second = repository->CreateItemEx(&TcxEditRepositoryTestItem::ClassInfo, form);
  second->SetName("Second");
  // An item owned by another component is not the form's to write.
  auto* stranger = New<TComponent>(nullptr);
  TcxEditRepositoryItem* foreign = repository->CreateItemEx(&TcxEditRepositoryTestItem::ClassInfo, stranger);
  EXPECT_TRUE(first->HasParent());
  EXPECT_EQ(first->GetParentComponent(), repository);
  const AnsiString text = WriteComponentText(form);
  const size_t repo = text.find("object Repo: TcxEditRepository");
  const size_t item = text.find("object RepoTestItem: TcxEditRepositoryTestItem");
  const size_t other = text.find("object Second: TcxEditRepositoryTestItem");
  ASSERT_NE(repo, AnsiString::npos) << text;
  ASSERT_NE(item, AnsiString::npos) << text;
  ASSERT_NE(other, AnsiString::npos) << text;
  EXPECT_LT(repo, item);
  EXPECT_LT(item, other) << "in list order";
  EXPECT_TRUE(Has(text, "Properties.AutoSelect = False")) << text;
  EXPECT_EQ(text.find("TcxEditRepositoryTestItem", other + 40), AnsiString::npos) << "one of them per item\n" << text;
  // The item is the repository's child, not the form's.
  const size_t repoEnd = text.find("\n  end", item);
  EXPECT_LT(other, repoEnd) << text;
  Free(foreign);
  Free(stranger);
  Free(form);

  auto* read = New<TRepositoryForm>(nullptr);
  ReadComponentText(text, read, "Form");
  auto* back = ObjectAs<TcxEditRepository>(read->FindComponent("Repo"));
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->Count(), 2);
  EXPECT_EQ(back->ItemAt(0)->Name(), "RepoTestItem");
  EXPECT_EQ(back->ItemAt(0)->Repository(), back);
  EXPECT_EQ(back->ItemAt(0)->Owner(), read);
  EXPECT_FALSE(back->ItemAt(0)->Properties()->AutoSelect());
  EXPECT_EQ(back->ItemAt(1)->Name(), "Second");
  Free(read);
}

TEST(EditRepositoryForms, SettingTheParentComponentMovesTheItem) {
  auto* a = New<TcxEditRepository>(nullptr);
  auto* b = New<TcxEditRepository>(nullptr);
  TcxEditRepositoryItem* item = a->CreateItem(&TcxEditRepositoryTestItem::ClassInfo);
  item->SetParentComponent(b);
  EXPECT_EQ(item->Repository(), b);
  EXPECT_EQ(a->Count(), 0);
  EXPECT_EQ(b->Count(), 1);
  item->SetParentComponent(nullptr);
  EXPECT_FALSE(item->HasParent());
  EXPECT_EQ(b->Count(), 0);
  Free(item);
  Free(a);
  Free(b);
}

// -- helpers -----------------------------------------------------------------------------------

TEST(EditHelpers, BlankCharsShiftFlagsAndOwners) {
  for (int c = 0; c < 256; ++c) {
    const bool blank = c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == ' ';
    EXPECT_EQ(IsBlankChar(static_cast<char>(c)), blank) << c;
  }
  const struct {
    TcxMouseButton Button;
    TShiftState Shift;
  } buttons[] = {{cxmbNone, {}}, {cxmbLeft, {ssLeft}}, {cxmbRight, {ssRight}}, {cxmbMiddle, {ssMiddle}}};
  for (const auto& b : buttons) EXPECT_EQ(ShiftStateOfButton(b.Button), b.Shift);
  EXPECT_EQ(ShiftFlagOfMouseButton(mbLeft), TShiftState{ssLeft});
  EXPECT_EQ(ShiftFlagOfMouseButton(mbRight), TShiftState{ssRight});
  EXPECT_EQ(ShiftFlagOfMouseButton(mbMiddle), TShiftState{ssMiddle});

  auto* item = New<TcxEditRepositoryTestItem>(nullptr);
  EXPECT_EQ(OwnerComponentOf(item->Properties()->Alignment()), item);
  EXPECT_EQ(OwnerComponentOf(item), item);
  TcxEditAlignment loose(nullptr);
  EXPECT_EQ(OwnerComponentOf(&loose), nullptr);
  EXPECT_EQ(OwnerComponentOf(nullptr), nullptr);
  Free(item);
}

// A form that records the keys and characters its window receives.
class TKeyForm : public TForm {
public:
  using TForm::TForm;
  std::string Log;

protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_KEYDOWN) Log += "key " + std::to_string(message.WParam) + ";";
    if (message.Msg == WM_CHAR) Log += "char " + std::to_string(message.WParam) + ";";
    TForm::WndProc(message);
  }
};

TEST(EditHelpers, KeysAndCharactersReachTheWindow) {
  auto* form = New<TKeyForm>(nullptr);
  SendKeyDown(form, VK_RIGHT);
  SendChar(form, 'a');
  SendChar(form, static_cast<char>(0xB0));
  EXPECT_EQ(form->Log, "key 39;char 97;char 176;");
  SendKeyDown(nullptr, VK_LEFT);
  Free(form);
}

}  // namespace
