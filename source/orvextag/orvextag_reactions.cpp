#include "geometry/pad_direction.h"
#include "geometry/scalar_math.h"
#include "module_log.h"
#include "orvextag/aspect_update.h"
#include "orvextag/orvextag.h"
#include "orvextag/orvextag_settings.h"
#include "orvextag/tag_links.h"
#include "orvextag/tag_panel_rules.h"
#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"
#include "settings/plugin_ids.h"
#include "settings/stereo_settings.h"

namespace {
constexpr Int32 kMaskNone = 2;

// Puts a Protection tag first on the camera, or removes the one it carries.
void KeepProtection(BaseObject* camera, Bool wanted) {
  if (!camera) return;
  BaseTag* existing = camera->GetTag(Tprotection);
  if (wanted && !existing) {
    if (BaseTag* protection = BaseTag::Alloc(Tprotection)) camera->InsertTag(protection, nullptr);
  } else if (!wanted && existing) {
    existing->Remove();
    BaseTag::Free(existing);
  }
}

void ReactToCameraKind(const TagLinks& links, Int32 kind) {
  if (kind == kCameraKindLittlePlanet && links.effect)
    links.effect->GetDataInstance()->SetInt32(ORVEXVP_MASK_MODE, kMaskNone);
  if (kind != kCameraKindCubemap && links.camera)
    links.camera->GetDataInstance()->SetBool(CAMERAOBJECT_SHOW_IN_EDITOR, false);
}

// One line for the artist when keeping the range in order moved an end they did not type.
void LogMovedLatitude(const char* end, Float before, Float after) {
  if (before == after) return;
  const Float degrees = 180.0 / orvex::kPi;
  ModuleLog("LATITUDES out of order: %s latitude moved from [%.2f] to [%.2f] degrees", end, before * degrees,
            after * degrees);
}

void OrderLatitudes(BaseContainer& data, Int32 editedId) {
  const LatitudeRange given{data.GetFloat(ORVEXTAG_EQUIRECT_LAT_MIN),
                            data.GetFloat(ORVEXTAG_EQUIRECT_LAT_MAX)};
  const LatitudeRange range = KeepLatitudesOrdered(given, editedId);
  LogMovedLatitude("lower", given.min, range.min);
  LogMovedLatitude("upper", given.max, range.max);
  data.SetFloat(ORVEXTAG_EQUIRECT_LAT_MIN, range.min);
  data.SetFloat(ORVEXTAG_EQUIRECT_LAT_MAX, range.max);
}

// Turns the pad position into the preferred direction; a reset request puts the marker back first.
void PadToDirection(BaseTag* tag) {
  BaseContainer& data = *tag->GetDataInstance();
  const Vector pad = data.GetVector(ORVEXTAG_STEREO_DIRECTION_PAD);
  const Bool fisheye = data.GetInt32(ORVEXTAG_PROJECTION) == ORVEXTAG_PROJECTION_FISHEYE;
  const Bool dome = IsDomeStereo(data);
  orvex::PadDirection direction;
  if (orvex::IsPadResetRequest({pad.x, pad.y})) {
    const orvex::PadPosition reset = orvex::PadResetPosition(dome);
    data.SetVector(ORVEXTAG_STEREO_DIRECTION_PAD, Vector(reset.u, reset.v, pad.z));
  } else {
    direction = orvex::PadToDirection({pad.x, pad.y}, fisheye, dome, data.GetFloat(ORVEXTAG_FISHEYE_FOV));
  }
  data.SetFloat(ORVEXTAG_STEREO_DIRECTION_LAT, direction.lat);
  data.SetFloat(ORVEXTAG_STEREO_DIRECTION_LON, direction.lon);
  DrawViews(DRAWFLAGS_FORCEFULLREDRAW);  // the stereo diagram shows the new direction
}

// The pad's z says which map it shows: the dome map while the projection is fisheye.
void KeepPadMap(BaseContainer& data) {
  Vector pad = data.GetVector(ORVEXTAG_STEREO_DIRECTION_PAD);
  pad.z = data.GetInt32(ORVEXTAG_PROJECTION) == ORVEXTAG_PROJECTION_FISHEYE ? 1.0 : 0.0;
  data.SetVector(ORVEXTAG_STEREO_DIRECTION_PAD, pad);
}

// The camera's own stereo mode follows the render settings' switch.
void KeepCameraStereo(BaseObject* camera, Bool stereo) {
  if (!camera) return;
  BaseContainer& data = *camera->GetDataInstance();
  const Int32 mode = stereo ? 1 : 0;
  if (data.GetInt32(CAMERAOBJECT_STEREO_MODE) != mode) data.SetInt32(CAMERAOBJECT_STEREO_MODE, mode);
}
}  // namespace

void OrvexTag::AfterParameterSet(BaseTag* tag, Int32 id) {
  const TagLinks links = TagLinks::Of(tag);
  switch (id) {
    case ORVEXTAG_PROTECT:
      KeepProtection(links.camera, links.TagData().GetBool(ORVEXTAG_PROTECT));
      break;
    case ORVEXTAG_EQUIRECT_HSPAN:
    case ORVEXTAG_EQUIRECT_VSPAN:
    case ORVEXTAG_ASPECT:
    case ORVEXTAG_ASPECT_STEREO:
      UpdateAspect(tag);
      break;
    case ORVEXTAG_EQUIRECT_LAT_MIN:
    case ORVEXTAG_EQUIRECT_LAT_MAX:
      OrderLatitudes(links.TagData(), id);
      UpdateAspect(tag);
      break;
    case ORVEXTAG_CAMERA_KIND:
      ReactToCameraKind(links, links.TagData().GetInt32(ORVEXTAG_CAMERA_KIND));
      break;
    case ORVEXTAG_STEREO_DIRECTION_PAD:
      PadToDirection(tag);
      break;
    default:
      break;
  }
}

Bool OrvexTag::PressButton(BaseTag* tag, Int32 id) {
  switch (id) {
    case ORVEXTAG_FISHEYE_RENDERSETTINGS:
    case ORVEXTAG_CUBEMAP_RENDERSETTINGS:
    case ORVEXTAG_STEREO_RENDERSETTINGS:
      if (!FindVideoPost(tag, tag->GetDocument(), true)) return false;
      CallCommand(COMMAND_OPEN_RENDER_SETTINGS);
      return true;
    case ORVEXTAG_FIT_HEIGHT:
    case ORVEXTAG_FIT_WIDTH:
      FitResolution(tag, id);
      return true;
    default:
      return true;
  }
}

EXECUTIONRESULT OrvexTag::Execute(BaseTag* tag, BaseDocument*, BaseObject*, BaseThread*, Int32,
                                  EXECUTIONFLAGS) {
  const TagLinks links = TagLinks::Of(tag);
  BaseContainer& data = links.TagData();
  if (links.camera) {
    const Bool protectedNow = links.camera->GetTag(Tprotection) != nullptr;
    if (data.GetBool(ORVEXTAG_PROTECT) != protectedNow) data.SetBool(ORVEXTAG_PROTECT, protectedNow);
    KeepCameraStereo(links.camera, IsStereoRender(tag));
  }
  KeepPadMap(data);
  UpdateAspect(tag);
  return EXECUTIONRESULT_OK;
}
