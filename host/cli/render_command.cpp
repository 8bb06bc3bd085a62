#include <numbers>
#include "check_summary.h"
#include "cli_context.h"
#include "comfort_report.h"
#include "command_files.h"
#include "dome_tilt.h"
#include "files/source_date.h"
#include "gltf_scene.h"
#include "image/image_output.h"
#include "light_options.h"
#include "module_reading/camera_kinds.h"
#include "module_reading/description_symbols.h"
#include "module_reading/module_nodes.h"
#include "module_reading/module_parameters.h"
#include "module_reading/output_metadata.h"
#include "option_checks.h"
#include "option_values.h"
#include "overlay_options.h"
#include "panorama_aspect.h"
#include "project/render_project.h"
#include "project/render_settings_record.h"
#include "render/progress_bar.h"
#include "render/renderer.h"
#include "render_output.h"
#include "runtime/attribute_manager.h"
#include "runtime/console.h"
#include "scene/gltf_file.h"
#include "scene/scene_library.h"
#include "stereo_options.h"
#include "video_render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>

namespace {

struct RenderArguments {
  std::string scene = "demo";
  std::string camera = "fulldome";
  std::string sceneCamera;  // a glTF scene's camera by name or index
  std::string size;
  Int32 samples = 4;
  std::string environment;
  std::vector<std::string> assignments;
  std::string rotation;
  std::string tilt;  // --tilt in degrees; empty: none
  std::string frames;
  std::string output;
  bool editor = false;
  std::string stereo;  // "on", "off" or empty: as the render settings have it
  Int32 threads = 0;
  std::shared_ptr<StereoOptions> stereoOptions = std::make_shared<StereoOptions>();
  std::string documentName;  // empty: the scene's name
  std::string documentFrames;
  std::string overlays;     // --overlays; empty: as the effect or the project holds them
  std::string project;      // a project file to start from
  std::string saveProject;  // where the render's project file goes
  std::optional<project_file::Project> loaded;
  bool checkOnly = false;  // check the options and the scene, render nothing
  std::string comfort;     // where the stereo comfort report goes
  bool quiet = false;      // no progress bar
  bool verbose = false;    // the module's console lines of every frame too
  std::shared_ptr<VideoOptions> video = std::make_shared<VideoOptions>();
  std::shared_ptr<LightOptions> light = std::make_shared<LightOptions>();
};

// A render: its document, the camera kind and where the frames go.
struct RenderJob {
  BaseDocument* doc = nullptr;
  const CameraKindInfo* kind = nullptr;
  BaseObject* camera = nullptr;
  RenderOptions options;
  std::string output;

