#include "project_file.h"

#include "files/atomic_file.h"
#include "files/json_nesting.h"
#include "json_duplicate_keys.h"
#include "module_reading/camera_kinds.h"
#include "module_reading/module_parameters.h"
#include "render/renderer.h"
#include "render_settings_record.h"
#include "scene/gltf_convention.h"
#include "scene/gltf_file.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace project_file {
namespace {

namespace fs = std::filesystem;
using value_json::Json;

// `path` relative to `folder` when it can be; absolute otherwise.
std::string RelativeTo(const std::string& path, const std::string& folder) {
  if (path.empty()) return path;
  const fs::path absolute = fs::absolute(path).lexically_normal();
  const fs::path relative = absolute.lexically_relative(fs::absolute(folder).lexically_normal());
  return (relative.empty() ? absolute : relative).generic_string();
}

std::string ResolvedIn(const std::string& path, const std::string& folder) {
  if (path.empty() || fs::path(path).is_absolute()) return path;
  return fs::absolute(fs::path(folder) / path).lexically_normal().string();
}

bool IsSceneFile(const std::string& scene) { return gltf_file::HasGltfSuffix(scene); }

// The node's values under `key`, when the project holds them.
bool NodeJson(const std::optional<value_json::NodeValues>& values, const DescriptionRecord& record,
              const char* key, Json& out, std::string& error) {
  if (!values) return true;
  Json node;
  if (!value_json::ToJson(*values, record, node, error)) {
    error = std::string(key) + "." + error;
    return false;
  }
  out[key] = node;
  return true;
}

// One setting or value per line, so that a project reads and compares line by line.
std::string Layout(const Json& root) {
  std::string text = "{";
  const char* separator = "\n";
  for (const auto& [key, value] : root.items()) {
    text += separator + std::string("  ") + Json(key).dump() + ": ";
    separator = ",\n";
    if (!value.is_object()) {
      text += value.dump();
      continue;
    }
    const char* inner = "{\n";
    for (const auto& [name, item] : value.items()) {
      text += inner + std::string("    ") + Json(name).dump() + ": " + item.dump();
      inner = ",\n";
    }
    text += value.empty() ? "{}" : "\n  }";
  }
  return text + "\n}\n";
}

// Reading the top level: every failure names the file and the key.
struct TopReader {
  const Json& root;
  const std::string& name;
  std::string& error;

