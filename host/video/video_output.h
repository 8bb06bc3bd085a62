#pragma once

#include "c4d.h"
#include "files/atomic_file.h"
#include "image/float_image.h"
#include "image/image_metadata.h"
#include "video_codec.h"

#include <string>
#include <vector>

// Render output as one video file (.mp4, .mkv): each frame display-encoded (sRGB, over black) and
// encoded as it arrives, so memory does not grow with the number of frames; written under a
// temporary name beside the target and renamed into place only when complete.
namespace video_output {

// True for a file name whose suffix names a video container the renderer writes.
bool IsVideoPath(const std::string& path);
// The suffixes IsVideoPath takes, for messages.
inline constexpr const char* kSuffixes = ".mp4 or .mkv";

// MP4 unless the name ends in .mkv.
video_codec::Container ContainerOf(const std::string& path);

// Checks, before any rendering, that a video can be written at `path`: a known suffix, no "#" (a
// video is one file: no frame number goes into its name), a folder that exists and takes new files,
// and the video library. False with a clear `error` otherwise.
bool CheckWritable(const std::string& path, std::string& error);

// The codecs a render names ("h264", "hevc") and the quality it asks for: the encoder's constant rate
// factor, 0 lossless to 51 worst. What the command line and project files take.
struct CodecName {
  const char* name;
  video_codec::Codec codec;
};
inline constexpr CodecName kCodecNames[] = {{"h264", video_codec::Codec::H264},
                                            {"hevc", video_codec::Codec::Hevc}};
inline constexpr const char* kDefaultCodecName = "h264";
inline constexpr int kDefaultQuality = 18;
inline constexpr int kLosslessQuality = 0;
inline constexpr int kWorstQuality = 51;
// The codec `name` (case-insensitive) names; false for a name that names none.
bool CodecNamed(const std::string& name, video_codec::Codec& codec);
// Every codec name, for messages: "h264, hevc".
std::string CodecNames();

// How the frames are encoded.
struct VideoFormat {
  video_codec::Codec codec = video_codec::Codec::H264;
  int quality = kDefaultQuality;
  Int32 width = 0;
  Int32 height = 0;
  Float framesPerSecond = 25.0;
};

}  // namespace video_output

class VideoWriter {
 public:
  VideoWriter() = default;
  VideoWriter(const VideoWriter&) = delete;
  VideoWriter& operator=(const VideoWriter&) = delete;
  ~VideoWriter();

  // Refuses sizes 4:2:0 cannot take, then opens the encoder into a temporary file beside `path`
  // with the spherical description the metadata gives; `notes` gets what players will not see as
  // the render meant it. False with `error`, leaving no file.
  bool Open(const std::string& path, const video_output::VideoFormat& format, const ImageMetadata& metadata,
            std::vector<std::string>& notes, std::string& error);
  bool Write(const FloatImage& image, std::string& error);
  // Completes the file and renames it over the target.
  bool Finish(std::string& error);
  Int32 FramesWritten() const { return frames_; }

 private:
  const video_codec::Table* table_ = nullptr;
  video_codec::Encoder* encoder_ = nullptr;
  atomic_file::PendingFile file_;
  std::string path_;
  Int32 width_ = 0;
  Int32 height_ = 0;
  Int32 frames_ = 0;
  std::vector<unsigned char> rgb_;  // one frame's bytes, kept from frame to frame
};
