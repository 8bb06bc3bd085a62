#include "gltf_builder.h"
#include "render_checks.h"

#include <gtest/gtest.h>

#include <filesystem>

// glTF scenes rendered by `orvex360 render FILE` through the loaded module, checked pixel by pixel.

namespace {

namespace fs = std::filesystem;
using render_test::ExpectRendered;
using render_test::TempFolder;

bool IsRed(const FloatImage& image, Int32 x, Int32 y) {
  const Float32* p = image.Pixel(x, y);
  return p[0] > 0.05f && p[0] > 4.0f * p[1] && p[0] > 4.0f * p[2];
}

// A red square of `size` metres centred at `centre`, facing along `axis`.
void AddRedSquare(GltfBuilder& builder, const std::vector<float>& centre, float size, int axis) {
  builder.Node({{"mesh", builder.Square(centre, size, axis, builder.Material(1, 0, 0))}});
}

TEST(GltfRenderCommand, ASquareAppearsInTheDirectionItLies) {
  TempFolder folder;
  GltfBuilder right, up;
  AddRedSquare(right, {5, 0, 0}, 4.0f, 0);
  right.WriteGlb(folder.File("right.glb"));
  AddRedSquare(up, {0, 5, 0}, 4.0f, 1);
  AddRedSquare(up, {0, -50, 0}, 1.0f, 1);  // a second mesh, far below, out of the dome's view
  up.WriteGltf(folder.File("up.gltf"));
  const struct {
    const char* scene;
    Int32 redX, redY;
    std::vector<std::pair<Int32, Int32>> clear;
  } cases[] = {
      // Without a camera in the file the view looks along +Z from the origin: +X is u = 0.75.
      {"right.glb -c panorama -s 64x32", 47, 16, {{16, 16}, {32, 16}}},
      // The square spans 44 degrees around the zenith; 60 degrees off it is sky.
      {"up.gltf -c fulldome -s 64x64", 32, 32, {{32, 32 + 21}}},
  };
  for (const auto& c : cases) {
    ExpectRendered(folder, c.scene + std::string(" --samples 1 -o out.png"));
    const FloatImage image = render_test::ReadImage(folder.File("out.png"));
    EXPECT_TRUE(IsRed(image, c.redX, c.redY)) << c.scene;
    for (const auto& [x, y] : c.clear) EXPECT_FALSE(IsRed(image, x, y)) << c.scene;
  }
}

// A camera walking 10 m along glTF -Z in one second, a small red square 1 m to the right of where it
// arrives.
TEST(GltfRenderCommand, AnAnimatedCameraMovesAcrossFramesAndItsStereoEyesWithIt) {
  TempFolder folder;
  GltfBuilder builder;
  AddRedSquare(builder, {1, 0, -10}, 0.6f, 0);
  const int camera = builder.Node({{"name", "Walker"}, {"camera", builder.Camera(0.8, 1.0)}});
  builder.Animate(camera, "translation", {0, 1}, {0, 0, 0, 0, 0, -10});
  builder.WriteGltf(folder.File("walk.gltf"));
  const CommandResult run = ExpectRendered(
      folder, "walk.gltf -c panorama -s 64x32 --samples 1 --frames all -o walk_#.png --scene-camera Walker");
  // The range is the animation's: frames 0 to 30 at 30 frames a second.
  EXPECT_TRUE(fs::exists(folder.File("walk_30.png"))) << run.output;
  EXPECT_FALSE(fs::exists(folder.File("walk_31.png")));
  EXPECT_FALSE(IsRed(render_test::ReadImage(folder.File("walk_0.png")), 47, 16));
  EXPECT_TRUE(IsRed(render_test::ReadImage(folder.File("walk_30.png")), 47, 16));

  // The sequence starts at frame 0, where the eyes were first placed; by frame 30 they must have
  // followed the camera.
  ExpectRendered(folder,
                 "walk.gltf -c panorama -s 128x32 --samples 1 --frames 0-30 "
                 "--stereo on --stereo-output side-by-side -o eyes_#.png");
  const FloatImage eyes = render_test::ReadImage(folder.File("eyes_30.png"));
  // Each eye fills its half; both stand where the camera is at frame 30.
  EXPECT_TRUE(IsRed(eyes, 47, 16));
  EXPECT_TRUE(IsRed(eyes, 64 + 47, 16));
}

}  // namespace
