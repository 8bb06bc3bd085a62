#include "geometry/lens.h"
#include "geometry/scalar_math.h"
#include "module_render_fixture.h"
#include "render_checks.h"
#include "runtime/object_params.h"
#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"
#include "test_scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

// Renders through the loaded plugin folder, in an environment whose colour encodes the direction
// it is seen in: every output pixel tells which way its ray went.

namespace {

using render_test::AngleDegrees;
using render_test::ColourDirection;

constexpr const char* kNoCamera = "No Orvex camera found! Create a camera on the Plugins Menu.";
constexpr Float kDegrees = orvex::kPi / 180.0;
// A pixel's ray and the direction its colour encodes agree within this (environment texels are
// 0.7 degrees wide and filtered).
constexpr Float kToleranceDegrees = 1.0;

// The camera-frame direction a projection gives pixel (u, v), by its documented meaning.
using Projection = std::function<Vector(Float u, Float v)>;

Vector FromLongitudeLatitude(Float longitude, Float latitude) {
  return {std::cos(latitude) * std::sin(longitude), std::sin(latitude),
          std::cos(latitude) * std::cos(longitude)};
}

// A fisheye of `fov` over the square image: the angle off the axis grows with the radius.
Projection FisheyeOf(Float fov) {
  return [fov](Float u, Float v) {
    const Float x = 2.0 * u - 1.0;
    const Float y = 1.0 - 2.0 * v;
    const Float r = std::hypot(x, y);
    const Float theta = r * fov * 0.5;
    if (r == 0.0) return Vector(0.0, 0.0, 1.0);
    return Vector(std::sin(theta) * x / r, std::sin(theta) * y / r, std::cos(theta));
  };
}
std::function<bool(Float, Float)> Within(Float radius) {
  return [radius](Float u, Float v) { return std::hypot(2.0 * u - 1.0, 1.0 - 2.0 * v) <= radius; };
}

// A plain camera of `focus` mm on 36 mm film, through the centres of a width x height image.
Projection Pinhole(Float focus, Int32 width, Int32 height) {
  return [=](Float u, Float v) {
    const Float tangentPerPixel = 18.0 / focus / (width * 0.5);
    const Float x = u * (width - 1) + 0.5 - width * 0.5;
    const Float y = height * 0.5 - v * (height - 1) - 0.5;
    return Vector(x * tangentPerPixel, y * tangentPerPixel, 1.0).GetNormalized();
  };
}

class LensRender : public ModuleRender {
 protected:
  // Every traced pixel looks where the projection says, turned by the camera; pixels for which
  // `traced` is false are only asked to be `untraced`, when given. Returns how many pixels looked.
  int ExpectDirections(const FloatImage& image, const Projection& projection,
                       const std::function<bool(Float, Float)>& traced = nullptr,
                       const std::function<bool(const Float32*)>& untraced = nullptr) {
    const Matrix camera = camera_->GetMg();
    int checked = 0;
    for (Int32 y = 0; y < image.height; ++y) {
      for (Int32 x = 0; x < image.width; ++x) {
        const Float u = static_cast<Float>(x) / (image.width - 1);
        const Float v = static_cast<Float>(y) / (image.height - 1);
        const Float32* pixel = image.Pixel(x, y);
        if (traced && !traced(u, v)) {
          EXPECT_TRUE(!untraced || untraced(pixel)) << "pixel " << x << "," << y;
          continue;
        }
        EXPECT_FLOAT_EQ(pixel[3], 1.0f) << "pixel " << x << "," << y;
        const Vector expected = camera.TransformDirection(projection(u, v));
        EXPECT_LT(AngleDegrees(ColourDirection(pixel), expected), kToleranceDegrees)
            << "pixel " << x << "," << y;
        ++checked;
      }
    }
    return checked;
  }

