#include "bars/model/DesignController.h"

#include "bars/model/BarClassFactory.h"

#include <algorithm>

const TClassInfo TdxBarDesignController::ClassInfo{"TdxBarDesignController", &TObject::ClassInfo,
                                                   &dxBarMakeObject<TdxBarDesignController>};
const TClassInfo TdxAddSubItemEditor::ClassInfo{"TdxAddSubItemEditor", &TObject::ClassInfo,
                                                &dxBarMakeObject<TdxAddSubItemEditor>};
const TClassInfo TdxAddButtonEditor::ClassInfo{"TdxAddButtonEditor", &TObject::ClassInfo,
                                               &dxBarMakeObject<TdxAddButtonEditor>};
const TClassInfo TdxItemsEditorEx::ClassInfo{"TdxItemsEditorEx", &TObject::ClassInfo,
                                             &dxBarMakeObject<TdxItemsEditorEx>};
const TClassInfo TdxBarControlDesignHelper::ClassInfo{"TdxBarControlDesignHelper", &TObject::ClassInfo,
                                                      &dxBarMakeObject<TdxBarControlDesignHelper>};
const TClassInfo TdxBarSubMenuControlDesignHelper::ClassInfo{
    "TdxBarSubMenuControlDesignHelper", &TdxBarControlDesignHelper::ClassInfo,
    &dxBarMakeObject<TdxBarSubMenuControlDesignHelper>};
const TClassInfo TdxBarApplicationMenuControlDesignHelper::ClassInfo{
    "TdxBarApplicationMenuControlDesignHelper", &TdxBarSubMenuControlDesignHelper::ClassInfo,
    &dxBarMakeObject<TdxBarApplicationMenuControlDesignHelper>};

void TdxBarDesignController::RegisterEditor(TClass editorClass) {
  if (std::find(FEditors.begin(), FEditors.end(), editorClass) == FEditors.end()) FEditors.push_back(editorClass);
}

void TdxBarDesignController::RegisterDesignHelper(TClass controlClass, TClass helperClass) {
  for (auto& pair : FHelpers)
    if (pair.first == controlClass) {
      pair.second = helperClass;
      return;
    }
  FHelpers.emplace_back(controlClass, helperClass);
}

TClass TdxBarDesignController::DesignHelperOf(TClass controlClass) const {
  for (const auto& pair : FHelpers)
    if (pair.first == controlClass) return pair.second;
  return nullptr;
}

void TdxBarDesignController::LinkFreed(TdxBarItemLink* link) {
  if (FSelectedLink == link) FSelectedLink = nullptr;
  if (FLastSelected == link) FLastSelected = nullptr;
  if (FCustomizedLink == link) FCustomizedLink = nullptr;
}
