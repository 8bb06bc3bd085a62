#include "geometry/scalar_math.h"
#include "image/image_output.h"
#include "recorder_effect.h"
#include "render/camera_bitmaps.h"
#include "render/environment.h"
#include "render/primitive_mesh.h"
#include "render/progress_bar.h"
#include "render/scene_accel.h"
#include "render_checks.h"
#include "runtime/bitmap_io.h"
#include "runtime/bitmap_window.h"
#include "runtime/console.h"
#include "scene/scene_library.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <array>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The host's own parts and guards, called directly: image files written (frame paths, formats, and
// writers under a file-size limit), the environment, camera images kept by window, primitive
// meshes, rays the tracer cannot take, input images too large to decode, and the renderer's calls
// to the effects.

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

TEST(Writers, AWriteBeyondTheFileSizeLimitKeepsTheOldFile) {
  render_test::TempFolder folder;
  // Noise, so that no format compresses it below the limit.
  UInt32 state = 12345u;
  const auto noise = [&state] { return (state = state * 1664525u + 1013904223u) / 4294967296.0; };
  const FloatImage image =
      render_test::OpaqueImage(64, 64, [&](Int32, Int32) { return Vector(noise(), noise(), noise()); });
  const BitmapPtr bitmap(BaseBitmap::Alloc());
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
}

FloatImage TwoPixels() {
  FloatImage image;
  image.Allocate(2, 1);
  // A bright pixel beyond 1.0 and a half-covered one (colour premultiplied by its alpha).
  const Float32 values[8] = {4.0f, 0.5f, 0.0f, 1.0f, 0.25f, 0.1f, 0.05f, 0.5f};
  std::copy(values, values + 8, image.rgba.begin());
  return image;
}

// Off a terminal (a test's stderr), a render that ends within its quiet time says nothing, and a
// longer one (no quiet time here) a line at every tenth.
TEST(ProgressBar, OffATerminalOnlyALongRenderSaysItsProgress) {
  testing::internal::CaptureStderr();
  for (const auto quiet : {std::chrono::steady_clock::duration(ProgressBar::kQuietFor),
                           std::chrono::steady_clock::duration::zero()}) {
    ProgressBar bar("frame 7", 20, true, quiet);
    for (int row = 0; row < 20; ++row) bar.Advance();
  }
  std::string expected;
  for (int percent = 10; percent <= 100; percent += 10)
    expected += "frame 7: " + std::to_string(percent) + "%\n";
  EXPECT_EQ(testing::internal::GetCapturedStderr(), expected);
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
  EXPECT_EQ(back.rgba, TwoPixels().rgba);
}

// A folder is no image file; one in the way of the image's name lets the image be written but not
// renamed into place, and then no file is left behind. (Unknown suffixes and missing folders are
// refused through the render command's table.)
TEST(ImageWrite, AFolderInTheWayIsRefusedAndAFailedWriteLeavesNoFileBehind) {
  render_test::TempFolder folder;
  std::string error;
  EXPECT_FALSE(image_output::CheckWritable(folder.Path().string(), error));
  EXPECT_TRUE(image_output::CheckWritable(folder.File("dome.png"), error)) << error;
  EXPECT_TRUE(fs::is_empty(folder.Path()));
  fs::create_directories(folder.Path() / "dome.png" / "inside");
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
  for (const auto& p : box.positions)
    EXPECT_EQ(At({std::abs(p[0]), std::abs(p[1]), std::abs(p[2])}), Vector(100, 50, 25));
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
  EXPECT_EQ(BitmapPtr(BaseBitmap::Alloc())->Init(Filename(path.c_str())), IMAGERESULT_OUTOFMEMORY);
  ASSERT_EQ(console::Lines().size(), 1u);
  EXPECT_NE(console::Lines()[0].find("20000 x 10000 pixels"), std::string::npos);
}

void ExpectNear(const Vector& actual, const Vector& expected, Float tolerance) {
  EXPECT_LT((actual - expected).GetLength(), tolerance) << actual.x << ", " << actual.y << ", " << actual.z;
}

