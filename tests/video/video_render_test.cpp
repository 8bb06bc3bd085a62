#include "files_support.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

// Renders straight to video, checked by FFmpeg's own readers: ffprobe for the spherical side data a
// player reads, ffmpeg's psnr filter for the pictures against the PNG frames of the same render.

namespace {

using files::ExpectHolds;
using files::ReadText;
using render_test::RenderCommand;
using render_test::TempFolder;

constexpr const char* kFrames = "empty --samples 1 --frames 0-2 ";
constexpr const char* kStereo = "--stereo on --stereo-output side-by-side ";

struct VideoRow {
  std::string arguments;
  std::string file;
  std::vector<std::string> probed;  // in ffprobe's description of the stream
  std::vector<std::string> info;    // in orvex360 info's
};

TEST(VideoRender, PlayersReadTheProjectionBoundsAndStereoLayout) {
  TempFolder folder;
  const std::vector<VideoRow> rows = {
      {"-c panorama -s 64x32",
       "full.mp4",
       {"codec_name=h264", "pix_fmt=yuv420p", "side_data_type=Spherical Mapping",
        "projection=equirectangular"},
       {"h264, 64 x 32, yuv420p", "frame rate = 30/1", "frames = 3", "projection = equirectangular",
        "stereo = mono"}},
      // Half the turn and half the latitudes: a quarter of the 128 x 64 sphere cut away on each side.
      {"-c panorama -s 64x32 " + std::string(render_test::kCroppedPanorama),
       "cropped.mkv",
       {"projection=tiled equirectangular", "bound_left=32", "bound_top=16", "bound_right=32",
        "bound_bottom=16"},
       {"matroska", "bounds = left 32, top 16, right 32, bottom 16 (pixels of a 128 x 64 full panorama)"}},
      {"-c panorama -s 64x64 --side-layout top-bottom " + std::string(kStereo),
       "tb.mp4",
       {"side_data_type=Stereo 3D", "type=top and bottom", "projection=equirectangular"},
       {"stereo = top-bottom (left eye top)"}},
      {"-c panorama -s 128x32 --side-layout left-right --video-codec hevc " + std::string(kStereo),
       "lr.mkv",
       {"codec_name=hevc", "type=side by side", "projection=equirectangular"},
       {"hevc, 128 x 32", "stereo = side-by-side (left eye left)"}},
      {"-c panorama -s 128x32 --side-layout left-right --video-codec hevc " + std::string(kStereo),
       "lr.mp4",
       {"codec_tag_string=hvc1", "type=side by side"},
       {"stereo = side-by-side (left eye left)"}},
  };
  for (const VideoRow& row : rows) {
    SCOPED_TRACE(row.file);
    const CommandResult run = RenderCommand(folder, kFrames + row.arguments + " -o " + row.file);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ExpectHolds(run.output, {"wrote " + folder.File(row.file), "3 frames at 30 fps"});
    const CommandResult probe =
        RunCommand("ffprobe -v error -select_streams v:0 -show_streams '" + folder.File(row.file) + "'");
    ASSERT_EQ(probe.exitCode, 0) << probe.output;
    ExpectHolds(probe.output, row.probed);
    const CommandResult info = render_test::InfoCommand(folder.File(row.file));
    EXPECT_EQ(info.exitCode, 0) << info.output;
    ExpectHolds(info.output, row.info);
  }
}

// Which pictures players cannot map is decided in video_spherical_test.cpp; here the render says so
// and writes no projection.
TEST(VideoRender, PicturesPlayersCannotMapAreSaidAndCarryNoProjection) {
  TempFolder folder;
  const CommandResult run = RenderCommand(folder, kFrames + std::string("-c fulldome -s 64x64 -o flat.mp4"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  ExpectHolds(run.output, {"players will show it flat, not as a sphere"});
  const CommandResult probe = RunCommand("ffprobe -v error -show_streams '" + folder.File("flat.mp4") + "'");
  EXPECT_EQ(probe.output.find("Spherical Mapping"), std::string::npos) << probe.output;
}

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

TEST(VideoRender, AFailedOrRefusedVideoLeavesTheOldFileAndNoOther) {
  TempFolder folder;
  files::WriteText(folder.File("film.mp4"), "the good old film");
  // A file-size limit of 2 KB, as a full disk would be: the encoder's writes fail part way.
  const CommandResult full = RenderCommand(
      folder, "demo -c panorama -s 256x128 --samples 1 --frames 0-2 -o film.mp4", "ulimit -f 2 &&");
  EXPECT_NE(full.exitCode, 0);
  ExpectHolds(full.output, {"cannot write \"film.mp4\""});
  EXPECT_EQ(ReadText(folder.File("film.mp4")), "the good old film");
  // Stopped part way (Ctrl-C, a job scheduler), a render leaves no temporary file either.
  const CommandResult stopped = RunCommand(
      "cd '" + folder.Path().string() + "' && ('" + ORVEX360_COMMAND + "' --plugins '" + ORVEX_PLUGIN_DIR +
      "' render empty -c panorama -s 64x32 --samples 1 --frames 0-1000000 -o film.mp4 & render=$!; "
      "for wait in $(seq 600); do ls -A | grep -q orvex360- && break; sleep 0.1; done; kill -TERM $render; "
      "wait $render; echo stopped $?)");
  ExpectHolds(stopped.output, {"stopped 143"});
  EXPECT_EQ(files::EntryCount(folder.Path()), 1);
  render_test::ExpectRefusals(
      folder, std::string(kFrames) + "-c panorama",
      {
          {"-s 63x32 -o film.mp4", "even width and height (4:2:0 colour), not 63 x 32"},
          {"-s 64x32 -o film.mkv --env missing.exr", "missing.exr"},
          {"-s 64x32 -o film.mp4 --video-quality 52", "--video-quality"},
      });
  EXPECT_EQ(ReadText(folder.File("film.mp4")), "the good old film");
}

}  // namespace
