#include "image/image_output.h"
#include "render/primitive_mesh.h"
#include "render/scene_accel.h"
#include "render_checks.h"
#include "runtime/bitmap_io.h"
#include "runtime/console.h"
#include "scene/scene_library.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <limits>

// The host's own parts and guards, called directly: image files written (frame paths, formats, and
// writers under a file-size limit), primitive meshes, rays the tracer cannot take, and input images
// too large to decode.

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

FloatImage TwoPixels() {
  FloatImage image;
  image.Allocate(2, 1);
  // A bright pixel beyond 1.0 and a half-covered one (colour premultiplied by its alpha).
  const Float32 values[8] = {4.0f, 0.5f, 0.0f, 1.0f, 0.25f, 0.1f, 0.05f, 0.5f};
  std::copy(values, values + 8, image.rgba.begin());
  return image;
}

TEST(FramePath, NumbersFramesOnlyWhenNeeded) {
  EXPECT_EQ(image_output::FramePath("out/dome.png", 7, false), "out/dome.png");
  EXPECT_EQ(image_output::FramePath("out/dome.png", 7, true), "out/dome_0007.png");
  EXPECT_EQ(image_output::FramePath("out/dome_###.exr", 7, false), "out/dome_007.exr");
  EXPECT_EQ(image_output::FramePath("dome.#.tif", 12, true), "dome.12.tif");
  // However long the run of "#", every frame gets a name of its own.
  const std::string hashes(40, '#');
  EXPECT_EQ(image_output::FramePath(hashes + ".png", 12, true), std::string(38, '0') + "12.png");
  EXPECT_EQ(image_output::FramePath("f" + hashes + ".png", -3, true), "f-" + std::string(38, '0') + "3.png");
}

// PNG output (display-encoded, straight alpha) is compared with the image library's own writing in
// tests/imageio/image_codec_test.cpp; the curve itself in tests/imageio/srgb_test.cpp.
TEST(ImageWrite, ExrKeepsLinearUnclampedFloatsAndAlpha) {
  render_test::TempFolder folder;
  const FloatImage back =
      render_test::ReadImage(render_test::WriteImage(folder.File("two.exr"), TwoPixels()));
  EXPECT_FLOAT_EQ(back.Pixel(0, 0)[0], 4.0f);
  EXPECT_FLOAT_EQ(back.Pixel(1, 0)[0], 0.25f);
  EXPECT_FLOAT_EQ(back.Pixel(1, 0)[3], 0.5f);
}

TEST(ImageWrite, RefusesBadPathsBeforeWritingAnything) {
  // Unknown suffixes and missing folders are refused through the render command's table.
  render_test::TempFolder folder;
  std::string error;
  EXPECT_FALSE(image_output::CheckWritable(folder.Path().string(), error));
  EXPECT_TRUE(image_output::CheckWritable(folder.File("dome.png"), error)) << error;
  EXPECT_TRUE(fs::is_empty(folder.Path()));
}

TEST(ImageWrite, AFailedWriteLeavesNoFileBehind) {
  render_test::TempFolder folder;
  // A folder in the way: the image can be written, but not renamed into place.
  fs::create_directories(folder.Path() / "dome.png" / "inside");
  std::string error;
  EXPECT_FALSE(image_output::Write(TwoPixels(), folder.File("dome.png"), error));
  EXPECT_NE(error.find("dome.png"), std::string::npos);
  EXPECT_EQ(render_test::EntryCount(folder.Path()), 1);
}

Vector At(const std::array<Float32, 3>& v) { return {v[0], v[1], v[2]}; }

// Every vertex normal points away from the centre: the mesh is closed and faces outward.
void ExpectOutwardNormals(const TriangleMesh& mesh, const Vector& centre) {
  for (size_t i = 0; i < mesh.positions.size(); ++i)
    EXPECT_GT(Dot(At(mesh.normals[i]), At(mesh.positions[i]) - centre), 0.0) << "vertex " << i;
}

TEST(PrimitiveMesh, ShapesHaveTheirSizesAndFaceOutward) {
  const TriangleMesh box = MakeBox(Vector(200.0, 100.0, 50.0));
  EXPECT_EQ(box.triangles.size(), 12u);
  for (const auto& p : box.positions) {
    EXPECT_FLOAT_EQ(std::abs(p[0]), 100.0f);
    EXPECT_FLOAT_EQ(std::abs(p[1]), 50.0f);
    EXPECT_FLOAT_EQ(std::abs(p[2]), 25.0f);
  }
  ExpectOutwardNormals(box, Vector());

  const TriangleMesh sphere = MakeSphere(30.0, 8);
  for (const auto& p : sphere.positions) EXPECT_NEAR(At(p).GetLength(), 30.0, 1e-4);
  ExpectOutwardNormals(sphere, Vector());

  const TriangleMesh cylinder = MakeCylinder(10.0, 40.0, 16);
  for (const auto& p : cylinder.positions) EXPECT_LE(std::abs(p[1]), 20.0f);
  for (const auto& t : cylinder.triangles)
    for (const UInt32 index : t) EXPECT_LT(index, cylinder.positions.size());
}

// Stretching a sphere into an ellipsoid must keep normals perpendicular to its surface, which
// transforming them like positions would not.
TEST(PrimitiveMesh, NormalsStayPerpendicularUnderNonUniformScale) {
  TriangleMesh mesh = MakeSphere(1.0, 16);
  const Matrix stretch(Vector(5.0, 0.0, 0.0), {4.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0});
  TransformMesh(mesh, stretch);
  for (size_t i = 0; i < mesh.positions.size(); ++i) {
    const Vector p = At(mesh.positions[i]) - Vector(5.0, 0.0, 0.0);
    // Gradient of the ellipsoid (x/4)^2 + y^2 + z^2 = 1.
    const Vector gradient = Vector(p.x / 16.0, p.y, p.z).GetNormalized();
    EXPECT_NEAR(Dot(At(mesh.normals[i]), gradient), 1.0, 1e-4) << "vertex " << i;
  }
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
// (Environments and separation maps are refused so through the render command in render_command_test.cpp.)
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
