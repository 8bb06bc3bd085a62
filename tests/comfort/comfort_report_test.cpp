#include "gltf_builder.h"
#include "render_checks.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <numbers>

namespace {

using render_test::TempFolder;

constexpr double kSeparation = 6.5;  // the tag's default eye separation, in scene units (cm)

// The angle (degrees) between the two eyes' lines of sight to a point straight ahead at `distance`.
double Vergence(double distance) {
  return 2.0 * std::atan(0.5 * kSeparation / distance) * 180.0 / std::numbers::pi;
}

class ComfortReport : public ::testing::Test {
 protected:
  // A stereo anaglyph panorama (both eyes fill the frame), with its comfort report, of a 2 m square
  // wall straight ahead of the camera at `metres` (glTF looks along -Z).
  nlohmann::json RenderWall(float metres, const std::string& zeroParallax,
                            const std::string& camera = "-c panorama -s 256x128") {
    GltfBuilder wall;
    wall.Node({{"mesh", wall.Square({0.0f, 0.0f, -metres}, 2.0f, 2, wall.Material(0.8f, 0.8f, 0.8f))}});
    wall.WriteGltf(folder.File("wall.gltf"));
    last = render_test::ExpectRendered(folder, "wall.gltf " + camera +
                                                   " --stereo on --stereo-output anaglyph -o wall.png "
                                                   "--comfort report.json " +
                                                   zeroParallax);
    return nlohmann::json::parse(render_test::ReadText(folder.File("report.json")), nullptr, false);
  }

  TempFolder folder;
  CommandResult last;
};

// The wall's centre is its nearest point: its disparity is the rig's vergence there less the
// vergence at the zero-parallax distance (none when it stands there), and the wall stands where the
// report says. A stereo cubemap's first eye is six cameras, one per cell: each pixel is measured
// once, the wall as the panorama sees it.
TEST_F(ComfortReport, NearestObjectHasTheDisparityTheRigPredicts) {
  const struct {
    float metres;
    double zeroParallax;
    const char* camera;
    long long pixels;
  } cases[] = {{1.0f, 400.0, "-c panorama -s 256x128", 256 * 128},
               {1.0f, 400.0, "-c cubemap --cube-layout grid-3x2 -s 192x128", 192 * 128},
               {2.0f, 200.0, "-c panorama -s 256x128", 256 * 128}};
  for (const auto& c : cases) {
    const nlohmann::json report = RenderWall(
        c.metres,
        "--set ORVEXTAG_ZERO_PARALLAX_MODE=1 --set ORVEXTAG_ZERO_PARALLAX=" + std::to_string(c.zeroParallax),
        c.camera);
    ASSERT_TRUE(report["stereo"].get<bool>()) << report.dump();
    const double distance = 100.0 * c.metres;
    const double nearest = Vergence(distance) - Vergence(c.zeroParallax);
    EXPECT_EQ(report["pixels"].get<long long>(), c.pixels) << c.camera;
    EXPECT_NEAR(report["disparityDegrees"]["mostCrossed"].get<double>(), nearest, 0.02) << c.camera;
    EXPECT_NEAR(report["nearestObject"]["disparityDegrees"].get<double>(), nearest, 0.02) << c.camera;
    EXPECT_NEAR(report["nearestObject"]["distance"].get<double>(), distance, 0.5) << c.camera;
    if (&c != &cases[0]) continue;
    // The first report in full. Rays that hit nothing look at infinity: behind the zero-parallax
    // distance by its vergence.
    EXPECT_NEAR(report["disparityDegrees"]["mostUncrossed"].get<double>(), -Vergence(400.0), 0.02);
    EXPECT_NEAR(report["nearestObject"]["yawDegrees"].get<double>(), 0.0, 2.0);
    EXPECT_NEAR(report["worstDirections"][0]["disparityDegrees"].get<double>(),
                Vergence(100.0) - Vergence(400.0), 0.02);
    EXPECT_GT(report["beyondLimit"]["crossedShare"].get<double>(), 0.05);
    // The sky behind is within the limit: everything beyond it is in front.
    EXPECT_EQ(report["beyondLimit"]["uncrossedShare"].get<double>(), 0.0);
    EXPECT_EQ(report["beyondLimit"]["share"].get<double>(),
              report["beyondLimit"]["crossedShare"].get<double>());
    files::ExpectHolds(last.output, {"comfort warning"});
  }
}

// Without convergence the sky shows no disparity (grey) and a wall half a metre away far more than
// the limit (red).
TEST_F(ComfortReport, HeatMapMarksTheNearObject) {
  RenderWall(0.5f, "--set ORVEXTAG_ZERO_PARALLAX_MODE=0");
  const FloatImage heat = render_test::ReadImage(folder.File("report.png"));
  ASSERT_EQ(heat.width, 256);
  const Float32* wall = heat.Pixel(128, 64);
  EXPECT_GT(wall[0], 0.9f);
  EXPECT_LT(wall[1], 0.1f);
  const Float32* sky = heat.Pixel(128, 10);
  EXPECT_NEAR(sky[0], sky[1], 0.02f);
  EXPECT_NEAR(sky[1], sky[2], 0.02f);
}
}  // namespace
