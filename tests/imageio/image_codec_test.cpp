#include "image/image_codec.h"
#include "files_support.h"
#include "image/image_limits.h"
#include "image/image_metadata.h"
#include "image/image_output.h"
#include "image/plain_tiff.h"
#include "image/png_writer.h"
#include "image/srgb.h"
#include "image/xmp_embed.h"
#include "render_test_support.h"

#include <OpenImageIO/imageio.h>
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <random>

// The sRGB tables against the exact curve; the image seam's own readers (PNG of every kind, the plain
// TIFF of the module's icons) against the image library, and the host's PNG writer.

namespace fs = std::filesystem;

namespace {

using render_test::TempFolder;

// The curve as the host wrote it before the tables, kept here as the reference.
float ReferenceEncode(float linear) {
  const float value = std::isfinite(linear) ? std::clamp(linear, 0.0f, 1.0f) : 0.0f;
  return value <= 0.0031308f ? value * 12.92f : 1.055f * std::pow(value, 1.0f / 2.4f) - 0.055f;
}

float ReferenceDecode(float encoded) {
  return encoded <= 0.04045f ? encoded / 12.92f : std::pow((encoded + 0.055f) / 1.055f, 2.4f);
}

// The table's answer must give the byte the exact value gives under any rounding an encoder uses:
// either the exact value itself, or the centre of a byte the exact value lies well inside.
::testing::AssertionResult SameByte(float linear, float fast) {
  const float exact = ReferenceEncode(linear);
  if (std::bit_cast<std::uint32_t>(fast) == std::bit_cast<std::uint32_t>(exact))
    return ::testing::AssertionSuccess();
  const double byte = std::round(static_cast<double>(fast) * 255.0);
  const bool centre = static_cast<float>(byte / 255.0) == fast;
  if (centre && std::abs(static_cast<double>(exact) * 255.0 - byte) <= 0.5 - 1e-4)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "linear " << linear << " exact " << exact << " table " << fast;
}

struct PngSpec {
  std::string name;
  int colourType;
  int depth;
  bool transparency = false;
  bool interlaced = false;
  double gamma = 0.0;  // a gamma chunk alone when not zero
  bool srgb = false;
};

// A PNG of random samples written by libpng itself, so that every colour type and depth is covered.
void WritePng(const fs::path& path, const PngSpec& spec, int width = 37, int height = 23) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, spec.depth, spec.colourType,
               spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::mt19937 random(7);
  png_color palette[4] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {200, 210, 220}};
  if (spec.colourType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette, 4);
  png_byte alphas[3] = {0, 128, 255};
  png_color_16 key{0, 5, 6, 7, 5};
  if (spec.transparency) png_set_tRNS(png, info, alphas, 3, &key);
  if (spec.gamma > 0.0) png_set_gAMA(png, info, spec.gamma);
  if (spec.srgb) png_set_sRGB_gAMA_and_cHRM(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
  png_write_info(png, info);
  const int channels = png_get_channels(png, info);
  const size_t rowBytes = (static_cast<size_t>(width) * channels * spec.depth + 7) / 8;
  std::vector<png_byte> pixels(rowBytes * height);
  const int maximum = spec.colourType == PNG_COLOR_TYPE_PALETTE ? 3 : (1 << std::min(spec.depth, 8)) - 1;
  for (png_byte& byte : pixels) byte = static_cast<png_byte>(random() % (spec.depth < 8 ? 256 : maximum + 1));
  std::vector<png_bytep> rows(height);
  for (int y = 0; y < height; ++y) rows[y] = pixels.data() + y * rowBytes;
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

template <typename Sample>
std::vector<Sample> LibraryRead(const std::string& path, OIIO::TypeDesc type, OIIO::ImageSpec& spec) {
  auto input = OIIO::ImageInput::open(path);
  if (!input) return {};
  spec = input->spec();
  std::vector<Sample> pixels(static_cast<size_t>(spec.width) * spec.height * spec.nchannels);
  if (!input->read_image(0, 0, 0, spec.nchannels, type, pixels.data())) return {};
  return pixels;
}

// Through the seam (which reads PNG itself): header, floats and bytes exactly as the library's.
void ExpectAsTheLibraryReads(const std::string& path) {
  SCOPED_TRACE(path);
  OIIO::ImageSpec spec;
  const std::vector<float> floats = LibraryRead<float>(path, OIIO::TypeDesc::FLOAT, spec);
  const std::vector<unsigned char> bytes = LibraryRead<unsigned char>(path, OIIO::TypeDesc::UINT8, spec);
  image_codec::Reader reader;
  std::string error;
  ASSERT_TRUE(reader.Open(path, error)) << error;
  const image_codec::Header& header = reader.header();
  EXPECT_EQ(header.channels, spec.nchannels);
  EXPECT_EQ(header.sample == image_codec::SampleType::UInt16, spec.format == OIIO::TypeDesc::UINT16);
  EXPECT_EQ(header.format, "png");
  EXPECT_EQ(header.colourSpace, spec.get_string_attribute("oiio:ColorSpace"));
  EXPECT_EQ(header.date, spec.get_string_attribute("DateTime"));
  std::vector<float> ourFloats(floats.size());
  std::vector<unsigned char> ourBytes(bytes.size());
  ASSERT_TRUE(reader.ReadFloats(ourFloats.data(), error)) << error;
  image_codec::Reader again;
  ASSERT_TRUE(again.Open(path, error) && again.ReadBytes(ourBytes.data(), error)) << error;
  EXPECT_EQ(ourFloats, floats);  // bit for bit
  EXPECT_EQ(ourBytes, bytes);
}

// A plain TIFF written by the image library: 8-bit samples, alpha unassociated.
void WriteTiff(const std::string& path, const std::vector<unsigned char>& pixels, int width, int height,
               int channels, const char* compression) {
  OIIO::ImageSpec spec(width, height, channels, OIIO::TypeDesc::UINT8);
  spec.alpha_channel = channels == 4 ? 3 : -1;
  spec.attribute("oiio:UnassociatedAlpha", 1);
  spec.attribute("compression", compression);
  auto output = OIIO::ImageOutput::create(path);
  ASSERT_TRUE(output && output->open(path, spec) &&
              output->write_image(OIIO::TypeDesc::UINT8, pixels.data()) && output->close());
}

void ExpectTiffAsTheLibraryReads(const std::string& path) {
  image_codec::Header header;
  std::vector<float> pixels;
  std::string error;
  ASSERT_EQ(plain_tiff::Read(path, header, pixels, error), PlainRead::Read) << path << ": " << error;
  OIIO::ImageSpec spec;
  EXPECT_EQ(pixels, LibraryRead<float>(path, OIIO::TypeDesc::FLOAT, spec)) << path;
  EXPECT_EQ(header.channels, spec.nchannels) << path;
}

}  // namespace

