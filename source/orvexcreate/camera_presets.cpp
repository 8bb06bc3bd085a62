#include "orvexcreate/camera_presets.h"

#include "geometry/scalar_math.h"
#include "settings/orvextag_params.h"
#include "settings/plugin_ids.h"

namespace {
// 315 degrees formed in single precision, degrees times the single-precision pi / 180.
const Float kLittlePlanetFov = static_cast<Float>(315.0f * 0.017453292f);
const Vector kDomePad(0.5, 0.5, 1.0);
constexpr Float kFisheyeFocalLength = 8.0;

// The create commands, one row each, in menu order.
const CameraPreset kPresets[] = {
    {kCameraKindFulldome,
     10002,
     "orvextag_fish.tif",
     "Creating Fulldome camera",
     {},
     ORVEXTAG_PROJECTION_FISHEYE,
     ORVEXTAG_FISHEYE_TYPE_DOME,
     2,
     kDomePad,
     {},
     Vector(0.0, orvex::kHalfPi, 0.0),
     true,
     kFisheyeFocalLength},
    {kCameraKindFisheye,
     10003,
     "orvextag_fish.tif",
     "Creating Fisheye camera",
     {},
     ORVEXTAG_PROJECTION_FISHEYE,
     ORVEXTAG_FISHEYE_TYPE_FISHEYE,
     3,
     kDomePad,
     {},
     {},
     true,
     kFisheyeFocalLength},
    {kCameraKindPanorama,
     10005,
     "orvextag_pano.tif",
     "Creating 360 Panorama camera",
     {},
     ORVEXTAG_PROJECTION_EQUIRECT,
     {},
     2,
     {},
     {},
     {},
     false,
     {}},
    {kCameraKindCylindrical,
     10007,
     "orvextag_cylindrical.tif",
     "Creating Cylindrical camera",
     {},
     ORVEXTAG_PROJECTION_CYLINDRICAL,
     {},
     2,
     {},
     {},
     {},
     false,
     {}},
    {kCameraKindCubemap,
     10006,
     "orvextag_skybox.tif",
     "Creating Cubemap camera",
     {},
     ORVEXTAG_PROJECTION_CUBEMAP,
     {},
     2,
     {},
     {},
     {},
     false,
     18.0},
    {kCameraKindLittlePlanet, 10004, "orvextag_fish.tif", "Creating Little Planet camera", kLittlePlanetFov,
     ORVEXTAG_PROJECTION_FISHEYE, ORVEXTAG_FISHEYE_TYPE_FISHEYE, 3, kDomePad, Vector(0.0, 200.0, 0.0),
     Vector(0.0, -orvex::kHalfPi, 0.0), true, kFisheyeFocalLength},
};
}  // namespace

std::span<const CameraPreset> CameraPresets() { return kPresets; }

const CameraPreset* FindCameraPreset(Int32 commandId) {
  for (const CameraPreset& preset : kPresets)
    if (preset.commandId == commandId) return &preset;
  return nullptr;
}

void ApplyPreset(const CameraPreset& preset, BaseObject& camera, BaseTag& tag) {
  BaseContainer& data = *tag.GetDataInstance();
  tag.SetParameter(DescID(ORVEXTAG_CAMERA_KIND), GeData(preset.commandId), DESCFLAGS_SET_0);
  if (preset.fisheyeFov) data.SetFloat(ORVEXTAG_FISHEYE_FOV, *preset.fisheyeFov);
  data.SetInt32(ORVEXTAG_PROJECTION, preset.projection);
  if (preset.fisheyeType) data.SetInt32(ORVEXTAG_FISHEYE_TYPE, *preset.fisheyeType);
  data.SetInt32(ORVEXTAG_STEREO_RIG, preset.stereoRig);
  if (preset.directionPad) data.SetVector(ORVEXTAG_STEREO_DIRECTION_PAD, *preset.directionPad);

  if (preset.position) camera.SetRelPos(*preset.position);
  if (preset.rotation) camera.SetRelRot(*preset.rotation);
  if (preset.sendUpdate) camera.Message(MSG_UPDATE);
  if (preset.focalLength) static_cast<CameraObject&>(camera).SetFocus(*preset.focalLength);
}
