#include "settings/camera_count.h"

#include "geometry/cubemap_layout.h"
#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"

Bool RendersSixFaces(const BaseContainer& effect, const BaseContainer& tag) {
  return tag.GetInt32(ORVEXTAG_PROJECTION) == ORVEXTAG_PROJECTION_CUBEMAP &&
         effect.GetInt32(ORVEXVP_CUBE_LAYOUT) != orvex::kCubemapSingleFace;
}

CameraCount CountCameras(const BaseContainer& effect, const BaseContainer& tag, Bool stereoSwitch) {
  CameraCount count;
  if (RendersSixFaces(effect, tag)) count.facesPerEye = 6;
  if (stereoSwitch && effect.GetInt32(ORVEXVP_STEREO_MODE) != ORVEXVP_STEREO_MODE_SINGLE_EYE)
    count.eyeCount = 2;
  return count;
}