  static bool IsBlank(const Float32* pixel) {
    return pixel[0] == 0.0f && pixel[1] == 0.0f && pixel[2] == 0.0f && pixel[3] == 1.0f;
  }
};

// Every pixel of a turned camera's panorama, against the texel its direction names.
TEST_F(LensRender, PanoramaLooksWhereTheTurnedCameraLooks) {
  AddCamera(CameraKind::Panorama, 64, 32);
  Rotate(30.0, 20.0, 10.0);
  const Projection panorama = [](Float u, Float v) {
    return FromLongitudeLatitude((u - 0.5) * orvex::kTwoPi, (0.5 - v) * orvex::kPi);
  };
  EXPECT_EQ(ExpectDirections(Render(), panorama), 64 * 32);
}

TEST_F(LensRender, CustomPanoramaCoversItsSpanAndLatitudes) {
  AddCamera(CameraKind::Panorama, 64, 32);
  SetTag(ORVEXTAG_EQUIRECT_CUSTOM, GeData(true));
  SetTag(ORVEXTAG_EQUIRECT_HSPAN, GeData(orvex::kPi));
  SetTag(ORVEXTAG_EQUIRECT_LAT_MIN, GeData(-45.0 * kDegrees));
  SetTag(ORVEXTAG_EQUIRECT_LAT_MAX, GeData(60.0 * kDegrees));
  const Projection custom = [](Float u, Float v) {
    return FromLongitudeLatitude((u - 0.5) * orvex::kPi, (60.0 - v * 105.0) * kDegrees);
  };
  ExpectDirections(Render(), custom);
}

TEST_F(LensRender, FulldomeLooksUpWithTheFrontAtTheBottom) {
  AddCamera(CameraKind::Fulldome, 49, 49);
  const FloatImage image = Render();
  EXPECT_GT(ExpectDirections(image, FisheyeOf(orvex::kPi), Within(1.0)), 1500);
  // The middle of the bottom edge looks at the horizon straight ahead, the middle straight up.
  EXPECT_LT(AngleDegrees(ColourDirection(image.Pixel(24, 48)), Vector(0.0, 0.0, 1.0)), 1.0);
  EXPECT_LT(AngleDegrees(ColourDirection(image.Pixel(24, 24)), Vector(0.0, 1.0, 0.0)), 1.0);
}

TEST_F(LensRender, FisheyeOf360DegreesFollowsATurnedCamera) {
  AddCamera(CameraKind::Fisheye, 48, 48);
  SetTag(ORVEXTAG_FISHEYE_FOV, GeData(orvex::kTwoPi));
  Rotate(-40.0, 0.0, 25.0);
  ExpectDirections(Render(), FisheyeOf(orvex::kTwoPi), Within(0.97));
}

TEST_F(LensRender, LittlePlanetLooksDownWithAWideFisheye) {
  AddCamera(CameraKind::LittlePlanet, 49, 49);
  const FloatImage image = Render();
  ExpectDirections(image, FisheyeOf(315.0 * kDegrees), Within(1.0));
  EXPECT_LT(AngleDegrees(ColourDirection(image.Pixel(24, 24)), Vector(0.0, -1.0, 0.0)), 1.0);
}

TEST_F(LensRender, CylinderCoversItsAngleAroundEitherAxis) {
  AddCamera(CameraKind::Cylindrical, 64, 16);
  SetTag(ORVEXTAG_CYL_HFOV, GeData(orvex::kPi));
  ExpectDirections(Render(),
                   [](Float u, Float) { return FromLongitudeLatitude((u - 0.5) * orvex::kPi, 0.0); });

  SetTag(ORVEXTAG_CYL_ORIENTATION, GeData(Int32(1)));
  ExpectDirections(Render(),
                   [](Float, Float v) { return FromLongitudeLatitude(0.0, (0.5 - v) * orvex::kPi); });
}

// A cylinder moves each ray's origin along its axis: with a height of 100, the rows above the middle
// of an upright one start above the camera, the columns right of the middle of a turned one start
// right of it, and only those hit a wall that stands on that side.
class CylinderOrigins : public LensRender, public testing::WithParamInterface<Int32> {};

TEST_P(CylinderOrigins, RaysStartAlongTheAxisAndOnlyOneSideHitsTheWall) {
  const bool turned = GetParam() == 1;
  // The turned cylinder's case is the upright one's with X and Y swapped.
  const auto swapped = [turned](const Vector& v) { return turned ? Vector(v.y, v.x, v.z) : v; };
  AddCamera(CameraKind::Cylindrical, turned ? 16 : 8, turned ? 8 : 16);
  BaseObject* wall = BaseObject::Alloc(Ocube);
  wall->GetDataInstance()->SetVector(PRIM_CUBE_LEN, swapped(Vector(20000.0, 1000.0, 10.0)));
  wall->GetDataInstance()->SetVector(OBJECT_COLOR, Vector(0.0));
  wall->SetRelPos(swapped(Vector(0.0, 500.0, 500.0)));
  doc_->InsertObject(wall, nullptr);
  SetTag(ORVEXTAG_CYL_HFOV, GeData(30.0 * kDegrees));
  SetTag(ORVEXTAG_CYL_ORIENTATION, GeData(GetParam()));
  const FloatImage image = Render();
  for (Int32 i = 0; i < 16; ++i) {
    const Float32* pixel = turned ? image.Pixel(i, 4) : image.Pixel(4, i);
    EXPECT_EQ(pixel[0] + pixel[1] + pixel[2] == 0.0f, turned ? i >= 8 : i < 8) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Cylinder, CylinderOrigins, testing::Values(0, 1),
                         [](const testing::TestParamInfo<Int32>& info) {
                           return info.param ? "Turned" : "Upright";
                         });

TEST_F(LensRender, CubeFaceShowsTheFrontFace) {
  AddCamera(CameraKind::CubeFace, 32, 32);
  ExpectDirections(
      Render(), [](Float u, Float v) { return Vector(2.0 * u - 1.0, 1.0 - 2.0 * v, 1.0).GetNormalized(); });
}

TEST_F(LensRender, FisheyeMaskModesBlankOrTrace) {
  AddCamera(CameraKind::Fisheye, 48, 48);
  // The lens pixels alone: no overlays, and a mask image that covers nothing.
  SetEffect(ORVEXVP_OVERLAY, GeData(false));
  const std::string clearMask = render_test::WriteUniformImage(folder_->File("clear_mask.png"), 4, 4, 0.0f);
  SetEffect(ORVEXVP_MASK_FILE, GeData(Filename(String(clearMask))));
  const Projection fisheye = FisheyeOf(orvex::kPi);

  // Circle mask: blank (black, opaque) beyond the circle, traced within.
  SetEffect(ORVEXVP_MASK_MODE, GeData(orvex::kMaskModeCircle));
  ExpectDirections(Render(), fisheye, Within(1.0), IsBlank);

  // Mask image: no ray beyond radius 1.01, so those pixels stay transparent for the mask to cover.
  SetEffect(ORVEXVP_MASK_MODE, GeData(orvex::kMaskModeImage));
  ExpectDirections(Render(), fisheye, Within(1.01), [](const Float32* pixel) { return pixel[3] == 0.0f; });

  // No mask: the lens keeps going into the corners.
  SetEffect(ORVEXVP_MASK_MODE, GeData(orvex::kMaskModeNone));
  EXPECT_EQ(ExpectDirections(Render(), fisheye), 48 * 48);
}

TEST_F(LensRender, LogLinesOfAFisheyeRender) {
  AddCamera(CameraKind::Fisheye, 48, 40);
  Render();
  EXPECT_EQ(render_test::Joined(ModuleLines()),
            "------- STARTING ------- | Orvex360CamVP::Execute VIDEOPOSTCALL_FRAMESEQUENCE > opengl [0] | "
            "AREA start [0.00/0.00] end [47.00/39.00] size [48,40] | "
            "FRAME start [0.00/0.00] end [47.00/39.00] size [48,40] | "
            "Orvex360CamVP::Execute VIDEOPOSTCALL_FRAME > opengl [0] | ------- FINISH -------");
}

TEST_F(LensRender, EditorRenderLetterboxesToTheTagsAspect) {
  AddCamera(CameraKind::Fisheye, 1920, 1080);
  SetEffect(ORVEXVP_MASK_MODE, GeData(orvex::kMaskModeNone));
  const FloatImage image = Render(true);  // the tag derives the fisheye's 1:1 as the scene is evaluated
  EXPECT_TRUE(ConsoleHas("PREVIEW start [420.00/0.00] end [1499.00/1079.00] size [1080,1080]"));
  for (const Int32 y : {0, 540, 1079})
    for (const Int32 x : {0, 419, 420, 1499, 1500, 1919})
      EXPECT_EQ(IsBlank(image.Pixel(x, y)), x < 420 || x > 1499) << x << "," << y;
  // The dome fills the letterbox: its left edge looks 90 degrees to the left.
  EXPECT_LT(AngleDegrees(ColourDirection(image.Pixel(420, 540)), Vector(-1.0, 0.0, 0.0)), 1.0);
}

// Without a tagged camera, or with its tag switched off, the camera renders as a plain one (the
// fulldome camera: 8 mm, looking up; no dome, no mask) and one line says so.
TEST_F(LensRender, WithoutAnEnabledTagThePlainCameraRendersAndOneLineSaysSo) {
  AddCamera(CameraKind::Plain, 32, 16);
  doc_->GetActiveRenderData()->InsertVideoPost(BaseVideoPost::Alloc(kEffectType));
  FloatImage image = Render();
  EXPECT_EQ(ModuleLines(), std::vector<std::string>({"------- STARTING -------", kNoCamera}));
  EXPECT_EQ(ExpectDirections(image, Pinhole(36.0, 32, 16)), 32 * 16);

  TearDown();
  SetUp();
  AddCamera(CameraKind::Fulldome, 16, 16);
  SetTag(ORVEXTAG_ENABLE, GeData(false));
  image = Render();
  const std::vector<std::string> lines = ModuleLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), kNoCamera), 1);
  EXPECT_EQ(ExpectDirections(image, Pinhole(8.0, 16, 16)), 16 * 16);
}

}  // namespace
