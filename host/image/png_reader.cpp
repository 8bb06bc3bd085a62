#include "png_codec.h"

#include "base/parallel_for.h"
#include "uninitialized_allocator.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace png_codec {

// The file in memory and libpng's state over it. libpng reports errors by longjmp, so the functions
// that call it hold nothing that needs a destructor between setjmp and the calls.
struct Decoder {
  std::vector<unsigned char> bytes;
  size_t at = 0;
  png_structp png = nullptr;
  png_infop info = nullptr;
  int width = 0;
  int height = 0;
  int channels = 0;
  int depth = 0;  // 8 or 16 after the transforms
  bool alpha = false;
  char message[200] = {};
};

void DecoderDeleter::operator()(Decoder* decoder) const {
  png_destroy_read_struct(&decoder->png, &decoder->info, nullptr);
  delete decoder;
}

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

void OnError(png_structp png, png_const_charp message) {
  auto* decoder = static_cast<Decoder*>(png_get_error_ptr(png));
  std::snprintf(decoder->message, sizeof(decoder->message), "%s", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep data, size_t size) {
  auto* decoder = static_cast<Decoder*>(png_get_io_ptr(png));
  if (decoder->bytes.size() - decoder->at < size) png_error(png, "the file ends before its image data does");
  std::memcpy(data, decoder->bytes.data() + decoder->at, size);
  decoder->at += size;
}

// Reads the header and sets the transforms that give what the image library gives: palette to RGB,
// grey below 8 bits to bytes, transparency to an alpha channel. False after a libpng error.
bool ReadInfo(Decoder& decoder) {
  if (setjmp(png_jmpbuf(decoder.png))) return false;
  png_set_read_fn(decoder.png, &decoder, ReadFromMemory);
  png_read_info(decoder.png, decoder.info);
  const int type = png_get_color_type(decoder.png, decoder.info);
  if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(decoder.png);
  if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(decoder.png, decoder.info) < 8)
    png_set_expand_gray_1_2_4_to_8(decoder.png);
  if (png_get_valid(decoder.png, decoder.info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(decoder.png);
  png_set_interlace_handling(decoder.png);
  png_read_update_info(decoder.png, decoder.info);
  decoder.width = static_cast<int>(png_get_image_width(decoder.png, decoder.info));
  decoder.height = static_cast<int>(png_get_image_height(decoder.png, decoder.info));
  decoder.channels = png_get_channels(decoder.png, decoder.info);
  decoder.depth = png_get_bit_depth(decoder.png, decoder.info);
  decoder.alpha = decoder.channels == 2 || decoder.channels == 4;
  return true;
}

// The colour space as the image library names it: sRGB unless a gamma chunk alone says otherwise.
std::string ColourSpaceOf(const Decoder& decoder,
                          std::vector<std::pair<std::string, std::string>>& attributes) {
  int intent = 0;
  double gamma = 0.0;
  if (png_get_sRGB(decoder.png, decoder.info, &intent) || !png_get_gAMA(decoder.png, decoder.info, &gamma) ||
      gamma <= 0.0)
    return "sRGB";
  const float exponent = static_cast<float>(1.0 / gamma);
  char text[32];
  std::snprintf(text, sizeof(text), "%g", exponent);
  attributes.emplace_back("oiio:Gamma", text);
  if (exponent > 0.99f && exponent < 1.01f) return "linear";
  std::snprintf(text, sizeof(text), "Gamma%.2g", exponent);
  return text;
}

std::string DateOf(const Decoder& decoder) {
  png_timep time = nullptr;
  if (!png_get_tIME(decoder.png, decoder.info, &time) || !time) return {};
  char text[32];
  std::snprintf(text, sizeof(text), "%04d:%02d:%02d %02d:%02d:%02d", time->year, time->month, time->day,
                time->hour, time->minute, time->second);
  return text;
}

image_codec::Header HeaderOf(const Decoder& decoder) {
  image_codec::Header header;
  header.width = decoder.width;
  header.height = decoder.height;
  header.channels = decoder.channels;
  header.sample = decoder.depth == 16 ? image_codec::SampleType::UInt16 : image_codec::SampleType::UInt8;
  header.format = "png";
  std::vector<std::pair<std::string, std::string>> gamma;
  header.colourSpace = ColourSpaceOf(decoder, gamma);
  header.attributes = gamma;
  header.attributes.emplace_back("oiio:ColorSpace", header.colourSpace);
  header.date = DateOf(decoder);
  if (!header.date.empty()) header.attributes.emplace_back("DateTime", header.date);
  return header;
}

// A stored sample (big-endian for 16 bits) with its colour associated with the pixel's alpha, as the
// image library hands alpha images out: in whole numbers, rounded down.
template <bool kSixteen, bool kAlpha>
std::uint32_t Sample(const unsigned char* row, int channels, int x, int c) {
  const auto stored = [row](int index) -> std::uint32_t {
    return kSixteen ? std::uint32_t{row[2 * index]} << 8 | row[2 * index + 1] : row[index];
  };
  const std::uint32_t value = stored(x * channels + c);
  if (!kAlpha || c == channels - 1) return value;
  constexpr std::uint32_t kMaximum = kSixteen ? 65535u : 255u;
  return value * stored(x * channels + channels - 1) / kMaximum;
}

template <bool kSixteen, bool kAlpha>
void ConvertRow(const unsigned char* row, int width, int channels, float* out) {
  constexpr float kScale = kSixteen ? 1.0f / 65535.0f : 1.0f / 255.0f;
  for (int x = 0; x < width; ++x)
    for (int c = 0; c < channels; ++c)
      *out++ = static_cast<float>(Sample<kSixteen, kAlpha>(row, channels, x, c)) * kScale;
}

template <bool kSixteen, bool kAlpha>
void ConvertRow(const unsigned char* row, int width, int channels, unsigned char* out) {
  for (int x = 0; x < width; ++x)
    for (int c = 0; c < channels; ++c) {
      const std::uint32_t value = Sample<kSixteen, kAlpha>(row, channels, x, c);
      *out++ = static_cast<unsigned char>(kSixteen ? (value * 255u + 32767u) / 65535u : value);
    }
}

// The decoded rows into the caller's samples, in parallel bands of rows.
template <bool kSixteen, bool kAlpha, typename Out>
void ConvertRows(const Decoder& decoder, const png_bytep* rows, Out* pixels) {
  const size_t rowSamples = static_cast<size_t>(decoder.width) * decoder.channels;
  parallel::For(0, decoder.height, [&](const tbb::blocked_range<int>& range) {
    for (int y = range.begin(); y != range.end(); ++y)
      ConvertRow<kSixteen, kAlpha>(rows[y], decoder.width, decoder.channels, pixels + y * rowSamples);
  });
}

template <typename Out>
void ConvertRows(const Decoder& decoder, const png_bytep* rows, Out* pixels) {
  if (decoder.depth == 16)
    decoder.alpha ? ConvertRows<true, true>(decoder, rows, pixels)
                  : ConvertRows<true, false>(decoder, rows, pixels);
  else
    decoder.alpha ? ConvertRows<false, true>(decoder, rows, pixels)
                  : ConvertRows<false, false>(decoder, rows, pixels);
}

// Decodes every row (all passes when interlaced) into `rows`.
bool DecodeRows(Decoder& decoder, png_bytep* rows) {
  if (setjmp(png_jmpbuf(decoder.png))) return false;
  png_read_image(decoder.png, rows);
  png_read_end(decoder.png, nullptr);
  return true;
}

}  // namespace

bool HasSignature(const unsigned char* bytes, size_t size) {
  return size >= sizeof(kSignature) && std::memcmp(bytes, kSignature, sizeof(kSignature)) == 0;
}

Opened Open(std::vector<unsigned char> bytes, DecoderPointer& decoder, image_codec::Header& header,
            std::string& error) {
  if (!HasSignature(bytes.data(), bytes.size())) return Opened::NotPng;
  DecoderPointer opened(new Decoder);
  opened->bytes = std::move(bytes);
  opened->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, opened.get(), OnError, OnWarning);
  opened->info = opened->png ? png_create_info_struct(opened->png) : nullptr;
  if (!opened->info) {
    error = "out of memory for the PNG reader";
    return Opened::Refused;
  }
  if (!ReadInfo(*opened)) {
    error = std::string("the PNG file is damaged: ") + opened->message;
    return Opened::Refused;
  }
  header = HeaderOf(*opened);
  decoder = std::move(opened);
  return Opened::Png;
}

