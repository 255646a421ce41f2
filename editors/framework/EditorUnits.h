// The start-up entries of the editor framework's units. The program lists
// them after the control foundation's (platform/Units.h): the value types'
// registry, the paint helpers (the shared brush cache and the system
// brushes; whether the hot-light colour exists), then the editor unit (the
// mouse-wheel cursor and the default style controller), then the formats unit
// (its shared controller is made at first use and freed at shut-down), then
// the text edit unit (its properties class and its filter helper), the memo
// unit, the check box (its properties class and the check-mark mask) and the
// label (its properties class); all publish their controls for forms. The
// string units need no start-up: their texts are read at each use. Shut-down
// runs in reverse.
#pragma once

#include "editors/framework/CheckBox.h"
#include "editors/framework/DataStorage.h"
#include "editors/framework/EditPaintUtils.h"
#include "editors/framework/EditUtils.h"
#include "editors/framework/EditUnit.h"
#include "editors/framework/Formats.h"
#include "editors/framework/Label.h"
#include "editors/framework/Memo.h"
#include "editors/framework/TextEditProperties.h"
#include "platform/Units.h"

inline constexpr TUnitEntry cxDataStorageUnit{"cxDataStorage", &cxDataStorageInit, &cxDataStorageDone};
inline constexpr TUnitEntry cxEditUnit{"cxEdit", &cxEditInit, &cxEditDone};
inline constexpr TUnitEntry cxEditPaintUtilsUnit{"cxEditPaintUtils", &cxEditPaintUtilsInit, &cxEditPaintUtilsDone};
inline void cxEditUtilsDone() {}
inline constexpr TUnitEntry cxEditUtilsUnit{"cxEditUtils", &DetectHotLightColor, &cxEditUtilsDone};
inline constexpr TUnitEntry cxFormatsUnit{"cxFormats", &cxFormatsInit, &cxFormatsDone};
inline constexpr TUnitEntry cxTextEditUnit{"cxTextEdit", &cxTextEditInit, &cxTextEditDone};
// The memo unit (after the text edit's): the memo class for forms and its
// properties class in the registry of editors' properties, its filter
// helper in the filter-edit registry.
inline constexpr TUnitEntry cxMemoUnit{"cxMemo", &cxMemoInit, &cxMemoDone};
inline constexpr TUnitEntry cxCheckBoxUnit{"cxCheckBox", &cxCheckBoxInit, &cxCheckBoxDone};
inline constexpr TUnitEntry cxLabelUnit{"cxLabel", &cxLabelInit, &cxLabelDone};