  bool Fail(const std::string& key, const std::string& why) const {
    error = name + ": " + key + ": " + why;
    return false;
  }
  bool Text(const char* key, std::string& out) const {
    if (!root.contains(key)) return true;
    if (!root[key].is_string()) return Fail(key, "must be a string");
    out = root[key].get<std::string>();
    return true;
  }
  bool Whole(const char* key, Int32 min, Int32 max, Int32& out) const {
    if (!root.contains(key)) return true;
    const Json& value = root[key];
    if (!value.is_number_integer()) return Fail(key, "must be a whole number");
    const auto number = value.get<std::int64_t>();
    if (number < min || number > max ||
        (value.is_number_unsigned() && value.get<std::uint64_t>() > static_cast<std::uint64_t>(max)))
      return Fail(key,
                  "takes " + std::to_string(min) + " to " + std::to_string(max) + "; got " + value.dump());
    out = static_cast<Int32>(number);
    return true;
  }
  bool Number(const char* key, Float limit, Float& out) const {
    if (!root.contains(key)) return true;
    const Json& value = root[key];
    if (!value.is_number()) return Fail(key, "must be a number");
    const Float number = value.get<Float>();
    if (!(std::abs(number) <= limit))
      return Fail(key,
                  "takes -" + Json(limit).dump() + " to " + Json(limit).dump() + "; got " + value.dump());
    out = number;
    return true;
  }
  // A text that must be one of the names `known` accepts.
  template <typename Known>
  bool Name(const char* key, Known known, const char* names, std::string& out) const {
    if (!Text(key, out)) return false;
    return known(out) ? true : Fail(key, "takes " + std::string(names) + "; got \"" + out + "\"");
  }
  bool Flag(const char* key, bool& out) const {
    if (!root.contains(key)) return true;
    if (!root[key].is_boolean()) return Fail(key, "must be true or false");
    out = root[key].get<bool>();
    return true;
  }
  bool Node(const char* key, const DescriptionRecord& record,
            std::optional<value_json::NodeValues>& out) const {
    if (!root.contains(key)) return true;
    value_json::NodeValues values;
    if (!value_json::FromJson(root[key], record, name + ": " + key, values, error)) return false;
    out = values;
    return true;
  }
};

constexpr const char* kKeys[] = {
    "format",        "version",         "scene",           "scene_camera",  "camera",      "rotation",
    "frames",        "output",          "samples",         "environment",   "editor",      "threads",
    "document_name", "document_frames", "video_codec",     "video_quality", "light_units", "bounces",
    "exposure",      "view_transform",  "render_settings", "tag",           "effect"};

bool CheckKeys(const TopReader& reader) {
  for (const auto& [key, value] : reader.root.items()) {
    bool known = false;
    for (const char* name : kKeys) known = known || key == name;
    if (!known) return reader.Fail(key, "unknown key");
  }
  return true;
}

bool CheckFormat(const TopReader& reader) {
  const Json& root = reader.root;
  if (!root.contains("format") || root["format"] != kFormat)
    return reader.Fail("format", std::string("must be \"") + kFormat + "\"; this is no project file");
  if (!root.contains("version") || !root["version"].is_number_integer())
    return reader.Fail("version", "must be a whole number");
  if (root["version"] < kOldestVersion || root["version"] > kVersion)
    return reader.Fail("version", root["version"].dump() + " is not supported; this program reads versions " +
                                      std::to_string(kOldestVersion) + " to " + std::to_string(kVersion));
  return true;
}

bool KnownCamera(const TopReader& reader, const std::string& camera) {
  if (FindCameraKind(camera)) return true;
  return reader.Fail("camera",
                     "there is no camera kind \"" + camera + "\"; the kinds are: " + CameraKindNames());
}

bool KnownCodec(const TopReader& reader, const std::string& codec) {
  video_codec::Codec named;
  if (video_output::CodecNamed(codec, named)) return true;
  return reader.Fail("video_codec", "takes " + video_output::CodecNames() + "; got \"" + codec + "\"");
}

bool ReadLight(const TopReader& reader, Project& project) {
  const auto units = [](const std::string& name) {
    return gltf_convention::LightUnitsNamed(name).has_value();
  };
  const auto view = [](const std::string& name) { return ViewTransformNamed(name).has_value(); };
  return reader.Name("light_units", units, "photometric or unitless", project.lightUnits) &&
         reader.Whole("bounces", 0, kMaxBounces, project.bounces) &&
         reader.Number("exposure", kMaxExposureStops, project.exposure) &&
         reader.Name("view_transform", view, "standard or neutral", project.viewTransform);
}

bool ReadSettings(const TopReader& reader, Project& project) {
  return reader.Text("scene", project.scene) && reader.Text("scene_camera", project.sceneCamera) &&
         reader.Text("camera", project.camera) && reader.Text("rotation", project.rotation) &&
         reader.Text("frames", project.frames) && reader.Text("output", project.output) &&
         reader.Whole("samples", 1, kMaxSamples, project.samples) &&
         reader.Text("environment", project.environment) && reader.Flag("editor", project.editor) &&
         reader.Whole("threads", 0, MaxRenderThreads(), project.threads) &&
         reader.Text("document_name", project.documentName) &&
         reader.Text("document_frames", project.documentFrames) && KnownCamera(reader, project.camera) &&
         reader.Text("video_codec", project.videoCodec) && KnownCodec(reader, project.videoCodec) &&
         reader.Whole("video_quality", video_output::kLosslessQuality, video_output::kWorstQuality,
                      project.videoQuality) &&
         ReadLight(reader, project);
}

// Render settings as the command line takes them (pixel counts whole), named as the file names them.
bool CheckRenderSettings(const TopReader& reader, const Json& json, const value_json::NodeValues& settings) {
  for (const auto& [key, item] : json.items()) {
    const DescriptionElement* element = RenderSettingsRecord().FindSymbol(key);
    const Int32 id = element ? element->id : std::atoi(key.c_str());
    std::string why;
    if (const GeData* value = settings.values.GetDataPointer(id);
        value && !CheckRenderSetting(id, *value, why))
      return reader.Fail("render_settings." + key, why);
  }
  return true;
}

bool ReadNodes(const TopReader& reader, const Schemas& schemas, Project& project) {
  std::optional<value_json::NodeValues> settings;
  if (!reader.Node("render_settings", schemas.renderSettings, settings) ||
      !reader.Node("tag", schemas.tag, project.tag) || !reader.Node("effect", schemas.effect, project.effect))
    return false;
  project.renderSettings = settings.value_or(value_json::NodeValues());
  return !settings || CheckRenderSettings(reader, reader.root["render_settings"], *settings);
}

// The tag's stereo switch is the render settings' stereo switch under another name: a value given
// under the tag's name goes there, and two that disagree are refused. Version 1 files wrote the tag's
// own copy, which no render ever read, beside the render settings' switch: that copy is passed by.
bool OneStereoSwitch(const TopReader& reader, const DescriptionRecord& tag, Project& project) {
  const DescriptionElement* element = tag.FindSymbol(tag_parameter::kStereo);
  const Int32 id = element ? element->id : 0;
  const GeData* tagStereo = project.tag && id != 0 ? project.tag->values.GetDataPointer(id) : nullptr;
  if (!tagStereo) return true;
  if (reader.root["version"] == 1) {
    project.tag->values.RemoveData(id);
    return true;
  }
  const bool stereo = tagStereo->GetBool();
  BaseContainer& settings = project.renderSettings.values;
  if (settings.GetDataPointer(RDATA_STEREO) && settings.GetBool(RDATA_STEREO) != stereo) {
    const auto word = [](bool on) { return std::string(on ? "true" : "false"); };
    return reader.Fail(std::string("tag.") + tag_parameter::kStereo,
                       word(stereo) + ", but render_settings.stereo is " + word(!stereo) +
                           "; both name the render settings' stereo switch, keep one of them");
  }
  settings.SetBool(RDATA_STEREO, stereo);
  project.tag->values.RemoveData(id);
  return true;
}

}  // namespace