TEST(EnvironmentMapping, FollowsTheWorldConvention) {
  ExpectNear(DirectionToEquirectUv(Vector(0.0, 0.0, 1.0)), Vector(0.5, 0.5, 0.0), 1e-12);
  ExpectNear(DirectionToEquirectUv(Vector(1.0, 0.0, 0.0)), Vector(0.75, 0.5, 0.0), 1e-12);
  ExpectNear(DirectionToEquirectUv(Vector(-1.0, 0.0, 0.0)), Vector(0.25, 0.5, 0.0), 1e-12);
  EXPECT_NEAR(DirectionToEquirectUv(Vector(0.0, 1.0, 0.0)).y, 0.0, 1e-12);
  EXPECT_NEAR(DirectionToEquirectUv(Vector(0.0, -1.0, 0.0)).y, 1.0, 1e-12);
  for (const Float u : {0.1, 0.37, 0.5, 0.93})
    for (const Float v : {0.05, 0.5, 0.8})
      ExpectNear(DirectionToEquirectUv(EquirectUvToDirection(u, v)), Vector(u, v, 0.0), 1e-12);
}

// A uniform environment of radiance L lights every surface with pi L, whichever way it faces.
TEST(EnvironmentLight, UniformSurroundingsGivePiTimesTheirRadiance) {
  render_test::TempFolder folder;
  // Small images are integrated texel by texel, large ones block by block.
  for (const Int32 height : {32, 512}) {
    Environment environment;
    std::string error;
    ASSERT_TRUE(environment.Load(
        render_test::WriteUniformImage(folder.File("grey.exr"), 2 * height, height, 0.5f), error))
        << error;
    for (const Vector& n : {Vector(0, 1, 0), Vector(0, -1, 0), Vector(1, 1, 1).GetNormalized()})
      ExpectNear(environment.Irradiance(n), Vector(0.5 * orvex::kPi), 0.01);
  }
}

// An 8-bit image is kept as bytes (display-encoded, so decoded) and a float image as floats (linear):
// both must give the same light, channel for channel. Each texel holds three different bytes, so that a wrong
// channel or texel stride shows.
TEST(EnvironmentStorage, ByteAndFloatImagesOfTheSameTexelsGiveTheSameLight) {
  render_test::TempFolder folder;
  const FloatImage image = render_test::OpaqueImage(128, 64, [](Int32 x, Int32 y) {
    const auto decoded = [](Int32 byte) {
      return image_output::DecodeSrgb(static_cast<Float32>(byte) / 255.0f);
    };
    return Vector(decoded((x * 2) % 256), decoded((y * 4 + 17) % 256), decoded((x * 7 + y * 3) % 256));
  });
  Environment bytes, floats;
  std::string error;
  ASSERT_TRUE(bytes.Load(render_test::WriteImage(folder.File("bytes.png"), image), error)) << error;
  ASSERT_TRUE(floats.Load(render_test::WriteImage(folder.File("floats.exr"), image), error)) << error;
  for (Float azimuth = 0.05; azimuth < 6.2; azimuth += 0.37) {
    for (Float polar = 0.1; polar < 3.1; polar += 0.29) {
      const Vector d(std::sin(polar) * std::sin(azimuth), std::cos(polar),
                     std::sin(polar) * std::cos(azimuth));
      // The float file may hold half floats: three decimal digits.
      for (const auto& [a, b] : {std::pair{bytes.Radiance(d), floats.Radiance(d)},
                                 std::pair{bytes.Irradiance(d), floats.Irradiance(d)}})
        for (const auto& [got, want] : {std::pair{a.x, b.x}, {a.y, b.y}, {a.z, b.z}})
          EXPECT_NEAR(got, want, 2e-3 * want + 1e-6) << azimuth << " " << polar;
    }
  }
  // Loaded over the byte image, the float image is what the texels come from.
  ASSERT_TRUE(bytes.Load(folder.File("floats.exr"), error)) << error;
  for (const Vector& d : {Vector(0.0, 0.0, 1.0), Vector(0.6, 0.0, 0.8), Vector(0.0, -0.6, 0.8)})
    EXPECT_EQ(bytes.Radiance(d).y, floats.Radiance(d).y);

  // A file that cannot be read leaves the procedural sky in place.
  Environment sky;
  const Vector up = sky.Radiance(Vector(0.0, 1.0, 0.0));
  EXPECT_FALSE(sky.Load(folder.File("missing.png"), error));
  EXPECT_FALSE(sky.IsImage());
  EXPECT_EQ(sky.Radiance(Vector(0.0, 1.0, 0.0)).y, up.y);
}

// Camera images of a multi-camera frame are kept only as large as what their camera rendered;
// everything else must read back as transparent black, exactly as a whole-frame copy would.
constexpr Int32 kRgbBytes = 3 * static_cast<Int32>(sizeof(Float32));

