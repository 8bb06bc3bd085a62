#include "cli_context.h"
#include "files/atomic_file.h"
#include "gltf_scene.h"
#include "image/image_output.h"
#include "module_reading/camera_kinds.h"
#include "module_reading/module_nodes.h"
#include "option_checks.h"
#include "option_values.h"
#include "paint/view_pass.h"
#include "runtime/attribute_manager.h"
#include "scene/gltf_file.h"
#include "scene/scene_library.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>

// `orvex360 view`: the editor view of a scene with the tagged camera's guides, as a PNG.

namespace {

constexpr Int32 kMaxViewSide = 32768;
// Where the editor camera stands, seen from the tagged camera, when no --from is given.
const Vector kDefaultViewOffset(220.0, 160.0, -260.0);

struct ViewArguments {
  std::string scene = "demo";
  std::string camera = "fulldome";
  std::vector<std::string> assignments;
  std::string from;
  std::string lookAt;
  bool throughCamera = false;
  std::string size = "1280x720";
  std::string output = "orvex360-view.png";
  std::string drawLog;
};

struct ViewJob {
  BaseDocument* doc = nullptr;
  BaseObject* camera = nullptr;

  ViewJob() = default;
  ViewJob(const ViewJob&) = delete;
  ViewJob& operator=(const ViewJob&) = delete;
  ~ViewJob() { BaseDocument::Free(doc); }
};

// "A,B,C" or "AxB": finite numbers only.
std::vector<Float> ParseFinite(const std::string& text, char separator) {
  std::vector<Float> values;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(separator, start);
    const std::string part = text.substr(start, end - start);
    size_t used = 0;
    Float value = 0.0;
    try {
      value = std::stod(part, &used);
    } catch (const std::exception&) {
      return {};
    }
    if (used != part.size() || !std::isfinite(value)) return {};
    values.push_back(value);
    if (end == std::string::npos) return values;
    start = end + 1;
  }
}

std::optional<Vector> ParsePoint(const std::string& text, const char* option, std::string& error) {
  const std::vector<Float> xyz = ParseFinite(text, ',');
  if (xyz.size() == 3) return Vector(xyz[0], xyz[1], xyz[2]);
  error = std::string(option) + " takes X,Y,Z in scene units (finite numbers), not \"" + text + "\"";
  return std::nullopt;
}

bool ApplySize(const std::string& text, BaseDraw* view, std::string& error) {
  const std::vector<Float> size = ParseFinite(text, 'x');
  if (size.size() != 2 || size[0] < 1 || size[1] < 1 || size[0] > kMaxViewSide || size[1] > kMaxViewSide ||
      size[0] != std::floor(size[0]) || size[1] != std::floor(size[1])) {
    error = "--size takes WIDTHxHEIGHT in whole pixels from 1 to " + std::to_string(kMaxViewSide) +
            ", not \"" + text + "\"";
    return false;
  }
  view_pass::SetViewSize(view, static_cast<Int32>(size[0]), static_cast<Int32>(size[1]));
  return true;
}

// NAME=VALUE for a parameter of the tag or of the effect.
bool ApplyParameter(const ViewJob& job, const std::string& assignment, std::string& error) {
  const size_t equals = assignment.find('=');
  const std::string name = assignment.substr(0, equals);
  BaseTag* tag = CameraTagOf(job.camera);
  BaseList2D* effect = FindOrvexEffect(job.doc);
  for (BaseList2D* node : {static_cast<BaseList2D*>(tag), effect})
    if (node && equals != std::string::npos && attribute_manager::HasParameter(node, name))
      return attribute_manager::SetByName(node, assignment, error);
  error = "--set takes NAME=VALUE for a tag or effect parameter; nothing is named \"" + name + "\"";
  return false;
}

// Where the editor camera stands and what it looks at: --from and --look-at, else beside the camera.
bool PlaceEditorCamera(const ViewArguments& arguments, const ViewJob& job, BaseDraw* view,
                       std::string& error) {
  const Vector cameraPosition = job.camera->GetMg().offset;
  std::optional<Vector> from = cameraPosition + kDefaultViewOffset;
  std::optional<Vector> target = cameraPosition;
  if (!arguments.from.empty()) from = ParsePoint(arguments.from, "--from", error);
  if (!arguments.lookAt.empty()) target = ParsePoint(arguments.lookAt, "--look-at", error);
  if (!from || !target) return false;
  Matrix placement;
  if (!view_pass::LookAt(*from, *target, placement)) {
    error = "--from and --look-at must name two different points";
    return false;
  }
  view_pass::SetEditorCamera(view, placement, paint::ViewCamera().horizontalFov);
  // A scene file links its camera for renders; the editor view looks through it only when asked.
  view->SetSceneCamera(arguments.throughCamera ? job.camera : nullptr);
  return true;
}

