#include "camera_kinds.h"

#include "geometry/rotation.h"
#include "geometry/scalar_math.h"
#include "orvex360camvp/orvex360camvp_params.h"
#include "orvextag/orvextag_params.h"
#include "scene/object_params.h"

namespace {

constexpr Int32 kOrvexTagType = 1035138;

constexpr Int32 kEffectType = 1033675;

// What a kind's create command writes into the tag and does to the camera.
struct Preset {
  Int32 commandId = 0;  // 0: a plain camera without a tag
  Int32 projection = ORVEXTAG_PROJECTION_EQUIRECT;
  Int32 fisheyeType = -1;  // -1: left at the tag's value
  Float fisheyeFov = 0.0;  // 0: left at the tag's value
  Int32 stereoRig = 2;
  bool domePad = false;  // the XY pad shows the dome map
  Vector hpb;
  bool placed = false;  // the command puts the camera at `position` itself
  Vector position;
  Float focus = 0.0;  // 0: the camera's own focal length
  bool singleFace = false;
};

// The little planet angle of 315 degrees, formed in single precision as the command forms it.
const Float kLittlePlanetFov = static_cast<Float>(315.0f * 0.017453292f);

Preset FisheyeFamily(Int32 commandId, Int32 fisheyeType, Int32 stereoRig) {
  Preset preset;
  preset.commandId = commandId;
  preset.projection = ORVEXTAG_PROJECTION_FISHEYE;
  preset.fisheyeType = fisheyeType;
  preset.stereoRig = stereoRig;
  preset.domePad = true;
  preset.focus = 8.0;
  return preset;
}

Preset PresetOf(CameraKind kind) {
  Preset preset;
  switch (kind) {
    case CameraKind::Fulldome:
      preset = FisheyeFamily(1036701, ORVEXTAG_FISHEYE_TYPE_DOME, 2);
      preset.hpb = Vector(0.0, orvex::kHalfPi, 0.0);
      break;
    case CameraKind::Fisheye:
      preset = FisheyeFamily(1035136, ORVEXTAG_FISHEYE_TYPE_FISHEYE, 3);
      break;
    case CameraKind::LittlePlanet:
      preset = FisheyeFamily(1036687, ORVEXTAG_FISHEYE_TYPE_FISHEYE, 3);
      preset.fisheyeFov = kLittlePlanetFov;
      preset.hpb = Vector(0.0, -orvex::kHalfPi, 0.0);
      preset.placed = true;
      preset.position = Vector(0.0, 200.0, 0.0);
      break;
    case CameraKind::Panorama:
      preset.commandId = 1035137;
      break;
    case CameraKind::Cylindrical:
      preset.commandId = 1036297;
      preset.projection = ORVEXTAG_PROJECTION_CYLINDRICAL;
      break;
    case CameraKind::Cubemap:
    case CameraKind::CubeFace:
      preset.commandId = 1036110;
      preset.projection = ORVEXTAG_PROJECTION_CUBEMAP;
      preset.focus = 18.0;
      preset.singleFace = kind == CameraKind::CubeFace;
      break;
    case CameraKind::Plain:
      break;
  }
  return preset;
}

void WriteTagPreset(BaseTag& tag, const Preset& preset) {
  tag.SetParameter(DescID(ORVEXTAG_CAMERA_KIND), GeData(preset.commandId), DESCFLAGS_SET_0);
  BaseContainer& data = *tag.GetDataInstance();
  if (preset.fisheyeFov > 0.0) data.SetFloat(ORVEXTAG_FISHEYE_FOV, preset.fisheyeFov);
  data.SetInt32(ORVEXTAG_PROJECTION, preset.projection);
  if (preset.fisheyeType >= 0) data.SetInt32(ORVEXTAG_FISHEYE_TYPE, preset.fisheyeType);
  data.SetInt32(ORVEXTAG_STEREO_RIG, preset.stereoRig);
  if (preset.domePad) data.SetVector(ORVEXTAG_STEREO_DIRECTION_PAD, Vector(0.5, 0.5, 1.0));
}

// The one-face cubemap: the effect renders only the face the tag shows in the editor.
void UseSingleFace(BaseDocument* doc) {
  if (BaseVideoPost* effect = FindOrvexEffect(doc))
    effect->GetDataInstance()->SetInt32(ORVEXVP_CUBE_LAYOUT, 6);
}

}  // namespace

const std::vector<CameraKindInfo>& CameraKinds() {
  static const std::vector<CameraKindInfo> kinds = {
      {CameraKind::Fulldome, "fulldome", "180-degree fulldome master, looking up", 1024, 1024},
      {CameraKind::Fisheye, "fisheye", "180-degree fisheye, looking forward", 1024, 1024},
      {CameraKind::LittlePlanet, "little-planet", "315-degree fisheye looking down from above", 1024, 1024},
      {CameraKind::Panorama, "panorama", "full 360 x 180 equirectangular panorama", 2048, 1024},
      {CameraKind::Cylindrical, "cylindrical", "360-degree cylindrical panorama", 2048, 326},
      {CameraKind::Cubemap, "cubemap", "six cube faces in the effect's layout", 1536, 1152},
      {CameraKind::CubeFace, "cube-face", "one cube face (the front unless set otherwise)", 1024, 1024},
      {CameraKind::Plain, "plain", "an ordinary camera without a tag", 1280, 720},
  };
  return kinds;
}

const CameraKindInfo* FindCameraKind(const std::string& name) {
  for (const CameraKindInfo& info : CameraKinds())
    if (name == info.name) return &info;
  return nullptr;
}

std::string CameraKindNames() {
  std::string names;
  for (const CameraKindInfo& info : CameraKinds())
    names += (names.empty() ? "" : ", ") + std::string(info.name);
  return names;
}

BaseVideoPost* FindOrvexEffect(BaseDocument* doc) {
  RenderData* renderData = doc ? doc->GetActiveRenderData() : nullptr;
  for (BaseVideoPost* effect = renderData ? renderData->GetFirstVideoPost() : nullptr; effect;
       effect = effect->GetNext())
    if (effect->GetType() == kEffectType) return effect;
  return nullptr;
}

Matrix RotationFromHpb(const Vector& hpb) {
  return orvex::RotY(hpb.x) * orvex::RotX(hpb.y) * orvex::RotZ(hpb.z);
}

BaseObject* AddCamera(BaseDocument* doc, CameraKind kind, const Vector& position, std::string& error) {
  const Preset preset = PresetOf(kind);
  BaseObject* camera = BaseObject::Alloc(Ocamera);
  if (!camera) {
    error = "cannot create a camera";
    return nullptr;
  }
  doc->InsertObject(camera, nullptr);
  Matrix placement = RotationFromHpb(preset.hpb);
  placement.offset = preset.placed ? preset.position : position;
  camera->SetMl(placement);
  if (preset.focus > 0.0) camera->GetDataInstance()->SetFloat(CAMERAOBJECT_FOCUS, preset.focus);
  if (preset.commandId == 0) return camera;

  BaseTag* tag = BaseTag::Alloc(kOrvexTagType);
  if (!tag) {
    error = "cannot create the camera's Orvex360Cam tag: is the Orvex360Cam plugin loaded?";
    return nullptr;
  }
  camera->InsertTag(tag);
  WriteTagPreset(*tag, preset);
  if (preset.singleFace) UseSingleFace(doc);
  return camera;
}
