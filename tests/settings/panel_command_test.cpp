#include "command_runner.h"
#include "runtime/bitmap_io.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
CommandResult Panel(const std::string& arguments) {
  return RunCommand(std::string(ORVEX360_COMMAND) + " --plugins " + ORVEX_PLUGIN_DIR + " panel " + arguments);
}

// The line of the panel that ends in a parameter's symbol (or its disabled mark).
std::string LineOf(const std::string& output, const std::string& symbol) {
  size_t at = output.find(" " + symbol);
  if (at == std::string::npos) return {};
  const size_t start = output.rfind('\n', at) + 1;
  return output.substr(start, output.find('\n', at) - start);
}

Vector Centre(const BaseBitmap& bitmap, Int32 left, Int32 top, Int32 size) {
  return bitmap.GetPixelFloat(left + size / 2, top + size / 2);
}
}  // namespace

TEST(PanelCommand, SingleEyeModeShowsItsElementAndDisablesSwapEyes) {
  const CommandResult run = Panel("--node vp --set ORVEXVP_STEREO_MODE=3");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(LineOf(run.output, "ORVEXVP_STEREO_MODE").find("Single eye (3)"), std::string::npos)
      << run.output;
  EXPECT_NE(LineOf(run.output, "ORVEXVP_SINGLE_EYE").find("Left (0)"), std::string::npos) << run.output;
  EXPECT_NE(LineOf(run.output, "ORVEXVP_SWAP_EYES").find("(disabled)"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("ORVEXVP_ANAGLYPH_COLORS"), std::string::npos);
  EXPECT_EQ(run.output.find("ORVEXVP_HIDDEN"), std::string::npos);
  EXPECT_NE(LineOf(run.output, "ORVEXVP_GROUP_STEREO").find("(folded)"), std::string::npos) << run.output;
}

TEST(PanelCommand, BitmapsWritesTheCubePreviewAsACross) {
  const fs::path folder = fs::temp_directory_path() / ("orvex-bitmaps-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  const CommandResult run = Panel("--node vp --bitmaps " + folder.string());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(fs::exists(folder / "orvexvp_header.png"));
  EXPECT_TRUE(fs::exists(folder / "orvexvp_cube_preview_r1c3.png"));
  EXPECT_FALSE(fs::exists(folder / "orvexvp_cube_preview_r1c4.png"));  // empty cells are not written
  EXPECT_FALSE(fs::exists(folder / "orvexvp_cube_preview_r3c0.png"));  // hidden rows neither

  BitmapPtr grid(BaseBitmap::Alloc());
  ASSERT_EQ(grid->Init(Filename(String((folder / "orvexvp_cube_preview_grid.png").string()))),
            IMAGERESULT_OK);
  BitmapPtr front(BaseBitmap::Alloc());
  ASSERT_EQ(front->Init(Filename(ORVEX_PLUGIN_DIR "/res/cubemap_F.png")), IMAGERESULT_OK);
  BitmapPtr up(BaseBitmap::Alloc());
  ASSERT_EQ(up->Init(Filename(ORVEX_PLUGIN_DIR "/res/cubemap_U.png")), IMAGERESULT_OK);
  constexpr Int32 kCell = 48 + 2;  // face images and the gap between them
  EXPECT_EQ(grid->GetBw(), 6 * kCell + 2);
  EXPECT_EQ(grid->GetBh(), 3 * kCell + 2);
  EXPECT_EQ(Centre(*grid, 2 + kCell, 2 + kCell, 48), Centre(*front, 0, 0, 48));  // column 1, row 1
  EXPECT_EQ(Centre(*grid, 2 + kCell, 2, 48), Centre(*up, 0, 0, 48));             // column 1, row 0
  fs::remove_all(folder);
}

TEST(PanelCommand, BadNamesAndValuesFailWithTheNearestNames) {
  CommandResult run = Panel("--node vp --set ORVEXVP_STERO_MODE=3");
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.output.find("nearest names: ORVEXVP_STEREO_MODE"), std::string::npos) << run.output;

  run = Panel("--set PROJECTION=1 --set FISHEYE_FOV=wide");  // the angle is enabled for a fisheye
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.output.find("\"deg\" suffix"), std::string::npos) << run.output;
}
