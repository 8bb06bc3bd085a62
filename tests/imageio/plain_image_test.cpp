#include "image/plain_tiff.h"

#include <OpenImageIO/imageio.h>
#include <gtest/gtest.h>

#include <filesystem>
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
  EXPECT_EQ(plain_tiff::Read("/nonexistent/icon.tif", header, decoded, error), PlainRead::NotPlain);

  const fs::path plain = TempFile("cut.tif");
  WriteTiff(plain, pixels, 64, 64, 3, "none");
  fs::resize_file(plain, fs::file_size(plain) / 2);
  EXPECT_EQ(plain_tiff::Read(plain.string(), header, decoded, error), PlainRead::Damaged);
  EXPECT_NE(error.find("damaged"), std::string::npos);
  for (const fs::path& file : {compressed, plain}) fs::remove(file);
}
