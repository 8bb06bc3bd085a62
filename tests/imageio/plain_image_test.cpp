#include "image/plain_png.h"
#include "image/plain_tiff.h"

#include <OpenImageIO/imageio.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<float> LibraryPixels(const std::string& path, int& channels) {
  auto input = OIIO::ImageInput::open(path);
  if (!input) return {};
  const OIIO::ImageSpec& spec = input->spec();
  channels = spec.nchannels;
  std::vector<float> pixels(static_cast<size_t>(spec.width) * spec.height * spec.nchannels);
  if (!input->read_image(0, 0, 0, spec.nchannels, OIIO::TypeDesc::FLOAT, pixels.data())) return {};
  return pixels;
}

template <typename Reader>
void ExpectAsTheLibraryReads(Reader read, const std::string& path) {
  image_codec::Header header;
  std::vector<float> pixels;
  std::string error;
  ASSERT_EQ(read(path, header, pixels, error), PlainRead::Read) << path << ": " << error;
  int channels = 0;
  const std::vector<float> expected = LibraryPixels(path, channels);
  EXPECT_EQ(header.channels, channels) << path;
  EXPECT_EQ(pixels, expected) << path;
}

fs::path TempFile(const std::string& name) { return fs::temp_directory_path() / ("orvex_plain_" + name); }

void WriteTiff(const fs::path& path, const std::vector<unsigned char>& pixels, int width, int height,
               int channels, const char* compression) {
  OIIO::ImageSpec spec(width, height, channels, OIIO::TypeDesc::UINT8);
  spec.alpha_channel = channels == 4 ? 3 : -1;
  spec.attribute("oiio:UnassociatedAlpha", 1);
  spec.attribute("compression", compression);
  auto output = OIIO::ImageOutput::create(path.string());
  ASSERT_TRUE(output && output->open(path.string(), spec) &&
              output->write_image(OIIO::TypeDesc::UINT8, pixels.data()) && output->close());
}

}  // namespace

TEST(PlainImage, ModuleIconsAndMapsReadAsTheImageLibraryReadsThem) {
  for (const auto& entry : fs::directory_iterator(fs::path(ORVEX_SOURCE_DIR) / "res")) {
    const std::string path = entry.path().string();
    if (entry.path().extension() == ".tif") ExpectAsTheLibraryReads(plain_tiff::Read, path);
    // The logo has alpha: the image library reads it.
    if (entry.path().extension() == ".png" && entry.path().filename() != "Orvex360Cam.png")
      ExpectAsTheLibraryReads(plain_png::Read, path);
  }
}

TEST(PlainImage, UnassociatedAlphaIsMultipliedInForEveryColourAndAlpha) {
  std::vector<unsigned char> pixels(256 * 256 * 4);
  for (int alpha = 0; alpha < 256; ++alpha)
    for (int colour = 0; colour < 256; ++colour) {
      unsigned char* pixel = &pixels[(alpha * 256 + colour) * 4];
      pixel[0] = static_cast<unsigned char>(colour);
      pixel[1] = static_cast<unsigned char>(255 - colour);
      pixel[2] = static_cast<unsigned char>(colour ^ 0x5a);
      pixel[3] = static_cast<unsigned char>(alpha);
    }
  const fs::path path = TempFile("alpha.tif");
  WriteTiff(path, pixels, 256, 256, 4, "none");
  ExpectAsTheLibraryReads(plain_tiff::Read, path.string());
  fs::remove(path);
}

TEST(PlainImage, OtherFilesAreLeftToTheImageLibraryAndTruncatedOnesRefused) {
  const std::vector<unsigned char> pixels(64 * 64 * 3, 128);
  image_codec::Header header;
  std::vector<float> decoded;
  std::string error;
  const fs::path compressed = TempFile("lzw.tif");
  WriteTiff(compressed, pixels, 64, 64, 3, "lzw");
  EXPECT_EQ(plain_tiff::Read(compressed.string(), header, decoded, error), PlainRead::NotPlain);
  EXPECT_EQ(plain_png::Read(compressed.string(), header, decoded, error), PlainRead::NotPlain);
  EXPECT_EQ(plain_tiff::Read("/nonexistent/icon.tif", header, decoded, error), PlainRead::NotPlain);

  const fs::path plain = TempFile("cut.tif");
  WriteTiff(plain, pixels, 64, 64, 3, "none");
  fs::resize_file(plain, fs::file_size(plain) / 2);
  EXPECT_EQ(plain_tiff::Read(plain.string(), header, decoded, error), PlainRead::Damaged);
  EXPECT_NE(error.find("damaged"), std::string::npos);

  const fs::path png = TempFile("cut.png");
  fs::copy_file(fs::path(ORVEX_SOURCE_DIR) / "res/map_dome.png", png, fs::copy_options::overwrite_existing);
  fs::resize_file(png, fs::file_size(png) - 40);
  EXPECT_EQ(plain_png::Read(png.string(), header, decoded, error), PlainRead::Damaged);
  for (const fs::path& file : {compressed, plain, png}) fs::remove(file);
}

namespace {

void AppendChunk(std::string& file, const std::string& type, const std::string& data) {
  const auto be32 = [&file](uLong value) {
    for (int shift = 24; shift >= 0; shift -= 8) file += static_cast<char>((value >> shift) & 0xff);
  };
  be32(data.size());
  file += type + data;
  const std::string covered = type + data;
  be32(crc32(0, reinterpret_cast<const Bytef*>(covered.data()), static_cast<uInt>(covered.size())));
}

}  // namespace

// A few bytes claiming 16384 x 16384 pixels are left to the image library's path, which refuses them
// by the image limits before it decodes, instead of being decoded here into 800 MB.
TEST(PlainImage, AHugeClaimIsLeftToTheImageLimits) {
  std::string file = "\x89PNG\r\n\x1a\n";
  AppendChunk(file, "IHDR", std::string("\0\0\x40\0\0\0\x40\0\x08\x02\0\0\0", 13));
  AppendChunk(file, "IDAT", std::string("\x78\x9c\x63\0\0\0\x01\0\x01", 9));
  AppendChunk(file, "IEND", "");
  const fs::path bomb = TempFile("bomb.png");
  std::ofstream(bomb, std::ios::binary) << file;
  image_codec::Header header;
  std::vector<float> decoded;
  std::string error;
  EXPECT_EQ(plain_png::Read(bomb.string(), header, decoded, error), PlainRead::NotPlain) << error;
  fs::remove(bomb);
}
