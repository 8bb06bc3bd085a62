#include "camera_kinds.h"

#include "module_nodes.h"
#include "runtime/description_symbols.h"
#include "runtime/plugin_registry.h"

namespace {

// The one-face cubemap: the effect renders only the face the tag shows in the editor.
void UseSingleFace(BaseDocument* doc) {
  BaseVideoPost* effect = FindOrvexEffect(doc);
  const Int32 layout = EffectParameter("ORVEXVP_CUBE_LAYOUT");
  const Int32 singleFace = CycleValue(EffectType(), "ORVEXVP_CUBE_LAYOUT", "Single face");
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
      {CameraKind::Fulldome, "fulldome", 1036701, "180-degree fulldome master, looking up", 1024, 1024},
      {CameraKind::Fisheye, "fisheye", 1035136, "180-degree fisheye, looking forward", 1024, 1024},
      {CameraKind::LittlePlanet, "little-planet", 1036687, "315-degree fisheye looking down from above", 1024,
       1024},
      {CameraKind::Panorama, "panorama", 1035137, "full 360 x 180 equirectangular panorama", 2048, 1024},
      {CameraKind::Cylindrical, "cylindrical", 1036297, "360-degree cylindrical panorama", 2048, 326},
      {CameraKind::Cubemap, "cubemap", 1036110, "six cube faces in the effect's layout", 1536, 1152},
      {CameraKind::CubeFace, "cube-face", 1036110, "one cube face (the front unless set otherwise)", 1024,
       1024},
      {CameraKind::Plain, "plain", 0, "an ordinary camera without a tag", 1280, 720},
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
    if (effect->GetType() == EffectType()) return effect;
  return nullptr;
}

BaseObject* AddCamera(BaseDocument* doc, CameraKind kind, const Vector& position, std::string& error) {
  const CameraKindInfo* info = nullptr;
  for (const CameraKindInfo& candidate : CameraKinds())
    if (candidate.kind == kind) info = &candidate;
  if (!info || info->commandId == 0) return AddPlainCamera(doc, position, error);

  if (!ExecuteCommand(info->commandId, doc)) {
    error = "the module's create command " + std::to_string(info->commandId) + " for a " + info->name +
            " camera failed (see the console): is the Orvex360Cam plugin loaded?";
    return nullptr;
  }
  BaseObject* camera = doc->GetFirstObject();
  if (camera->GetRelPos() == Vector()) camera->SetRelPos(position);
  if (kind == CameraKind::CubeFace) UseSingleFace(doc);
  return camera;
}