bool PrepareView(const ViewArguments& arguments, ViewJob& job, std::string& error) {
  const CameraKindInfo* kind = FindCameraKind(arguments.camera);
  if (!kind) {
    error = "there is no camera kind \"" + arguments.camera + "\"; the kinds are: " + CameraKindNames();
    return false;
  }
  job.doc = scene_library::NewDocument();
  BaseDraw* view = job.doc ? job.doc->GetActiveBaseDraw() : nullptr;
  if (!view) {
    error = "cannot create a document with a view";
    return false;
  }
  if (gltf_file::HasGltfSuffix(arguments.scene)) {
    GltfRenderCamera sceneCamera;
    if (!PrepareGltfScene(arguments.scene, "", *kind, job.doc, sceneCamera, error)) return false;
    job.camera = sceneCamera.camera;
  } else {
    if (!scene_library::Build(arguments.scene, job.doc, error)) return false;
    job.camera = AddCamera(job.doc, kind->kind, scene_library::Viewpoint(arguments.scene), error);
  }
  if (!job.camera) return false;
  for (const std::string& assignment : arguments.assignments)
    if (!ApplyParameter(job, assignment, error)) return false;
  return ApplySize(arguments.size, view, error) && PlaceEditorCamera(arguments, job, view, error);
}

bool WriteDrawLog(const std::string& path, const std::vector<std::string>& lines, std::string& error) {
  std::vector<unsigned char> bytes;
  for (const std::string& line : lines) {
    bytes.insert(bytes.end(), line.begin(), line.end());
    bytes.push_back('\n');
  }
  return atomic_file::Write(path, bytes, error);
}

int RunView(const ViewArguments& arguments) {
  ViewJob job;
  std::string error;
  std::vector<std::string> log;
  FloatImage image;
  const bool done = image_output::CheckWritable(arguments.output, error) &&
                    PrepareView(arguments, job, error) &&
                    view_pass::Redraw(job.doc, image, arguments.drawLog.empty() ? nullptr : &log, error) &&
                    image_output::Write(image, arguments.output, error) &&
                    (arguments.drawLog.empty() || WriteDrawLog(arguments.drawLog, log, error));
  if (!done) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return 1;
  }
  std::printf("orvex360: wrote %s (%d x %d)\n", std::filesystem::absolute(arguments.output).c_str(),
              image.width, image.height);
  return 0;
}

}  // namespace

CliCommand AddViewCommand(CLI::App& parent) {
  CLI::App* view =
      parent.add_subcommand("view", "Draw the editor view: the scene and the camera tag's guides");
  auto arguments = std::make_shared<ViewArguments>();
  view->add_option("scene", arguments->scene, "Scene: " + scene_library::Names() + ", or a glTF 2.0 file")
      ->capture_default_str();
  view->add_option("-c,--camera", arguments->camera, "Camera kind: " + CameraKindNames())
      ->capture_default_str()
      ->check(option_values::CameraKindName());
  view->add_option("--set", arguments->assignments, "NAME=VALUE for a tag or effect parameter; repeatable")
      ->allow_extra_args(false);
  view->add_option("--from", arguments->from, "Editor camera position X,Y,Z (default: beside the camera)")
      ->check(NotEmpty())
      ->check(option_values::Point());
  view->add_option("--look-at", arguments->lookAt, "Point the editor camera looks at (default: the camera)")
      ->check(NotEmpty())
      ->check(option_values::Point());
  view->add_flag("--through-camera", arguments->throughCamera, "Look through the tagged camera itself");
  view->add_option("-s,--size", arguments->size, "View size WIDTHxHEIGHT")
      ->capture_default_str()
      ->check(NotEmpty())
      ->check(option_values::ViewSize(kMaxViewSide));
  view->add_option("-o,--output", arguments->output, "Image file (.png .exr .jpg .tif)")
      ->capture_default_str()
      ->check(NotEmpty());
  view->add_option("--draw-log", arguments->drawLog, "Text file listing every drawing call in order")
      ->check(NotEmpty());
  return {view, [arguments](CliContext&) { return RunView(*arguments); }};
}
