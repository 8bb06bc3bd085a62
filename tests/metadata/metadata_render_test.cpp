#include "files_support.h"
#include "render_test_support.h"

#include <OpenImageIO/imageio.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>

// Renders through the orvex360 tool, their metadata read back by readers of their own: exiftool
// for the XMP of JPEG, PNG and TIFF files (what photo sites and viewers read), OpenImageIO for EXR
// headers.

namespace {

using render_test::InfoCommand;
using render_test::RenderCommand;
using render_test::TempFolder;
using Properties = std::map<std::string, std::string>;

constexpr const char* kPanorama = "empty -c panorama --samples 1 -s 64x32 ";
constexpr const char* kCropped = render_test::kCroppedPanorama;
constexpr const char* kEpoch = "SOURCE_DATE_EPOCH=1700000000 ";

// Every property as "Vocabulary:Name" -> text, whatever the format.
Properties ReadBack(const std::string& path) {
  Properties properties;
  if (path.ends_with(".exr")) {
    auto input = OIIO::ImageInput::open(path);
    EXPECT_TRUE(input) << path;
    if (!input) return properties;
    for (const OIIO::ParamValue& attribute : input->spec().extra_attribs)
      properties[attribute.name().string()] = attribute.get_string();
    return properties;
  }
  // exiftool names the group by the vocabulary: ask it for the names with their groups.
  const CommandResult read = RunCommand("exiftool -j -n -G1 -XMP:all '" + path + "'");
  EXPECT_EQ(read.exitCode, 0) << read.output;
  const nlohmann::json named = nlohmann::json::parse(read.output, nullptr, false);
  if (!named.is_array() || named.empty()) {
    ADD_FAILURE() << "exiftool's answer is no JSON: " << read.output;
    return properties;
  }
  for (const auto& [name, value] : named[0].items()) {
    const size_t colon = name.find(':');
    if (colon == std::string::npos || !name.starts_with("XMP-")) continue;
    properties[name.substr(4, colon - 4) + ":" + name.substr(colon + 1)] =
        value.is_string() ? value.get<std::string>() : value.dump();
  }
  return properties;
}

void ExpectCrop(const Properties& read, const std::string& full, const std::string& crop) {
  EXPECT_EQ(read.at("GPano:ProjectionType"), "equirectangular");
  EXPECT_EQ(read.at("GPano:FullPanoWidthPixels") + "x" + read.at("GPano:FullPanoHeightPixels"), full);
  EXPECT_EQ(read.at("GPano:CroppedAreaImageWidthPixels") + "x" +
                read.at("GPano:CroppedAreaImageHeightPixels") + "+" + read.at("GPano:CroppedAreaLeftPixels") +
                "+" + read.at("GPano:CroppedAreaTopPixels"),
            crop);
}

TEST(SphericalMetadata, FullAndCroppedPanoramasInEveryFormatSayWhereTheyLieInAWellFormedPacket) {
  TempFolder folder;
  for (const std::string suffix : {".png", ".jpg", ".tif", ".exr"}) {
    SCOPED_TRACE(suffix);
    for (const std::string name : {"full", "cropped"}) {
      const std::string crop = name == "cropped" ? kCropped : "";
      const CommandResult run = RenderCommand(folder, kPanorama + crop + "-o " + name + suffix, kEpoch);
      ASSERT_EQ(run.exitCode, 0) << run.output;
    }
    const Properties fullRead = ReadBack(folder.File("full" + suffix));
    const Properties croppedRead = ReadBack(folder.File("cropped" + suffix));
    ExpectCrop(fullRead, "64x32", "64x32+0+0");
    // Half the turn and half the latitudes: the middle of a 128 x 64 sphere.
    ExpectCrop(croppedRead, "128x64", "64x32+32+16");
    EXPECT_EQ(croppedRead.at("orvex360:FieldOfViewDegrees").substr(0, 3), "180");
    EXPECT_EQ(croppedRead.at("orvex360:LatitudeMaxDegrees").substr(0, 2), "45");
    const std::string date = suffix == ".exr" ? "2023:11:14 22:13:20" : "2023:11:14 22:13:20Z";
    EXPECT_EQ(suffix == ".exr" ? fullRead.at("DateTime") : fullRead.at("xmp:CreateDate"), date);
    if (suffix == ".exr") continue;
    // The XMP packet as stored, handed out by exiftool, must be XML to xmllint and a packet to viewers.
    const std::string packet = folder.File("cropped.xmp");
    const CommandResult wellFormed = RunCommand("exiftool -b -XMP '" + folder.File("cropped" + suffix) +
                                                "' > '" + packet + "' && xmllint --noout '" + packet + "'");
    EXPECT_EQ(wellFormed.exitCode, 0) << wellFormed.output;
    const std::string text = files::ReadText(packet);
    EXPECT_TRUE(text.starts_with("<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"));
    EXPECT_TRUE(text.ends_with("<?xpacket end=\"w\"?>"));
    files::ExpectHolds(text, {"xmlns:GPano=\"http://ns.google.com/photos/1.0/panorama/\""});
  }
}

TEST(SphericalMetadata, StereoHalvesSayWhichEyeIsWhich) {
  TempFolder folder;
  const std::string stereo =
      "empty -c panorama --samples 1 -s 64x64 --stereo on --stereo-output side-by-side ";
  ASSERT_EQ(RenderCommand(folder, stereo + "--side-layout top-bottom -o tb.png").exitCode, 0);
  ASSERT_EQ(RenderCommand(folder, stereo + "--side-layout left-right --swap-eyes -o lr.png").exitCode, 0);
  const Properties topBottom = ReadBack(folder.File("tb.png"));
  EXPECT_EQ(topBottom.at("orvex360:StereoLayout"), "top-bottom");
  EXPECT_EQ(topBottom.at("orvex360:LeftEye"), "top");
  EXPECT_EQ(topBottom.at("orvex360:RightEye"), "bottom");
  ExpectCrop(topBottom, "64x32", "64x32+0+0");  // each eye's half is a full panorama
  const Properties swapped = ReadBack(folder.File("lr.png"));
  EXPECT_EQ(swapped.at("orvex360:LeftEye"), "right");
  ExpectCrop(swapped, "32x64", "32x64+0+0");

  const CommandResult info = InfoCommand(folder.File("tb.png"));
  EXPECT_EQ(info.exitCode, 0) << info.output;
  files::ExpectHolds(info.output, {"png, 64 x 64, 4 channels", "orvex360:LeftEye = top"});
}

TEST(SphericalMetadata, FisheyeAndDomeRecordTheirProjectionAndField) {
  TempFolder folder;
  for (const auto& [arguments, projection, field] : std::vector<std::array<std::string, 3>>{
           {"-c fulldome", "dome", "180"},
           {"-c fisheye --set ORVEXTAG_FISHEYE_FOV=220deg", "fisheye", "220"}}) {
    ASSERT_EQ(RenderCommand(folder, "empty --samples 1 -s 32x32 -o out.exr " + arguments).exitCode, 0);
    const Properties read = ReadBack(folder.File("out.exr"));
    EXPECT_EQ(read.at("orvex360:Projection"), projection);
    EXPECT_EQ(read.at("orvex360:FieldOfViewDegrees").substr(0, 3), field);
    EXPECT_FALSE(read.contains("GPano:ProjectionType"));
  }
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
  for (const char* layout :
       {"horizontal-cross --cross-start 2 -s 128x96",
        "grid-3x2 --cube-slots front,back,up,down,right,left -s 96x64", "strip-1x6 -s 32x192"}) {
    ASSERT_EQ(RenderCommand(folder, "empty -c cubemap --samples 1 --env " + environment +
                                        " -o cube.exr --cube-layout " + layout)
                  .exitCode,
              0)
        << layout;
    const Properties cube = ReadBack(folder.File("cube.exr"));
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
  }
}

}  // namespace
