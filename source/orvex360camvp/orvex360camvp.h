#pragma once

#include "c4d.h"

constexpr Int32 ID_ORVEX360CAMVP = 1033675;

// The video-post effect that replaces the camera lens at render time.
class Orvex360CamVP : public VideoPostData {
 public:
  static NodeData* Alloc();
};

Bool RegisterOrvex360CamVP();
