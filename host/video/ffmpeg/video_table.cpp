#include "ffmpeg_video.h"

namespace {

const video_codec::Table kTable = {
    video_codec::kTableVersion, ffmpeg_video::Open,  ffmpeg_video::Write,  ffmpeg_video::Finish,
    ffmpeg_video::Close,        ffmpeg_video::Probe, ffmpeg_video::Verify,
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const video_codec::Table* orvex360_video_table() {
  ffmpeg_video::KeepLogLines();
  return &kTable;
}
