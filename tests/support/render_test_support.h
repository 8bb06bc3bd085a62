#pragma once

#include "command_runner.h"

#include "image/float_image.h"
#include "render/environment.h"
#include "render/renderer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace render_test {

// A private folder for one test's files, removed afterwards.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The colour that encodes a unit direction: 0.5 + 0.5 d per channel.
Vector DirectionColour(const Vector& d);
// The direction a colour encodes, normalised.
Vector ColourDirection(const Float32* rgba);

// A width x height opaque image whose pixel (x, y) has the colour colourAt(x, y).
FloatImage OpaqueImage(Int32 width, Int32 height, const std::function<Vector(Int32 x, Int32 y)>& colourAt);

// Writes an equirectangular EXR whose every texel's colour encodes the direction of its centre by
// the world convention (u = 0.5 + atan2(d.x, d.z) / 2pi, v = acos(d.y) / pi).
std::string WriteDirectionEnvironment(const TempFolder& folder, Int32 width, Int32 height);

// Renders the document's current frame and returns the image; fails the test on error.
FloatImage RenderFrame(BaseDocument* doc, const RenderOptions& options);

// Values (of four channels) of `frame` from (x0, y0) on that differ by more than `tolerance` from
// `image` mirrored as asked and moved `shift` columns to the right round its seam.
int DifferentValues(const FloatImage& frame, Int32 x0, Int32 y0, const FloatImage& image, bool flipU = false,
                    bool flipV = false, Int32 shift = 0, Float32 tolerance = 1e-5f);

// Angle between two directions in degrees.
Float AngleDegrees(const Vector& a, const Vector& b);

bool IsFinite(const FloatImage& image);

// Runs the built `orvex360 ARGUMENTS` (any command) with the built plugin folder inside `folder`,
// `shell` first on the command line.
CommandResult ToolCommand(const TempFolder& folder, const std::string& arguments,
                          const std::string& shell = "");

// Runs the built `orvex360 render ARGUMENTS` with the built plugin folder inside `folder`; `shell`
// comes first on the command line (limits such as "ulimit -f 8 &&").
CommandResult RenderCommand(const TempFolder& folder, const std::string& arguments,
                            const std::string& shell = "");

// A command line `orvex360 render` must refuse, and a text its message must hold; `shell` comes
// first (an environment variable such as "SOURCE_DATE_EPOCH=x").
struct Refusal {
  std::string arguments;
  std::string message;
  std::string shell = "";
};
// Each run of `render COMMON ARGUMENTS` in `folder` fails, says its message and leaves the folder's
// files as they were.
void ExpectRefusals(const TempFolder& folder, const std::string& common, const std::vector<Refusal>& cases);

// Reads an image file written by the renderer; fails the test when it cannot.
FloatImage ReadImage(const std::string& path);

}  // namespace render_test
