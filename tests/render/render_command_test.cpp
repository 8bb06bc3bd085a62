#include "render_checks.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The orvex360 render command, run as an artist runs it and tried as a careless or hostile user
// would: every bad case ends in a clear message and a non-zero exit, or in a defined result, and
// never loses a file.

namespace {

namespace fs = std::filesystem;

using namespace render_test;

bool HasTemporaryFile(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().starts_with(".orvex360-")) return true;
  return false;
}

// SIGTERM (a farm's cancel) while a frame is written leaves no temporary file: the render is stopped
// whenever a file appears in its folder, and ended by the signal once a temporary file is there.
TEST(HostileInput, ASignalDuringAWriteLeavesNoTemporaryFile) {
  TempFolder folder;
  const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  ASSERT_GE(inotify_add_watch(watch, folder.Path().c_str(), IN_CREATE | IN_MOVED_TO), 0);
  const pid_t render = fork();
  if (render == 0) {
    if (chdir(folder.Path().c_str()) == 0)
      execl(ORVEX360_COMMAND, ORVEX360_COMMAND, "--plugins", ORVEX_PLUGIN_DIR, "render", "-s", "1024x1024",
            "--samples", "1", "--frames", "0-3", "-o", "f_#.tif", nullptr);
    _exit(127);
  }
  int status = 0;
  bool signalled = false;
  while (waitpid(render, &status, WNOHANG) == 0) {
    pollfd event{watch, POLLIN, 0};
    if (signalled || poll(&event, 1, 100) <= 0) continue;
    char buffer[4096];
    while (read(watch, buffer, sizeof(buffer)) > 0) {
    }
    kill(render, SIGSTOP);
    if (waitpid(render, &status, WUNTRACED) != render || !WIFSTOPPED(status)) break;
    signalled = HasTemporaryFile(folder.Path());
    if (signalled) kill(render, SIGTERM);
    kill(render, SIGCONT);
  }
  close(watch);
  EXPECT_TRUE(WIFEXITED(status) || WTERMSIG(status) == SIGTERM);
  EXPECT_FALSE(HasTemporaryFile(folder.Path()));
}
// Bad options and values, the stereo and cubemap ones among them, refused before any work. (The
// renderer's own refusals, called directly, are checked in host_parts_test.cpp.)
TEST(HostileInput, BadValuesAreRefusedBeforeAnyWork) {
  TempFolder inputs;
  const std::string huge = inputs.File("huge.ppm");
  std::ofstream(huge, std::ios::binary) << "P6\n20000 10000\n255\nabc";  // a few bytes claiming a huge image
  const std::vector<Refusal> refusals = {
      {"--env nothere.exr", "environment: cannot read the image \"nothere.exr\": does not exist"},
      {"--frames 3-2", "--frames: 3-2 is reversed"},
      {"--size 0x32", "width (width) takes 1 to 65536; got 0"},
      {"--size big", "--size: takes WIDTHxHEIGHT"},
      {"--size ''", "--size: an empty value is not allowed"},
      {"-o ''", "--output: an empty value is not allowed"},
      {"-o /nonexistent/folder/dome.png", "does not exist"},
      {"-o dome.bmp", ".exr"},
      {"--camera telescope", "camera kind \"telescope\""},
      {"nowhere", "no scene \"nowhere\""},
      {"--rotate 10,20", "heading,pitch,bank"},
      {"--set NOT_A_SETTING=1", "NOT_A_SETTING"},
      {"--stereo maybe", "--stereo"},
      {"--stereo-output sideways", "sideways"},
      {"--cube-slots right,left", "--cube-slots"},
      {"--flip left-sideways", "--flip"},
      {"--separation-map /nonexistent/map.png",
       "separation map: cannot read the image \"/nonexistent/map.png\""},
      {"--separation-map map.png --separation-gradient", "excludes"},
      {"--camera plain --swap-eyes", "a camera with an Orvex360Cam tag"},
      {"--camera plain --separation-gradient", "a camera with an Orvex360Cam tag"},
      {"--anaglyph-gamma bright", "ORVEXVP_ANAGLYPH_GAMMA"},
      {"--cross-start 9", "ORVEXVP_CUBE_CROSS_START"},
      {"--threads -1", "--threads"},
      {"--threads 2147483647", "--threads"},
      {"--comfort report.txt", "--comfort takes a .json file"},
      {"-c fulldome --document-frames 9-1", "--document-frames: takes FIRST-LAST"},
      {"--env " + huge, "\"" + huge + "\" is 20000 x 10000 pixels"},
      {"--stereo on --separation-map " + huge, "\"" + huge + "\" is 20000 x 10000 pixels"},
      {"--stereo on --set ORVEXTAG_EYE_SEPARATION=1e19", "ORVEXTAG_EYE_SEPARATION"},
      {"-c cylindrical --set ORVEXTAG_CYL_HEIGHT=1e30", "ORVEXTAG_CYL_HEIGHT"},
      // Beyond this machine's memory and any other's: refused at once, not after hours.
      {"--size 65536x65536", "needs 206.2 GB to render and write"},
      // The frame rate's range is the project files' (one range, one message).
      {"--set fps=1e-30", "fps (fps) takes 1 to 1000; got 1e-30"},
      {"--set fps=1e30", "fps (fps) takes 1 to 1000; got 1e+30"},
      {"--set fps=0.5", "fps (fps) takes 1 to 1000; got 0.5"},
      {"--set fps=1001", "fps (fps) takes 1 to 1000; got 1001"},
      {"--set width=64.5", "width takes a whole number of pixels; got 64.5"},
      {"--size 64x0.5", "height (height) takes 1 to 65536; got 0.5"},
      // A date files cannot carry, or no date at all, is refused: never another date silently.
      {"", "SOURCE_DATE_EPOCH takes whole seconds", "SOURCE_DATE_EPOCH=yesterday"},
      {"", "got \"1.7e9\"", "SOURCE_DATE_EPOCH=1.7e9"},
      {"", "got \"-1\"", "SOURCE_DATE_EPOCH=-1"},
      {"", "from 0 to 253402300799 (9999-12-31T23:59:59Z)", "SOURCE_DATE_EPOCH=253402300800"},
      {"", "got \"9223372036854775807\"", "SOURCE_DATE_EPOCH=9223372036854775807"},
  };
  // What a render refuses, its --check refuses with the same message, before anything is written.
  for (const char* common : {"--samples 1", "--check --samples 1"}) ExpectRefusals(inputs, common, refusals);
}