TEST(Srgb, ByteEncoderKeepsTheByteOfEveryFloatInTheUnitRange) {
  const srgb::ByteEncoder& encode = srgb::ByteEncoder::Get();
  // Every float from 2^-20 to 1 (below, every value encodes to byte 0 on the linear segment).
  const std::uint32_t first = std::bit_cast<std::uint32_t>(std::ldexp(1.0f, -20));
  const std::uint32_t last = std::bit_cast<std::uint32_t>(1.0f);
  // The first three floats that fail are shown; a broken curve fails them all, so the loop stops there.
  int failures = 0;
  for (std::uint32_t bits = first; bits <= last && failures < 3; ++bits) {
    const float linear = std::bit_cast<float>(bits);
    const ::testing::AssertionResult same = SameByte(linear, encode(linear));
    if (!same) ADD_FAILURE() << same.message() << " (failure " << ++failures << ")";
  }
}

TEST(Srgb, ByteEncoderAndCurveClampOutsideTheUnitRange) {
  const srgb::ByteEncoder& encode = srgb::ByteEncoder::Get();
  for (float value :
       {0.0f, -0.0f, -1.0f, 1e-30f, 1.0000001f, 2.0f, 1e30f, std::numeric_limits<float>::infinity(),
        -std::numeric_limits<float>::infinity(), std::nanf("")}) {
    EXPECT_TRUE(SameByte(value, encode(value)));
    EXPECT_EQ(srgb::Encode(value), ReferenceEncode(value)) << value;
  }
}

