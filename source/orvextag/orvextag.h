#pragma once

#include "c4d.h"

constexpr Int32 ID_ORVEXTAG = 1035138;

// The camera tag that holds every projection setting of a camera.
class OrvexTag : public TagData {
 public:
  static NodeData* Alloc();
};

Bool RegisterOrvexTag();
