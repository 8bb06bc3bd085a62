#include "files_support.h"
#include "image/image_facts.h"
#include "image/image_output.h"
#include "image/xmp_embed.h"
#include "image/xmp_packet.h"
#include "module_reading/pano_crop.h"
#include "render_checks.h"

#include <OpenImageIO/imageio.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <string>

// The photo-sphere crop arithmetic, the XMP packet's way into and out of each file format, and
// cubemap renders through the orvex360 tool, their EXR headers read back by OpenImageIO (the other
// formats and projections are read back by exiftool in data/commands.tsv).

namespace {

using render_test::ExpectRendered;
using render_test::TempFolder;

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// Where a crop lies in its full sphere: the sphere's size and the crop's top left corner.
std::array<Int32, 4> Placement(const PanoCrop& crop) {
  return {crop.fullWidth, crop.fullHeight, crop.left, crop.top};
}

// The full sphere and the centred half of it are read back from rendered files in
// data/commands.tsv; here the off-centre band and nonsense input.
TEST(PanoCrop, ABandAndNonsenseSpansFindTheirPlaceInTheSphere) {
  // A band above the horizon: its top edge 30 degrees below the pole.
  EXPECT_EQ(Placement(CropOfPanorama(600, 200, 90 * kDegree, 0, 60 * kDegree)),
            (std::array{2400, 600, 900, 100}));
  // Nonsense spans and ranges count as the full sphere rather than dividing by zero.
  EXPECT_EQ(Placement(CropOfPanorama(400, 200, 0.0, 0.5, -0.5)), (std::array{400, 200, 0, 0}));
  EXPECT_EQ(Placement(CropOfPanorama(400, 200, std::nan(""), -4.0, 4.0)), (std::array{400, 200, 0, 0}));
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
  TempFolder folder;
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

    // A second packet replaces the first instead of adding a rival one (a PNG's packet is the
    // writer's alone).
    if (std::string(name).ends_with(".png")) continue;
    std::vector<unsigned char> bytes = files::ReadBytes(folder.File(name));
    ImageMetadata replaced;
    replaced.SetText("GPano", "ProjectionType", "replaced");
    ASSERT_TRUE(xmp_embed::Insert(bytes, XmpPacket(replaced), error)) << error;
    EXPECT_EQ(ReadXmpPacket(xmp_embed::Find(bytes)).properties.size(), 1u);
    // TIFF leaves the old packet's bytes unreferenced; JPEG drops them.
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
  TempFolder folder;
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

// The dominant axis of a direction as a cube face's name.
std::string FaceOf(const Vector& d) {
  const Vector a(std::abs(d.x), std::abs(d.y), std::abs(d.z));
  if (a.x >= a.y && a.x >= a.z) return d.x > 0.0 ? "right" : "left";
  if (a.y >= a.z) return d.y > 0.0 ? "up" : "down";
  return d.z > 0.0 ? "front" : "back";
}

// Each face the metadata names is the one the render put in that cell: the pixel at the cell's centre
// looks along the face's axis (the environment's colour says which way it looks).
TEST(SphericalMetadata, CubemapFacesNameWhatEachCellShows) {
  TempFolder folder;
  const std::string environment = render_test::WriteDirectionEnvironment(folder, 256, 128);
  for (const char* layout : {"horizontal-cross --cross-start 2 -s 128x96",
                             "grid-3x2 --cube-slots front,back,up,down,right,left -s 96x64",
                             "strip-1x6 -s 32x192", "vertical-cross -s 96x128"}) {
    ExpectRendered(
        folder, "empty -c cubemap --samples 1 --env " + environment + " -o cube.exr --cube-layout " + layout);
    // Every attribute of the EXR header as "Vocabulary:Name" -> text.
    const auto input = OIIO::ImageInput::open(folder.File("cube.exr"));
    ASSERT_TRUE(input) << layout;
    std::map<std::string, std::string> cube;
    for (const OIIO::ParamValue& attribute : input->spec().extra_attribs)
      cube[attribute.name().string()] = attribute.get_string();
    EXPECT_EQ(cube.at("orvex360:Projection"), "cubemap");
    EXPECT_EQ(cube.at("orvex360:CubemapLayout"),
              std::string(layout).substr(0, std::string(layout).find(' ')));
    const FloatImage image = render_test::ReadImage(folder.File("cube.exr"));
    int columns = 0;
    int rows = 0;
    ASSERT_EQ(std::sscanf(cube.at("orvex360:CubemapGrid").c_str(), "%dx%d", &columns, &rows), 2);
    std::istringstream grid(cube.at("orvex360:CubemapFaces"));
    // Every face named once, in the cells of the grid.
    std::set<std::string> faces;
    std::string row;
    for (int y = 0; y < rows && std::getline(grid, row, '/'); ++y) {
      std::istringstream cells(row);
      std::string cell;
      for (int x = 0; x < columns && std::getline(cells, cell, ','); ++x) {
        if (cell == "-") continue;
        const Float32* centre =
            image.Pixel((2 * x + 1) * image.width / (2 * columns), (2 * y + 1) * image.height / (2 * rows));
        EXPECT_EQ(FaceOf(render_test::ColourDirection(centre)), cell.substr(0, cell.find(':'))) << layout;
        faces.insert(cell.substr(0, cell.find(':')));
      }
    }
    EXPECT_EQ(faces.size(), 6u) << layout;
    // The vertical cross hangs its back face upside down, and says so.
    if (std::string(layout).starts_with("vertical-cross")) {
      EXPECT_EQ(cube.at("orvex360:CubemapFaces"), "-,up,-/left,front,right/-,down,-/-,back:180,-");
    }
  }
}

}  // namespace