  RenderJob() = default;
  RenderJob(const RenderJob&) = delete;
  RenderJob& operator=(const RenderJob&) = delete;
  ~RenderJob() { BaseDocument::Free(doc); }
};

bool ParseSize(const std::string& text, RenderData& renderData, std::string& error) {
  const std::optional<option_values::Size> size = option_values::SizeOf(text);
  if (!size) {
    error = "--size takes WIDTHxHEIGHT, e.g. 1024x1024, not \"" + text + "\"";
    return false;
  }
  if (!CheckRenderSetting(RDATA_XRES, GeData(size->width), error) ||
      !CheckRenderSetting(RDATA_YRES, GeData(size->height), error))
    return false;
  renderData.GetDataInstance()->SetFloat(RDATA_XRES, size->width);
  renderData.GetDataInstance()->SetFloat(RDATA_YRES, size->height);
  return true;
}

bool ParseFrames(const std::string& text, BaseDocument& doc, Float fps, RenderOptions& options,
                 std::string& error) {
  if (text.empty()) {
    options.firstFrame = options.lastFrame = doc.GetTime().GetFrame(fps);
    return true;
  }
  const std::optional<option_values::Frames> frames = option_values::FramesOf(text);
  if (!frames) {
    error = "--frames takes a frame (5), a range (0-10) or \"all\", not \"" + text + "\"";
    return false;
  }
  options.firstFrame = frames->first.value_or(doc.GetMinTime().GetFrame(fps));
  options.lastFrame = frames->last.value_or(doc.GetMaxTime().GetFrame(fps));
  return true;
}

bool ParseRotation(const std::string& text, BaseObject& camera, std::string& error) {
  const std::vector<Float> degrees = option_values::NumberList(text, ',');
  if (degrees.size() != 3) {
    error = "--rotate takes heading,pitch,bank in degrees, e.g. 30,0,0, not \"" + text + "\"";
    return false;
  }
  camera.SetRelRot(Vector(degrees[0], degrees[1], degrees[2]) * (std::numbers::pi / 180.0));
  return true;
}

bool SetRenderSetting(RenderData& renderData, const RenderSettingName& setting, const std::string& value,
                      std::string& error) {
  BaseContainer& data = *renderData.GetDataInstance();
  if (setting.id == RDATA_STEREO) {
    const bool on = value == "1" || value == "true" || value == "on";
    if (!on && value != "0" && value != "false" && value != "off") {
      error = "stereo takes on or off (1 or 0), not \"" + value + "\"";
      return false;
    }
    data.SetBool(RDATA_STEREO, on);
    return true;
  }
  const std::optional<Float> number = option_values::Number(value);
  if (!number) {
    error = std::string(setting.name) + " takes a number, not \"" + value + "\"";
    return false;
  }
  if (!CheckRenderSetting(setting.id, GeData(*number), error)) return false;
  data.SetFloat(setting.id, *number);
  return true;
}

// NAME=VALUE for a render setting, a tag parameter or an effect parameter, in that order.
bool ApplyAssignment(RenderJob& job, const std::string& assignment, std::string& error) {
  const size_t equals = assignment.find('=');
  if (equals == std::string::npos || equals == 0) {
    error = "--set takes NAME=VALUE, not \"" + assignment + "\"";
    return false;
  }
  const std::string name = assignment.substr(0, equals);
  for (const RenderSettingName& setting : kRenderSettingNames)
    if (name == setting.name)
      return SetRenderSetting(*job.doc->GetActiveRenderData(), setting, assignment.substr(equals + 1), error);

  BaseTag* tag = CameraTagOf(job.camera);
  BaseList2D* effect = FindOrvexEffect(job.doc);
  if (tag && attribute_manager::HasParameter(tag, name))
    return attribute_manager::SetByName(tag, assignment, error);
  if (effect && attribute_manager::HasParameter(effect, name))
    return attribute_manager::SetByName(effect, assignment, error);
  std::string nearest;
  if (BaseList2D* node = tag ? static_cast<BaseList2D*>(tag) : effect)
    attribute_manager::SetByName(node, assignment, nearest);
  error = "no render setting (width, height, fps, stereo), tag or effect parameter is named \"" + name +
          "\"" + (nearest.empty() ? "" : "; " + nearest);
  return false;
}

// The document's name and time range (in frames at the render's frame rate), as the overlays print them.
bool ApplyDocumentFacts(const std::string& name, const std::string& frames, Float fps, BaseDocument& doc,
                        std::string& error) {
  doc.SetParameter(DescID(DOCUMENT_NAME), GeData(Filename(String(name))), DESCFLAGS_SET_0);
  if (frames.empty()) return true;
  const std::optional<option_values::Frames> range = option_values::RangeOf(frames);
  if (!range) {
    error = "--document-frames takes FIRST-LAST with FIRST <= LAST, e.g. 0-250, not \"" + frames + "\"";
    return false;
  }
  doc.SetParameter(DescID(DOCUMENT_MINTIME), GeData(BaseTime(*range->first, fps)), DESCFLAGS_SET_0);
  doc.SetParameter(DescID(DOCUMENT_MAXTIME), GeData(BaseTime(*range->last, fps)), DESCFLAGS_SET_0);
  return true;
}

// What the overlays print as the document's name: --document-name, else the scene's name (a scene
// file's name without its folder and suffix: the scene, not the file it came in).
std::string DocumentName(const RenderArguments& arguments) {
  if (!arguments.documentName.empty()) return arguments.documentName;
  return std::filesystem::path(arguments.scene).stem().string();
}

std::string DefaultOutput(const CameraKindInfo& kind) {
  return std::string("orvex360-") + kind.name + ".png";
}

// Builds the document and applies every option; false with `error` before any rendering.
bool PrepareJob(const RenderArguments& arguments, RenderJob& job, std::string& error) {
  if (!CheckSourceDateEpoch(error)) return false;
  job.kind = FindCameraKind(arguments.camera);
  if (!job.kind) {
    error = "there is no camera kind \"" + arguments.camera + "\"; the kinds are: " + CameraKindNames();
    return false;
  }
  job.output = arguments.output.empty() ? DefaultOutput(*job.kind) : arguments.output;
  if (!CheckRenderOutput(job.output, error)) return false;

  job.doc = scene_library::NewDocument();
  if (!job.doc) {
    error = "cannot create a document";
    return false;
  }
  GltfRenderCamera sceneCamera;
  if (gltf_file::HasGltfSuffix(arguments.scene)) {
    if (!PrepareGltfScene(arguments.scene, arguments.sceneCamera, *job.kind, job.doc, sceneCamera, error,
                          LightUnitsOf(*arguments.light)))
      return false;
    job.camera = sceneCamera.camera;
  } else {
    if (!arguments.sceneCamera.empty()) {
      error = "--scene-camera chooses a camera of a glTF scene (.gltf or .glb)";
      return false;
    }
    if (!scene_library::Build(arguments.scene, job.doc, error)) return false;
    job.camera = AddCamera(job.doc, job.kind->kind, scene_library::Viewpoint(arguments.scene), error);
    if (!job.camera) return false;
  }

  RenderData& renderData = *job.doc->GetActiveRenderData();
  renderData.GetDataInstance()->SetFloat(RDATA_XRES, job.kind->width);
  renderData.GetDataInstance()->SetFloat(RDATA_YRES, job.kind->height);
  // An ordinary camera renders at its scene camera's aspect.
  if (job.kind->kind == CameraKind::Plain && sceneCamera.aspect > 0.0)
    renderData.GetDataInstance()->SetFloat(RDATA_YRES,
                                           std::max(1.0, std::round(job.kind->width / sceneCamera.aspect)));
  if (arguments.loaded && !ApplyNodes(*arguments.loaded, job.doc, job.camera, error)) return false;
  if (!ApplyOverlayChoice(arguments.overlays, job.doc, error)) return false;
  if (!arguments.size.empty() && !ParseSize(arguments.size, renderData, error)) return false;
  if (!arguments.rotation.empty() && !ParseRotation(arguments.rotation, *job.camera, error)) return false;
  if (!ApplyTilt(arguments.tilt, *job.kind, *job.camera, error)) return false;
  if (!arguments.stereo.empty() && !ApplyAssignment(job, "stereo=" + arguments.stereo, error)) return false;
  if (!ApplyStereoOptions(*arguments.stereoOptions, job.doc, job.camera, error)) return false;
  // Explicit assignments last, so that they win.
  for (const std::string& assignment : arguments.assignments)
    if (!ApplyAssignment(job, assignment, error)) return false;

  const Float fps = renderData.GetDataInstance()->GetFloat(RDATA_FRAMERATE);
  if (!ApplyDocumentFacts(DocumentName(arguments), arguments.documentFrames, fps, *job.doc, error))
    return false;
  if (!ParseFrames(arguments.frames, *job.doc, fps, job.options, error)) return false;
  job.options.editor = arguments.editor;
  job.options.samples = arguments.samples;
  job.options.environment = arguments.environment;
  job.options.threads = arguments.threads;
  job.options.progress = !arguments.quiet;  // a bar on a terminal, else lines once a render takes long
  job.options.frameLines = !StderrIsTerminal() && !arguments.quiet;
  return ApplyLightOptions(*arguments.light, job.output, job.options, error);
}

// Whether the camera renders a cube, which the cubemap options lay out.
bool HasCube(const RenderJob& job) {
  const BaseTag* tag = CameraTagOf(job.camera);
  const Int32 cubemap = CycleValue(CameraTagType(), tag_parameter::kProjection, "Cubemap");
  return tag && cubemap != kUnknownSymbol &&
         tag->GetDataInstance()->GetInt32(TagParameter(tag_parameter::kProjection)) == cubemap;
}

// The project's settings, then every option the command line gives explicitly over them.
void UseProject(const project_file::Project& project, const CLI::App& app, RenderArguments& arguments) {
  const auto unlessGiven = [&app](const char* option, auto& field, const auto& value) {
    if (app.count(option) == 0) field = value;
  };
  unlessGiven("scene", arguments.scene, project.scene);
  unlessGiven("--scene-camera", arguments.sceneCamera, project.sceneCamera);
  unlessGiven("--camera", arguments.camera, project.camera);
  unlessGiven("--rotate", arguments.rotation, project.rotation);
  unlessGiven("--frames", arguments.frames, project.frames);
  unlessGiven("--output", arguments.output, project.output);
  unlessGiven("--samples", arguments.samples, project.samples);
  unlessGiven("--env", arguments.environment, project.environment);
  unlessGiven("--editor", arguments.editor, project.editor);
  unlessGiven("--threads", arguments.threads, project.threads);
  unlessGiven("--document-name", arguments.documentName, project.documentName);
  unlessGiven("--document-frames", arguments.documentFrames, project.documentFrames);
  unlessGiven("--video-codec", arguments.video->codec, project.videoCodec);
  unlessGiven("--video-quality", arguments.video->quality, project.videoQuality);
  UseProjectLight({project.lightUnits, project.bounces, project.exposure, project.viewTransform}, app,
                  *arguments.light);
  arguments.loaded = project;
}

// Everything that defines the prepared render, with the names and paths it was made with.
project_file::Project ProjectOf(const RenderArguments& arguments, const RenderJob& job) {
  project_file::Project project;
  project.scene = arguments.scene;
  project.sceneCamera = arguments.sceneCamera;
  project.camera = job.kind->name;
  project.rotation = arguments.tilt.empty() ? arguments.rotation : RotationText(*job.camera);
  project.frames = arguments.frames;
  project.output = job.output;
  project.samples = arguments.samples;
  project.environment = arguments.environment;
  project.editor = arguments.editor;
  project.threads = arguments.threads;
  project.documentName = DocumentName(arguments);
  project.documentFrames = arguments.documentFrames;
  project.videoCodec = arguments.video->codec;
  project.videoQuality = arguments.video->quality;
  project.lightUnits = arguments.light->lightUnits;
  project.bounces = arguments.light->bounces;
  project.exposure = arguments.light->exposure;
  project.viewTransform = arguments.light->view;
  CaptureNodes(job.doc, job.camera, project);
  return project;
}

// Every file the render writes, frame by frame, and the files it reads that none may replace.
std::vector<CommandFile> FilesOf(const RenderArguments& arguments, const RenderJob& job,
                                 const ComfortReporter& comfort) {
  const auto always = [](const std::string& path) { return [path](Int32) { return path; }; };
  const bool numbered = job.options.lastFrame > job.options.firstFrame;
  std::vector<CommandFile> files = {
      {"--output",
       [&job, numbered](Int32 frame) {
         // A video is one file however many frames it holds.
         return video_output::IsVideoPath(job.output) ? job.output
                                                      : image_output::FramePath(job.output, frame, numbered);
       }},
      {"--save-project", always(arguments.saveProject)},
      {"--env", always(arguments.environment), true},
      {"--separation-map", always(arguments.stereoOptions->separationMap), true}};
  if (!arguments.comfort.empty()) {
    files.push_back({"--comfort", [&comfort](Int32 frame) { return comfort.ReportPath(frame); }});
    files.push_back(
        {"--comfort's heat map", [&comfort](Int32 frame) { return comfort.HeatMapPathAt(frame); }});
    files.push_back({"--comfort's shot summary", always(comfort.ShotPath())});
  }
  // Saving a project over the one it started from is how a project is updated.
  if (!SameFile(arguments.project, arguments.saveProject))
    files.push_back({"--project", always(arguments.project), true});
  return files;
}

// Every check the render makes before it writes anything, the same for --check and for the render:
// the comfort report's path, outputs that would replace each other or an input, and the renderer's
// own checks of the settings, the memory and the environment image.
bool CheckJob(const RenderArguments& arguments, RenderJob& job, ComfortReporter& comfort,
              std::string& error) {
  return (arguments.comfort.empty() || comfort.Prepare(job.doc, job.camera, job.options, error)) &&
         CheckFilesApart(FilesOf(arguments, job, comfort), job.options.firstFrame, job.options.lastFrame,
                         error) &&
         CheckRender(job.doc, job.options, error);
}

int RunRender(RenderArguments arguments, const CLI::App& app) {
  RenderJob job;
  std::string error;
  ProjectSchemas schemas;
  const bool usesProjects = !arguments.project.empty() || !arguments.saveProject.empty();
  if (usesProjects && !schemas.Load(error)) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return 1;
  }
  if (!arguments.project.empty()) {
    project_file::Project project;
    if (!project_file::Load(arguments.project, schemas.Get(), project, error)) {
      std::fprintf(stderr, "orvex360: %s\n", error.c_str());
      return 1;
    }
    UseProject(project, app, arguments);
  }
  if (!PrepareJob(arguments, job, error)) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return 1;
  }
  const bool numbered = job.options.lastFrame > job.options.firstFrame;
  ComfortReporter comfort(arguments.comfort, job.output, numbered);
  if (!CheckJob(arguments, job, comfort, error) ||
      (!arguments.saveProject.empty() &&
       !project_file::Save(ProjectOf(arguments, job), schemas.Get(), arguments.saveProject, error))) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return 1;
  }
  if (const std::string unused = StereoOnlyOptions(*arguments.stereoOptions);
      !unused.empty() && !job.doc->GetActiveRenderData()->GetDataInstance()->GetBool(RDATA_STEREO))
    std::fprintf(stderr, "orvex360: %s: no effect without stereo (--stereo on)\n", unused.c_str());
  if (const std::string unused = CubeOnlyOptions(*arguments.stereoOptions); !unused.empty() && !HasCube(job))
    std::fprintf(stderr, "orvex360: %s: no effect without a cube (-c cubemap or cube-face)\n",
                 unused.c_str());
  if (const std::string unused = GivenVideoOptions(app);
      !unused.empty() && !video_output::IsVideoPath(job.output))
    std::fprintf(stderr, "orvex360: %s: no effect on image output (.mp4 and .mkv write a video)\n",
                 unused.c_str());
  const ImageMetadata metadata = DescribeOutput(job.doc, job.camera, job.options.editor);
  if (const std::string squashed = PanoramaAspectWarning(metadata); !squashed.empty())
    std::fprintf(stderr, "orvex360: warning: %s\n", squashed.c_str());
  VideoRender video;
  if (video_output::IsVideoPath(job.output) &&
      !video.Open(job.output, *arguments.video, job.doc, metadata, error)) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return 1;
  }
  if (arguments.checkOnly) {
    std::printf("%s\n", CheckSummary(job.doc, job.options, FilesOf(arguments, job, comfort)).c_str());
    return 0;
  }
  bool transparencyWarned = false;
  const FrameSink writeImage = [&job, &metadata, numbered, &transparencyWarned](
                                   const FloatImage& image, Int32 frame, std::string& writeError) {
    const std::string path = image_output::FramePath(job.output, frame, numbered);
    if (!transparencyWarned && image_output::DropsTransparency(image, path)) {
      transparencyWarned = true;
      std::fprintf(stderr,
                   "orvex360: warning: JPEG keeps no alpha; the render's transparent parts come "
                   "out black (write .png, .tif or .exr to keep them)\n");
    }
    if (!image_output::Write(image, path, writeError, metadata)) return false;
    std::printf("orvex360: wrote %s (%d x %d, frame %d)\n", std::filesystem::absolute(path).c_str(),
                image.width, image.height, frame);
    return true;
  };
  if ((!arguments.comfort.empty() && !comfort.Start(error)) ||
      !RenderDocument(job.doc, job.options,
                      WarnWhenClipping(video.IsOpen() ? video.Sink() : writeImage, job.options.film),
                      error) ||
      (video.IsOpen() && !video.Finish(error))) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return 1;
  }
  comfort.Finish();
  if (!comfort.Failure().empty()) {
    std::fprintf(stderr, "orvex360: %s\n", comfort.Failure().c_str());
    return 1;
  }
  return 0;
}