// A run of `count` RGB pixels from (x, y); none when the bitmap refuses the read.
std::optional<std::vector<Float32>> ReadRun(const BaseBitmap& bitmap, Int32 x, Int32 y, Int32 count) {
  std::vector<Float32> run(static_cast<size_t>(count) * 3, -1.0f);
  if (!bitmap.GetPixelCnt(x, y, count, reinterpret_cast<UChar*>(run.data()), kRgbBytes, COLORMODE_RGBf,
                          PIXELCNT_0))
    return std::nullopt;
  return run;
}

TEST(CameraWindow, OutsideTheWindowReadsTransparentBlackRefusesWritesAndMustLieInTheFrame) {
  const BitmapPtr bitmap(BaseBitmap::Alloc());
  ASSERT_TRUE(InitWindowBitmap(*bitmap, 10, 8, {3, 2, 4, 3}));
  EXPECT_EQ(std::pair(bitmap->GetBw(), bitmap->GetBh()), std::pair(10, 8));
  const std::vector<Float32> inside(4 * 3, 0.5f);
  EXPECT_TRUE(bitmap->SetPixelCnt(3, 2, 4, reinterpret_cast<const UChar*>(inside.data()), kRgbBytes,
                                  COLORMODE_RGBf, PIXELCNT_0));
  bitmap->SetAlpha(6, 2, 0.25);
  // A run across the window's edges: stored values in columns 3 to 6, zeros on both sides.
  std::vector<Float32> across(10 * 3, 0.0f);
  std::fill(across.begin() + 3 * 3, across.begin() + 7 * 3, 0.5f);
  EXPECT_EQ(ReadRun(*bitmap, 0, 2, 10), across);
  EXPECT_EQ(ReadRun(*bitmap, 0, 7, 10), std::vector<Float32>(30, 0.0f));
  EXPECT_EQ(bitmap->GetAlpha(6, 2), 0.25);
  EXPECT_EQ(bitmap->GetAlpha(7, 2), 0.0);
  EXPECT_EQ(bitmap->GetPixelFloat(2, 2), Vector());
  // Beyond the frame, or writes that would leave the window, are refused rather than cut.
  EXPECT_FALSE(ReadRun(*bitmap, 5, 2, 6));
  EXPECT_FALSE(bitmap->SetPixelCnt(2, 2, 4, reinterpret_cast<const UChar*>(inside.data()), kRgbBytes,
                                   COLORMODE_RGBf, PIXELCNT_0));
  bitmap->SetPixelFloat(0, 0, Vector(1.0));
  EXPECT_EQ(bitmap->GetPixelFloat(0, 0), Vector());
  // Windows must lie within the frame; an empty one is a frame of transparent black.
  EXPECT_FALSE(InitWindowBitmap(*bitmap, 10, 8, {8, 0, 4, 1}));
  EXPECT_FALSE(InitWindowBitmap(*bitmap, 10, 8, {-1, 0, 2, 2}));
  EXPECT_FALSE(InitWindowBitmap(*bitmap, 0, 8, {0, 0, 0, 0}));
  EXPECT_TRUE(InitWindowBitmap(*bitmap, 10, 8, {0, 0, 0, 0}));
  EXPECT_EQ(bitmap->GetBw(), 10);
  EXPECT_EQ(bitmap->GetAlpha(0, 0), 0.0);
}

// Round trip through the kept camera images: what comes back equals what was rendered, pixel for
// pixel, however the rendered part is shaped (a block, scattered pixels, alpha only, NaN, nothing).
TEST(CameraWindow, StoredCameraImagesLoadBackUnchanged) {
  constexpr Int32 kWidth = 40;
  constexpr Int32 kHeight = 24;
  std::vector<FloatImage> images(4);
  for (FloatImage& image : images) ASSERT_TRUE(image.Allocate(kWidth, kHeight));
  for (Int32 y = 5; y < 17; ++y)
    for (Int32 x = 10; x < 30; ++x)
      for (int c = 0; c < 4; ++c) images[0].Pixel(x, y)[c] = 0.01f * (x + y) + c;
  images[1].Pixel(0, 23)[1] = 2.0f;
  images[1].Pixel(39, 0)[3] = 1.0f;
  images[2].Pixel(20, 12)[3] = 0.5f;
  images[2].Pixel(21, 12)[0] = std::numeric_limits<Float32>::quiet_NaN();
  CameraBitmaps cameras;
  ASSERT_TRUE(cameras.Allocate(4, kWidth, kHeight));
  const PixelWindow whole{0, 0, kWidth, kHeight};
  for (Int32 k = 0; k < 4; ++k) ASSERT_TRUE(cameras.Store(k, images[k], whole));
  for (Int32 k = 0; k < 4; ++k) {
    FloatImage back;
    ASSERT_TRUE(back.Allocate(kWidth, kHeight));
    std::fill(back.rgba.begin(), back.rgba.end(), 7.0f);
    cameras.Load(k, back);
    // Bit for bit, so that the NaN compares too.
    EXPECT_EQ(std::memcmp(back.rgba.data(), images[k].rgba.data(), back.rgba.size() * sizeof(Float32)), 0)
        << k;
  }
}

