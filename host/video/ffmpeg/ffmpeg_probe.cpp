#include "ffmpeg_video.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/pixdesc.h>
}

#include <memory>

namespace ffmpeg_video {
namespace {

struct InputCloser {
  void operator()(AVFormatContext* input) const { avformat_close_input(&input); }
};

// Containers need not store a frame count (Matroska does not): the packets are counted.
long long CountFrames(AVFormatContext& input, int streamIndex) {
  AVPacket* packet = av_packet_alloc();
  long long frames = 0;
  while (packet && av_read_frame(&input, packet) >= 0) {
    if (packet->stream_index == streamIndex) ++frames;
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  return frames;
}

}  // namespace

bool Probe(const char* path, video_codec::StreamFacts* facts, std::string* error) {
  AVFormatContext* opened = nullptr;
  const std::string url = std::string("file:") + path;
  int result = avformat_open_input(&opened, url.c_str(), nullptr, nullptr);
  const std::unique_ptr<AVFormatContext, InputCloser> input(opened);
  if (result >= 0) result = avformat_find_stream_info(input.get(), nullptr);
  if (result >= 0) result = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (result < 0) {
    *error = Failure(std::string("cannot read \"") + path + "\" as a video", result);
    return false;
  }
  const AVStream& stream = *input->streams[result];
  const AVCodecParameters& parameters = *stream.codecpar;
  facts->container = input->iformat->name;
  facts->codec = avcodec_get_name(parameters.codec_id);
  const char* pixels = av_get_pix_fmt_name(static_cast<AVPixelFormat>(parameters.format));
  facts->pixelFormat = pixels ? pixels : "unknown";
  facts->width = parameters.width;
  facts->height = parameters.height;
  const AVRational rate = stream.avg_frame_rate.num > 0 ? stream.avg_frame_rate : stream.r_frame_rate;
  facts->rateNumerator = rate.num;
  facts->rateDenominator = rate.den > 0 ? rate.den : 1;
  ReadSpherical(stream, *facts);
  facts->frames = CountFrames(*input, stream.index);
  return true;
}

}  // namespace ffmpeg_video
