#include "render_test_support.h"

#include "files_support.h"
#include "render_checks.h"

#include "geometry/scalar_math.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace render_test {

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("orvex-render-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

Vector DirectionColour(const Vector& d) { return Vector(0.5) + d * 0.5; }

Vector ColourDirection(const Float32* rgba) {
  return Vector(2.0 * rgba[0] - 1.0, 2.0 * rgba[1] - 1.0, 2.0 * rgba[2] - 1.0).GetNormalized();
}

FloatImage OpaqueImage(Int32 width, Int32 height, const std::function<Vector(Int32 x, Int32 y)>& colourAt) {
  FloatImage image;
  EXPECT_TRUE(image.Allocate(width, height));
  for (Int32 y = 0; y < image.height; ++y) {
    for (Int32 x = 0; x < image.width; ++x) {
      const Vector colour = colourAt(x, y);
      Float32* pixel = image.Pixel(x, y);
      pixel[0] = static_cast<Float32>(colour.x);
      pixel[1] = static_cast<Float32>(colour.y);
      pixel[2] = static_cast<Float32>(colour.z);
      pixel[3] = 1.0f;
    }
  }
  return image;
}

std::string WriteDirectionEnvironment(const TempFolder& folder, Int32 width, Int32 height) {
  const FloatImage image = OpaqueImage(width, height, [width, height](Int32 x, Int32 y) {
    const Float polar = (y + 0.5) / height * orvex::kPi;
    const Float azimuth = ((x + 0.5) / width - 0.5) * 2.0 * orvex::kPi;
    return DirectionColour(
        Vector(std::sin(polar) * std::sin(azimuth), std::cos(polar), std::sin(polar) * std::cos(azimuth)));
  });
  return WriteImage(folder.File("directions.exr"), image);
}

FloatImage RenderFrame(BaseDocument* doc, const RenderOptions& options) {
  FloatImage result;
  std::string error;
  const bool rendered = RenderDocument(
      doc, options,
      [&result](const FloatImage& image, Int32, std::string&) {
        result = image;
        return true;
      },
      error);
  EXPECT_TRUE(rendered) << error;
  return result;
}

int DifferentValues(const FloatImage& frame, Int32 x0, Int32 y0, const FloatImage& image, bool flipU,
                    bool flipV, Int32 shift, Float32 tolerance) {
  int different = 0;
  for (Int32 y = 0; y < image.height; ++y) {
    for (Int32 x = 0; x < image.width; ++x) {
      const Int32 u = ((flipU ? image.width - 1 - x : x) - shift % image.width + image.width) % image.width;
      const Float32* expected = image.Pixel(u, flipV ? image.height - 1 - y : y);
      for (int c = 0; c < 4; ++c)
        different += std::abs(frame.Pixel(x0 + x, y0 + y)[c] - expected[c]) > tolerance;
    }
  }
  return different;
}

Float AngleDegrees(const Vector& a, const Vector& b) {
  const Float cosine = Dot(a.GetNormalized(), b.GetNormalized());
  return std::acos(std::clamp(cosine, -1.0, 1.0)) * 180.0 / orvex::kPi;
}

bool IsFinite(const FloatImage& image) {
  for (const Float32 value : image.rgba)
    if (!std::isfinite(value)) return false;
  return true;
}

CommandResult ToolCommand(const TempFolder& folder, const std::string& arguments, const std::string& shell) {
  return RunCommand("cd '" + folder.Path().string() + "' && " + shell + " '" + ORVEX360_COMMAND +
                    "' --plugins '" + ORVEX_PLUGIN_DIR + "' " + arguments);
}

CommandResult RenderCommand(const TempFolder& folder, const std::string& arguments,
                            const std::string& shell) {
  return ToolCommand(folder, "render " + arguments, shell);
}

void ExpectRefusals(const TempFolder& folder, const std::string& common, const std::vector<Refusal>& cases) {
  const auto before = files::EntryCount(folder.Path());
  for (const Refusal& bad : cases) {
    const CommandResult run = RenderCommand(folder, common + " " + bad.arguments, bad.shell);
    EXPECT_NE(run.exitCode, 0) << bad.arguments;
    EXPECT_NE(run.output.find(bad.message), std::string::npos) << bad.arguments << ": " << run.output;
    EXPECT_EQ(files::EntryCount(folder.Path()), before) << bad.arguments;
  }
}

FloatImage ReadImage(const std::string& path) {
  FloatImage image;
  BaseBitmap* bitmap = BaseBitmap::Alloc();
  EXPECT_EQ(bitmap->Init(Filename(path.c_str())), IMAGERESULT_OK) << path;
  if (image.Allocate(std::max(bitmap->GetBw(), 1), std::max(bitmap->GetBh(), 1))) {
    for (Int32 y = 0; y < bitmap->GetBh(); ++y) {
      for (Int32 x = 0; x < bitmap->GetBw(); ++x) {
        const Vector colour = bitmap->GetPixelFloat(x, y);
        Float32* pixel = image.Pixel(x, y);
        pixel[0] = static_cast<Float32>(colour.x);
        pixel[1] = static_cast<Float32>(colour.y);
        pixel[2] = static_cast<Float32>(colour.z);
        pixel[3] = static_cast<Float32>(bitmap->GetAlpha(x, y));
      }
    }
  }
  BaseBitmap::Free(bitmap);
  return image;
}

}  // namespace render_test