// The renderer's side of the seam, watched by an effect of the test's own: which calls arrive, in
// which order, with what; and the host's multi-camera mechanism, where the effect asks for several
// cameras, camera k traces only the columns x with x % cameras == k, and the effect's merge takes
// every pixel from the last camera.

// The recorded calls, joined by " | ".
std::string Calls(const Seen& seen) { return render_test::Joined(seen.calls); }

TEST_F(RenderSequence, CallsEveryPhaseInOrderAroundEachFrame) {
  std::vector<FloatImage> frames;
  options_.firstFrame = 2;
  options_.lastFrame = 3;
  EXPECT_EQ(Render(&frames), "");
  EXPECT_EQ(frames.size(), 2u);
  EXPECT_EQ(
      Calls(seen_),
      "notify start=1 external=1 | allocate editor=0 external=1 | info | execute 1 open frame 2 | "
      "execute 2 open frame 2 | execute 4 open frame 2 | execute 4 close frame 2 | execute 2 close frame 2 | "
      "execute 2 open frame 3 | execute 4 open frame 3 | execute 4 close frame 3 | execute 2 close frame 3 | "
      "execute 1 close frame 3 | free | notify start=0 external=1");
  EXPECT_FALSE(CheckIsRunning(CHECKISRUNNING_EXTERNALRENDERING));
  // Settings written back at allocation apply to the running render only.
  EXPECT_TRUE(seen_.settingsApplied);
  EXPECT_EQ(Settings().GetFloat(kWrittenBackId), 0.0);
  EXPECT_EQ(seen_.bufferWidth, 8);
}

TEST_F(RenderSequence, EditorRenderIsAnnouncedAsNotExternalAndASwitchedOffEffectIsNeverCalled) {
  options_.editor = true;
  EXPECT_EQ(Render(), "");
  EXPECT_TRUE(Calls(seen_).starts_with("notify start=1 external=0 | allocate editor=1 external=0 | "));
  EXPECT_TRUE(Calls(seen_).ends_with(" | notify start=0 external=0"));
  EXPECT_FALSE(CheckIsRunning(CHECKISRUNNING_EDITORRENDERING));

  seen_.calls.clear();  // a switched-off effect is never called
  effect_->SetBit(BIT_VPDISABLED);
  EXPECT_EQ(Render(), "");
  EXPECT_TRUE(seen_.calls.empty());
}

TEST_F(RenderSequence, ZeroRaysStayTransparentAndEveryPixelIsPostProcessed) {
  seen_.info = VIDEOPOSTINFO_CUSTOMLENS | VIDEOPOSTINFO_EXECUTEPIXEL | VIDEOPOSTINFO_EXECUTELINE;
  seen_.zeroRayColumns = 3;
  const FloatImage image = render_test::RenderFrame(doc_, {});
  ASSERT_EQ(image.width, 8);
  for (Int32 y = 0; y < image.height; ++y) {
    for (Int32 x = 0; x < image.width; ++x) {
      const Float32* pixel = image.Pixel(x, y);
      EXPECT_EQ(pixel[3], x < 3 ? 0.0f : 1.0f) << x << "," << y;
      EXPECT_EQ(pixel[0] + pixel[1] == 0.0f && pixel[2] == 0.0f, x < 3) << x << "," << y;
    }
  }
  EXPECT_EQ(seen_.pixelPosts, 32);
  EXPECT_EQ(seen_.linePosts, 4);
}

