#include "preview_layout.h"

#include "module_reading/choice_words.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

constexpr const char* kOwn = "orvex360";

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string TextOf(const ImageMetadata& metadata, const char* vocabulary, const char* name) {
  const MetadataProperty* property = metadata.Find(vocabulary, name);
  return property ? property->value : std::string();
}

long long IntegerOf(const ImageMetadata& metadata, const char* name, long long fallback) {
  const std::string text = TextOf(metadata, "GPano", name);
  try {
    return text.empty() ? fallback : std::stoll(text);
  } catch (...) {
    return fallback;
  }
}

// A word the file name carries ("lobby_dome_0001.png"), the last resort.
std::string ProjectionFromName(const std::string& fileName) {
  const std::string name = Lower(fileName);
  if (name.find("cubemap") != std::string::npos) return "cubemap";
  if (name.find("dome") != std::string::npos) return "dome";
  if (name.find("fisheye") != std::string::npos) return "fisheye";
  if (name.find("equirect") != std::string::npos || name.find("pano") != std::string::npos)
    return "equirectangular";
  return "";
}

std::string StereoFromName(const std::string& fileName, std::string& layout) {
  const std::string name = Lower(fileName);
  if (name.find("anaglyph") != std::string::npos) return "anaglyph";
  if (name.find("_tb") != std::string::npos || name.find("top-bottom") != std::string::npos) {
    layout = "top-bottom";
    return "side-by-side";
  }
  if (name.find("_sbs") != std::string::npos || name.find("side-by-side") != std::string::npos) {
    layout = "left-right";
    return "side-by-side";
  }
  return "";
}

bool DescribeStereo(const ImageMetadata& metadata, const PreviewHints& hints, const std::string& fileName,
                    PreviewLayout& layout, std::string& error) {
  std::string side = TextOf(metadata, kOwn, "StereoLayout");
  std::string stereo = TextOf(metadata, kOwn, "Stereo");
  if (stereo.empty()) stereo = hints.stereo;
  if (side.empty()) side = hints.stereoLayout;
  if (stereo.empty()) stereo = StereoFromName(fileName, side);
  if (stereo.empty()) stereo = "mono";
  if (stereo == "interlaced") {
    error = "interlaced stereo cannot be shown on the page: render the pair side by side";
    return false;
  }
  if (stereo != "mono" && stereo != "side-by-side" && stereo != "anaglyph" && stereo != "single-eye") {
    error = "unknown stereo output \"" + stereo + "\"";
    return false;
  }
  layout.stereo = stereo;
  const bool topBottom = side == "top-bottom";
  layout.leftEye = TextOf(metadata, kOwn, "LeftEye");
  layout.rightEye = TextOf(metadata, kOwn, "RightEye");
  if (layout.leftEye.empty()) layout.leftEye = topBottom ? "top" : "left";
  if (layout.rightEye.empty()) layout.rightEye = topBottom ? "bottom" : "right";
  return true;
}

// One eye's image: the whole image unless split side by side.
void EyeSize(const PreviewLayout& layout, int& width, int& height) {
  if (layout.stereo != "side-by-side") return;
  (layout.leftEye == "top" || layout.leftEye == "bottom" ? height : width) /= 2;
}

void DescribeEquirect(const ImageMetadata& metadata, int eyeWidth, int eyeHeight, PreviewLayout& layout) {
  layout.cropWidth = IntegerOf(metadata, "CroppedAreaImageWidthPixels", eyeWidth);
  layout.cropHeight = IntegerOf(metadata, "CroppedAreaImageHeightPixels", eyeHeight);
  layout.fullWidth = IntegerOf(metadata, "FullPanoWidthPixels", layout.cropWidth);
  layout.fullHeight = IntegerOf(metadata, "FullPanoHeightPixels", layout.cropHeight);
  layout.cropLeft = IntegerOf(metadata, "CroppedAreaLeftPixels", 0);
  layout.cropTop = IntegerOf(metadata, "CroppedAreaTopPixels", 0);
}

bool CropIsSound(const PreviewLayout& l) {
  return l.cropWidth > 0 && l.cropHeight > 0 && l.cropLeft >= 0 && l.cropTop >= 0 &&
         l.cropLeft + l.cropWidth <= l.fullWidth && l.cropTop + l.cropHeight <= l.fullHeight;
}

