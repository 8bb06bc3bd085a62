#include "ffmpeg_video.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/pixdesc.h>
}

#include <cmath>
#include <memory>

namespace ffmpeg_video {
namespace {

struct InputCloser {
  void operator()(AVFormatContext* input) const { avformat_close_input(&input); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;

struct DecoderFreer {
  void operator()(AVCodecContext* decoder) const { avcodec_free_context(&decoder); }
};
struct PacketFreer {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFreer {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};

std::string Quoted(const char* path) { return std::string("\"") + path + "\""; }

// The file opened and its first video stream found; the stream's index, or false with `error`.
bool OpenVideo(const char* path, Input& input, int& streamIndex, std::string& error) {
  AVFormatContext* opened = nullptr;
  const std::string url = std::string("file:") + path;
  int result = avformat_open_input(&opened, url.c_str(), nullptr, nullptr);
  input.reset(opened);
  if (result >= 0) result = avformat_find_stream_info(input.get(), nullptr);
  if (result >= 0) result = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (result < 0) {
    error = Failure("cannot read " + Quoted(path) + " as a video", result);
    return false;
  }
  streamIndex = result;
  return true;
}

// The frames the container says it holds: its sample count (MP4), else its duration at the frame
// rate (Matroska writes the duration at the start once the file is complete); 0 when it says neither.
long long PromisedFrames(const AVFormatContext& input, const AVStream& stream) {
  if (stream.nb_frames > 0) return stream.nb_frames;
  const AVRational rate = stream.avg_frame_rate;
  if (rate.num <= 0 || rate.den <= 0 || input.duration_estimation_method == AVFMT_DURATION_FROM_BITRATE)
    return 0;
  double seconds = 0.0;
  if (stream.duration != AV_NOPTS_VALUE)
    seconds = static_cast<double>(stream.duration) * av_q2d(stream.time_base);
  else if (input.duration != AV_NOPTS_VALUE)
    seconds = static_cast<double>(input.duration) / AV_TIME_BASE;
  return std::llround(seconds * av_q2d(rate));
}

// Where the packets stop, when they stop before the container's promise: a read error, a packet cut
// short, or fewer packets than promised. Empty when every promised packet is whole.
std::string WhereCut(long long whole, long long promised, int readResult, bool cutPacket) {
  const std::string after = "after " + std::to_string(whole) + " whole frame" + (whole == 1 ? "" : "s");
  const std::string of = promised > 0 ? " of " + std::to_string(promised) : "";
  if (cutPacket) return "the file is cut short " + after + of;
  if (readResult != AVERROR_EOF) return Failure("the file breaks off " + after + of, readResult);
  if (promised > 0 && whole < promised) return "the file is cut short " + after + of;
  return {};
}

// Reads every packet of the stream, handing each to `use` (false: stop with `error` set); false with
// `error` saying where the file breaks when the packets stop short of the container's promise.
template <typename Use>
bool ReadPackets(AVFormatContext& input, const AVStream& stream, long long& whole, std::string& error,
                 Use&& use) {
  const std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
  if (!packet) {
    error = "no memory to read the video";
    return false;
  }
  int result = 0;
  bool cutPacket = false;
  while ((result = av_read_frame(&input, packet.get())) >= 0) {
    const bool ours = packet->stream_index == stream.index;
    cutPacket = ours && (packet->flags & AV_PKT_FLAG_CORRUPT);
    const bool used = !ours || cutPacket || use(*packet, error);
    av_packet_unref(packet.get());
    if (!used) return false;
    if (cutPacket) break;
    if (ours) ++whole;
  }
  error = WhereCut(whole, PromisedFrames(input, stream), result, cutPacket);
  return error.empty();
}

// Receives every picture the decoder has ready; false with `error` when one fails, named by `packet`,
// the frame in file order the decoder was last given (pictures come out later than their packets).
bool ReceivePictures(AVCodecContext& decoder, AVFrame& picture, long long packet, long long& decoded,
                     std::string& error) {
  while (true) {
    const int result = avcodec_receive_frame(&decoder, &picture);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
    if (result < 0 || picture.decode_error_flags || (picture.flags & AV_FRAME_FLAG_CORRUPT)) {
      error = Failure("frame " + std::to_string(packet) + " does not decode",
                      result < 0 ? result : AVERROR_INVALIDDATA);
      return false;
    }
    ++decoded;
    av_frame_unref(&picture);
  }
}

// A decoder for the stream that reports damage instead of hiding it.
std::unique_ptr<AVCodecContext, DecoderFreer> OpenDecoder(const AVStream& stream, std::string& error) {
  const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
  std::unique_ptr<AVCodecContext, DecoderFreer> decoder(codec ? avcodec_alloc_context3(codec) : nullptr);
  int result = decoder ? avcodec_parameters_to_context(decoder.get(), stream.codecpar) : AVERROR(ENOSYS);
  if (result >= 0) {
    decoder->err_recognition |= AV_EF_EXPLODE | AV_EF_CRCCHECK;
    result = avcodec_open2(decoder.get(), codec, nullptr);
  }
  if (result < 0) {
    error = Failure(std::string("there is no decoder for its ") +
                        avcodec_get_name(stream.codecpar->codec_id) + " pictures",
                    result);
    decoder.reset();
  }
  return decoder;
}

}  // namespace

bool Probe(const char* path, video_codec::StreamFacts* facts, std::string* error) {
  Input input;
  int index = 0;
  if (!OpenVideo(path, input, index, *error)) return false;
  const AVStream& stream = *input->streams[index];
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
  // Containers need not store a frame count (Matroska does not): the packets are counted.
  facts->frames = 0;
  if (!ReadPackets(*input, stream, facts->frames, *error,
                   [](const AVPacket&, std::string&) { return true; })) {
    *error = "cannot read " + Quoted(path) + " as a video: " + *error;
    return false;
  }
  return true;
}

bool Verify(const char* path, long long* frames, std::string* error) {
  Input input;
  int index = 0;
  *frames = 0;
  if (!OpenVideo(path, input, index, *error)) return false;
  const AVStream& stream = *input->streams[index];
  const auto decoder = OpenDecoder(stream, *error);
  const std::unique_ptr<AVFrame, FrameFreer> picture(av_frame_alloc());
  if (decoder && !picture) *error = "no memory to decode the video";
  long long whole = 0;
  const auto decode = [&](const AVPacket& packet, std::string& why) {
    const int sent = avcodec_send_packet(decoder.get(), &packet);
    if (sent < 0) why = Failure("frame " + std::to_string(whole) + " does not decode", sent);
    return sent >= 0 && ReceivePictures(*decoder, *picture, whole, *frames, why);
  };
  // Every packet, then the pictures the decoder still holds back; each packet must make one.
  bool complete = decoder && picture && ReadPackets(*input, stream, whole, *error, decode) &&
                  avcodec_send_packet(decoder.get(), nullptr) >= 0 &&
                  ReceivePictures(*decoder, *picture, whole - 1, *frames, *error);
  if (complete && *frames < whole) {
    *error = "only " + std::to_string(*frames) + " of its " + std::to_string(whole) + " frames decode";
    complete = false;
  }
  if (!complete) *error = Quoted(path) + " is not a complete video: " + *error;
  return complete;
}

}  // namespace ffmpeg_video
