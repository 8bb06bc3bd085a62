#include "camera_kinds.h"

#include "description_symbols.h"
#include "module_nodes.h"
#include "module_parameters.h"
#include "runtime/plugin_registry.h"

namespace {

// The one-face cubemap: the effect renders only the face the tag shows in the editor.
void UseSingleFace(BaseDocument* doc) {
  BaseVideoPost* effect = FindOrvexEffect(doc);
  const Int32 layout = EffectParameter(effect_parameter::kCubeLayout);
  const Int32 singleFace = CycleValue(EffectType(), effect_parameter::kCubeLayout, "Single face");
  if (effect && layout != kUnknownSymbol && singleFace != kUnknownSymbol)
    effect->GetDataInstance()->SetInt32(layout, singleFace);
}

BaseObject* AddPlainCamera(BaseDocument* doc, const Vector& position, std::string& error) {
  BaseObject* camera = BaseObject::Alloc(Ocamera);
  if (!camera) {
    error = "cannot create a camera";
    return nullptr;
  }
  doc->InsertObject(camera, nullptr);
  camera->SetRelPos(position);
  return camera;
}

}  // namespace

const std::vector<CameraKindInfo>& CameraKinds() {
  static const std::vector<CameraKindInfo> kinds = {
      {CameraKind::Fulldome, "fulldome", "Fulldome", "180-degree fulldome master, looking up", 1024, 1024},
      {CameraKind::Fisheye, "fisheye", "Fisheye", "180-degree fisheye, looking forward", 1024, 1024},
      {CameraKind::LittlePlanet, "little-planet", "Little Planet",
       "315-degree fisheye looking down from above", 1024, 1024},
      {CameraKind::Panorama, "panorama", "360 Panorama", "full 360 x 180 equirectangular panorama", 2048,
       1024},
      {CameraKind::Cylindrical, "cylindrical", "Cylindrical", "360-degree cylindrical panorama", 2048, 326},
      {CameraKind::Cubemap, "cubemap", "Cubemap", "six cube faces in the effect's layout", 1536, 1152},
      {CameraKind::CubeFace, "cube-face", "Cubemap", "one cube face (the front unless set otherwise)", 1024,
       1024},
      {CameraKind::Plain, "plain", nullptr, "an ordinary camera without a tag", 1280, 720},
  };
  return kinds;
}

Int32 CreateCommandOf(const CameraKindInfo& info) {
  return info.createdAs ? CycleValue(CameraTagType(), tag_parameter::kCameraKind, info.createdAs) : 0;
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
    if (effect->GetType() == EffectType()) return effect;
  return nullptr;
}

BaseObject* AddCamera(BaseDocument* doc, CameraKind kind, const Vector& position, std::string& error) {
  const CameraKindInfo* info = nullptr;
  for (const CameraKindInfo& candidate : CameraKinds())
    if (candidate.kind == kind) info = &candidate;
  if (!info || !info->createdAs) return AddPlainCamera(doc, position, error);

  const Int32 command = CreateCommandOf(*info);
  if (command == kUnknownSymbol || !ExecuteCommand(command, doc)) {
    error = "the module's create command " +
            (command == kUnknownSymbol ? std::string() : std::to_string(command) + " ") + "for a " +
            info->name + " camera failed (see the console): is the Orvex360Cam plugin loaded?";
    return nullptr;
  }
  BaseObject* camera = doc->GetFirstObject();
  if (camera->GetRelPos() == Vector()) camera->SetRelPos(position);
  if (kind == CameraKind::CubeFace) UseSingleFace(doc);
  return camera;
}
