#include "orvextag/orvextag_settings.h"

#include "settings/orvextag_params.h"

#include <numbers>

void WriteTagDefaults(BaseContainer& data) {
  constexpr Float pi = std::numbers::pi;
  data.SetBool(ORVEXTAG_ENABLE, true);
  data.SetBool(ORVEXTAG_EDITOR_RENDER, true);
  data.SetBool(ORVEXTAG_EDITOR_RENDER_ALT, false);
  data.SetFloat(ORVEXTAG_FISHEYE_FOV, pi);
  data.SetBool(ORVEXTAG_EQUIRECT_CUSTOM, false);
  data.SetFloat(ORVEXTAG_EQUIRECT_HSPAN, 2.0 * pi);
  data.SetFloat(ORVEXTAG_EQUIRECT_LAT_MIN, -pi / 2.0);
  data.SetFloat(ORVEXTAG_EQUIRECT_LAT_MAX, pi / 2.0);
  data.SetInt32(ORVEXTAG_CYL_ORIENTATION, 0);
  data.SetFloat(ORVEXTAG_CYL_HFOV, 2.0 * pi);
  data.SetFloat(ORVEXTAG_CYL_HEIGHT, 100.0);
  data.SetFloat(ORVEXTAG_CYL_RADIUS, 100.0);
  data.SetInt32(ORVEXTAG_CUBEMAP_FACE, 5);
  // Only the tag's own copy: the render settings' stereo switch is not touched here.
  data.SetBool(ORVEXTAG_STEREO, false);
  data.SetFloat(ORVEXTAG_EYE_SEPARATION, 6.5);
  data.SetFloat(ORVEXTAG_ZERO_PARALLAX, 1000.0);
  data.SetInt32(ORVEXTAG_ZERO_PARALLAX_MODE, 1);
  data.SetInt32(ORVEXTAG_FISHEYE_TYPE, ORVEXTAG_FISHEYE_TYPE_FISHEYE);
  data.SetInt32(ORVEXTAG_STEREO_RIG, 2);
  data.SetBool(ORVEXTAG_STEREO_DIRECTION, true);
  data.SetFloat(ORVEXTAG_STEREO_DIRECTION_LAT, 0.0);
  data.SetFloat(ORVEXTAG_STEREO_DIRECTION_LON, 0.0);
  data.SetVector(ORVEXTAG_STEREO_DIRECTION_PAD, Vector(0.5, 0.5, 0.0));
  data.SetBool(ORVEXTAG_SEPARATION_MAP, false);
  data.SetFloat(ORVEXTAG_SEPARATION_MAP_AMOUNT, 0.5);
  data.SetLink(ORVEXTAG_SEPARATION_MAP_SHADER, nullptr);
  data.SetBool(ORVEXTAG_VP_TOGGLE, false);
  data.SetInt32(ORVEXTAG_VP_CHOICE, 0);
}
