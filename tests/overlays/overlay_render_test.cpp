#include "module_render_fixture.h"
#include "render_checks.h"
#include "runtime/bitmap_io.h"
#include "settings/orvex360camvp_params.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

using render_test::LinesStartingWith;

constexpr Int32 kSize = 400;
enum Corner { kTopLeft, kTopRight, kBottomLeft, kBottomRight };  // bottom half 2, right half 1

bool InsideDome(Int32 x, Int32 y, Int32 left, Int32 size) {
  const Float u = (x - left) / (size - 1.0), v = y / (size - 1.0);
  return std::hypot(2.0 * u - 1.0, 2.0 * v - 1.0) <= 1.0;
}

// The pixels, as (x, y) in rows from the top, where two renders of one size differ.
using Pixels = std::vector<std::array<Int32, 2>>;
Pixels Changed(const FloatImage& a, const FloatImage& b) {
  Pixels changed;
  for (Int32 y = 0; y < a.height; ++y)
    for (Int32 x = 0; x < a.width; ++x)
      if (!std::equal(a.Pixel(x, y), a.Pixel(x, y) + 4, b.Pixel(x, y))) changed.push_back({x, y});
  return changed;
}

// Corners (of the dome whose area starts at column `left`) where two renders differ; fails the test
// when they differ anywhere inside the dome circle.
std::set<Corner> ChangedCorners(const FloatImage& a, const FloatImage& b, Int32 left = 0) {
  std::set<Corner> corners;
  for (const auto& [x, y] : Changed(a, b)) {
    if (x < left || x >= left + kSize) continue;
    EXPECT_FALSE(InsideDome(x, y, left, kSize)) << "changed inside the dome at " << x << "," << y;
    corners.insert(Corner(2 * (y >= kSize / 2) + (x - left >= kSize / 2)));
  }
  return corners;
}

class OverlayRender : public ModuleRender {
 protected:
  void SetUp() override {
    ModuleRender::SetUp();
    AddCamera(CameraKind::Fulldome, kSize, kSize);
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  }
  void TearDown() override {
    unsetenv("SOURCE_DATE_EPOCH");
    ModuleRender::TearDown();
  }

  // Every overlay element on (the built-in logo) or off; the master switch as it is.
  void ShowAll(bool on) {
    for (Int32 id : {ORVEXVP_SHOW_INFO, ORVEXVP_SHOW_TIME, ORVEXVP_SHOW_FRAME, ORVEXVP_SHOW_TEXT})
      SetEffect(id, GeData(on));
    SetEffect(ORVEXVP_LOGO_MODE, GeData(Int32(on ? 0 : 2)));
  }

  // Only the logo (or only the mask) from the image file at `path`; every other element off, and the
  // dome's circle for a mask while the logo is tested.
  void LayerFromFile(bool logo, const std::string& path) {
    ShowAll(false);
    SetEffect(ORVEXVP_MASK_MODE, GeData(Int32(logo ? 0 : 1)));
    SetEffect(ORVEXVP_LOGO_MODE, GeData(Int32(logo ? 1 : 2)));
    SetEffect(logo ? ORVEXVP_LOGO_FILE : ORVEXVP_MASK_FILE, GeData(Filename(String(path))));
  }

  FloatImage OverlayOff() {
    SetEffect(ORVEXVP_OVERLAY, GeData(false));
    FloatImage image = Render();
    SetEffect(ORVEXVP_OVERLAY, GeData(true));
    return image;
  }

  FloatImage RenderFrameNumber(Int32 frame) {
    RenderOptions options;
    options.firstFrame = options.lastFrame = frame;
    options.environment = environment_;
    return render_test::RenderFrame(doc_, options);
  }

  static std::string BuiltInLogo() { return std::string(ORVEX_PLUGIN_DIR) + "/res/Orvex360Cam.png"; }

  std::string WriteFile(const std::string& name, const std::string& bytes) {
    files::WriteText(folder_->File(name), bytes);
    return folder_->File(name);
  }

