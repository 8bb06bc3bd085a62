#pragma once

#include <functional>
#include <string>
#include <vector>

// 8-bit PNG files written without the image library: rows made by the caller straight into the
// file's bytes, filtered and deflated in parallel bands, with the chunks the renderer's files carry
// (XMP packet, sRGB colour space, date).
namespace png_codec {

// The values are the filter type bytes of the file.
enum class Filter { None = 0, Sub = 1, Up = 2, Paeth = 4 };

struct WriteRequest {
  int width = 0;
  int height = 0;
  int channels = 0;  // 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA (alpha unassociated)
  // Fills row `y` with width x channels bytes; called concurrently for different rows.
  std::function<void(int y, unsigned char* row)> row;
  bool srgb = true;       // sRGB, gamma and chromaticity chunks
  std::string date;       // "YYYY:MM:DD HH:MM:SS" as a time chunk; empty for none
  std::string xmpPacket;  // an iTXt chunk when not empty
  // Level 4, zlib's first with lazy matching, leaves renders about a third smaller than level 3 for
  // half as much time again; Sub is the cheapest filter and on renders within a few percent of the
  // others (bench/png_bench prints every pair).
  int level = 4;
  Filter filter = Filter::Sub;
};

// A sample in [0, 1] as its byte, rounded as the image library rounds; outside clamped, not-a-number 0.
inline unsigned char UnitToByte(float value) {
  if (!(value > 0.0f)) return 0;
  return static_cast<unsigned char>((value < 1.0f ? value : 1.0f) * 255.0f + 0.5f);
}

// The whole file into `bytes`; false with `error` (which names no file) when it cannot be encoded.
bool Encode(const WriteRequest& request, std::vector<unsigned char>& bytes, std::string& error);

}  // namespace png_codec
