#include "render/image_output.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

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

}  // namespace
