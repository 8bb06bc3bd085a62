#include "png_codec.h"

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
  bool interlaced = false;
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
  decoder.interlaced = png_set_interlace_handling(decoder.png) > 1;
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
// image library hands alpha images out.
struct Samples {
  const unsigned char* row;
  int channels;
  bool sixteen;
  bool alpha;
  std::uint32_t Stored(int index) const {
    return sixteen ? std::uint32_t{row[2 * index]} << 8 | row[2 * index + 1] : row[index];
  }
  std::uint32_t operator()(int x, int c) const {
    const int index = x * channels + c;
    const std::uint32_t value = Stored(index);
    if (!alpha || c == channels - 1) return value;
    const std::uint32_t maximum = sixteen ? 65535u : 255u;
    return static_cast<std::uint32_t>(std::uint64_t{value} * Stored(x * channels + channels - 1) / maximum);
  }
};

void ConvertRow(const Decoder& decoder, const unsigned char* row, image_codec::SampleType type, void* pixels,
                int y) {
  const Samples samples{row, decoder.channels, decoder.depth == 16, decoder.alpha};
  const size_t start = static_cast<size_t>(y) * decoder.width * decoder.channels;
  if (type == image_codec::SampleType::Float) {
    const float scale = samples.sixteen ? 1.0f / 65535.0f : 1.0f / 255.0f;
    float* out = static_cast<float*>(pixels) + start;
    for (int x = 0; x < decoder.width; ++x)
      for (int c = 0; c < decoder.channels; ++c) *out++ = static_cast<float>(samples(x, c)) * scale;
    return;
  }
  unsigned char* out = static_cast<unsigned char*>(pixels) + start;
  for (int x = 0; x < decoder.width; ++x)
    for (int c = 0; c < decoder.channels; ++c) {
      const std::uint32_t value = samples(x, c);
      *out++ = static_cast<unsigned char>(samples.sixteen ? (value * 255u + 32767u) / 65535u : value);
    }
}

// Decodes into `rows` (one buffer of the whole image when interlaced, else one row reused).
bool DecodeRows(Decoder& decoder, unsigned char* rows, png_bytep* pointers, image_codec::SampleType type,
                void* pixels) {
  if (setjmp(png_jmpbuf(decoder.png))) return false;
  if (decoder.interlaced) {
    png_read_image(decoder.png, pointers);
    for (int y = 0; y < decoder.height; ++y) ConvertRow(decoder, pointers[y], type, pixels, y);
  } else {
    for (int y = 0; y < decoder.height; ++y) {
      png_read_row(decoder.png, rows, nullptr);
      ConvertRow(decoder, rows, type, pixels, y);
    }
  }
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
  const size_t rowCount = decoder.interlaced ? static_cast<size_t>(decoder.height) : 1;
  std::vector<unsigned char> rows(rowBytes * rowCount);
  std::vector<png_bytep> pointers(rowCount);
  for (size_t y = 0; y < rowCount; ++y) pointers[y] = rows.data() + y * rowBytes;
  if (!DecodeRows(decoder, rows.data(), pointers.data(), type, pixels)) {
    error = std::string("the PNG image data is damaged: ") + decoder.message;
    return false;
  }
  return true;
}

}  // namespace png_codec
