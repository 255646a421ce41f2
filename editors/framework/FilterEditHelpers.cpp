// The filter-edit registry and the helpers of the text editors.
#include "editors/framework/FilterEditHelpers.h"

#include "editors/framework/DataStorage.h"
#include "editors/framework/TextEdit.h"

namespace {

TcxFilterEditsController* Registry = nullptr;

// The pair is kept under the class's parent (a root class stays itself).
TClass StoredClassOf(TClass itemClass) { return itemClass && itemClass->Parent ? itemClass->Parent : itemClass; }

}  // namespace

const TClassInfo TcxFilterEditsController::ClassInfo{"TcxFilterEditsController", &TcxRegisteredClassList::ClassInfo,
                                                     nullptr};

void TcxFilterEditsController::AddPair(TClass itemClass, TClass registeredClass) {
  TcxRegisteredClassList::AddPair(StoredClassOf(itemClass), registeredClass);
}

void TcxFilterEditsController::RemovePair(TClass itemClass, TClass registeredClass) {
  TcxRegisteredClassList::RemovePair(StoredClassOf(itemClass), registeredClass);
  if (PairCount() == 0 && Registry == this) {
    Registry = nullptr;
    delete this;  // nothing of this object is touched after this
  }
}

TcxFilterEditsController* FilterEditsController() {
  if (!Registry) Registry = new TcxFilterEditsController();
  return Registry;
}

bool FilterEditsControllerExists() { return Registry != nullptr; }

std::unique_ptr<TcxCustomFilterEditHelper> FilterEditHelperOf(TClass propertiesClass) {
  if (!Registry) return nullptr;
  const TClass helperClass = Registry->LookupRegisteredClass(propertiesClass);
  if (!helperClass || !helperClass->Create) return nullptr;
  TObject* object = CreateObject(helperClass);
  if (auto* helper = dynamic_cast<TcxCustomFilterEditHelper*>(object))
    return std::unique_ptr<TcxCustomFilterEditHelper>(helper);
  delete object;
  return nullptr;
}

// -- The base helper ---------------------------------------------------------------------------

const TClassInfo TcxCustomFilterEditHelper::ClassInfo{
    "TcxCustomFilterEditHelper", &TObject::ClassInfo,
    [](TObject*) -> TObject* { return new TcxCustomFilterEditHelper(); }};

void TcxCustomFilterEditHelper::ClearFilterInfo(TcxCustomEditProperties* properties) const {
  if (!properties) return;
  properties->OnEditButtonClick = nullptr;
  properties->OnChange = nullptr;
  properties->OnEditValueChanged = nullptr;
  properties->OnValidate = nullptr;
}

void TcxCustomFilterEditHelper::SetupEdit(TcxCustomEdit* edit, TcxCustomEditProperties* source) const {
  ConfigureProperties(edit->Properties(), source, FilterKindOf());
}

void TcxCustomFilterEditHelper::FilterValueText(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                                AnsiString& text, Variant& value) const {
  value = edit->EditValue();
  text = properties->DisplayTextOf(value);
}

TcxFilterOperators TcxCustomFilterEditHelper::AllowedOperators(TObject* context, const TcxValueType* valueType,
                                                               bool extended) const {
  (void)context;
  TcxFilterOperators operators;
  for (int i = 1; i <= (extended ? 14 : 10); ++i) operators.Include(i);
  if (!valueType || !valueType->IsStringType()) operators.Exclude(7).Exclude(8);
  return operators;
}

void TcxCustomFilterEditHelper::ConfigureProperties(TcxCustomEditProperties* properties,
                                                    TcxCustomEditProperties* source, int kind) const {
  properties->Assign(source);
  properties->Alignment()->SetHorz(taLeftJustify);
  properties->Alignment()->SetVert(taTopJustify);
  properties->SetBeepOnError(false);
  if (kind == 0) properties->Buttons()->Clear();
  properties->SetReadOnly(false);
  properties->SetValidateOnEnter(true);
  if (!EditAllowedInFilter(source)) properties->SetValuesProvider(nullptr);
  ClearFilterInfo(properties);
}

bool TcxCustomFilterEditHelper::CheckValueType(const TcxValueType* valueType, Variant& value) const {
  return valueType && valueType->AcceptsValue(value);
}

// -- The text editors' helpers ---------------------------------------------------------------

const TClassInfo TcxFilterTextEditHelper::ClassInfo{
    "TcxFilterTextEditHelper", &TcxCustomFilterEditHelper::ClassInfo,
    [](TObject*) -> TObject* { return new TcxFilterTextEditHelper(); }};

TClass TcxFilterTextEditHelper::FilterEditorClass() const { return &TcxTextEdit::ClassInfo; }

void TcxFilterTextEditHelper::ConfigureProperties(TcxCustomEditProperties* properties,
                                                  TcxCustomEditProperties* source, int kind) const {
  TcxCustomFilterEditHelper::ConfigureProperties(properties, source, kind);
  properties->SetAutoSelect(true);
  if (auto* text = dynamic_cast<TcxCustomTextEditProperties*>(properties)) {
    text->SetHideSelection(true);
    text->SetHiddenCaret(false);
  }
  properties->SetButtonLayout(TcxEditButtonsLayout::blNormal);
}

void TcxFilterTextEditHelper::PutFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                             const Variant& value) const {
  (void)properties;
  edit->SetEditValue(value);
}

const TClassInfo TcxFilterMemoHelper::ClassInfo{"TcxFilterMemoHelper", &TcxFilterTextEditHelper::ClassInfo,
                                                [](TObject*) -> TObject* { return new TcxFilterMemoHelper(); }};

TcxFilterOperators TcxFilterMemoHelper::AllowedOperators(TObject*, const TcxValueType*, bool) const {
  return TcxFilterOperators{7, 8, 9, 10};
}
