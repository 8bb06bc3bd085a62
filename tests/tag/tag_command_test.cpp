#include "render_test_support.h"

#include <gtest/gtest.h>

namespace {
const render_test::TempFolder kFolder;

CommandResult Orvex(const std::string& arguments) { return render_test::ToolCommand(kFolder, arguments); }
bool Has(const CommandResult& run, const std::string& text) {
  return run.output.find(text) != std::string::npos;
}
}  // namespace

// The question's text and the fitted sizes are checked in-process (TagBehaviour.FitAsksAndSetsTheRenderSize);
// here the command's answers reach the dialog and its render settings show the result.
TEST(TagCommands, FitHeightAsksThenSetsASquareDomeFrame) {
  const std::string fit = "panel --node tag --render-size 1920x1080 --set ORVEXTAG_PROJECTION=1 --answer ";
  const CommandResult yes = Orvex(fit + "yes --press FIT_HEIGHT");
  ASSERT_EQ(yes.exitCode, 0) << yes.output;
  EXPECT_TRUE(Has(yes, "[host] question: ")) << yes.output;
  EXPECT_TRUE(Has(yes, "render settings: 1920 x 1920")) << yes.output;
  const CommandResult no = Orvex(fit + "no --press FIT_WIDTH");
  ASSERT_EQ(no.exitCode, 0) << no.output;
  EXPECT_TRUE(Has(no, "render settings: 1920 x 1080")) << no.output;
  EXPECT_NE(Orvex("panel --render-size 0x5").exitCode, 0);
}

TEST(TagCommands, DisabledElementsTakeNoClickAndADoubleClickShowsTheResetPad) {
  const std::pair<const char*, const char*> disabled[] = {
      {"--effect-off --render-size 1920x1080 --answer yes --press FIT_HEIGHT", "ORVEXTAG_FIT_HEIGHT"},
      {"--set ORVEXTAG_EYE_SEPARATION=7", "ORVEXTAG_EYE_SEPARATION"}};
  for (const auto& [arguments, refusal] : disabled) {
    const CommandResult run = Orvex(std::string("panel ") + arguments);
    EXPECT_NE(run.exitCode, 0) << run.output;
    EXPECT_TRUE(Has(run, std::string(refusal) + " is disabled")) << run.output;
    EXPECT_FALSE(Has(run, "SET RES")) << run.output;  // the fit did not run
  }
  const CommandResult reset = Orvex("panel --set ORVEXTAG_PROJECTION=1 --evaluate --pad-double-click");
  ASSERT_EQ(reset.exitCode, 0) << reset.output;
  EXPECT_TRUE(Has(reset, "pad: (0.5, 0.5, 1)")) << reset.output;
}

// The panel follows the scene's evaluation after every edit, as the attribute manager does: the
// camera's stereo mode, and the pad over the dome map (100 x 100: pixel 50 is 50/99) as soon as the
// tag is a stereo dome. The switched-off effect's notice is followed in tag_behaviour_test.cpp.
TEST(TagCommands, EditsAreFollowedByTheSceneEvaluation) {
  const CommandResult run = Orvex(
      "panel --set ORVEXTAG_PROJECTION=1 --set ORVEXTAG_STEREO=1 --set ORVEXTAG_FISHEYE_TYPE=1 "
      "--set ORVEXTAG_EYE_SEPARATION=7 --pad-click 50,50");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(Has(run, "stereo on")) << run.output;
  EXPECT_TRUE(Has(run, "camera: stereo mode 1, eye separation 7")) << run.output;
  EXPECT_TRUE(Has(run, "pad: (0.50505, 0.50505, 1)")) << run.output;
}

TEST(TagCommands, TagStereoSwitchRendersAStereoFrame) {
  const CommandResult run = Orvex(
      "render -c panorama -s 64x32 --samples 1 --set ORVEXTAG_STEREO=1 --set ORVEXVP_STEREO_MODE=1 -o s.png");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(Has(run, "Stereo MERGE!")) << run.output;
}