// Two files of one command, at any frame, are never one file: refused before anything is written,
// by the render and by its --check.
TEST(HostileInput, OutputsThatAreOneFileAreRefused) {
  TempFolder folder;
  ASSERT_EQ(RenderCommand(folder, "-s 8x8 -o q.png --save-project p.json --check").exitCode, 0);
  const std::vector<Refusal> refusals = {
      {"-o y.png --comfort y.json", "--output and --comfort's heat map are the same file \"y.png\""},
      {"-o ./y.png --comfort y.json", "--output and --comfort's heat map are the same file"},
      {"--frames 0-2 -o 'f#.png' --comfort 'f#.json'", "are the same file \"f0.png\""},
      // Numbered alike, a PNG sequence's heat maps would replace its images.
      {"--frames 0-1 -o t_#.png --comfort t.json", "are the same file \"t_0.png\""},
      {"-o z.png --save-project z.png", "--output and --save-project are the same file \"z.png\""},
      {"--save-project c.json --comfort c.json", "--save-project and --comfort are the same file"},
      {"--project p.json --comfort p.json", "--comfort and --project are the same file \"p.json\""},
      {"--env q.png -o q.png", "--output and --env are the same file"},
  };
  for (const char* check : {"", "--check "})
    ExpectRefusals(
        folder, check + std::string("-c panorama -s 16x8 --samples 1 --stereo on --stereo-output anaglyph"),
        refusals);
}

}  // namespace
