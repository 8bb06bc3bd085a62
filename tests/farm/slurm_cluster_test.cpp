#include "slurm_cluster.h"
#include "farm_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

// `orvex360 farm` on a real one-node SLURM cluster: a six-frame animation in chunks of two comes
// back frame for frame as a local render of the same frames.

namespace {

namespace fs = std::filesystem;

constexpr int kStartSeconds = 60;
constexpr int kJobSeconds = 120;

// The largest difference of any channel of any pixel; 1 when the sizes differ.
float LargestDifference(const FloatImage& a, const FloatImage& b) {
  if (a.width != b.width || a.height != b.height) return 1.0f;
  float largest = 0.0f;
  for (size_t i = 0; i < a.rgba.size(); ++i) largest = std::max(largest, std::abs(a.rgba[i] - b.rgba[i]));
  return largest;
}

TEST(SlurmCluster, AnAnimationInChunksMatchesALocalRenderFrameByFrame) {
  SlurmCluster cluster;
  std::string reason;
  if (!cluster.Start(kStartSeconds, reason)) GTEST_SKIP() << "SLURM cannot start here: " << reason;

  render_test::TempFolder folder;
  fs::create_directories(folder.Path() / "farm");
  fs::create_directories(folder.Path() / "local");
  const std::string scene =
      std::string("'") + ORVEX_SOURCE_DIR + "/scenes/plaza.gltf' -c panorama -s 64x32 --samples 1";
  const CommandResult submitted =
      farm_test::Farm(folder, "--frames 0-5 --chunk 2 -o farm/f_####.png -- " + scene);
  ASSERT_EQ(submitted.exitCode, 0) << submitted.output;
  ASSERT_NE(submitted.output.find("submitted job"), std::string::npos) << submitted.output;
  ASSERT_TRUE(cluster.WaitForEmptyQueue(kJobSeconds))
      << "the jobs did not end within " << kJobSeconds << " s";

  std::string checkLog;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder.Path() / "farm/orvex360-f.farm"))
    if (entry.path().filename().string().find("-check-") != std::string::npos)
      checkLog = farm_test::ReadText(entry.path().string());
  EXPECT_NE(checkLog.find("all 6 frames (0-5) are complete"), std::string::npos) << checkLog;

  const CommandResult local = render_test::RenderCommand(folder, scene + " --frames 0-5 -o local/f_####.png");
  ASSERT_EQ(local.exitCode, 0) << local.output;
  for (int frame = 0; frame <= 5; ++frame) {
    const std::string name = "/f_000" + std::to_string(frame) + ".png";
    const FloatImage farmed = render_test::ReadImage(folder.File("farm" + name));
    const FloatImage rendered = render_test::ReadImage(folder.File("local" + name));
    EXPECT_LE(LargestDifference(farmed, rendered), 1.5f / 255.0f) << name;
  }
  // The camera walks: the frames differ, so matching them means each task rendered its own frames.
  EXPECT_GT(LargestDifference(render_test::ReadImage(folder.File("farm/f_0000.png")),
                              render_test::ReadImage(folder.File("farm/f_0005.png"))),
            0.1f);
}

}  // namespace
