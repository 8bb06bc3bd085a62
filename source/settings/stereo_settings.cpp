#include "settings/stereo_settings.h"

#include "settings/orvextag_params.h"

Bool IsDomeStereo(const BaseContainer& tag) {
  return tag.GetInt32(ORVEXTAG_PROJECTION) == ORVEXTAG_PROJECTION_FISHEYE &&
         tag.GetInt32(ORVEXTAG_FISHEYE_TYPE) == ORVEXTAG_FISHEYE_TYPE_DOME;
}

Int32 StereoRigOf(const BaseContainer& tag) { return tag.GetInt32(ORVEXTAG_STEREO_RIG); }

Float EyeSeparation(const BaseContainer& tag) { return tag.GetFloat(ORVEXTAG_EYE_SEPARATION); }

Float ZeroParallaxDistance(const BaseContainer& tag) {
  if (tag.GetInt32(ORVEXTAG_ZERO_PARALLAX_MODE) == 0 || !(EyeSeparation(tag) > 0.0)) return 0.0;
  return tag.GetFloat(ORVEXTAG_ZERO_PARALLAX);
}