  // A mask of `size` pixels: black and opaque beyond the circle, clear within (or, without alpha,
  // black beyond and white within).
  std::string WriteMask(const std::string& name, bool withAlpha) {
    BitmapPtr mask(BaseBitmap::Alloc());
    const Int32 size = 64;
    EXPECT_EQ(mask->Init(size, size, withAlpha ? 32 : 24), IMAGERESULT_OK);
    for (Int32 y = 0; y < size; ++y) {
      for (Int32 x = 0; x < size; ++x) {
        const bool outside = !InsideDome(x, y, 0, size);
        if (withAlpha) mask->SetAlpha(x, y, outside ? 1.0 : 0.0);
        if (!withAlpha && !outside) mask->SetPixel(x, y, 255, 255, 255);
      }
    }
    std::string error;
    const std::string path = folder_->File(name);
    EXPECT_TRUE(SaveBitmap(*mask, path, error)) << error;
    return path;
  }
};

TEST_F(OverlayRender, EachSwitchShowsItsElementInItsCornerAndNothingElse) {
  const FloatImage off = OverlayOff();
  ShowAll(false);
  const FloatImage none = Render();
  EXPECT_TRUE(ChangedCorners(off, none).empty());

  struct Case {
    Int32 id;
    GeData value;
    std::set<Corner> corners;
  };
  const Case cases[] = {{ORVEXVP_SHOW_TEXT, GeData(true), {kTopLeft}},
                        {ORVEXVP_SHOW_INFO, GeData(true), {kTopRight}},
                        {ORVEXVP_SHOW_TIME, GeData(true), {kBottomLeft}},
                        {ORVEXVP_SHOW_FRAME, GeData(true), {kBottomLeft}},
                        {ORVEXVP_LOGO_MODE, GeData(Int32(0)), {kBottomRight}},
                        {ORVEXVP_LOGO_MODE, GeData(Int32(1)), {kBottomRight}}};
  SetEffect(ORVEXVP_LOGO_FILE, GeData(Filename(String(BuiltInLogo()))));
  std::vector<FloatImage> renders;
  for (const Case& c : cases) {
    ShowAll(false);
    SetEffect(c.id, c.value);
    renders.push_back(Render());
    EXPECT_EQ(ChangedCorners(none, renders.back()), c.corners) << "parameter " << c.id;
  }

  // The same logo by file (mode 1) lacks only the title of the built-in one (mode 0).
  const FloatImage& withTitle = renders[4];
  const FloatImage& logoOnly = renders[5];
  EXPECT_EQ(ChangedCorners(logoOnly, withTitle), std::set<Corner>({kBottomRight}));
  Int32 titleTop = kSize;
  for (const auto& [x, y] : Changed(logoOnly, withTitle)) titleTop = std::min(titleTop, y);
  EXPECT_GT(titleTop, kSize - 20);  // a line of small text at the bottom edge
}

TEST_F(OverlayRender, TimecodeAndFrameCounterAtKnownFrames) {
  ShowAll(false);
  SetEffect(ORVEXVP_SHOW_FRAME, GeData(true));
  Settings().SetFloat(RDATA_FRAMERATE, 25.0);
  const FloatImage frame42 = RenderFrameNumber(42);
  const FloatImage frame43 = RenderFrameNumber(43);
  // 000042 and 000043 differ in their last digit only: the changed pixels sit at the right end.
  const Pixels changed = Changed(frame42, frame43);
  ASSERT_FALSE(changed.empty());
  const auto [left, right] = std::minmax_element(changed.begin(), changed.end());
  const Int32 digit = ((*right)[0] - 3 * 2) / 6;  // six monospaced digits from x = 3m
  EXPECT_GT((*left)[0], 3 * 2 + 4 * digit);
}

