#pragma once

#include "preview/preview_layout.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

// `orvex360 preview film.mp4`: the page plays the video on the sphere its own spherical metadata
// names (the projection, a tile's bounds, the stereo layout), looping; the slider steps through its
// frames. The video goes into the page whole, as a data URI, since browsers hand WebGL no video
// loaded from file://.
namespace preview_video {

// What the video says about itself, as the page lays it out (the command line's hints where the
// video says nothing); false with `error` for a file that is no readable video.
bool Describe(const std::string& path, const PreviewHints& hints, PreviewLayout& layout,
              nlohmann::json& video, std::string& error);

// Writes the video's script into the page's folder and names it in `video`.
bool Write(const std::string& path, const std::filesystem::path& folder, nlohmann::json& video,
           std::string& error);

}  // namespace preview_video
