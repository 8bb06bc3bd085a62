#include "orvextag/orvextag.h"

#include <new>

namespace {
constexpr Int32 kNameString = 10001;
constexpr Int32 kInfoFlags = TAG_VISIBLE | TAG_EXPRESSION;
}  // namespace

NodeData* OrvexTag::Alloc() { return new (std::nothrow) OrvexTag(); }

Bool RegisterOrvexTag() {
  const AutoBitmap icon("orvextag.tif");
  return RegisterTagPlugin(ID_ORVEXTAG, GeLoadString(kNameString), kInfoFlags, OrvexTag::Alloc, "OrvexTag",
                           icon, 0);
}