TEST_F(RenderSequence, OneSampleAsksForIntegerPixelsMoreSamplesJitterWithinHalfAPixel) {
  seen_.info = VIDEOPOSTINFO_CUSTOMLENS;
  EXPECT_EQ(Render(), "");
  EXPECT_EQ(seen_.rays, 32);
  EXPECT_EQ(seen_.rayOffGrid, 0);

  options_.samples = 9;
  EXPECT_EQ(Render(), "");
  EXPECT_EQ(seen_.rays, 32 + 32 * 9);
  EXPECT_GT(seen_.rayOffGrid, 32 * 8);
  EXPECT_EQ(seen_.rayBeyondHalf, 0);
}

TEST_F(RenderSequence, BadSettingsFailBeforeAnyEffectIsCalled) {
  struct Case {
    Float width, height, fps;
    const char* environment;
    Int32 firstFrame;
    const char* expected;
  };
  for (const Case& bad :
       {Case{0.0, 4.0, 30.0, "", 0, "image size"}, Case{8.0, -4.0, 30.0, "", 0, "image size"},
        Case{std::nan(""), 4.0, 30.0, "", 0, "image size"}, Case{1e9, 4.0, 30.0, "", 0, "image size"},
        Case{60000.0, 60000.0, 30.0, "", 0, "memory"}, Case{8.0, 4.0, 0.0, "", 0, "frame rate"},
        Case{8.0, 4.0, 30.0, "/nonexistent/sky.exr", 0, "/nonexistent/sky.exr"},
        Case{8.0, 4.0, 30.0, "", 1, "frame range"}}) {
    Settings().SetFloat(RDATA_XRES, bad.width);
    Settings().SetFloat(RDATA_YRES, bad.height);
    Settings().SetFloat(RDATA_FRAMERATE, bad.fps);
    options_.environment = bad.environment;
    options_.firstFrame = bad.firstFrame;  // after the last frame, 0
    EXPECT_NE(Render().find(bad.expected), std::string::npos) << bad.expected;
  }
  EXPECT_TRUE(seen_.calls.empty());
}

TEST_F(RenderSequence, AFailedFrameStopsTheRenderButClosesEveryPhase) {
  sinkRefusal_ = "disk full";
  std::vector<FloatImage> frames;
  options_.lastFrame = 4;
  EXPECT_EQ(Render(&frames), "disk full");
  EXPECT_EQ(frames.size(), 1u);
  EXPECT_TRUE(Calls(seen_).ends_with("execute 1 close frame 0 | free | notify start=0 external=1"));
}

// An effect that answers a failure stops the render with a message naming it; what it refused is
// never written, and the render still ends with every phase closed.
TEST_F(RenderSequence, AnEffectsRefusalFailsTheRenderAndNothingIsWritten) {
  effect_->SetName("Recorder");
  seen_.allocateAnswer = RENDERRESULT_OUTOFMEMORY;
  std::vector<FloatImage> frames(1);
  EXPECT_EQ(Render(&frames), "the effect \"Recorder\" refused to start the render (out of memory)");
  EXPECT_TRUE(frames.empty());
  EXPECT_EQ(seen_.calls.back(), "notify start=0 external=1");

  seen_.calls.clear();
  seen_.allocateAnswer = RENDERRESULT_OK;
  seen_.frameAnswer = RENDERRESULT_USERBREAK;
  options_.lastFrame = 3;
  EXPECT_EQ(Render(&frames), "the effect \"Recorder\" refused frame 0 (stopped by the user)");
  EXPECT_TRUE(frames.empty());
  EXPECT_TRUE(Calls(seen_).ends_with("execute 1 close frame 0 | free | notify start=0 external=1"));
}

class MultiCamera : public RenderSequence {
 protected:
  void SetUp() override {
    RenderSequence::SetUp();
    seen_.info = VIDEOPOSTINFO_CUSTOMLENS;
    seen_.cameras = 2;
    Settings().SetBool(RDATA_STEREO, true);
    console::SetEcho(false);
    console::Clear();
  }

  // How many recorded calls start with each prefix.
  std::vector<size_t> CallCounts(const std::vector<std::string>& prefixes) const {
    std::vector<size_t> counts;
    for (const std::string& prefix : prefixes)
      counts.push_back(render_test::LinesStartingWith(seen_.calls, prefix).size());
    return counts;
  }
};

