#include "gltf_scene.h"

#include "runtime/object_params.h"
#include "scene/gltf_import.h"

#include <cstdio>

namespace {

const GltfScene::Camera* ChooseCamera(const GltfScene& scene, const std::string& choice, std::string& error) {
  if (choice.empty()) return scene.cameras.empty() ? nullptr : &scene.cameras.front();
  for (const GltfScene::Camera& camera : scene.cameras)
    if (camera.name == choice) return &camera;
  if (choice.find_first_not_of("0123456789") == std::string::npos && choice.size() < 9) {
    const size_t index = std::stoul(choice);
    if (index < scene.cameras.size()) return &scene.cameras[index];
  }
  std::string names;
  for (size_t i = 0; i < scene.cameras.size(); ++i)
    names += (i ? ", " : "") + std::to_string(i) + " \"" + scene.cameras[i].name + "\"";
  error = "the scene has no camera \"" + choice + "\"; " +
          (names.empty() ? std::string("it has no cameras") : "its cameras are: " + names);
  return nullptr;
}

// The module's camera, made the way the CLI makes every camera, then moved onto the scene camera:
// it keeps the kind's own turn (a dome looks up from the scene camera's view) and follows the
// scene camera wherever it is animated.
BaseObject* MountCamera(BaseDocument* doc, const CameraKindInfo& kind, BaseObject* sceneCamera,
                        std::string& error) {
  BaseObject* camera = AddCamera(doc, kind.kind, Vector(), error);
  if (!camera || !sceneCamera) return camera;
  Matrix turn = camera->GetMl();
  turn.offset = Vector();
  camera->Remove();
  camera->InsertUnder(sceneCamera);
  camera->SetMl(turn);
  if (kind.kind == CameraKind::Plain) {
    // An ordinary camera shows what the scene camera's lens shows.
    const BaseContainer& lens = *sceneCamera->GetDataInstance();
    camera->GetDataInstance()->SetFloat(CAMERAOBJECT_FOCUS, lens.GetFloat(CAMERAOBJECT_FOCUS, 36.0));
    camera->GetDataInstance()->SetFloat(CAMERAOBJECT_APERTURE, lens.GetFloat(CAMERAOBJECT_APERTURE, 36.0));
  }
  return camera;
}

// A camera collapsed by a scale of 0 (its node's or a parent's) looks along no direction: every ray
// it makes is a zero vector and the image is empty.
bool CameraCanSee(const GltfScene::Camera& camera, std::string& error) {
  const Matrix world = camera.object->GetMg();
  if (world.axisX.GetLength() > 0.0 && world.axisY.GetLength() > 0.0 && world.axisZ.GetLength() > 0.0)
    return true;
  error = "the camera \"" + camera.name +
          "\" has a scale of 0 (its node's or a parent's) and would see nothing; render through another "
          "camera (--scene-camera) or give it a scale";
  return false;
}

}  // namespace

bool PrepareGltfScene(const std::string& path, const std::string& choice, const CameraKindInfo& kind,
                      BaseDocument* doc, GltfRenderCamera& result, std::string& error,
                      gltf_convention::LightUnits lightUnits) {
  GltfScene scene;
  if (!ImportGltf(path, doc, scene, error, lightUnits)) return false;
  size_t start = 0;
  for (size_t end; (end = scene.warnings.find('\n', start)) != std::string::npos; start = end + 1)
    std::fprintf(stderr, "orvex360: warning: %s: %s\n", path.c_str(),
                 scene.warnings.substr(start, end - start).c_str());
  const GltfScene::Camera* chosen = ChooseCamera(scene, choice, error);
  if ((!chosen && !choice.empty()) || (chosen && !CameraCanSee(*chosen, error))) {
    error = path + ": " + error;
    return false;
  }
  result.camera = MountCamera(doc, kind, chosen ? chosen->object : nullptr, error);
  if (!result.camera) return false;
  result.aspect = chosen ? chosen->aspect : 0.0;
  // The render and the module look through this camera, not the first one the scene holds.
  if (BaseDraw* view = doc->GetRenderBaseDraw()) view->SetSceneCamera(result.camera);
  return true;
}