bool DescribeCubemap(const ImageMetadata& metadata, const PreviewHints& hints, PreviewLayout& layout,
                     std::string& error) {
  const std::string given = TextOf(metadata, kOwn, "CubemapFaces");
  const std::string faces = given.empty() ? hints.cubeFaces : given;
  if (!faces.empty() && ParseCubemapFaces(faces, layout)) return true;
  if (faces.empty())
    error =
        "a cubemap needs its layout: --cube-layout horizontal-cross|vertical-cross|strip-6x1|grid-3x2|"
        "strip-1x6|grid-2x3";
  else
    error = (given.empty() ? "the layout's cubemap faces \"" : "the file's cubemap faces \"") + faces +
            "\" cannot be read";
  return false;
}

}  // namespace

bool ParseCubemapFaces(const std::string& text, PreviewLayout& layout) {
  layout.cells.clear();
  layout.columns = 0;
  layout.rows = 0;
  std::stringstream rows(text);
  std::string rowText;
  while (std::getline(rows, rowText, '/')) {
    std::stringstream cells(rowText);
    std::string cellText;
    int column = 0;
    for (; std::getline(cells, cellText, ','); ++column) {
      if (cellText == "-") continue;
      const size_t colon = cellText.find(':');
      PreviewCell cell{choice_words::kCubeFaces.ValueOf(cellText.substr(0, colon)), column, layout.rows, 0};
      if (colon != std::string::npos) {
        const std::string turn = cellText.substr(colon + 1);
        if (turn != "90" && turn != "180" && turn != "270") return false;
        cell.rotation = std::stoi(turn);
      }
      if (cell.face < 0) return false;
      layout.cells.push_back(cell);
    }
    if (layout.rows > 0 && column != layout.columns) return false;
    layout.columns = column;
    ++layout.rows;
  }
  return !layout.cells.empty() && layout.columns > 0 && layout.columns <= 6 && layout.rows <= 6;
}

bool DescribePreview(const ImageMetadata& metadata, const PreviewHints& hints, const std::string& fileName,
                     int width, int height, PreviewLayout& layout, std::string& error) {
  layout = PreviewLayout{};
  std::string projection = TextOf(metadata, kOwn, "Projection");
  if (projection.empty()) projection = hints.projection == "panorama" ? "equirectangular" : hints.projection;
  if (projection.empty()) projection = ProjectionFromName(fileName);
  if (projection.empty()) {
    error = fileName + " says nothing of its projection: give --projection panorama|dome|fisheye|cubemap";
    return false;
  }
  if (projection != "equirectangular" && projection != "dome" && projection != "fisheye" &&
      projection != "cubemap") {
    error = "the page cannot show the projection \"" + projection +
            "\": it shows panoramas, dome masters, fisheyes and cubemaps";
    return false;
  }
  layout.projection = projection;
  const std::string fov = TextOf(metadata, kOwn, "FieldOfViewDegrees");
  layout.fovDegrees = !fov.empty()             ? std::atof(fov.c_str())
                      : hints.fovDegrees > 0.0 ? hints.fovDegrees
                                               : 180.0;
  if (!(layout.fovDegrees > 0.0 && layout.fovDegrees <= 360.0)) {
    error = "the field of view must lie above 0 and up to 360 degrees";
    return false;
  }
  if (!DescribeStereo(metadata, hints, fileName, layout, error)) return false;
  int eyeWidth = width;
  int eyeHeight = height;
  EyeSize(layout, eyeWidth, eyeHeight);
  if (projection == "cubemap") return DescribeCubemap(metadata, hints, layout, error);
  if (projection != "equirectangular") return true;
  DescribeEquirect(metadata, eyeWidth, eyeHeight, layout);
  if (CropIsSound(layout)) return true;
  error = fileName + ": its panorama crop (full " + std::to_string(layout.fullWidth) + " x " +
          std::to_string(layout.fullHeight) + ", image at " + std::to_string(layout.cropLeft) + "," +
          std::to_string(layout.cropTop) + ") does not fit together";
  return false;
}