// Each pixel is as opaque as the camera its colour came from: here the last camera, which traced
// only every other column.
TEST_F(MultiCamera, EachCameraRendersBetweenItsPhasesThenTheEffectMergesAndAlphaFollowsTheMerge) {
  const FloatImage frame = render_test::RenderFrame(doc_, {});
  EXPECT_EQ(Calls(seen_),
            "notify start=1 external=1 | allocate editor=0 external=1 | info | count stereo=1 | "
            "execute 1 open frame 0 | execute 2 open frame 0 | camera 0 | execute 4 open frame 0 | "
            "execute 4 close frame 0 | camera 1 | execute 4 open frame 0 | execute 4 close frame 0 | "
            "merge 2 of 8x4 | execute 2 close frame 0 | execute 1 close frame 0 | free | notify start=0 "
            "external=1");
  ASSERT_EQ(frame.width, 8);
  for (Int32 x = 0; x < 8; ++x) {
    const Float32* pixel = frame.Pixel(x, 1);
    EXPECT_EQ(pixel[3], x % 2 == 1 ? 1.0f : 0.0f) << x;
    EXPECT_EQ(pixel[2] > 0.0f, x % 2 == 1) << x;
  }
}

TEST_F(MultiCamera, EveryCameraIsAskedForItsPlacementAndRefusalsStillRender) {
  seen_.cameras = 6;
  EXPECT_EQ(Render(), "");
  EXPECT_EQ(CallCounts({"camera ", "execute 4 open", "merge 6 of 8x4"}), (std::vector<size_t>{6, 6, 1}));
}

// A camera's first frame asks the lens around the cell it answers, not over the whole frame; a sliver
// the probe's grid steps over is still found where it leaves the cell, and then every pixel is asked.
TEST_F(MultiCamera, TheFirstFrameAsksAroundEachCellAndFindsWhatLeavesIt) {
  Settings().SetFloat(RDATA_XRES, 64.0);
  Settings().SetFloat(RDATA_YRES, 32.0);
  const auto opaqueColumns = [](const FloatImage& frame, Int32 y) {
    std::string columns;
    for (Int32 x = 0; x < frame.width; ++x) columns += frame.Pixel(x, y)[3] == 1.0f ? '#' : '.';
    return columns;
  };
  const std::string rightHalf = std::string(32, '.') + std::string(32, '#');
  seen_.answers = [](Int32 camera, Int32 x, Int32) { return x / 32 == camera; };
  FloatImage frame = render_test::RenderFrame(doc_, {});
  for (Int32 y : {0, 3, 31}) EXPECT_EQ(opaqueColumns(frame, y), rightHalf) << y;
  // Each camera's half grown by the probe's band, its ring and its grid: well below two frames.
  EXPECT_LT(seen_.rays, 2 * 41 * 32 + 2 * 33 + 2 * 8 * 4 + 1);

  seen_.rays = 0;
  seen_.cameraIndex = -1;
  seen_.answers = [](Int32 camera, Int32 x, Int32 y) {
    return camera == 1 && (x >= 40 || (y == 3 && x >= 1));
  };
  frame = render_test::RenderFrame(doc_, {});
  EXPECT_EQ(opaqueColumns(frame, 3), "." + std::string(63, '#'));
  EXPECT_EQ(opaqueColumns(frame, 4), std::string(40, '.') + std::string(24, '#'));
  EXPECT_GT(seen_.rays, 2 * 64 * 32);
}

// What an effect draws into a camera's image as the camera ends is kept even outside the camera's
// cell: written through the render's buffer, or painted through the view.
TEST_F(MultiCamera, WhatACameraEndDrawsOutsideItsCellIsKept) {
  Settings().SetFloat(RDATA_XRES, 64.0);
  Settings().SetFloat(RDATA_YRES, 32.0);
  seen_.answers = [](Int32 camera, Int32 x, Int32) { return x / 32 == camera; };
  const std::array<Float32, 8> red{1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f};
  seen_.atCameraEnd = [&red](VideoPostStruct& vps) {
    vps.render->GetBuffer(VPBUFFER_RGBA, 0)->SetLine(2, 5, 2, red.data());
  };
  FloatImage frame = render_test::RenderFrame(doc_, {});
  EXPECT_EQ(frame.Pixel(3, 5)[0], 1.0f);
  EXPECT_EQ(frame.Pixel(3, 5)[3], 1.0f);

  BaseBitmap* white = BaseBitmap::Alloc();
  ASSERT_EQ(white->Init(2, 2, 24), IMAGERESULT_OK);
  for (Int32 y = 0; y < 2; ++y)
    for (Int32 x = 0; x < 2; ++x) white->SetPixel(x, y, 255, 255, 255);
  seen_.cameraIndex = -1;
  seen_.atCameraEnd = [white](VideoPostStruct& vps) {
    BaseDraw* view = vps.doc->GetActiveBaseDraw();
    view->SetMatrix_Screen();
    const Vector corners[4] = {Vector(4, 20, 0), Vector(7, 20, 0), Vector(7, 23, 0), Vector(4, 23, 0)};
    view->DrawTexture(white, corners, nullptr, nullptr, nullptr, 4, DRAW_ALPHA_NONE, 0);
  };
  frame = render_test::RenderFrame(doc_, {});
  BaseBitmap::Free(white);
  EXPECT_GT(frame.Pixel(5, 21)[1], 0.5f);
}

