#include "cli_context.h"
#include "files/atomic_file.h"
#include "files/regular_file.h"
#include "image/image_facts.h"
#include "image/web_image.h"
#include "module_reading/camera_kinds.h"
#include "module_reading/choice_words.h"
#include "module_reading/module_parameters.h"
#include "module_reading/output_metadata.h"
#include "option_checks.h"
#include "preview/preview_folder.h"
#include "preview/preview_layout.h"
#include "preview_video.h"
#include "runtime/attribute_manager.h"
#include "runtime/console.h"
#include "scene/scene_library.h"
#include "video/video_input.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <regex>

namespace fs = std::filesystem;

namespace {

struct PreviewArguments {
  std::vector<std::string> files;
  std::string output;
  PreviewHints hints;
  std::string title;
};

// Where the page's own files are (viewer, three.js): beside the executable, unless
// ORVEX360_PREVIEW_ASSETS names another folder.
fs::path AssetFolder() {
  if (const char* configured = std::getenv("ORVEX360_PREVIEW_ASSETS")) return configured;
  std::error_code error;
  return fs::canonical("/proc/self/exe", error).parent_path() / ORVEX_PREVIEW_ASSETS;
}

constexpr const char* kAssets[] = {"index.html", "viewer.js", "three.min.js", "AnaglyphEffect.js"};
constexpr std::uintmax_t kMaxAssetBytes = 16 << 20;  // three.min.js is some 600 KB

// The number at the end of a file's stem ("walk_0012.png" -> 12), or -1.
long long FrameNumber(const std::string& path) {
  static const std::regex trailing("(\\d+)$");
  std::smatch match;
  const std::string stem = fs::path(path).stem().string();
  return std::regex_search(stem, match, trailing) ? std::stoll(match[1]) : -1;
}

// Numbered frames in the order of their numbers, whatever order the shell gave them in.
void SortFrames(std::vector<std::string>& files) {
  const bool numbered =
      std::all_of(files.begin(), files.end(), [](const std::string& f) { return FrameNumber(f) >= 0; });
  if (numbered)
    std::stable_sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
      return FrameNumber(a) < FrameNumber(b);
    });
}

bool WriteText(const fs::path& path, const std::string& text, std::string& error) {
  return atomic_file::Write(path.string(), std::vector<unsigned char>(text.begin(), text.end()), error);
}

nlohmann::json LayoutJson(const PreviewLayout& layout) {
  nlohmann::json json = {{"projection", layout.projection}, {"fov", layout.fovDegrees},
                         {"stereo", layout.stereo},         {"leftEye", layout.leftEye},
                         {"rightEye", layout.rightEye},     {"grid", {layout.columns, layout.rows}}};
  json["crop"] = {{"fullWidth", layout.fullWidth}, {"fullHeight", layout.fullHeight},
                  {"left", layout.cropLeft},       {"top", layout.cropTop},
                  {"width", layout.cropWidth},     {"height", layout.cropHeight}};
  json["cells"] = nlohmann::json::array();
  for (const PreviewCell& cell : layout.cells)
    json["cells"].push_back(
        {{"face", cell.face}, {"column", cell.column}, {"row", cell.row}, {"rotation", cell.rotation}});
  return json;
}

