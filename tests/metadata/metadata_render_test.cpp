#include "render_test_support.h"

#include <OpenImageIO/imageio.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>

// Cubemap renders through the orvex360 tool, their EXR headers read back by OpenImageIO (the other
// formats and projections are read back by exiftool in data/commands.tsv).

namespace {

using render_test::RenderCommand;
using render_test::TempFolder;
using Properties = std::map<std::string, std::string>;

// Every attribute of an EXR header as "Vocabulary:Name" -> text.
Properties ReadBack(const std::string& path) {
  Properties properties;
  auto input = OIIO::ImageInput::open(path);
  EXPECT_TRUE(input) << path;
  if (!input) return properties;
  for (const OIIO::ParamValue& attribute : input->spec().extra_attribs)
    properties[attribute.name().string()] = attribute.get_string();
  return properties;
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
