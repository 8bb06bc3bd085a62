#include "render_test_support.h"
#include "runtime/bitmap_io.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {
const render_test::TempFolder kFolder;

CommandResult Panel(const std::string& arguments) {
  return render_test::ToolCommand(kFolder, "panel " + arguments);
}

// The line of the panel that ends in a parameter's symbol (or its disabled mark).
std::string LineOf(const std::string& output, const std::string& symbol) {
  size_t at = output.find(" " + symbol);
  if (at == std::string::npos) return {};
  const size_t start = output.rfind('\n', at) + 1;
  return output.substr(start, output.find('\n', at) - start);
}

// The centre of a 48-pixel face image at (left, top) of an image file.
Vector Centre(const std::string& file, Int32 left = 0, Int32 top = 0) {
  BitmapPtr bitmap(BaseBitmap::Alloc());
  EXPECT_EQ(bitmap->Init(Filename(file.c_str())), IMAGERESULT_OK) << file;
  return bitmap->GetPixelFloat(left + 24, top + 24);
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
  const fs::path folder = kFolder.Path() / "bitmaps";
  const CommandResult run = Panel("--node vp --bitmaps " + folder.string());
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(fs::exists(folder / "orvexvp_header.png"));
  EXPECT_TRUE(fs::exists(folder / "orvexvp_cube_preview_r1c3.png"));
  EXPECT_FALSE(fs::exists(folder / "orvexvp_cube_preview_r1c4.png"));  // empty cells are not written
  EXPECT_FALSE(fs::exists(folder / "orvexvp_cube_preview_r3c0.png"));  // hidden rows neither

  const std::string grid = (folder / "orvexvp_cube_preview_grid.png").string();
  constexpr Int32 kCell = 48 + 2;  // face images and the gap between them
  const FloatImage size = render_test::ReadImage(grid);
  EXPECT_EQ(size.width, 6 * kCell + 2);
  EXPECT_EQ(size.height, 3 * kCell + 2);
  EXPECT_EQ(Centre(grid, 2 + kCell, 2 + kCell),
            Centre(ORVEX_PLUGIN_DIR "/res/cubemap_F.png"));                              // column 1, row 1
  EXPECT_EQ(Centre(grid, 2 + kCell, 2), Centre(ORVEX_PLUGIN_DIR "/res/cubemap_U.png"));  // column 1, row 0
}

TEST(PanelCommand, BadNamesAndValuesFailWithTheNearestNames) {
  CommandResult run = Panel("--node vp --set ORVEXVP_STERO_MODE=3");
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.output.find("nearest names: ORVEXVP_STEREO_MODE"), std::string::npos) << run.output;

  run = Panel("--set PROJECTION=1 --set FISHEYE_FOV=wide");  // the angle is enabled for a fisheye
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.output.find("\"deg\" suffix"), std::string::npos) << run.output;
}
