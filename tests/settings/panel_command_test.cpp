#include "render_test_support.h"
#include "runtime/bitmap_io.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {
// The centre of a 48-pixel face image at (left, top) of an image file.
Vector Centre(const std::string& file, Int32 left = 0, Int32 top = 0) {
  BitmapPtr bitmap(BaseBitmap::Alloc());
  EXPECT_EQ(bitmap->Init(Filename(file.c_str())), IMAGERESULT_OK) << file;
  return bitmap->GetPixelFloat(left + 24, top + 24);
}
}  // namespace

// Which cells are written is a row of data/commands.tsv; here the grid's faces.
TEST(PanelCommand, BitmapsWritesTheCubePreviewAsACross) {
  const render_test::TempFolder temp;
  const fs::path folder = temp.Path() / "bitmaps";
  const CommandResult run = render_test::ToolCommand(temp, "panel --node vp --bitmaps " + folder.string());
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const std::string grid = (folder / "orvexvp_cube_preview_grid.png").string();
  constexpr Int32 kCell = 48 + 2;  // face images and the gap between them
  const FloatImage size = render_test::ReadImage(grid);
  EXPECT_EQ(size.width, 6 * kCell + 2);
  EXPECT_EQ(size.height, 3 * kCell + 2);
  EXPECT_EQ(Centre(grid, 2 + kCell, 2 + kCell),
            Centre(ORVEX_PLUGIN_DIR "/res/cubemap_F.png"));                              // column 1, row 1
  EXPECT_EQ(Centre(grid, 2 + kCell, 2), Centre(ORVEX_PLUGIN_DIR "/res/cubemap_U.png"));  // column 1, row 0
}