// The faces of the layout named `word` as the module lays them out for one eye of `width` x `height`
// pixels: a cubemap camera made in a document of its own with that layout, described as a render
// of it would be. False with `error` when the word names no layout or the module cannot answer.
bool FacesOfLayout(CliContext& context, const std::string& word, Int32 width, Int32 height,
                   std::string& faces, std::string& error) {
  const int known = choice_words::kCubeLayouts.ValueOf(word);
  if (known < 0) {
    error =
        "a cubemap needs its layout: --cube-layout horizontal-cross|vertical-cross|strip-6x1|grid-3x2|"
        "strip-1x6|grid-2x3";
    return false;
  }
  // The page needs the module's answer only, not its log.
  const console::ScopedMute mute;
  if (context.modules.empty() && !context.LoadPlugins()) {
    error = "the cubemap layout \"" + word + "\" is the module's, and it could not be loaded";
    return false;
  }
  BaseDocument* doc = scene_library::NewDocument();
  if (!doc) {
    error = "no memory for a document";
    return false;
  }
  BaseObject* camera = AddCamera(doc, CameraKind::Cubemap, Vector(), error);
  BaseVideoPost* effect = camera ? FindOrvexEffect(doc) : nullptr;
  BaseContainer& settings = *doc->GetActiveRenderData()->GetDataInstance();
  settings.SetFloat(RDATA_XRES, width);
  settings.SetFloat(RDATA_YRES, height);
  // The module's description decides which value the layout's label is.
  const std::string layout =
      std::string(effect_parameter::kCubeLayout) + "=" + choice_words::kCubeLayouts.words[known].label;
  if (effect && attribute_manager::SetByName(effect, layout, error)) {
    const ImageMetadata described = DescribeOutput(doc, camera, false);
    const MetadataProperty* named = described.Find("orvex360", "CubemapFaces");
    faces = named ? named->value : "";
  }
  BaseDocument::Free(doc);
  if (faces.empty() && error.empty()) error = "the module did not lay out the cubemap \"" + word + "\"";
  return !faces.empty();
}

// The module's faces of the layout the command line names, for a first file that names none.
bool AskForCubeFaces(CliContext& context, const ImageFacts& facts, PreviewHints& hints, std::string& error) {
  if (hints.cubeLayout.empty() || facts.metadata.Find("orvex360", "CubemapFaces")) return true;
  const bool sideBySide = hints.stereo == "side-by-side";
  const bool topBottom = hints.stereoLayout == "top-bottom";
  const Int32 width = sideBySide && !topBottom ? facts.width / 2 : facts.width;
  const Int32 height = sideBySide && topBottom ? facts.height / 2 : facts.height;
  return FacesOfLayout(context, hints.cubeLayout, width, height, hints.cubeFaces, error);
}

// Reads every file's header and the first one's layout; every frame must match the first.
bool DescribeFrames(CliContext& context, PreviewArguments& arguments, PreviewLayout& layout,
                    std::string& error) {
  ImageFacts first;
  for (const std::string& file : arguments.files) {
    ImageFacts facts;
    if (!ReadImageFacts(file, facts, error)) {
      error = file + " is not an image the preview can read (" + error + ")";
      return false;
    }
    if (&file == &arguments.files.front()) {
      first = facts;
      if (!AskForCubeFaces(context, facts, arguments.hints, error) ||
          !DescribePreview(facts.metadata, arguments.hints, fs::path(file).filename().string(), facts.width,
                           facts.height, layout, error))
        return false;
    } else if (facts.width != first.width || facts.height != first.height) {
      error = "the frames differ in size: " + file + " is " + std::to_string(facts.width) + " x " +
              std::to_string(facts.height) + ", " + arguments.files.front() + " " +
              std::to_string(first.width) + " x " + std::to_string(first.height);
      return false;
    }
  }
  return true;
}

// The page's own files, read whole and written as every page file is, so that a failed write names
// the system's reason (the library's file copy calls a short copy an input/output error).
bool CopyAssets(const fs::path& folder, std::string& error) {
  const fs::path assets = AssetFolder();
  for (const char* name : kAssets) {
    std::vector<unsigned char> bytes;
    if (!regular_file::ReadWhole((assets / name).string(), kMaxAssetBytes, bytes, error)) {
      error = "the page's file " + (assets / name).string() + " " + error +
              "; three.js comes from Debian's libjs-three";
      return false;
    }
    if (!atomic_file::Write((folder / name).string(), bytes, error)) return false;
  }
  return WriteText(folder / StagedFolder::kMarker, "written by orvex360 preview\n", error);
}

