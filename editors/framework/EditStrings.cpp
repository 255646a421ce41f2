#include "editors/framework/EditStrings.h"

#include "editors/framework/DataConsts.h"
#include "editors/framework/EditConsts.h"
#include "editors/framework/FilterConsts.h"
#include "platform/Text.h"

namespace {

#define CX_STRING(name, id, text) &name,
const TResourceString* const AllStrings[] = {
#include "editors/framework/DataConsts.inc"
#include "editors/framework/FilterConsts.inc"
#include "editors/framework/EditConsts.inc"
};
#undef CX_STRING

}  // namespace

AnsiString cxFormatResString(const TResourceString& rs, const AnsiString& argument) {
  return StringReplaceAll(LoadResString(rs), "%s", argument);
}

std::span<const TResourceString* const> cxEditResStrings() { return AllStrings; }

const TResourceString* cxFindEditResString(unsigned id) {
  for (const TResourceString* rs : AllStrings)
    if (rs->Id == id) return rs;
  return nullptr;
}
