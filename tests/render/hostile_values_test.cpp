#include "image/image_output.h"
#include "render/scene_accel.h"
#include "render_test_support.h"
#include "runtime/bitmap_io.h"
#include "runtime/console.h"
#include "scene/scene_library.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <fstream>
#include <limits>

// The host's own guards, called directly: writers under a file-size limit, rays the tracer cannot
// take, and input images too large to decode.

namespace {

namespace fs = std::filesystem;

// Lowers the file-size limit for the test's lifetime; SIGXFSZ is ignored, so writes fail with EFBIG.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    signal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, signal_);
  }

 private:
  rlimit saved_{};
  void (*signal_)(int) = nullptr;
};

// Noise, so that no format compresses it below the limit.
FloatImage Noise(Int32 side) {
  FloatImage image;
  EXPECT_TRUE(image.Allocate(side, side));
  UInt32 state = 12345u;
  for (Float32& value : image.rgba) {
    state = state * 1664525u + 1013904223u;
    value = static_cast<Float32>(state >> 8) / static_cast<Float32>(1u << 24);
  }
  return image;
}

TEST(Writers, AWriteBeyondTheFileSizeLimitKeepsTheOldFile) {
  render_test::TempFolder folder;
  const FloatImage image = Noise(64);
  BaseBitmap* bitmap = BaseBitmap::Alloc();
  ASSERT_EQ(bitmap->Init(64, 64, 24), IMAGERESULT_OK);
  for (Int32 y = 0; y < 64; ++y)
    for (Int32 x = 0; x < 64; ++x) bitmap->SetPixelFloat(x, y, Vector(image.Pixel(x, y)[0], 0.5, 0.25));
  for (const char* name : {"noise.png", "noise.jpg", "noise.tif", "noise.exr"}) {
    const std::string path = folder.File(name);
    std::ofstream(path) << "old";
    std::string error;
    {
      const FileSizeLimit limit(2048);
      EXPECT_FALSE(image_output::Write(image, path, error)) << name;
      EXPECT_NE(error.find(path + "\": File too large"), std::string::npos) << error;
      EXPECT_FALSE(SaveBitmap(*bitmap, path, error)) << name;
    }
    EXPECT_EQ(fs::file_size(path), 3u) << name;
    fs::remove(path);
    EXPECT_TRUE(fs::is_empty(folder.Path())) << name;  // no temporary file left behind
  }
  BaseBitmap::Free(bitmap);
}

// The demo scene built for tracing.
class RayLimits : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(scene_library::Build("demo", doc, error)) << error;
    ASSERT_TRUE(scene.Build(doc, error)) << error;
  }
  void TearDown() override { BaseDocument::Free(doc); }

  BaseDocument* doc = scene_library::NewDocument();
  SceneAccel scene;
};

TEST_F(RayLimits, RaysTheTracerCannotTakeHitNothing) {
  const Vector down(0.0, -1.0, 0.0);
  Hit hit;
  EXPECT_TRUE(scene.Intersect(Vector(0.0, 500.0, 0.0), down, hit));
  const Float nan = std::numeric_limits<Float>::quiet_NaN();
  for (const Vector& origin : {Vector(1e30, 500.0, 0.0), Vector(0.0, 2e18, 0.0), Vector(nan, 0.0, 0.0)}) {
    EXPECT_FALSE(scene.Intersect(origin, down, hit));
    EXPECT_FALSE(scene.Occluded(origin, down, 1e3));
  }
  EXPECT_FALSE(scene.Intersect(Vector(0.0, 500.0, 0.0), Vector(0.0, nan, 0.0), hit));
}

// Shadow rays traced as a packet: each lane answers as the same ray traced alone, whatever its
// neighbours are (blocked, free, cut short, refused, or not asked).
TEST_F(RayLimits, ShadowPacketLanesAnswerAsSingleRays) {
  constexpr int kLanes = SceneAccel::kPacketSize;
  const Float nan = std::numeric_limits<Float>::quiet_NaN();
  const Vector above(0.0, 500.0, 0.0);
  Vector origins[kLanes];
  Vector directions[kLanes];
  Float distances[kLanes];
  bool active[kLanes];
  for (int k = 0; k < kLanes; ++k) {
    origins[k] = above + Vector(37.0 * k, 0.0, -23.0 * k);
    directions[k] = Vector(0.0, -1.0, 0.0);
    distances[k] = 1e3;
    active[k] = k != 1;
  }
  directions[2] = Vector(0.0, 1.0, 0.0);
  distances[3] = 1.0;
  distances[4] = -1.0;
  distances[5] = nan;
  origins[6] = Vector(1e30, 500.0, 0.0);
  origins[7] = Vector(nan, 0.0, 0.0);
  directions[8] = Vector(0.0, nan, 0.0);
  distances[9] = std::numeric_limits<Float>::infinity();
  bool blocked[kLanes];
  scene.Occluded16(origins, directions, distances, active, blocked);
  int blockedCount = 0;
  for (int k = 0; k < kLanes; ++k) {
    EXPECT_EQ(blocked[k], active[k] && scene.Occluded(origins[k], directions[k], distances[k]))
        << "lane " << k;
    blockedCount += blocked[k];
  }
  EXPECT_GT(blockedCount, 1);
  EXPECT_LT(blockedCount, kLanes - 5);
}

// A header that claims 20000 x 10000 pixels in a few bytes: refused before any pixel is decoded.
// (Environments and separation maps are refused so through the render command in hostile_input_test.)
TEST(InputLimits, HugeImagesAreRefusedBeforeDecoding) {
  render_test::TempFolder folder;
  const std::string path = folder.File("huge.ppm");
  std::ofstream(path, std::ios::binary) << "P6\n20000 10000\n255\nabc";
  console::SetEcho(false);
  console::Clear();
  BaseBitmap* bitmap = BaseBitmap::Alloc();
  EXPECT_EQ(bitmap->Init(Filename(path.c_str())), IMAGERESULT_OUTOFMEMORY);
  BaseBitmap::Free(bitmap);
  ASSERT_EQ(console::Lines().size(), 1u);
  EXPECT_NE(console::Lines()[0].find("20000 x 10000 pixels"), std::string::npos);
}

}  // namespace
