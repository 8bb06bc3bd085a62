#include "orvextag/tag_panel_rules.h"

#include "geometry/scalar_math.h"
#include "settings/orvextag_params.h"

#include <algorithm>
#include <cmath>

namespace {

// One degree as the tag has always computed it, in single precision.
constexpr Float kOneDegree = static_cast<Float>(1.0f * 0.017453292f);

// Elements that belong to one projection, shown and enabled only for it.
Int32 ProjectionOf(Int32 id) {
  switch (id) {
    case ORVEXTAG_GROUP_EQUIRECT:
    case ORVEXTAG_EQUIRECT_CUSTOM:
    case ORVEXTAG_EQUIRECT_HSPAN:
    case ORVEXTAG_EQUIRECT_LAT_MIN:
    case ORVEXTAG_EQUIRECT_LAT_MAX:
      return ORVEXTAG_PROJECTION_EQUIRECT;
    case ORVEXTAG_GROUP_FISHEYE:
    case ORVEXTAG_FISHEYE_FOV:
    case ORVEXTAG_FISHEYE_RENDERSETTINGS:
      return ORVEXTAG_PROJECTION_FISHEYE;
    case ORVEXTAG_GROUP_CYLINDRICAL:
    case ORVEXTAG_CYL_ORIENTATION:
    case ORVEXTAG_CYL_HFOV:
    case ORVEXTAG_CYL_HEIGHT:
    case ORVEXTAG_CYL_RADIUS:
      return ORVEXTAG_PROJECTION_CYLINDRICAL;
    case ORVEXTAG_GROUP_CUBEMAP:
    case ORVEXTAG_CUBEMAP_RENDERSETTINGS:
      return ORVEXTAG_PROJECTION_CUBEMAP;
    default:
      return -1;
  }
}

bool IsStereoElement(Int32 id) {
  switch (id) {
    case ORVEXTAG_EYE_SEPARATION:
    case ORVEXTAG_ZERO_PARALLAX_MODE:
    case ORVEXTAG_FISHEYE_TYPE:
    case ORVEXTAG_STEREO_RIG:
    case ORVEXTAG_STEREO_DIRECTION:
    case ORVEXTAG_STEREO_ELEMENT:
    case ORVEXTAG_SEPARATION_MAP:
    case ORVEXTAG_STEREO_RENDERSETTINGS:
      return true;
    default:
      return false;
  }
}

// The rule of an element once the tag is on and the effect works.
bool EnabledWhenActive(Int32 id, const TagPanelFacts& f) {
  switch (id) {
    case ORVEXTAG_EQUIRECT_VSPAN:
      return false;
    case ORVEXTAG_EQUIRECT_HSPAN:
    case ORVEXTAG_EQUIRECT_LAT_MIN:
    case ORVEXTAG_EQUIRECT_LAT_MAX:
      return f.projection == ORVEXTAG_PROJECTION_EQUIRECT && f.customSpan;
    case ORVEXTAG_ZERO_PARALLAX:
      return f.stereo && f.zeroParallaxMode != 0;
    case ORVEXTAG_STEREO_DIRECTION_LAT:
    case ORVEXTAG_STEREO_DIRECTION_LON:
    case ORVEXTAG_STEREO_DIRECTION_PAD:
      return f.stereo && f.preferredDirection;
    case ORVEXTAG_SEPARATION_MAP_AMOUNT:
    case ORVEXTAG_SEPARATION_MAP_PREVIEW:
    case ORVEXTAG_SEPARATION_MAP_SHADER:
      return f.stereo && f.separationMap;
    case ORVEXTAG_ASPECT:
    case ORVEXTAG_FIT_HEIGHT:
    case ORVEXTAG_FIT_WIDTH:
      return f.aspect > 0.0;
    case ORVEXTAG_ASPECT_STEREO:
      return f.stereoAspect > 0.0;
    case ORVEXTAG_VP_CHOICE:
      return f.linkedToggle;
    default:
      break;
  }
  if (IsStereoElement(id)) return f.stereo;
  const Int32 projection = ProjectionOf(id);
  return projection < 0 || projection == f.projection;
}

}  // namespace

bool IsTagElementHidden(Int32 id, const TagPanelFacts& f) {
  switch (id) {
    case ORVEXTAG_VP_DISABLED_INFO:
      return f.effectExists && !f.effectSwitchedOff;
    case ORVEXTAG_GROUP_FISHEYE:
    case ORVEXTAG_GROUP_EQUIRECT:
    case ORVEXTAG_GROUP_CYLINDRICAL:
    case ORVEXTAG_GROUP_CUBEMAP:
      return ProjectionOf(id) != f.projection;
    case ORVEXTAG_FISHEYE_TYPE:
      return f.projection != ORVEXTAG_PROJECTION_FISHEYE;
    case ORVEXTAG_STEREO_DIRECTION_PAD:
      return !f.preferredDirection;
    case ORVEXTAG_HIDDEN:
      return true;
    default:
      return false;
  }
}

bool IsTagElementEnabled(Int32 id, const TagPanelFacts& f) {
  // A missing effect counts as switched off, as the notice says; the master switch stays usable
  // either way, so the artist can always turn the tag back on.
  const bool effectWorks = f.effectExists && !f.effectSwitchedOff;
  if (id == ORVEXTAG_ENABLE) return true;
  return effectWorks && f.enabled && EnabledWhenActive(id, f);
}

LatitudeRange KeepLatitudesOrdered(LatitudeRange range, Int32 editedId) {
  const auto limit = [](Float latitude, Float fallback) {
    return std::isfinite(latitude) ? std::clamp(latitude, -orvex::kHalfPi, orvex::kHalfPi) : fallback;
  };
  range = {limit(range.min, -orvex::kHalfPi), limit(range.max, orvex::kHalfPi)};
  if (range.min < range.max) return range;
  if (editedId == ORVEXTAG_EQUIRECT_LAT_MIN) {
    range.min = std::max(range.max - kOneDegree, -orvex::kHalfPi);
    if (range.min >= range.max) range.max = range.min + kOneDegree;
  } else {
    range.max = std::min(range.min + kOneDegree, orvex::kHalfPi);
    if (range.min >= range.max) range.min = range.max - kOneDegree;
  }
  return range;
}