// Whatever goes wrong inside (numbers out of range, memory) ends in one message, not an abort.
int RunRenderSafely(const RenderArguments& arguments, const CLI::App& app) {
  try {
    return RunRender(arguments, app);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "orvex360: render failed: %s\n", failure.what());
    return 1;
  }
}

}  // namespace

CliCommand AddRenderCommand(CLI::App& parent) {
  CLI::App* render = parent.add_subcommand("render", "Render a scene through the module's lens");
  auto arguments = std::make_shared<RenderArguments>();
  render
      ->add_option("scene", arguments->scene,
                   "Scene to render: " + scene_library::Names() + ", or a glTF 2.0 file (.gltf, .glb)")
      ->capture_default_str();
  render->add_option("--scene-camera", arguments->sceneCamera,
                     "The glTF scene's camera to render through, by name or index (default: its first)");
  render->add_option("-c,--camera", arguments->camera, "Camera kind: " + CameraKindNames())
      ->capture_default_str()
      ->check(option_values::CameraKindName());
  render->add_option("-s,--size", arguments->size, "Image size WIDTHxHEIGHT (default: the camera kind's)")
      ->check(NotEmpty())
      ->check(option_values::RenderSize());
  render->add_option("--samples", arguments->samples, "Samples per pixel")
      ->capture_default_str()
      ->check(CLI::Range(1, kMaxSamples));
  render
      ->add_option("--env", arguments->environment,
                   "Equirectangular environment image: the background, and light from every direction with "
                   "shadows (default: a procedural sky that lights the scene softly)")
      ->check(NotEmpty());
  render
      ->add_option(
          "--set", arguments->assignments,
          "NAME=VALUE for a render setting (width, height, fps, stereo), a tag or an effect parameter; "
          "repeatable")
      ->allow_extra_args(false);
  render
      ->add_option("--rotate", arguments->rotation,
                   "Camera rotation heading,pitch,bank in degrees, in place of the kind's own turn (a "
                   "fulldome's look up: --tilt leans a dome and keeps it)")
      ->check(option_values::Rotation());
  AddTiltOption(*render, arguments->tilt);
  render
      ->add_option("--frames", arguments->frames,
                   "Frame (5), range (0-10) or \"all\" (default: the current frame)")
      ->check(option_values::FrameChoice());
  render
      ->add_option(
          "-o,--output", arguments->output,
          "Image file (.png .exr .jpg .tif; \"#\" marks the frame number) or video (.mp4 .mkv) (default: "
          "orvex360-KIND.png)")
      ->check(NotEmpty());
  render->add_flag("--editor", arguments->editor, "Render as a preview into the editor view");
  render->add_option("--threads", arguments->threads, "Render threads at most (default: one per core)")
      ->check(CLI::Range(0, MaxRenderThreads()));
  render->add_option("--stereo", arguments->stereo, "Stereo render (render setting 8000): on or off")
      ->check(CLI::IsMember({"on", "off"}, CLI::ignore_case));
  render->add_option(
      "--document-name", arguments->documentName,
      "The document's name, as the fulldome information overlay prints it (default: the scene's)");
  render
      ->add_option(
          "--document-frames", arguments->documentFrames,
          "The document's time range FIRST-LAST in frames at the render's frame rate (default: 0-90)")
      ->check(option_values::FrameRange());
  AddOverlayOption(*render, arguments->overlays);
  render->add_flag("--check", arguments->checkOnly,
                   "Check the options and the scene, render nothing; ends with what would be rendered");
  render->add_flag(
      "--verbose", arguments->verbose,
      "Also the module's console lines of every frame (by default only those reporting a problem)");
  AddStereoOptions(*render, arguments->stereoOptions);
  AddVideoOptions(*render, arguments->video);
  AddLightOptions(*render, arguments->light);
  render
      ->add_option(
          "--comfort", arguments->comfort,
          "Stereo comfort report (JSON, with a heat map PNG beside it): disparity per pixel from the "
          "primary hits and the rig")
      ->check(NotEmpty());
  render
      ->add_option("--project", arguments->project,
                   "Project file to start from; options given here apply over it")
      ->check(NotEmpty());
  render
      ->add_option("--save-project", arguments->saveProject,
                   "Write everything that defines this render to a project file (JSON)")
      ->check(NotEmpty());
  return {render, [arguments, render](CliContext& context) {
            arguments->quiet = context.quiet;
            console::SetEchoFrameLines(arguments->verbose);
            return RunRenderSafely(*arguments, *render);
          }};
}