// Only the running render's stereo switch counts: on in the document or switched on by the effect
// at render start, which leaves the document's own settings alone.
TEST_F(MultiCamera, TheStereoSwitchOfTheRunningRenderDecides) {
  Settings().SetBool(RDATA_STEREO, false);
  EXPECT_EQ(Render(), "");
  EXPECT_EQ(CallCounts({"count", "execute 4 open"}), (std::vector<size_t>{0, 1}));

  seen_.calls.clear();
  seen_.switchStereoOn = true;
  EXPECT_EQ(Render(), "");
  EXPECT_EQ(CallCounts({"count", "count stereo=1", "execute 4 open"}), (std::vector<size_t>{1, 1, 2}));
  EXPECT_FALSE(Settings().GetBool(RDATA_STEREO));
}

TEST_F(MultiCamera, EditorRendersAndSingleCameraAnswersRenderOneImage) {
  options_.editor = true;
  EXPECT_EQ(Render(), "");
  options_.editor = false;
  seen_.cameras = 1;
  EXPECT_EQ(Render(), "");
  EXPECT_EQ(CallCounts({"execute 4 open", "merge"}), (std::vector<size_t>{2, 0}));
}

TEST_F(MultiCamera, ARefusedMergeWritesCameraZeroSaysSoAndFails) {
  seen_.mergeAccepts = false;
  std::vector<FloatImage> frames;
  const std::string error = Render(&frames);
  EXPECT_NE(error.find("refused to merge the camera images of frame 0; camera 0's image was written"),
            std::string::npos)
      << error;
  EXPECT_EQ(render_test::LinesStartingWith(console::Lines(), "[host] merge"),
            std::vector<std::string>{"[host] merge failed: writing camera 0's image"});
  ASSERT_EQ(frames.size(), 1u);
  for (Int32 x = 0; x < 8; ++x) EXPECT_EQ(frames[0].Pixel(x, 1)[3], x % 2 == 0 ? 1.0f : 0.0f) << x;
}

// After the first frame each camera is asked only within the columns it answered (here camera 0 the
// even columns 0 to 6, camera 1 the odd ones 1 to 7: 7 of 8 columns each), and what it leaves is
// still transparent black: the merge takes camera 1's whole image, column 0 included.
TEST_F(MultiCamera, LaterFramesAskOnlyEachCamerasAreaAndGiveTheFirstFramesImage) {
  std::vector<FloatImage> frames;
  options_.lastFrame = 2;
  ASSERT_EQ(Render(&frames), "");
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[1].rgba, frames[0].rgba);
  EXPECT_EQ(frames[2].rgba, frames[0].rgba);
  // The first frame asks each camera's one probe point (its cell is the whole 8 x 4 frame) and every
  // pixel; the later two only each camera's columns 0..6 or 1..7.
  EXPECT_EQ(seen_.rays.load(), 2 * (1 + 8 * 4) + 2 * (2 * 7 * 4));
}

TEST_F(MultiCamera, CameraImagesThatDoNotFitIntoMemoryFailBeforeRendering) {
  seen_.cameras = 1000000;
  Settings().SetFloat(RDATA_XRES, 64.0);
  Settings().SetFloat(RDATA_YRES, 64.0);
  const std::string error = Render();
  EXPECT_NE(error.find("1000000 camera images of 64 x 64 pixels need 65.5 GB"), std::string::npos) << error;
  EXPECT_EQ(CallCounts({"execute"}), std::vector<size_t>{0});
  EXPECT_EQ(seen_.calls.back(), "notify start=0 external=1");
}

}  // namespace
