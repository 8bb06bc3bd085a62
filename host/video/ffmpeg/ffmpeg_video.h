#pragma once

#include "video/video_codec.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <string>

// The parts of liborvex360_video.so, the only code that includes FFmpeg's headers.
namespace ffmpeg_video {

// FFmpeg's own error lines are kept (per thread) instead of printed, so that a failure can say
// what the encoder or muxer reported; everything below an error is dropped.
void KeepLogLines();
// `what` with FFmpeg's reason for `code` and the last error line it logged, e.g. "cannot encode a
// frame: Invalid argument (libx264: ...)".
std::string Failure(const std::string& what, int code);

// The stream side data the muxers write as spherical video boxes (MP4) or elements (Matroska).
bool AttachSpherical(const video_codec::Spherical& spherical, AVStream& stream, std::string& error);
// What the stream's side data says; `facts.spherical` and `facts.stereoMarked` false when absent.
void ReadSpherical(const AVStream& stream, video_codec::StreamFacts& facts);

video_codec::Encoder* Open(const video_codec::EncodeSettings* settings, std::string* error);
bool Write(video_codec::Encoder* encoder, const unsigned char* rgb, std::string* error);
bool Finish(video_codec::Encoder* encoder, std::string* error);
void Close(video_codec::Encoder* encoder);

bool Probe(const char* path, video_codec::StreamFacts* facts, std::string* error);
bool Verify(const char* path, long long* frames, std::string* error);

}  // namespace ffmpeg_video
