#pragma once

#include "value_json.h"
#include "video/video_output.h"

#include <cstdint>
#include <optional>
#include <string>

// Project files: everything that defines a render, as JSON. Paths at the top level (scene file,
// environment, output) are stored relative to the project file's folder and read back against it;
// paths inside parameter values are kept as they are.
namespace project_file {

// Version 3 adds the video settings; version 2 writes the stereo switch once; version 1 files also
// held the tag's unused copy of it.
inline constexpr int kVersion = 3;
inline constexpr int kOldestVersion = 1;
inline constexpr const char* kFormat = "orvex360 project";
// Real projects are a few KB; anything far larger is refused before it is read.
inline constexpr std::uintmax_t kMaxBytes = 1 << 20;

struct Project {
  std::string scene = "demo";  // a scene name, or a glTF file (absolute once read)
  std::string sceneCamera;     // the glTF scene's camera by name or index; empty: its first
  std::string camera = "fulldome";
  std::string rotation;  // heading,pitch,bank in degrees; empty: the camera's own
  std::string frames;    // as --frames takes it; empty: the current frame
  std::string output;    // empty: the command's default (absolute once read)
  Int32 samples = 4;
  std::string environment;  // empty: none (absolute once read)
  bool editor = false;
  Int32 threads = 0;
  std::string documentName;
  std::string documentFrames;
  std::string videoCodec = video_output::kDefaultCodecName;  // for .mp4 and .mkv output
  Int32 videoQuality = video_output::kDefaultQuality;
  // How the scene's light is read and shown. A project written before lights had units, bounces or
  // an exposure holds none of these keys and renders as it did then: these defaults.
  std::string lightUnits = "unitless";
  Int32 bounces = 0;
  Float exposure = 0.0;
  std::string viewTransform = "standard";
  value_json::NodeValues renderSettings;
  std::optional<value_json::NodeValues> tag;     // none for a camera without the tag
  std::optional<value_json::NodeValues> effect;  // none when the render settings hold no effect
};

// The descriptions that name, type and limit each node's values.
struct Schemas {
  const DescriptionRecord& renderSettings;
  const DescriptionRecord& tag;
  const DescriptionRecord& effect;
};

// The project as JSON text for a file in `folder`. False with `error` naming the key when a value
// cannot be written so that it reads back.
bool ToText(const Project& project, const Schemas& schemas, const std::string& folder, std::string& text,
            std::string& error);

// Reads project JSON text that came from a file in `folder`. False with `error` (naming `name` and
// the key) on text that is not JSON or too deeply nested, a wrong format or version, an unknown key,
// a wrong type, or a value outside its limits.
bool FromText(const std::string& text, const Schemas& schemas, const std::string& folder,
              const std::string& name, Project& project, std::string& error);

// Writes the project to `path` atomically after reading the text back, so that a file is only
// written when it loads again.
bool Save(const Project& project, const Schemas& schemas, const std::string& path, std::string& error);

// Reads `path`; refuses a missing file, a folder, and a file larger than kMaxBytes.
bool Load(const std::string& path, const Schemas& schemas, Project& project, std::string& error);

}  // namespace project_file