TEST(Srgb, DecodeIsTheExactCurveForBytesAndEverythingElse) {
  for (int byte = 0; byte < 256; ++byte) {
    const float encoded = static_cast<float>(byte) / 255.0f;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(srgb::Decode(encoded)),
              std::bit_cast<std::uint32_t>(ReferenceDecode(encoded)))
        << byte;
  }
  // Values beside the bytes (and outside [0, 1]) take the curve itself.
  for (float encoded = -0.5f; encoded < 1.5f; encoded += 0.000123f) {
    const float near = std::nextafter(encoded, 2.0f);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(srgb::Decode(near)),
              std::bit_cast<std::uint32_t>(ReferenceDecode(near)));
  }
  EXPECT_TRUE(std::signbit(srgb::Decode(-0.0f)));
}

TEST(PngCodec, EveryColourTypeAndDepthReadsAsTheImageLibraryReadsIt) {
  std::vector<PngSpec> specs = {
      {"grey1", PNG_COLOR_TYPE_GRAY, 1},
      {"palette", PNG_COLOR_TYPE_PALETTE, 8},
      {"palette2", PNG_COLOR_TYPE_PALETTE, 2},
      {"palettetrns", PNG_COLOR_TYPE_PALETTE, 8, true},
      {"rgbtrns", PNG_COLOR_TYPE_RGB, 8, true},
      {"interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, true},
      {"linear", PNG_COLOR_TYPE_RGB, 8, false, false, 1.0},
      {"gamma18", PNG_COLOR_TYPE_RGB, 16, false, true, 1.0 / 1.8},
      {"srgbalpha", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false, 0.0, true},
  };
  for (const int type :
       {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA})
    for (const int depth : {8, 16})
      specs.push_back({"type" + std::to_string(type) + "-" + std::to_string(depth), type, depth});
  TempFolder folder;
  for (const PngSpec& spec : specs) {
    WritePng(folder.File(spec.name + ".png"), spec);
    ExpectAsTheLibraryReads(folder.File(spec.name + ".png"));
  }
}

TEST(PngCodec, RenderWrittenDirectlyDecodesAsTheLibrarysOwnWriting) {
  FloatImage image;
  ASSERT_TRUE(image.Allocate(301, 97));
  std::mt19937 random(3);
  std::uniform_real_distribution<float> value(-0.1f, 1.3f);
  for (int y = 0; y < image.height; ++y) {
    Float32* row = image.Row(y);
    for (int i = 0; i < image.width * 4; ++i) row[i] = value(random);
    // Mostly opaque, so that colour differences are not hidden by the alpha they are read with.
    for (int x = 0; x < image.width; x += 1 + (x % 3)) row[x * 4 + 3] = 1.0f;
  }
  // Values a broken render may leave: not-a-number and infinite colour and coverage.
  const float hostile[] = {NAN, INFINITY, -INFINITY, NAN, 0.5f, NAN, INFINITY, -INFINITY};
  std::copy(std::begin(hostile), std::end(hostile), image.Row(0));
  TempFolder folder;
  const std::string ours = folder.File("ours.png"), library = folder.File("library.png");
  ImageMetadata metadata;
  metadata.exifDate = "2023:11:14 22:13:20";
  std::string error;
  ASSERT_TRUE(image_output::Write(image, ours, error, metadata)) << error;
  ExpectAsTheLibraryReads(ours);
  // The library's own writer on the same display floats.
  const srgb::ByteEncoder& encode = srgb::ByteEncoder::Get();
  std::vector<float> display(image.rgba.size());
  for (size_t i = 0; i < display.size(); i += 4) {
    const float alpha = image.rgba[i + 3];
    for (int c = 0; c < 3; ++c)
      display[i + c] = encode(image.rgba[i + c] * (alpha > 0.0f ? 1.0f / alpha : 1.0f));
    display[i + 3] = std::clamp(alpha, 0.0f, 1.0f);
  }
  OIIO::ImageSpec spec(image.width, image.height, 4, OIIO::TypeDesc::UINT8);
  spec.attribute("oiio:UnassociatedAlpha", 1);
  auto output = OIIO::ImageOutput::create(library);
  ASSERT_TRUE(output->open(library, spec) && output->write_image(OIIO::TypeDesc::FLOAT, display.data()) &&
              output->close());
  OIIO::ImageSpec read, theirs;
  EXPECT_EQ(LibraryRead<unsigned char>(ours, OIIO::TypeDesc::UINT8, read),
            LibraryRead<unsigned char>(library, OIIO::TypeDesc::UINT8, theirs));
  // The sRGB chunk, as the library reads it. (The date reads as the library reads it above, and as
  // written in the metadata tests, which read the XMP packet too.)
  EXPECT_EQ(read.get_string_attribute("oiio:ColorSpace"), "sRGB");
}

TEST(PngCodec, EveryFilterAndLevelDecodesToTheBytesWritten) {
  // Tall enough for several bands, whose streams and checksums are joined into one.
  const int width = 301, height = 700, channels = 3;
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * channels);
  std::mt19937 random(5);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = static_cast<unsigned char>(i % 7 == 0 ? random() : i / 9);
  for (const png_codec::Filter filter :
       {png_codec::Filter::None, png_codec::Filter::Sub, png_codec::Filter::Up, png_codec::Filter::Paeth}) {
    png_codec::WriteRequest request;
    request.width = width;
    request.height = height;
    request.channels = channels;
    request.filter = filter;
    request.level = 1 + static_cast<int>(filter) * 2;  // 1, 3, 5 and 9
    request.row = [&](int y, unsigned char* row) {
      std::copy_n(pixels.data() + static_cast<size_t>(y) * width * channels, width * channels, row);
    };
    std::vector<unsigned char> bytes, decoded(pixels.size());
    std::string error;
    ASSERT_TRUE(png_codec::Encode(request, bytes, error)) << error;
    image_codec::Reader reader;
    ASSERT_TRUE(reader.OpenMemory(bytes.data(), bytes.size(), "x.png", error)) << error;
    ASSERT_TRUE(reader.ReadBytes(decoded.data(), error)) << error;
    EXPECT_EQ(decoded, pixels) << "filter " << static_cast<int>(filter);
  }
}