bool WriteFrames(const PreviewArguments& arguments, const fs::path& folder, nlohmann::json& frames,
                 std::string& error) {
  for (size_t i = 0; i < arguments.files.size(); ++i) {
    WebImage image;
    if (!EncodeForWeb(arguments.files[i], image, error)) return false;
    char name[32];
    std::snprintf(name, sizeof(name), "frame_%04zu.js", i);
    const std::string script = "OrvexPreview.addFrame(" + std::to_string(i) + ", \"data:" + image.mimeType +
                               ";base64," + Base64(image.bytes) + "\");\n";
    if (!WriteText(folder / name, script, error)) return false;
    frames.push_back({{"name", fs::path(arguments.files[i]).filename().string()}, {"script", name}});
  }
  return true;
}

int RunPreview(CliContext& context, PreviewArguments arguments) {
  SortFrames(arguments.files);
  std::string error;
  PreviewLayout layout;
  StagedFolder folder(arguments.output);
  nlohmann::json config = {{"frames", nlohmann::json::array()}};
  // A video plays on its own page; images are frames.
  const bool video = arguments.files.size() == 1 && video_input::IsVideoFile(arguments.files.front());
  const std::string& first = arguments.files.front();
  const bool written =
      (video ? preview_video::Describe(first, arguments.hints, layout, config["video"], error)
             : DescribeFrames(context, arguments, layout, error)) &&
      folder.Begin(error) && CopyAssets(folder.Path(), error) &&
      (video ? preview_video::Write(first, folder.Path(), config["video"], error)
             : WriteFrames(arguments, folder.Path(), config["frames"], error));
  if (written) {
    config.update(LayoutJson(layout));
    config["title"] =
        arguments.title.empty() ? fs::path(arguments.files.front()).filename().string() : arguments.title;
  }
  if (!written ||
      !WriteText(fs::path(folder.Path()) / "config.js", "var ORVEX_PREVIEW = " + config.dump(1) + ";\n",
                 error) ||
      !folder.Commit(error)) {
    std::fprintf(stderr, "orvex360: %s\n", error.c_str());
    return 1;
  }
  const std::string what = video ? "a video of " + config["video"]["frames"].dump() + " frames"
                                 : std::to_string(arguments.files.size()) + " frame(s)";
  std::printf("Preview of %s, %s%s, in %s/index.html\n", what.c_str(), layout.projection.c_str(),
              layout.stereo == "mono" ? "" : (", " + layout.stereo).c_str(), arguments.output.c_str());
  return 0;
}

}  // namespace

CliCommand AddPreviewCommand(CLI::App& parent) {
  CLI::App* preview = parent.add_subcommand(
      "preview",
      "Write a 360 preview page (one folder, opens offline) that shows renders as their audience sees them");
  auto arguments = std::make_shared<PreviewArguments>();
  preview
      ->add_option("files", arguments->files,
                   "Images (several are the frames of a sequence), or one video (.mp4 .mkv)")
      ->required()
      ->check(NotEmpty());
  preview->add_option("-o,--output", arguments->output, "Folder to write the page into")
      ->required()
      ->check(NotEmpty());
  preview->add_option("--projection", arguments->hints.projection, "When the files do not say")
      ->check(CLI::IsMember({"panorama", "equirectangular", "dome", "fisheye", "cubemap"}));
  preview
      ->add_option("--fov", arguments->hints.fovDegrees,
                   "Fisheye or dome opening in degrees (more than 0, up to 360), when the files do not say")
      ->check(OpeningDegrees());
  preview->add_option("--stereo", arguments->hints.stereo, "When the files do not say")
      ->check(CLI::IsMember({"mono", "side-by-side", "anaglyph"}));
  preview->add_option("--side-layout", arguments->hints.stereoLayout, "Halves of a side-by-side pair")
      ->check(CLI::IsMember({"left-right", "top-bottom"}));
  preview->add_option("--cube-layout", arguments->hints.cubeLayout,
                      "Cubemap layout, when the files do not say");
  preview->add_option("--title", arguments->title, "Shown on the page (default: the first file's name)");
  return {preview, [arguments](CliContext& context) { return RunPreview(context, *arguments); }, false};
}