bool Read(Decoder& decoder, image_codec::SampleType type, void* pixels, std::string& error) {
  const size_t rowBytes = png_get_rowbytes(decoder.png, decoder.info);
  // 8-bit samples asked as bytes decode straight into the caller's pixels (the rows are laid out
  // alike), their colour then associated with alpha in place; anything else through a copy.
  const bool inPlace = type != image_codec::SampleType::Float && decoder.depth == 8 &&
                       rowBytes == static_cast<size_t>(decoder.width) * decoder.channels;
  std::vector<unsigned char, UninitializedAllocator<unsigned char>> stored(
      inPlace ? 0 : rowBytes * decoder.height);
  unsigned char* first = inPlace ? static_cast<unsigned char*>(pixels) : stored.data();
  std::vector<png_bytep> rows(decoder.height);
  for (int y = 0; y < decoder.height; ++y) rows[y] = first + y * rowBytes;
  if (!DecodeRows(decoder, rows.data())) {
    error = std::string("the PNG image data is damaged: ") + decoder.message;
    return false;
  }
  if (inPlace && !decoder.alpha) return true;
  if (type == image_codec::SampleType::Float)
    ConvertRows(decoder, rows.data(), static_cast<float*>(pixels));
  else
    ConvertRows(decoder, rows.data(), static_cast<unsigned char*>(pixels));
  return true;
}

}  // namespace png_codec
