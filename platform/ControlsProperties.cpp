#include "platform/ControlsProperties.h"

// Names as forms store them; the order is the enumerations' own.
const TEnumInfo AlignNames{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"}};
const TEnumInfo AnchorNames{"TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"}};
const TEnumInfo AlignmentNames{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
const TEnumInfo ButtonLayoutNames{"TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};
const TEnumInfo DragModeNames{"TDragMode", {"dmManual", "dmAutomatic"}};

TPropInfo StoredWhen(TPropInfo info, bool (*predicate)(TObject* instance)) {
  info.IsStored = predicate;
  return info;
}
