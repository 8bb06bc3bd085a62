#include "files_support.h"
#include "image/image_facts.h"
#include "image/image_output.h"
#include "image/xmp_embed.h"
#include "image/xmp_packet.h"
#include "render/pano_crop.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

// The photo-sphere crop arithmetic and the XMP packet's way into and out of each file format.

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

void ExpectCrop(const PanoCrop& crop, Int32 fullWidth, Int32 fullHeight, Int32 left, Int32 top) {
  EXPECT_EQ(crop.fullWidth, fullWidth);
  EXPECT_EQ(crop.fullHeight, fullHeight);
  EXPECT_EQ(crop.left, left);
  EXPECT_EQ(crop.top, top);
}

// The full sphere and the centred half of it are read back from rendered files in
// metadata_render_test.cpp; here the off-centre band and nonsense input.
TEST(PanoCrop, ABandAndNonsenseSpansFindTheirPlaceInTheSphere) {
  // A band above the horizon: its top edge 30 degrees below the pole.
  ExpectCrop(CropOfPanorama(600, 200, 90 * kDegree, 0, 60 * kDegree), 2400, 600, 900, 100);
  // Nonsense spans and ranges count as the full sphere rather than dividing by zero.
  ExpectCrop(CropOfPanorama(400, 200, 0.0, 0.5, -0.5), 400, 200, 0, 0);
  ExpectCrop(CropOfPanorama(400, 200, std::nan(""), -4.0, 4.0), 400, 200, 0, 0);
}

ImageMetadata SampleMetadata() {
  ImageMetadata metadata;
  metadata.exifDate = "2023:11:14 22:13:20";
  metadata.SetText("GPano", "ProjectionType", "equirectangular");
  metadata.SetInteger("GPano", "FullPanoWidthPixels", 64);
  metadata.SetReal("orvex360", "FieldOfViewDegrees", 187.5);
  metadata.SetText("orvex360", "Note", "a \"quoted\" <b> & more");
  return metadata;
}

TEST(XmpEmbed, EachFormatCarriesThePacketAndStillDecodes) {
  render_test::TempFolder folder;
  FloatImage image;
  ASSERT_TRUE(image.Allocate(16, 8));
  for (Float32& value : image.rgba) value = 0.5f;
  for (const char* name : {"pano.png", "pano.jpg", "pano.tif"}) {
    SCOPED_TRACE(name);
    std::string error;
    ASSERT_TRUE(image_output::Write(image, folder.File(name), error, SampleMetadata())) << error;
    ASSERT_TRUE(VerifyImageComplete(folder.File(name), error)) << error;
    ImageFacts facts;
    ASSERT_TRUE(ReadImageFacts(folder.File(name), facts, error)) << error;
    EXPECT_EQ(facts.width, 16);
    EXPECT_EQ(facts.date, "2023:11:14 22:13:20");
    EXPECT_EQ(facts.xmpPacket, XmpPacket(SampleMetadata()));
    const MetadataProperty* note = facts.metadata.Find("orvex360", "Note");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->value, "a \"quoted\" <b> & more");
    EXPECT_EQ(facts.metadata.Find("orvex360", "FieldOfViewDegrees")->value, "187.5");

    // A second packet replaces the first instead of adding a rival one.
    std::vector<unsigned char> bytes = files::ReadBytes(folder.File(name));
    ImageMetadata replaced;
    replaced.SetText("GPano", "ProjectionType", "replaced");
    ASSERT_TRUE(xmp_embed::Insert(bytes, XmpPacket(replaced), error)) << error;
    EXPECT_EQ(ReadXmpPacket(xmp_embed::Find(bytes)).properties.size(), 1u);
    // TIFF leaves the old packet's bytes unreferenced; the others drop them.
    EXPECT_TRUE(std::string(name).ends_with(".tif") ||
                std::string(bytes.begin(), bytes.end()).find("equirectangular") == std::string::npos);
  }
}

TEST(XmpEmbed, DamagedFilesAreRefusedOrFoundEmpty) {
  std::string error;
  std::vector<unsigned char> text = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
  EXPECT_FALSE(xmp_embed::Insert(text, "<x/>", error));
  EXPECT_EQ(xmp_embed::Find(text), "");
  // A TIFF header whose directory lies beyond the file's end.
  std::vector<unsigned char> tiff = {'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0};
  EXPECT_FALSE(xmp_embed::Insert(tiff, "<x/>", error));
  EXPECT_EQ(xmp_embed::Find(tiff), "");

  // Packets come from any file: a bound prefix under another name, a value of 4 MB, an element, and
  // an unterminated value are read without recursion or guessing.
  const std::string huge(4 << 20, 'x');
  const ImageMetadata read = ReadXmpPacket(
      "<rdf:Description xmlns:P = 'http://ns.google.com/photos/1.0/panorama/' P:ProjectionType=\"" + huge +
      "\"><P:UsePanoramaViewer>True</P:UsePanoramaViewer> P:FullPanoWidthPixels=\"12");
  ASSERT_EQ(read.properties.size(), 2u);
  EXPECT_EQ(read.Find("GPano", "ProjectionType")->value.size(), huge.size());
  EXPECT_EQ(read.Find("GPano", "UsePanoramaViewer")->value, "True");
}

TEST(ImageFacts, TruncatedFramesAreNotComplete) {
  render_test::TempFolder folder;
  FloatImage image;
  ASSERT_TRUE(image.Allocate(64, 64));
  for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = static_cast<Float32>(i % 97) / 97.0f;
  for (const char* name : {"frame.png", "frame.jpg", "frame.tif", "frame.exr"}) {
    SCOPED_TRACE(name);
    std::string error;
    ASSERT_TRUE(image_output::Write(image, folder.File(name), error));
    EXPECT_TRUE(VerifyImageComplete(folder.File(name), error)) << error;
    std::vector<unsigned char> bytes = files::ReadBytes(folder.File(name));
    bytes.resize(bytes.size() * 2 / 3);
    files::WriteBytes(folder.File(name), bytes);
    EXPECT_FALSE(VerifyImageComplete(folder.File(name), error));
  }
  std::string error;
  EXPECT_FALSE(VerifyImageComplete(folder.File("absent.png"), error));
}

}  // namespace
