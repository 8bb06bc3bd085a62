#pragma once

#include <cstdint>
#include <string>

// Every video file the host writes or reads goes through this one seam. Behind it stands
// liborvex360_video.so, the only part of the host that links FFmpeg's libraries (which map some
// 130 shared libraries); the host loads it beside liborvexhost.so the first time a video is
// written or read.
namespace video_codec {

// How a player maps the picture onto the sphere, as the container's spherical video boxes say it.
enum class Projection { Flat, Equirectangular, Cubemap };
enum class StereoLayout { Mono, TopBottom, SideBySide };

struct Spherical {
  Projection projection = Projection::Flat;
  // The part of the full panorama the picture holds, as fractions of the full panorama's size cut
  // from each edge, in 0.32 fixed point (0: nothing cut). Equirectangular only.
  uint32_t boundLeft = 0;
  uint32_t boundTop = 0;
  uint32_t boundRight = 0;
  uint32_t boundBottom = 0;
  StereoLayout stereo = StereoLayout::Mono;
  bool rightEyeFirst = false;  // the right eye in the left or top half
};

enum class Container { Mp4, Matroska };
enum class Codec { H264, Hevc };

// A video to encode: 8-bit RGB frames of a fixed size, written to `path` (any name: the container
// is given).
struct EncodeSettings {
  std::string path;
  Container container = Container::Mp4;
  Codec codec = Codec::H264;
  int width = 0;
  int height = 0;
  double framesPerSecond = 25.0;
  int quality = 18;  // the encoder's constant rate factor: 0 lossless (both codecs), 51 worst
  Spherical spherical;
  std::string creationTime;  // ISO 8601 UTC, the container's creation date; empty: none
};

// What a video file's first video stream says, as players read it.
struct StreamFacts {
  std::string container;  // the demuxer's name, e.g. "mov,mp4,m4a,3gp,3g2,mj2" or "matroska,webm"
  std::string codec;      // e.g. "h264", "hevc"
  std::string pixelFormat;
  int width = 0;
  int height = 0;
  int rateNumerator = 0;
  int rateDenominator = 1;
  long long frames = 0;  // counted packet by packet
  bool spherical = false;
  Spherical mapping;
  bool stereoMarked = false;
};

struct Encoder;  // an open video inside the library

// The library's entry points, answered by its one exported symbol kTableSymbol. No exception leaves
// them: failures are false or null with the reason in the string.
struct Table {
  int version;
  // Null with `error` when the codec's encoder is missing or refuses the settings.
  Encoder* (*open)(const EncodeSettings* settings, std::string* error);
  // One frame: `rgb` holds height rows of width * 3 bytes, display-encoded (sRGB).
  bool (*write)(Encoder* encoder, const unsigned char* rgb, std::string* error);
  // Drains the encoder and completes the file; every write checked.
  bool (*finish)(Encoder* encoder, std::string* error);
  // Frees the encoder, finished or not (an unfinished file stays as incomplete as it is).
  void (*close)(Encoder* encoder);
  // What the file says; false with `error` when it cannot be read or is cut short of the frames its
  // container promises. Reads a regular file only (see video_input.h).
  bool (*probe)(const char* path, StreamFacts* facts, std::string* error);
  // Decodes every frame; `frames` is how many did. False with `error` saying where the file breaks.
  bool (*verify)(const char* path, long long* frames, std::string* error);
};

inline constexpr int kTableVersion = 2;
inline constexpr const char* kTableSymbol = "orvex360_video_table";
inline constexpr const char* kLibraryName = "liborvex360_video.so";

// The loaded library's table, loading it on first use; null with `error` saying why. Thread-safe.
const Table* Load(std::string& error);

}  // namespace video_codec
