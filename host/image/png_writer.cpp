#include "png_writer.h"

#include "parallel_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace png_codec {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
// Bands of about this many raw bytes: enough to compress well, many enough to share the cores.
constexpr size_t kBandBytes = 256 * 1024;

void AppendBig32(std::vector<unsigned char>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<unsigned char>(value >> shift & 0xFF));
}

void AppendChunk(std::vector<unsigned char>& out, const char* type, const unsigned char* data, size_t size) {
  AppendBig32(out, static_cast<std::uint32_t>(size));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data, data + size);
  AppendBig32(
      out, static_cast<std::uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

void AppendChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
  AppendChunk(out, type, data.data(), data.size());
}

std::vector<unsigned char> Big32s(std::initializer_list<std::uint32_t> values) {
  std::vector<unsigned char> bytes;
  for (const std::uint32_t value : values) AppendBig32(bytes, value);
  return bytes;
}

std::vector<unsigned char> HeaderChunk(const WriteRequest& request) {
  static constexpr unsigned char kColourType[5] = {0, 0, 4, 2, 6};
  std::vector<unsigned char> data =
      Big32s({static_cast<std::uint32_t>(request.width), static_cast<std::uint32_t>(request.height)});
  // 8 bits, colour type, deflate, adaptive filtering, not interlaced.
  data.insert(data.end(), {8, kColourType[request.channels], 0, 0, 0});
  return data;
}

void AppendText(std::vector<unsigned char>& out, const char* type, const std::string& keywordAndText) {
  AppendChunk(out, type, reinterpret_cast<const unsigned char*>(keywordAndText.data()),
              keywordAndText.size());
}

// The date "YYYY:MM:DD HH:MM:SS" as a time chunk; false when it is not one.
bool AppendTime(std::vector<unsigned char>& out, const std::string& date) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (std::sscanf(date.c_str(), "%d:%d:%d %d:%d:%d", &year, &month, &day, &hour, &minute, &second) != 6 ||
      year < 0 || year > 65535)
    return false;
  const unsigned char time[7] = {
      static_cast<unsigned char>(year >> 8), static_cast<unsigned char>(year & 0xFF),
      static_cast<unsigned char>(month),     static_cast<unsigned char>(day),
      static_cast<unsigned char>(hour),      static_cast<unsigned char>(minute),
      static_cast<unsigned char>(second)};
  AppendChunk(out, "tIME", time, sizeof(time));
  return true;
}

void AppendAncillary(const WriteRequest& request, std::vector<unsigned char>& out) {
  if (!request.xmpPacket.empty())
    AppendText(out, "iTXt", std::string("XML:com.adobe.xmp") + std::string(5, '\0') + request.xmpPacket);
  if (request.srgb) {
    AppendChunk(out, "gAMA", Big32s({45455}));
    const unsigned char absoluteIntent = 3;
    AppendChunk(out, "sRGB", &absoluteIntent, 1);
    // The sRGB white point and primaries, times 100000.
    AppendChunk(out, "cHRM", Big32s({31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000}));
  }
  AppendChunk(out, "oFFs", std::vector<unsigned char>(9, 0));
  if (!request.date.empty()) AppendTime(out, request.date);
  if (request.srgb) AppendText(out, "tEXt", std::string("oiio:ColorSpace") + '\0' + "sRGB");
}

unsigned char Paeth(int left, int up, int upLeft) {
  const int estimate = left + up - upLeft;
  const int toLeft = std::abs(estimate - left), toUp = std::abs(estimate - up),
            toUpLeft = std::abs(estimate - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) return static_cast<unsigned char>(left);
  return static_cast<unsigned char>(toUp <= toUpLeft ? up : upLeft);
}

// One row filtered behind its filter type byte; `previous` is all zeros above the first row. One loop
// per filter, so that the byte loop holds no branch.
void FilterRow(Filter filter, const unsigned char* row, const unsigned char* previous, size_t size,
               int pixelBytes, unsigned char* out) {
  *out++ = static_cast<unsigned char>(filter);
  const size_t step = std::min(static_cast<size_t>(pixelBytes), size);
  switch (filter) {
    case Filter::None:
      std::memcpy(out, row, size);
      break;
    case Filter::Sub:
      std::memcpy(out, row, step);
      for (size_t i = step; i < size; ++i) out[i] = static_cast<unsigned char>(row[i] - row[i - step]);
      break;
    case Filter::Up:
      for (size_t i = 0; i < size; ++i) out[i] = static_cast<unsigned char>(row[i] - previous[i]);
      break;
    case Filter::Paeth:
      for (size_t i = 0; i < step; ++i) out[i] = static_cast<unsigned char>(row[i] - previous[i]);
      for (size_t i = step; i < size; ++i)
        out[i] = static_cast<unsigned char>(row[i] - Paeth(row[i - step], previous[i], previous[i - step]));
      break;
  }
}

// The filtered rows [first, last) of the image; the row above `first` is made again for the filter.
void FilterBand(const WriteRequest& request, int first, int last, std::vector<unsigned char>& raw) {
  const size_t rowBytes = static_cast<size_t>(request.width) * request.channels;
  std::vector<unsigned char> previous(rowBytes, 0), current(rowBytes);
  if (first > 0 && request.filter != Filter::None && request.filter != Filter::Sub)
    request.row(first - 1, previous.data());
  raw.resize((rowBytes + 1) * static_cast<size_t>(last - first));
  for (int y = first; y < last; ++y) {
    request.row(y, current.data());
    FilterRow(request.filter, current.data(), previous.data(), rowBytes, request.channels,
              raw.data() + (rowBytes + 1) * static_cast<size_t>(y - first));
    previous.swap(current);
  }
}

}  // namespace

bool Encode(const WriteRequest& request, std::vector<unsigned char>& bytes, std::string& error) {
  if (request.width <= 0 || request.height <= 0 || request.channels < 1 || request.channels > 4 ||
      !request.row) {
    error = "the PNG image has no pixels";
    return false;
  }
  const size_t rowBytes = static_cast<size_t>(request.width) * request.channels + 1;
  const int bandRows = static_cast<int>(std::clamp<size_t>(kBandBytes / rowBytes, 1, request.height));
  const size_t bands = (static_cast<size_t>(request.height) + bandRows - 1) / bandRows;
  std::vector<unsigned char> data;
  const bool compressed = parallel_deflate::Compress(
      bands,
      [&](size_t band, std::vector<unsigned char>& raw) {
        const int first = static_cast<int>(band) * bandRows;
        FilterBand(request, first, std::min(first + bandRows, request.height), raw);
      },
      request.level, data);
  if (!compressed) {
    error = "the PNG image data cannot be compressed";
    return false;
  }
  bytes.assign(kSignature, kSignature + sizeof(kSignature));
  AppendChunk(bytes, "IHDR", HeaderChunk(request));
  AppendAncillary(request, bytes);
  // Image data in chunks of at most 1 MiB, as readers expect them.
  constexpr size_t kChunkBytes = size_t{1} << 20;
  for (size_t at = 0; at < data.size(); at += kChunkBytes)
    AppendChunk(bytes, "IDAT", data.data() + at, std::min(kChunkBytes, data.size() - at));
  AppendChunk(bytes, "IEND", nullptr, 0);
  return true;
}

}  // namespace png_codec
