#include "ffmpeg_video.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <memory>

struct video_codec::Encoder {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  SwsContext* scaler = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  int width = 0;
  int height = 0;
  int64_t nextPts = 0;

  ~Encoder() {
    av_packet_free(&packet);
    av_frame_free(&frame);
    sws_freeContext(scaler);
    avcodec_free_context(&codec);
    if (format && format->pb) avio_closep(&format->pb);
    avformat_free_context(format);
  }
};

namespace ffmpeg_video {
namespace {

using video_codec::Codec;
using video_codec::Container;
using video_codec::Encoder;
using video_codec::EncodeSettings;

const char* EncoderName(Codec codec) { return codec == Codec::Hevc ? "libx265" : "libx264"; }

const char* CodecWord(Codec codec) { return codec == Codec::Hevc ? "HEVC" : "H.264"; }

// 4:2:0 in the BT.709 matrix, limited range; the pixels keep their sRGB transfer, and say so.
void DescribePictures(AVCodecContext& codec, const EncodeSettings& settings) {
  const AVRational rate = av_d2q(settings.framesPerSecond, 1000000);
  codec.width = settings.width;
  codec.height = settings.height;
  codec.pix_fmt = AV_PIX_FMT_YUV420P;
  codec.time_base = av_inv_q(rate);
  codec.framerate = rate;
  codec.color_range = AVCOL_RANGE_MPEG;
  codec.colorspace = AVCOL_SPC_BT709;
  codec.color_primaries = AVCOL_PRI_BT709;
  codec.color_trc = AVCOL_TRC_IEC61966_2_1;
}

bool OpenCodec(Encoder& encoder, const EncodeSettings& settings, std::string& error) {
  const AVCodec* codec = avcodec_find_encoder_by_name(EncoderName(settings.codec));
  if (!codec) {
    error = std::string("this system's FFmpeg has no ") + CodecWord(settings.codec) + " encoder (" +
            EncoderName(settings.codec) + ")";
    return false;
  }
  encoder.codec = avcodec_alloc_context3(codec);
  if (!encoder.codec) return false;
  DescribePictures(*encoder.codec, settings);
  if (encoder.format->oformat->flags & AVFMT_GLOBALHEADER)
    encoder.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  AVDictionary* options = nullptr;
  av_dict_set_int(&options, "crf", settings.quality, 0);
  av_dict_set(&options, "preset", "medium", 0);
  // x264 is lossless at a rate factor of 0; x265 only when told so.
  if (settings.codec == Codec::Hevc)
    av_dict_set(&options, "x265-params",
                settings.quality == 0 ? "log-level=error:lossless=1" : "log-level=error", 0);
  const int opened = avcodec_open2(encoder.codec, codec, &options);
  av_dict_free(&options);
  if (opened < 0) {
    error = Failure(std::string("the ") + CodecWord(settings.codec) + " encoder refused the video", opened);
    return false;
  }
  return true;
}

bool OpenStream(Encoder& encoder, const EncodeSettings& settings, std::string& error) {
  encoder.stream = avformat_new_stream(encoder.format, nullptr);
  if (!encoder.stream || avcodec_parameters_from_context(encoder.stream->codecpar, encoder.codec) < 0)
    return false;
  encoder.stream->time_base = encoder.codec->time_base;
  encoder.stream->avg_frame_rate = encoder.codec->framerate;
  // Players on Apple systems take HEVC in MP4 only under this tag.
  if (settings.codec == Codec::Hevc && settings.container == Container::Mp4)
    encoder.stream->codecpar->codec_tag = MKTAG('h', 'v', 'c', '1');
  return AttachSpherical(settings.spherical, *encoder.stream, error);
}

bool OpenPictures(Encoder& encoder) {
  encoder.scaler = sws_getContext(
      encoder.width, encoder.height, AV_PIX_FMT_RGB24, encoder.width, encoder.height, AV_PIX_FMT_YUV420P,
      SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr, nullptr, nullptr);
  encoder.frame = av_frame_alloc();
  encoder.packet = av_packet_alloc();
  if (!encoder.scaler || !encoder.frame || !encoder.packet) return false;
  // Full-range RGB in, limited-range BT.709 out.
  sws_setColorspaceDetails(encoder.scaler, sws_getCoefficients(SWS_CS_ITU709), 1,
                           sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16);
  encoder.frame->format = AV_PIX_FMT_YUV420P;
  encoder.frame->width = encoder.width;
  encoder.frame->height = encoder.height;
  return av_frame_get_buffer(encoder.frame, 0) >= 0;
}

bool OpenFile(Encoder& encoder, const EncodeSettings& settings, std::string& error) {
  // MP4 writes the spherical boxes only to those who ask for them; the index goes to the front so
  // that players and upload sites can start before the whole file has arrived.
  AVDictionary* options = nullptr;
  if (settings.container == Container::Mp4) {
    encoder.format->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
    av_dict_set(&options, "movflags", "+faststart", 0);
  }
  // The same frames give the same file: no random identifiers, no library version strings.
  encoder.format->flags |= AVFMT_FLAG_BITEXACT;
  if (!settings.creationTime.empty())
    av_dict_set(&encoder.format->metadata, "creation_time", settings.creationTime.c_str(), 0);
  int result = avio_open(&encoder.format->pb, encoder.format->url, AVIO_FLAG_WRITE);
  if (result >= 0) result = avformat_write_header(encoder.format, &options);
  av_dict_free(&options);
  if (result < 0) {
    error = Failure("cannot start the video file", result);
    return false;
  }
  return true;
}

// Sends `frame` (null: the end) and writes every packet the encoder has ready.
bool Encode(Encoder& encoder, const AVFrame* frame, std::string& error) {
  int result = avcodec_send_frame(encoder.codec, frame);
  while (result >= 0) {
    result = avcodec_receive_packet(encoder.codec, encoder.packet);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
    if (result < 0) break;
    av_packet_rescale_ts(encoder.packet, encoder.codec->time_base, encoder.stream->time_base);
    encoder.packet->stream_index = encoder.stream->index;
    result = av_interleaved_write_frame(encoder.format, encoder.packet);
    if (result >= 0 && encoder.format->pb->error < 0) result = encoder.format->pb->error;
  }
  error = Failure("cannot encode the video", result);
  return false;
}

}  // namespace

Encoder* Open(const EncodeSettings* settings, std::string* error) {
  auto encoder = std::make_unique<Encoder>();
  encoder->width = settings->width;
  encoder->height = settings->height;
  const std::string url = "file:" + settings->path;
  const char* muxer = settings->container == Container::Mp4 ? "mp4" : "matroska";
  if (avformat_alloc_output_context2(&encoder->format, nullptr, muxer, url.c_str()) < 0 || !encoder->format) {
    *error = std::string("this system's FFmpeg has no ") + muxer + " muxer";
    return nullptr;
  }
  error->clear();
  if (!OpenCodec(*encoder, *settings, *error) || !OpenStream(*encoder, *settings, *error) ||
      !OpenPictures(*encoder) || !OpenFile(*encoder, *settings, *error)) {
    if (error->empty()) *error = "no memory for the video encoder";
    return nullptr;
  }
  return encoder.release();
}

bool Write(Encoder* encoder, const unsigned char* rgb, std::string* error) {
  const int result = av_frame_make_writable(encoder->frame);
  if (result < 0) {
    *error = Failure("cannot encode the video", result);
    return false;
  }
  const uint8_t* const source[1] = {rgb};
  const int stride[1] = {encoder->width * 3};
  sws_scale(encoder->scaler, source, stride, 0, encoder->height, encoder->frame->data,
            encoder->frame->linesize);
  encoder->frame->pts = encoder->nextPts++;
  return Encode(*encoder, encoder->frame, *error);
}

bool Finish(Encoder* encoder, std::string* error) {
  if (!Encode(*encoder, nullptr, *error)) return false;
  int result = av_write_trailer(encoder->format);
  if (result >= 0) {
    avio_flush(encoder->format->pb);
    result = encoder->format->pb->error;
  }
  const int closed = avio_closep(&encoder->format->pb);
  if (result >= 0) result = closed;
  if (result < 0) {
    *error = Failure("cannot complete the video file", result);
    return false;
  }
  return true;
}

void Close(Encoder* encoder) { delete encoder; }

}  // namespace ffmpeg_video
