#include "output_metadata.h"

#include "files/source_date.h"
#include "geometry/cubemap_layout.h"
#include "geometry/scalar_math.h"
#include "orvex360camvp/orvex360camvp_params.h"
#include "orvextag/orvextag_params.h"
#include "pano_crop.h"
#include "renderer.h"
#include "scene/camera_kinds.h"
#include "scene/effect_words.h"

#include <string>

namespace {

constexpr Int32 kTagType = 1035138;
constexpr const char* kOwn = "orvex360";

Float Degrees(Float radians) { return radians * 180.0 / orvex::kPi; }

// The settings the description is made from.
struct OutputSettings {
  const BaseContainer* tag = nullptr;
  const BaseContainer* effect = nullptr;
  Int32 width = 0;
  Int32 height = 0;
  bool stereo = false;  // the render settings' stereo switch
};

// The grid row by row ("/" between rows, "," between cells); a turned face gets its degrees.
std::string CubemapFaces(const orvex::CubemapLayout& layout) {
  std::string faces;
  for (Int32 row = 0; row < static_cast<Int32>(layout.gridSize.y); ++row) {
    if (row > 0) faces += "/";
    for (Int32 column = 0; column < static_cast<Int32>(layout.gridSize.x); ++column) {
      const orvex::SubView& cell = layout.cells[column][row];
      if (column > 0) faces += ",";
      faces += effect_words::WordOf(effect_words::kCubeFaces, cell.index, "-");
      if (cell.index >= 0 && cell.rotation != 0) faces += ":" + std::to_string(cell.rotation);
    }
  }
  return faces;
}

void DescribeCubemap(const BaseContainer& effect, ImageMetadata& metadata) {
  orvex::CubemapSettings settings;
  settings.layout = effect.GetInt32(ORVEXVP_CUBE_LAYOUT, settings.layout);
  settings.singleFace = effect.GetInt32(ORVEXVP_CUBE_FACE, settings.singleFace);
  for (Int32 slot = 0; slot < 6; ++slot)
    settings.slots[slot] = effect.GetInt32(ORVEXVP_CUBE_SLOT1 + slot, settings.slots[slot]);
  settings.crossStart = effect.GetInt32(ORVEXVP_CUBE_CROSS_START, settings.crossStart);
  orvex::CubemapLayout layout;
  orvex::BuildCubemapLayout(settings, layout);
  metadata.SetText(kOwn, "Projection", "cubemap");
  metadata.SetText(kOwn, "CubemapLayout",
                   effect_words::WordOf(effect_words::kCubeLayouts, settings.layout, "unknown"));
  metadata.SetText(kOwn, "CubemapGrid",
                   std::to_string(static_cast<Int32>(layout.gridSize.x)) + "x" +
                       std::to_string(static_cast<Int32>(layout.gridSize.y)));
  metadata.SetText(kOwn, "CubemapFaces", CubemapFaces(layout));
}

// The photo-sphere properties of one eye's image (the whole image unless split side by side).
void DescribeEquirect(const BaseContainer& tag, Int32 width, Int32 height, ImageMetadata& metadata) {
  const bool custom = tag.GetBool(ORVEXTAG_EQUIRECT_CUSTOM);
  const Float span = custom ? tag.GetFloat(ORVEXTAG_EQUIRECT_HSPAN, orvex::kTwoPi) : orvex::kTwoPi;
  const Float latMin = custom ? tag.GetFloat(ORVEXTAG_EQUIRECT_LAT_MIN, -orvex::kPi / 2) : -orvex::kPi / 2;
  const Float latMax = custom ? tag.GetFloat(ORVEXTAG_EQUIRECT_LAT_MAX, orvex::kPi / 2) : orvex::kPi / 2;
  const PanoCrop crop = CropOfPanorama(width, height, span, latMin, latMax);
  metadata.SetText("GPano", "ProjectionType", "equirectangular");
  metadata.SetText("GPano", "UsePanoramaViewer", "True");
  metadata.SetInteger("GPano", "CroppedAreaImageWidthPixels", crop.width);
  metadata.SetInteger("GPano", "CroppedAreaImageHeightPixels", crop.height);
  metadata.SetInteger("GPano", "FullPanoWidthPixels", crop.fullWidth);
  metadata.SetInteger("GPano", "FullPanoHeightPixels", crop.fullHeight);
  metadata.SetInteger("GPano", "CroppedAreaLeftPixels", crop.left);
  metadata.SetInteger("GPano", "CroppedAreaTopPixels", crop.top);
  metadata.SetText(kOwn, "Projection", "equirectangular");
  metadata.SetReal(kOwn, "FieldOfViewDegrees", Degrees(std::min(span, orvex::kTwoPi)));
  metadata.SetReal(kOwn, "LatitudeMinDegrees", Degrees(latMin));
  metadata.SetReal(kOwn, "LatitudeMaxDegrees", Degrees(latMax));
}

void DescribeLens(const OutputSettings& settings, Int32 eyeWidth, Int32 eyeHeight, ImageMetadata& metadata) {
  const BaseContainer& tag = *settings.tag;
  switch (tag.GetInt32(ORVEXTAG_PROJECTION)) {
    case ORVEXTAG_PROJECTION_EQUIRECT:
      DescribeEquirect(tag, eyeWidth, eyeHeight, metadata);
      break;
    case ORVEXTAG_PROJECTION_FISHEYE:
      metadata.SetText(
          kOwn, "Projection",
          tag.GetInt32(ORVEXTAG_FISHEYE_TYPE) == ORVEXTAG_FISHEYE_TYPE_DOME ? "dome" : "fisheye");
      metadata.SetReal(kOwn, "FieldOfViewDegrees", Degrees(tag.GetFloat(ORVEXTAG_FISHEYE_FOV)));
      break;
    case ORVEXTAG_PROJECTION_CYLINDRICAL:
      metadata.SetText(kOwn, "Projection", "cylindrical");
      metadata.SetReal(kOwn, "FieldOfViewDegrees", Degrees(tag.GetFloat(ORVEXTAG_CYL_HFOV)));
      metadata.SetText(kOwn, "CylinderAxis",
                       tag.GetInt32(ORVEXTAG_CYL_ORIENTATION) == 1 ? "horizontal" : "vertical");
      break;
    case ORVEXTAG_PROJECTION_CUBEMAP:
      DescribeCubemap(*settings.effect, metadata);
      break;
    default:
      break;
  }
}

// Which eye is where. The left eye takes the first half (left or top) unless the eyes are swapped,
// the order most stereo players assume for both layouts.
void DescribeStereo(const OutputSettings& settings, Int32& eyeWidth, Int32& eyeHeight,
                    ImageMetadata& metadata) {
  const BaseContainer& effect = *settings.effect;
  const Int32 mode = effect.GetInt32(ORVEXVP_STEREO_MODE);
  const bool swapped = effect.GetBool(ORVEXVP_SWAP_EYES);
  if (!settings.stereo) {
    metadata.SetText(kOwn, "Stereo", "mono");
    return;
  }
  metadata.SetText(kOwn, "Stereo", effect_words::WordOf(effect_words::kStereoOutputs, mode, "unknown"));
  switch (mode) {
    case ORVEXVP_STEREO_MODE_SIDE_BY_SIDE: {
      const bool topBottom = effect.GetInt32(ORVEXVP_SIDE_LAYOUT) == 1;
      const char* first = topBottom ? "top" : "left";
      const char* second = topBottom ? "bottom" : "right";
      metadata.SetText(kOwn, "StereoLayout", effect_words::kSideLayouts[topBottom ? 1 : 0]);
      metadata.SetText(kOwn, "LeftEye", swapped ? second : first);
      metadata.SetText(kOwn, "RightEye", swapped ? first : second);
      (topBottom ? eyeHeight : eyeWidth) /= 2;
      break;
    }
    case ORVEXVP_STEREO_MODE_ANAGLYPH:
      metadata.SetText(kOwn, "AnaglyphColours",
                       effect_words::WordOf(effect_words::kAnaglyphColours,
                                            effect.GetInt32(ORVEXVP_ANAGLYPH_COLORS), "red-cyan"));
      break;
    case ORVEXVP_STEREO_MODE_INTERLACED: {
      metadata.SetText(
          kOwn, "Interlace",
          effect_words::WordOf(effect_words::kInterlaces, effect.GetInt32(ORVEXVP_INTERLACE), "rows"));
      metadata.SetText(kOwn, "EyesSwapped", swapped ? "True" : "False");
      break;
    }
    case ORVEXVP_STEREO_MODE_SINGLE_EYE:
      metadata.SetText(kOwn, "Eye", effect_words::kEyes[effect.GetInt32(ORVEXVP_SINGLE_EYE) != 0 ? 1 : 0]);
      break;
    default:
      break;
  }
}

bool ReadSettings(BaseDocument* doc, BaseObject* camera, OutputSettings& settings) {
  BaseTag* tag = camera ? camera->GetTag(kTagType) : nullptr;
  BaseVideoPost* effect = doc ? FindOrvexEffect(doc) : nullptr;
  RenderData* renderData = doc ? doc->GetActiveRenderData() : nullptr;
  if (!tag || !effect || !renderData || effect->GetBit(BIT_VPDISABLED)) return false;
  settings.tag = tag->GetDataInstance();
  settings.effect = effect->GetDataInstance();
  if (!settings.tag->GetBool(ORVEXTAG_ENABLE, true)) return false;
  const BaseContainer& render = *renderData->GetDataInstance();
  std::string unused;
  settings.stereo = render.GetBool(RDATA_STEREO);
  return ReadResolution(render, settings.width, settings.height, unused);
}

}  // namespace

ImageMetadata DescribeOutput(BaseDocument* doc, BaseObject* camera, bool editor) {
  ImageMetadata metadata;
  const std::time_t date = SourceDate();
  metadata.exifDate = ExifDateUtc(date);
  metadata.SetText("xmp", "CreateDate", IsoDateUtc(date));
  metadata.SetText("xmp", "CreatorTool", "orvex360");
  OutputSettings settings;
  if (editor || !ReadSettings(doc, camera, settings)) return metadata;
  Int32 eyeWidth = settings.width;
  Int32 eyeHeight = settings.height;
  DescribeStereo(settings, eyeWidth, eyeHeight, metadata);
  DescribeLens(settings, eyeWidth, eyeHeight, metadata);
  return metadata;
}