TEST_F(OverlayRender, MaskImagesCoverTheCorners) {
  const FloatImage circle = OverlayOff();
  SetEffect(ORVEXVP_OVERLAY, GeData(false));
  SetEffect(ORVEXVP_MASK_MODE, GeData(Int32(1)));
  for (const bool withAlpha : {true, false}) {
    SetEffect(ORVEXVP_MASK_FILE, GeData(Filename(String(WriteMask("mask.png", withAlpha)))));
    const FloatImage masked = Render();
    for (const auto& [x, y] : {std::pair{0, 0}, {kSize - 1, 0}, {0, kSize - 1}, {kSize - 1, kSize - 1}}) {
      const Float32* pixel = masked.Pixel(x, y);
      EXPECT_EQ(std::vector<Float32>(pixel, pixel + 4), std::vector<Float32>({0, 0, 0, 1})) << withAlpha;
    }
    for (const auto& [x, y] : Changed(circle, masked))
      EXPECT_GE(std::hypot(x - 199.5, y - 199.5), 180.0) << withAlpha;
  }
}

TEST_F(OverlayRender, SideBySideStereoDomesEachCarryTheirOwn) {
  SetSize(2 * kSize, kSize);
  Settings().SetBool(RDATA_STEREO, true);
  SetEffect(ORVEXVP_STEREO_MODE, GeData(Int32(1)));
  const FloatImage off = OverlayOff();
  ShowAll(false);
  SetEffect(ORVEXVP_LOGO_MODE, GeData(Int32(0)));
  SetEffect(ORVEXVP_SHOW_TEXT, GeData(true));
  const FloatImage on = Render();
  EXPECT_EQ(CamerasRendered(), 2);
  for (const Int32 left : {0, kSize})
    EXPECT_EQ(ChangedCorners(off, on, left), std::set<Corner>({kTopLeft, kBottomRight})) << left;
}

TEST_F(OverlayRender, PanoramaAndEditorRendersHaveNone) {
  ShowAll(true);
  const FloatImage editorOn = Render(true);
  SetEffect(ORVEXVP_OVERLAY, GeData(false));
  const FloatImage editorOff = Render(true);
  EXPECT_TRUE(ChangedCorners(editorOff, editorOn).empty());

  BaseDocument::Free(doc_);
  ModuleRender::SetUp();
  AddCamera(CameraKind::Panorama, 2 * kSize, kSize);
  ShowAll(true);
  const FloatImage panoramaOn = Render();
  EXPECT_TRUE(panoramaOn.rgba == OverlayOff().rgba);
}

TEST_F(OverlayRender, BrokenLogoOrMaskFilesTurnTheirLayerOffWithOneLine) {
  const std::string logo = render_test::ReadText(BuiltInLogo());
  // A PNG whose header says 0 x 0 pixels.
  const std::string empty = std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\0\0\0\0\0\x08\x06\0\0\0", 29);
  // Devices and FIFOs, also behind a link, are refused unread.
  std::filesystem::create_symlink("/dev/zero", folder_->Path() / "zero.png");
  ASSERT_EQ(mkfifo(folder_->File("fifo.png").c_str(), 0600), 0);
  const std::pair<std::string, std::string> broken[] = {
      {folder_->File("missing.png"), "is missing"},
      {WriteFile("garbage.png", "not an image"), "is not an image"},
      {WriteFile("truncated.png", logo.substr(0, 200)), "is not an image"},
      {WriteFile("empty.png", empty), "is not an image"},
      {folder_->Path().string(), "is not an image"},
      {"", "no image file chosen"},
      {folder_->File("zero.png"), "is not an image"},
      {folder_->File("fifo.png"), "is not an image"}};
  const FloatImage off = OverlayOff();
  ShowAll(false);
  SetEffect(ORVEXVP_MASK_MODE, GeData(Int32(2)));
  const FloatImage unmasked = Render();
  FloatImage noFile;
  for (const auto& [path, reason] : broken) {
    LayerFromFile(true, path);
    EXPECT_TRUE(ChangedCorners(off, Render()).empty()) << path;
    const std::vector<std::string> logoLines = LinesStartingWith(ModuleLines(), "Logo off");
    ASSERT_EQ(logoLines.size(), 1u) << path;
    EXPECT_NE(logoLines[0].find(reason), std::string::npos) << logoLines[0];

    LayerFromFile(false, path);
    const FloatImage image = Render();
    EXPECT_EQ(LinesStartingWith(ModuleLines(), "Mask off").size(), 1u) << path;
    if (path.empty()) {
      noFile = image;
      continue;
    }
    EXPECT_TRUE(Changed(unmasked, image).empty()) << path;
  }
  // No mask file chosen keeps the image mask's lens: the dome as without a mask, the corners empty.
  EXPECT_EQ(ChangedCorners(unmasked, noFile).size(), 4u);
  for (const auto& [x, y] : {std::pair{0, 0}, {kSize - 1, 0}, {0, kSize - 1}, {kSize - 1, kSize - 1}})
    EXPECT_EQ(noFile.Pixel(x, y)[3], 0.0f) << x << "," << y;
}

