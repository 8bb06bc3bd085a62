#include "xypad/xypad.h"
#include "runtime/custom_gui_host.h"
#include "runtime/gui_records.h"
#include "runtime/host_state.h"
#include "runtime/plugin_registry.h"
#include "settings/orvextag_params.h"
#include "tagged_camera.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace {
class XYPad : public TaggedCameraTest {
 protected:
  void TearDown() override {
    pad = nullptr;  // freed by the module that made it, before the module goes
    TaggedCameraTest::TearDown();
  }
  // Opens the pad on the tag's value as it is now, as the attribute manager shows it; `dome` first
  // switches the tag to a dome.
  void Open(bool dome = false) {
    if (dome) {
      Data().SetInt32(ORVEXTAG_PROJECTION, ORVEXTAG_PROJECTION_FISHEYE);
      Data().SetInt32(ORVEXTAG_FISHEYE_TYPE, ORVEXTAG_FISHEYE_TYPE_DOME);
      scene->doc->ExecutePasses(nullptr, true, true, true);  // the pad's z follows the projection
    }
    pad = nullptr;
    std::string error;
    pad = HostedCustomGui::Open(tag, ORVEXTAG_STEREO_DIRECTION_PAD, error);
    ASSERT_TRUE(pad) << error;
  }
  // Runs a gesture; answers how many times the pad wrote the tag's parameter.
  Int32 Gesture(const std::vector<HostedCustomGui::Point>& points, bool doubleClick = false) {
    const Int32 before = host_state::EventCount();
    std::string error;
    EXPECT_TRUE(pad->Gesture(points, doubleClick, error)) << error;
    return host_state::EventCount() - before;
  }
  Vector TagPad() { return Data().GetVector(ORVEXTAG_STEREO_DIRECTION_PAD); }

  std::unique_ptr<HostedCustomGui> pad;
};

// Bitmaps keep 8-bit steps: the marker colour to within one step.
bool IsMarker(const Vector& colour) { return (colour - InterfaceColour(1004)).GetLength() < 0.01; }
}  // namespace

TEST_F(XYPad, PanoramaPadClicksMapPixelsToValuesAndReachTheTag) {
  Open();
  const Int32 redraws = host_state::RedrawRequests();
  EXPECT_EQ(Gesture({{199, 50}}), 2);                    // one step, one release
  EXPECT_EQ(host_state::RedrawRequests() - redraws, 2);  // the views follow each new direction
  EXPECT_EQ(TagPad(), Vector(1.0, static_cast<Float32>(50.0f / 99.0f), 0.0));
  Gesture({{-30, 400}});  // outside the pad: clamped
  EXPECT_EQ(TagPad(), Vector(0.0, 1.0, 0.0));
  // A quarter turn to the right of the pad's centre is the preferred direction's longitude.
  Gesture({{149, 49}});
  EXPECT_NEAR(std::fabs(Data().GetFloat(ORVEXTAG_STEREO_DIRECTION_LON)), std::numbers::pi / 2.0, 0.02);
  // The marker is drawn where the click landed, and the pad is 2:1.
  const BitmapPtr picture = pad->Snapshot();
  ASSERT_TRUE(picture);
  EXPECT_EQ(std::pair(picture->GetBw(), picture->GetBh()), std::pair(200, 100));
  EXPECT_TRUE(IsMarker(picture->GetPixelFloat(149, 49)));
  EXPECT_TRUE(IsMarker(picture->GetPixelFloat(149 + 4, 49)));
  EXPECT_FALSE(IsMarker(picture->GetPixelFloat(149 + 5, 49)));
}

TEST_F(XYPad, DomePadKeepsDragsInsideItsCircle) {
  Open(true);
  EXPECT_EQ(pad->Value().GetValue().GetVector().z, 1.0);
  // A first press at a corner changes nothing, yet tells the dialog once.
  const Vector before = TagPad();
  EXPECT_EQ(Gesture({{99, 99}}), 1);
  EXPECT_EQ(TagPad(), before);
  // From the centre to the lower right corner: the point slides along the circle.
  EXPECT_EQ(Gesture({{49, 49}, {80, 80}, {99, 99}}), 4);
  const Float onCircle = (1.0 / std::sqrt(2.0) + 1.0) / 2.0;
  EXPECT_NEAR(TagPad().x, onCircle, 1e-6);
  EXPECT_NEAR(TagPad().y, onCircle, 1e-6);
  const BitmapPtr picture = pad->Snapshot();
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->GetBw(), 100);
  EXPECT_TRUE(IsMarker(picture->GetPixelFloat(85, 85)));  // round(99 * 0.8536)
}

// A double click asks the tag for its reset position (data/commands.tsv); the reset request itself,
// a value of (-1, -1) in the GUI, draws no marker anywhere.
TEST_F(XYPad, AResetRequestDrawsNoMarker) {
  Data().SetVector(ORVEXTAG_STEREO_DIRECTION_PAD, Vector(-1.0, -1.0, 0.0));
  Open();
  const BitmapPtr picture = pad->Snapshot();
  for (Int32 y = 0; y < picture->GetBh(); ++y)
    for (Int32 x = 0; x < picture->GetBw(); ++x) ASSERT_FALSE(IsMarker(picture->GetPixelFloat(x, y)));
}

TEST_F(XYPad, OtherInputAndBadValuesChangeNothing) {
  Open();
  BaseContainer key(BFM_INPUT);
  key.SetInt32(BFM_INPUT_DEVICE, FourCC("kbrd"));
  key.SetInt32(BFM_INPUT_CHANNEL, BFM_INPUT_MOUSELEFT);
  XYPadUserArea area;
  EXPECT_FALSE(area.InputEvent(key));
  key.SetInt32(BFM_INPUT_DEVICE, BFM_INPUT_MOUSE);
  key.SetInt32(BFM_INPUT_CHANNEL, 2);  // the right button
  EXPECT_FALSE(area.InputEvent(key));
  const Vector before = TagPad();
  std::string error;
  EXPECT_FALSE(pad->Gesture({}, false, error));
  EXPECT_EQ(TagPad(), before);
  const Float nan = std::numeric_limits<Float>::quiet_NaN();
  Data().SetVector(ORVEXTAG_STEREO_DIRECTION_PAD, Vector(nan, 1e300, nan));
  Open();
  EXPECT_TRUE(pad->Snapshot());  // draws, no marker, no crash
}

TEST_F(XYPad, ItsLibraryReachesPadsThroughTheHostsStandardFunctions) {
  const CustomGuiLib* library = PluginRegistry::Instance().Library(ID_XYPAD);
  ASSERT_TRUE(library);
  CustomGuiData* factory = PluginRegistry::Instance().Find(ID_XYPAD)->customGui;
  iCustomGui* gui = factory->Alloc(BaseContainer());
  ASSERT_TRUE(gui && gui->CreateLayout());
  EXPECT_TRUE(library->SetData(gui, {GeData(Vector(0.25, 0.75, 1.0)), false}));
  EXPECT_EQ(library->GetData(gui).GetValue().GetVector(), Vector(0.25, 0.75, 1.0));
  library->Redraw(gui);
  factory->Free(gui, nullptr);
  CustomGuiLib unfilled;
  EXPECT_FALSE(InstallLibrary(990003, &unfilled, 1000, sizeof(unfilled)));
  EXPECT_EQ(PluginRegistry::Instance().Library(990003), nullptr);
}
