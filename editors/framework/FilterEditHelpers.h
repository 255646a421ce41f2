// The filter-edit registry: which helper sets an editor up as the value
// editor of a filter row, for each properties class. Every editor unit
// registers its helper at start and removes it at shut-down. A helper is
// registered against the parent of the properties class given, so every
// class derived from that parent finds it (a mask edit's properties find the
// text edit's helper unless the mask edit registers its own). The registry
// is made by the first registration and frees itself when its last pair goes.
//   FilterEditsController()->AddPair(&TcxTextEditProperties::ClassInfo, &TcxFilterTextEditHelper::ClassInfo);
//   auto* helper = FilterEditHelperOf(properties->ClassType());  // owned by the caller
#pragma once

#include "editors/framework/EditControl.h"
#include "foundation/Classes.h"
#include "platform/Set.h"

#include <memory>

class TcxFilterEditsController : public TcxRegisteredClassList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Both store and remove the pair under the parent of `itemClass`.
  void AddPair(TClass itemClass, TClass registeredClass) override;
  // Frees the registry when no pair is left.
  void RemovePair(TClass itemClass, TClass registeredClass) override;
};

// The registry, made on first use.
TcxFilterEditsController* FilterEditsController();
// Whether the registry exists (nothing is made).
bool FilterEditsControllerExists();

// Operators of a filter row, numbered from 1.
using TcxFilterOperators = TSet<int, 15>;

class TcxValueType;

// A stateless helper: its operations answer for the editor kind it stands for.
class TcxCustomFilterEditHelper : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Drops the button-click, change, value-change and validation handlers.
  virtual void ClearFilterInfo(TcxCustomEditProperties* properties) const;
  // Configures the edit's own properties from `source`.
  virtual void SetupEdit(TcxCustomEdit* edit, TcxCustomEditProperties* source) const;
  virtual bool EditAllowedInFilter(TcxCustomEditProperties* properties) const { (void)properties; return true; }
  virtual int FilterKindOf() const { return 0; }
  virtual TClass FilterEditorClass() const { return nullptr; }
  // The edit's value and its display text.
  virtual void FilterValueText(TcxCustomEdit* edit, TcxCustomEditProperties* properties, AnsiString& text,
                               Variant& value) const;
  // Operators 1 to 14 with `extended`, else 1 to 10; without a string value
  // type 7 and 8 are left out.
  virtual TcxFilterOperators AllowedOperators(TObject* context, const TcxValueType* valueType, bool extended) const;
  // A copy of `source`, left-top aligned, no beep, no buttons for kind 0,
  // editable, validated on Enter, its events dropped.
  virtual void ConfigureProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                                   int kind) const;
  virtual bool CheckValueType(const TcxValueType* valueType, Variant& value) const;
  virtual void PutFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, const Variant& value) const {
    (void)edit, (void)properties, (void)value;
  }
  virtual bool FilterByDisplayValue() const { return false; }
};

// The helper registered for a properties class (or its nearest registered
// ancestor), made for the caller; null when none is registered.
std::unique_ptr<TcxCustomFilterEditHelper> FilterEditHelperOf(TClass propertiesClass);

// The text edit's helper: a text edit, selecting all on entry, hiding its
// selection, with a caret and normal buttons; a filter value becomes its
// edit value.
class TcxFilterTextEditHelper : public TcxCustomFilterEditHelper {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TClass FilterEditorClass() const override;
  void ConfigureProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                           int kind) const override;
  void PutFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, const Variant& value) const override;
};

// The memo's helper: only operators 7 to 10.
class TcxFilterMemoHelper : public TcxFilterTextEditHelper {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TcxFilterOperators AllowedOperators(TObject* context, const TcxValueType* valueType, bool extended) const override;
};
