#include "geometry/cubemap_layout.h"
#include "module_render_fixture.h"
#include "orvex360camvp/orvex360camvp_params.h"

#include <gtest/gtest.h>

#include <algorithm>

// How many camera images real renders make: the module asks the host for them, the host renders
// each one between the camera phases and merges them.

namespace {

struct CountCase {
  const char* name;
  CameraKind kind;
  bool stereo;
  Int32 stereoMode;
  Int32 cubeLayout;
  Int32 cameras;  // of an external render; editor renders always have one
};

class CameraCount : public ModuleRender, public testing::WithParamInterface<CountCase> {
 protected:
  Int32 Merges() const {
    const std::vector<std::string> lines = ModuleLines();
    return static_cast<Int32>(std::count(lines.begin(), lines.end(), "Stereo MERGE!"));
  }
};

TEST_P(CameraCount, ExternalRendersMakeOneImagePerCameraAndMergeThemEditorRendersOne) {
  const CountCase& c = GetParam();
  AddCamera(c.kind, 24, 18);
  Settings().SetBool(RDATA_STEREO, c.stereo);
  SetEffect(ORVEXVP_STEREO_MODE, GeData(c.stereoMode));
  SetEffect(ORVEXVP_CUBE_LAYOUT, GeData(c.cubeLayout));
  Render();
  EXPECT_EQ(CamerasRendered(), GetParam().cameras);
  // One merge per frame: alpha is carried along with the colour.
  EXPECT_EQ(Merges(), GetParam().cameras > 1 ? 1 : 0);
  // Render start's stereo switch for cubemaps belongs to that render, not to the document.
  EXPECT_EQ(Settings().GetBool(RDATA_STEREO), GetParam().stereo);
  Render(true);
  EXPECT_EQ(CamerasRendered(), 1);
  EXPECT_EQ(Merges(), 0);
}

constexpr Int32 kAnaglyph = ORVEXVP_STEREO_MODE_ANAGLYPH;
constexpr Int32 kSideBySide = ORVEXVP_STEREO_MODE_SIDE_BY_SIDE;
constexpr Int32 kSingleEye = ORVEXVP_STEREO_MODE_SINGLE_EYE;
constexpr Int32 kCross = orvex::kCubemapCrossHorizontal;
constexpr Int32 kOneFace = orvex::kCubemapSingleFace;

INSTANTIATE_TEST_SUITE_P(
    MonoStereoAndCubemaps, CameraCount,
    testing::Values(CountCase{"Mono", CameraKind::Panorama, false, kAnaglyph, kCross, 1},
                    CountCase{"StereoPair", CameraKind::Panorama, true, kSideBySide, kCross, 2},
                    CountCase{"SingleEye", CameraKind::Fulldome, true, kSingleEye, kCross, 1},
                    CountCase{"MonoCubemap", CameraKind::Cubemap, false, kAnaglyph, kCross, 6},
                    CountCase{"StereoCubemap", CameraKind::Cubemap, true, kSideBySide, kCross, 12},
                    CountCase{"SingleEyeCubemap", CameraKind::Cubemap, true, kSingleEye, kCross, 6},
                    CountCase{"MonoCubeFace", CameraKind::Cubemap, false, kAnaglyph, kOneFace, 1},
                    CountCase{"StereoCubeFace", CameraKind::Cubemap, true, kAnaglyph, kOneFace, 2}),
    [](const testing::TestParamInfo<CountCase>& info) { return std::string(info.param.name); });

}  // namespace
