#include "render_test_support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

// Renders straight to video, their pictures checked by ffmpeg's psnr filter against the PNG frames of
// the same render (the spherical side data and the refusals are rows of data/commands.tsv).

namespace {

using render_test::RenderCommand;
using render_test::TempFolder;

// Each frame's PSNR as ffmpeg's psnr filter prints it, in the video's own picture: the PNG frames
// (30 per second, as rendered) turned into 4:2:0 in the BT.709 matrix, so that what is measured is
// the encoder's loss. (A wrong matrix costs some 7 dB; 4:2:0 itself drops colour detail at edges
// whatever the encoder does.)
std::vector<double> FramePsnr(const std::string& video, const std::string& frames) {
  const CommandResult run =
      RunCommand("ffmpeg -v error -i '" + video + "' -framerate 30 -start_number 0 -i '" + frames +
                 "' -lavfi '[1:v]scale=out_color_matrix=bt709:out_range=tv,format=yuv420p["
                 "rendered];[0:v][rendered]psnr=stats_file=-' -f null -");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  std::vector<double> psnr;
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);)
    if (const size_t at = line.find("psnr_avg:"); at != std::string::npos)
      psnr.push_back(std::stod(line.substr(at + 9)));
  return psnr;
}

TEST(VideoRender, DecodedFramesMatchThePngFramesOfTheSameRender) {
  TempFolder folder;
  const std::string render = "demo -c panorama -s 256x128 --samples 1 --frames 0-2 ";
  for (const std::string output : {"film.mp4", "f_####.png"})
    ASSERT_EQ(RenderCommand(folder, render + "-o " + output).exitCode, 0) << output;
  const std::vector<double> psnr = FramePsnr(folder.File("film.mp4"), folder.File("f_%04d.png"));
  ASSERT_EQ(psnr.size(), 3u);
  for (const double frame : psnr) EXPECT_GE(frame, 40.0);
}

}  // namespace