bool ToText(const Project& project, const Schemas& schemas, const std::string& folder, std::string& text,
            std::string& error) {
  Json root = {{"format", kFormat},
               {"version", kVersion},
               {"scene", IsSceneFile(project.scene) ? RelativeTo(project.scene, folder) : project.scene},
               {"scene_camera", project.sceneCamera},
               {"camera", project.camera},
               {"rotation", project.rotation},
               {"frames", project.frames},
               {"output", RelativeTo(project.output, folder)},
               {"samples", project.samples},
               {"environment", RelativeTo(project.environment, folder)},
               {"editor", project.editor},
               {"threads", project.threads},
               {"document_name", project.documentName},
               {"document_frames", project.documentFrames},
               {"video_codec", project.videoCodec},
               {"video_quality", project.videoQuality},
               {"light_units", project.lightUnits},
               {"bounces", project.bounces},
               {"exposure", project.exposure},
               {"view_transform", project.viewTransform}};
  if (!NodeJson(project.renderSettings, schemas.renderSettings, "render_settings", root, error) ||
      !NodeJson(project.tag, schemas.tag, "tag", root, error) ||
      !NodeJson(project.effect, schemas.effect, "effect", root, error))
    return false;
  text = Layout(root);
  return true;
}

bool FromText(const std::string& text, const Schemas& schemas, const std::string& folder,
              const std::string& name, Project& project, std::string& error) {
  if (!json_nesting::Check(text, error)) {
    error = name + ": " + error + "; this is no project file";
    return false;
  }
  if (const std::optional<std::string> duplicate = FirstDuplicateKey(text)) {
    error = name + ": " + *duplicate + ": given twice; each key names one value";
    return false;
  }
  const Json root = Json::parse(text, nullptr, false);
  if (root.is_discarded()) {
    error = name + ": not JSON, or cut short";
    return false;
  }
  if (!root.is_object()) {
    error = name + ": a project file is a JSON object";
    return false;
  }
  project = Project();
  const TopReader reader{root, name, error};
  if (!CheckFormat(reader) || !CheckKeys(reader) || !ReadSettings(reader, project) ||
      !ReadNodes(reader, schemas, project) || !OneStereoSwitch(reader, schemas.tag, project))
    return false;
  if (IsSceneFile(project.scene)) project.scene = ResolvedIn(project.scene, folder);
  project.output = ResolvedIn(project.output, folder);
  project.environment = ResolvedIn(project.environment, folder);
  return true;
}

bool Save(const Project& project, const Schemas& schemas, const std::string& path, std::string& error) {
  const std::string folder = fs::absolute(path).parent_path().string();
  std::string text;
  Project again;
  if (!ToText(project, schemas, folder, text, error)) {
    error = path + ": cannot save " + error;
    return false;
  }
  if (!FromText(text, schemas, folder, path, again, error)) {
    error = "the project would not load again: " + error;
    return false;
  }
  return atomic_file::Write(path, std::vector<unsigned char>(text.begin(), text.end()), error);
}

bool Load(const std::string& path, const Schemas& schemas, Project& project, std::string& error) {
  std::error_code failure;
  if (!fs::is_regular_file(path, failure)) {
    error = path + (fs::exists(path, failure) ? ": not a file" : ": no such file");
    return false;
  }
  const std::uintmax_t size = fs::file_size(path, failure);
  if (failure || size > kMaxBytes) {
    error = path + ": larger than " + std::to_string(kMaxBytes) + " bytes; this is no project file";
    return false;
  }
  std::ifstream file(path, std::ios::binary);
  std::string text;
  text.resize(static_cast<size_t>(size));
  if (!file || !file.read(text.data(), static_cast<std::streamsize>(size))) {
    error = path + ": cannot be read";
    return false;
  }
  return FromText(text, schemas, fs::absolute(path).parent_path().string(), path, project, error);
}

}  // namespace project_file