// Logo and mask values that are no number load as 0: the frame stays finite, one line says so.
TEST_F(OverlayRender, LogoAndMaskValuesThatAreNoNumberLoadAsZero) {
  FloatImage image;
  ASSERT_TRUE(image.Allocate(8, 8));
  const Float32 values[] = {std::nanf(""), INFINITY, -INFINITY, 0.5f};
  // Each pixel holds all four, turned one channel further than its left neighbour.
  for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = values[(i + i / 4) % 4];
  render_test::WriteImage(folder_->File("bad.exr"), image);
  for (const std::string layer : {"Logo", "Mask"}) {
    LayerFromFile(layer == "Logo", folder_->File("bad.exr"));
    EXPECT_TRUE(render_test::IsFinite(Render()));
    EXPECT_EQ(LinesStartingWith(ModuleLines(), layer + ": values that are no number").size(), 1u);
  }
}

// The information block (with a fixed date) against its committed image, within a tolerance.
// ORVEX_UPDATE_GOLDEN=1 rewrites the image.
TEST_F(OverlayRender, InformationTextMatchesItsGoldenImage) {
  ShowAll(false);
  SetEffect(ORVEXVP_SHOW_INFO, GeData(true));
  SetEffect(ORVEXVP_TEXT_SIZE, GeData(2.0));
  Settings().SetFloat(RDATA_FRAMERATE, 25.0);
  doc_->SetParameter(DescID(DOCUMENT_NAME), GeData(Filename("dome \xC3\xA9t\xC3\xA9.scn")), DESCFLAGS_SET_0);
  doc_->SetParameter(DescID(DOCUMENT_MAXTIME), GeData(BaseTime(250.0, 25.0)), DESCFLAGS_SET_0);
  const FloatImage image = Render();
  const Int32 width = 160, height = 70;
  const std::string golden = std::string(ORVEX_TEST_DATA) + "/info_golden.png";
  if (std::getenv("ORVEX_UPDATE_GOLDEN")) {
    BitmapPtr corner(BaseBitmap::Alloc());
    ASSERT_EQ(corner->Init(width, height, 24), IMAGERESULT_OK);
    for (Int32 y = 0; y < height; ++y)
      for (Int32 x = 0; x < width; ++x)
        corner->SetPixelFloat(x, y, Vector(image.Pixel(kSize - width + x, y)[0]));
    std::string error;
    ASSERT_TRUE(SaveBitmap(*corner, golden, error)) << error;
  }
  BitmapPtr expected(BaseBitmap::Alloc());
  ASSERT_EQ(expected->Init(Filename(String(golden))), IMAGERESULT_OK);
  Float total = 0.0;
  for (Int32 y = 0; y < height; ++y)
    for (Int32 x = 0; x < width; ++x)
      total += std::abs(expected->GetPixelFloat(x, y).x - image.Pixel(kSize - width + x, y)[0]);
  EXPECT_LT(total / (width * height), 0.01);
}

}  // namespace
