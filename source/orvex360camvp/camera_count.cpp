#include "orvex360camvp/camera_count.h"

#include "geometry/cubemap_layout.h"
#include "orvex360camvp/orvex360camvp_params.h"
#include "orvextag/orvextag_params.h"

CameraCount CountCameras(const BaseContainer& effect, const BaseContainer& tag, Bool stereoSwitch) {
  CameraCount count;
  if (tag.GetInt32(ORVEXTAG_PROJECTION) == ORVEXTAG_PROJECTION_CUBEMAP &&
      effect.GetInt32(ORVEXVP_CUBE_LAYOUT) != orvex::kCubemapSingleFace)
    count.facesPerEye = 6;
  if (stereoSwitch && effect.GetInt32(ORVEXVP_STEREO_MODE) != ORVEXVP_STEREO_MODE_SINGLE_EYE)
    count.eyeCount = 2;
  return count;
}
