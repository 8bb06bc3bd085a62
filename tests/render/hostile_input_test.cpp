#include "image/image_output.h"
#include "render_test_support.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

// The orvex360 render command tried as a careless or hostile user would: every case ends in a
// clear message and a non-zero exit, or in a defined result, and never loses a file.

namespace {

namespace fs = std::filesystem;

using render_test::RenderCommand;
using render_test::TempFolder;

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// A few bytes whose header claims a huge image.
std::string WriteHugeHeader(const TempFolder& folder, const std::string& name) {
  std::ofstream(folder.File(name), std::ios::binary) << "P6\n20000 10000\n255\nabc";
  return folder.File(name);
}

// A map whose every texel's red channel is `value`.
std::string WriteUniformMap(const TempFolder& folder, const std::string& name, Float32 value) {
  FloatImage map;
  EXPECT_TRUE(map.Allocate(8, 4));
  std::fill(map.rgba.begin(), map.rgba.end(), value);
  std::string error;
  EXPECT_TRUE(image_output::Write(map, folder.File(name), error)) << error;
  return folder.File(name);
}

// Each format's writer is checked under the same limit in hostile_values_test.cpp; here the command.
TEST(HostileInput, AFailedWriteKeepsTheOldFileAndSaysWhy) {
  TempFolder folder;
  std::ofstream(folder.File("dome.png")) << "the good old file";
  // A file-size limit of 8 KB: too small for the image, as a full disk would be.
  const CommandResult run = RenderCommand(folder, "--size 128x128 --samples 1 -o dome.png", "ulimit -f 8 &&");
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.output.find("cannot write \"dome.png\": File too large"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("wrote"), std::string::npos) << run.output;
  EXPECT_EQ(ReadBytes(folder.Path() / "dome.png"), "the good old file");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

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

TEST(HostileInput, TheLongestLegalFileNamesAreWritten) {
  TempFolder folder;
  const std::string name = std::string(251, 'd') + ".png";  // 255 characters
  const CommandResult run = RenderCommand(folder, "--size 8x8 --samples 1 -o " + name);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(fs::exists(folder.Path() / name));
}

TEST(HostileInput, BadValuesAreRefusedBeforeAnyWork) {
  TempFolder inputs;
  const std::string huge = WriteHugeHeader(inputs, "huge.ppm");
  render_test::ExpectRefusals(
      inputs, "--samples 1",
      {
          {"--size ''", "--size: an empty value is not allowed"},
          {"-o ''", "--output: an empty value is not allowed"},
          {"--threads 2147483647", "--threads"},
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
      });
}

// What a render refuses, its --check refuses with the same message, before anything is written.
TEST(HostileInput, TheCheckRefusesWhatTheRenderRefuses) {
  TempFolder folder;
  render_test::ExpectRefusals(
      folder, "--check --samples 1",
      {
          {"--env nothere.exr", "environment: cannot read the image \"nothere.exr\": does not exist"},
          {"--size 65536x65536", "needs 206.2 GB to render and write"},
          {"--frames 3-2", "the frame range 3..2 is empty"},
          {"--comfort c.txt", "--comfort takes a .json file"},
          {"-c panorama --stereo on --stereo-output anaglyph -o y.png --comfort y.json",
           "are the same file \"y.png\""},
      });
}

// Two files of one command, at any frame, are never one file: refused before anything is written.
TEST(HostileInput, OutputsThatAreOneFileAreRefused) {
  TempFolder folder;
  ASSERT_EQ(RenderCommand(folder, "-s 8x8 -o q.png --save-project p.json --check").exitCode, 0);
  render_test::ExpectRefusals(
      folder, "-c panorama -s 16x8 --samples 1 --stereo on --stereo-output anaglyph",
      {
          {"-o y.png --comfort y.json", "--output and --comfort's heat map are the same file \"y.png\""},
          {"-o ./y.png --comfort y.json", "--output and --comfort's heat map are the same file"},
          {"--frames 0-2 -o 'f#.png' --comfort 'f#.json'", "are the same file \"f0.png\""},
          {"-o z.png --save-project z.png", "--output and --save-project are the same file \"z.png\""},
          {"--save-project c.json --comfort c.json", "--save-project and --comfort are the same file"},
          {"--project p.json --comfort p.json", "--comfort and --project are the same file \"p.json\""},
          {"--env q.png -o q.png", "--output and --env are the same file"},
      });
}

// Devices and FIFOs are refused wherever a file is read, never read forever; `timeout` turns a hang
// into a failure here.
TEST(HostileInput, DevicesAndFifosAreRefusedNotRead) {
  TempFolder folder;
  fs::create_symlink("/dev/zero", folder.Path() / "zero.png");
  ASSERT_EQ(mkfifo(folder.File("fifo.exr").c_str(), 0600), 0);
  const std::string render = "render -s 8x8 --samples 1 ";
  for (const std::string& command :
       {std::string("info /dev/zero"), std::string("info fifo.exr"), render + "--env /dev/zero",
        render + "--env fifo.exr", render + "--stereo on --separation-map zero.png",
        std::string("preview zero.png -o page")}) {
    const CommandResult run = render_test::ToolCommand(folder, command, "timeout 60");
    EXPECT_NE(run.exitCode, 0) << command;
    EXPECT_NE(run.output.find("is not a regular file"), std::string::npos) << command << ": " << run.output;
  }
}

TEST(HostileInput, AnUnknownCommandIsNamed) {
  const CommandResult run =
      RunCommand(std::string("'") + ORVEX360_COMMAND + "' --plugins '" + ORVEX_PLUGIN_DIR + "' rendr");
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.output.find("unknown command \"rendr\"; the commands are: plugins, panel, render"),
            std::string::npos)
      << run.output;
}

// Not a number gives no separation; a huge value is limited; the frame is never blanked, and the
// log says so once.
TEST(HostileInput, UnusableSeparationMapValuesGiveADefinedSeparation) {
  TempFolder folder;
  const struct {
    Float32 value;
    Float32 meaning;
  } cases[] = {{std::numeric_limits<Float32>::quiet_NaN(), 0.0f},
               {std::numeric_limits<Float32>::infinity(), 0.0f},
               {1e30f, 100.0f}};
  const std::string stereo = "--camera panorama --size 32x16 --samples 1 --stereo on ";
  for (const auto& c : cases) {
    const std::string bad = WriteUniformMap(folder, "bad.exr", c.value);
    const std::string meant = WriteUniformMap(folder, "meant.exr", c.meaning);
    const CommandResult run =
        RenderCommand(folder, stereo + "--separation-map " + bad + " -o bad-render.exr");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(Count(run.output, "Separation map: values that are no number were used as 0"), 1u)
        << run.output;
    ASSERT_EQ(RenderCommand(folder, stereo + "--separation-map " + meant + " -o meant-render.exr").exitCode,
              0);
    const FloatImage image = render_test::ReadImage(folder.File("bad-render.exr"));
    EXPECT_EQ(image.rgba, render_test::ReadImage(folder.File("meant-render.exr")).rgba) << c.value;
    EXPECT_EQ(image.Pixel(16, 8)[3], 1.0f) << c.value;
  }
}

TEST(HostileInput, StereoOptionsWithoutStereoSayOnceThatTheyDoNothing) {
  TempFolder folder;
  const CommandResult run =
      RenderCommand(folder, "--size 8x8 --samples 1 --stereo-output side-by-side --swap-eyes --eye-shift 3");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(Count(run.output, "--stereo-output, --eye-shift, --swap-eyes: no effect without stereo"), 1u)
      << run.output;
  EXPECT_EQ(Count(run.output, "no effect"), 1u) << run.output;
}

TEST(HostileInput, CubeOptionsWithoutACubeSayOnceThatTheyDoNothing) {
  TempFolder folder;
  const CommandResult run =
      RenderCommand(folder, "-c fisheye --size 8x8 --samples 1 --cube-layout grid-3x2 --cross-start 1");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(Count(run.output, "--cube-layout, --cross-start: no effect without a cube"), 1u) << run.output;
  EXPECT_EQ(Count(run.output, "no effect"), 1u) << run.output;
  const CommandResult face = RenderCommand(folder, "-c cube-face --size 8x8 --samples 1 --cube-face up");
  EXPECT_EQ(Count(face.output, "no effect"), 0u) << face.output;
}

}  // namespace