TEST(PngCodec, DamagedTruncatedAndHugeFilesAreRefused) {
  TempFolder folder;
  const std::string bad = folder.File("bad.png");
  WritePng(bad, {"rgb8", PNG_COLOR_TYPE_RGB, 8}, 200, 100);
  std::vector<unsigned char> bytes = files::ReadBytes(bad);
  std::string error;
  // Cut inside the image data: the header reads, the pixels do not.
  files::WriteBytes(bad, std::vector<unsigned char>(bytes.begin(), bytes.begin() + bytes.size() / 2));
  image_codec::Reader truncated;
  ASSERT_TRUE(truncated.Open(bad, error)) << error;
  std::vector<float> pixels(200 * 100 * 3);
  EXPECT_FALSE(truncated.ReadFloats(pixels.data(), error));
  files::ExpectHolds(error, {"damaged"});
  // A flipped byte in the header fails its checksum.
  std::vector<unsigned char> flipped = bytes;
  flipped[20] ^= 0xFF;
  files::WriteBytes(bad, flipped);
  image_codec::Reader damaged;
  EXPECT_FALSE(damaged.Open(bad, error));
  files::ExpectHolds(error, {"damaged"});
  // A header claiming 100000 x 100000 pixels is refused from the header alone.
  WritePng(bad, {"rgb8", PNG_COLOR_TYPE_RGB, 8}, 4, 4);
  bytes = files::ReadBytes(bad);
  const unsigned char huge[13] = {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 2, 0, 0, 0};
  std::copy(huge, huge + 13, bytes.begin() + 16);
  const uLong crc = crc32(0, bytes.data() + 12, 17);
  for (int i = 0; i < 4; ++i) bytes[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
  files::WriteBytes(bad, bytes);
  EXPECT_FALSE(image_limits::CheckFile(bad, error));
  files::ExpectHolds(error, {"100000 x 100000"});
}

// Every chunk of a PNG written with an XMP packet ends with the CRC-32 of its type and data, as zlib
// computes it (readers drop a chunk whose CRC does not match), and the packet reads back whole.
TEST(PngCodec, XmpChunkEndsWithTheChecksumReadersCheck) {
  const std::string packet = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>";
  png_codec::WriteRequest request;
  request.width = 4;
  request.height = 4;
  request.channels = 3;
  request.row = [](int y, unsigned char* row) {
    std::fill(row, row + 12, static_cast<unsigned char>(60 * y));
  };
  request.date = "2023:11:14 22:13:20";
  request.xmpPacket = packet;
  std::vector<unsigned char> bytes;
  std::string error;
  ASSERT_TRUE(png_codec::Encode(request, bytes, error)) << error;
  const auto big32 = [&bytes](size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 |
           bytes[at + 3];
  };
  std::string types;
  for (size_t at = 8; at + 12 <= bytes.size(); at += 12 + big32(at)) {
    types += std::string(bytes.begin() + at + 4, bytes.begin() + at + 8) + " ";
    ASSERT_LE(at + 12 + big32(at), bytes.size());
    EXPECT_EQ(crc32(0, bytes.data() + at + 4, 4 + big32(at)), big32(at + 8 + big32(at))) << types;
  }
  files::ExpectHolds(types, {"IHDR ", "iTXt ", "IDAT ", "IEND "});
  EXPECT_EQ(xmp_embed::Find(bytes), packet);
  // The PNG writer is the one place a PNG gets its packet.
  EXPECT_FALSE(xmp_embed::Insert(bytes, packet, error));
}

// The module's icons and maps, and every colour under every alpha (which is unassociated in the file
// and multiplied in when read).
TEST(PlainImage, ModuleIconsAndEveryColourUnderEveryAlphaReadAsTheImageLibraryReadsThem) {
  for (const auto& entry : fs::directory_iterator(fs::path(ORVEX_SOURCE_DIR) / "res"))
    if (entry.path().extension() == ".tif") ExpectTiffAsTheLibraryReads(entry.path().string());
  std::vector<unsigned char> pixels(256 * 256 * 4);
  for (int alpha = 0; alpha < 256; ++alpha)
    for (int colour = 0; colour < 256; ++colour) {
      unsigned char* pixel = &pixels[(alpha * 256 + colour) * 4];
      pixel[0] = static_cast<unsigned char>(colour);
      pixel[1] = static_cast<unsigned char>(255 - colour);
      pixel[2] = static_cast<unsigned char>(colour ^ 0x5a);
      pixel[3] = static_cast<unsigned char>(alpha);
    }
  TempFolder folder;
  WriteTiff(folder.File("alpha.tif"), pixels, 256, 256, 4, "none");
  ExpectTiffAsTheLibraryReads(folder.File("alpha.tif"));
}

TEST(PlainImage, OtherFilesAreLeftToTheImageLibraryAndTruncatedOnesRefused) {
  const std::vector<unsigned char> pixels(64 * 64 * 3, 128);
  image_codec::Header header;
  std::vector<float> decoded;
  std::string error;
  TempFolder folder;
  const std::string compressed = folder.File("lzw.tif"), plain = folder.File("cut.tif");
  WriteTiff(compressed, pixels, 64, 64, 3, "lzw");
  EXPECT_EQ(plain_tiff::Read(compressed, header, decoded, error), PlainRead::NotPlain);
  EXPECT_EQ(plain_tiff::Read("/nonexistent/icon.tif", header, decoded, error), PlainRead::NotPlain);

  WriteTiff(plain, pixels, 64, 64, 3, "none");
  fs::resize_file(plain, fs::file_size(plain) / 2);
  EXPECT_EQ(plain_tiff::Read(plain, header, decoded, error), PlainRead::Damaged);
  files::ExpectHolds(error, {"damaged"});
}
