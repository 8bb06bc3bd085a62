#include "output_metadata.h"

#include <numbers>
#include "c4d_tools.h"
#include "camera_kinds.h"
#include "choice_words.h"
#include "description_symbols.h"
#include "files/source_date.h"
#include "lens_cubemap.h"
#include "module_nodes.h"
#include "module_parameters.h"
#include "pano_crop.h"
#include "render/renderer.h"
#include "runtime/console.h"

#include <string>

namespace {

constexpr const char* kOwn = "orvex360";

Float Degrees(Float radians) { return radians * 180.0 / std::numbers::pi; }

// The settings the description is made from.
struct OutputSettings {
  const BaseContainer* tag = nullptr;
  const BaseContainer* effect = nullptr;
  NamedValues Tag() const { return NamedValues(*tag, CameraTagType()); }
  NamedValues Effect() const { return NamedValues(*effect, EffectType()); }
  Int32 width = 0;
  Int32 height = 0;
  bool stereo = false;  // the render settings' stereo switch
};

void DescribeCubemap(BaseDocument* doc, BaseObject* camera, const OutputSettings& settings, Int32 eyeWidth,
                     Int32 eyeHeight, ImageMetadata& metadata) {
  metadata.SetText(kOwn, "Projection", "cubemap");
  metadata.SetText(
      kOwn, "CubemapLayout",
      choice_words::kCubeLayouts.WordOf(settings.Effect().Int32Of(effect_parameter::kCubeLayout), "unknown"));
  const LensCubemap layout = CubemapOfLens(doc, camera, settings.stereo, eyeWidth, eyeHeight);
  if (layout.faces.empty()) {
    console::Print("[host] the lens's cube faces could not be told apart: the output names no faces");
    return;
  }
  metadata.SetText(kOwn, "CubemapGrid", std::to_string(layout.columns) + "x" + std::to_string(layout.rows));
  metadata.SetText(kOwn, "CubemapFaces", layout.faces);
}

// The photo-sphere properties of one eye's image (the whole image unless split side by side).
void DescribeEquirect(const NamedValues& tag, Int32 width, Int32 height, ImageMetadata& metadata) {
  const bool custom = tag.BoolOf(tag_parameter::kEquirectCustom);
  const Float span = custom ? tag.FloatOf(tag_parameter::kEquirectHspan, (2.0 * std::numbers::pi))
                            : (2.0 * std::numbers::pi);
  const Float latMin =
      custom ? tag.FloatOf(tag_parameter::kEquirectLatMin, -std::numbers::pi / 2) : -std::numbers::pi / 2;
  const Float latMax =
      custom ? tag.FloatOf(tag_parameter::kEquirectLatMax, std::numbers::pi / 2) : std::numbers::pi / 2;
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
  metadata.SetReal(kOwn, "FieldOfViewDegrees", Degrees(std::min(span, (2.0 * std::numbers::pi))));
  metadata.SetReal(kOwn, "LatitudeMinDegrees", Degrees(latMin));
  metadata.SetReal(kOwn, "LatitudeMaxDegrees", Degrees(latMax));
}

void DescribeLens(BaseDocument* doc, BaseObject* camera, const OutputSettings& settings, Int32 eyeWidth,
                  Int32 eyeHeight, ImageMetadata& metadata) {
  const NamedValues tag = settings.Tag();
  if (tag.Is(tag_parameter::kProjection, "Equirectangular panorama")) {
    DescribeEquirect(tag, eyeWidth, eyeHeight, metadata);
  } else if (tag.Is(tag_parameter::kProjection, "Fisheye / fulldome")) {
    metadata.SetText(kOwn, "Projection",
                     tag.Is(tag_parameter::kFisheyeType, "Dome (lens looks up)") ? "dome" : "fisheye");
    metadata.SetReal(kOwn, "FieldOfViewDegrees", Degrees(tag.FloatOf(tag_parameter::kFisheyeFov)));
  } else if (tag.Is(tag_parameter::kProjection, "Cylindrical")) {
    metadata.SetText(kOwn, "Projection", "cylindrical");
    metadata.SetReal(kOwn, "FieldOfViewDegrees", Degrees(tag.FloatOf(tag_parameter::kCylHfov)));
    metadata.SetText(
        kOwn, "CylinderAxis",
        tag.Is(tag_parameter::kCylOrientation, "Turned by 90 degrees") ? "horizontal" : "vertical");
  } else if (tag.Is(tag_parameter::kProjection, "Cubemap")) {
    DescribeCubemap(doc, camera, settings, eyeWidth, eyeHeight, metadata);
  }
}

// Which eye is where. The left eye takes the first half (left or top) unless the eyes are swapped,
// the order most stereo players assume for both layouts.
void DescribeStereo(const OutputSettings& settings, Int32& eyeWidth, Int32& eyeHeight,
                    ImageMetadata& metadata) {
  const NamedValues effect = settings.Effect();
  const bool swapped = effect.BoolOf(effect_parameter::kSwapEyes);
  if (!settings.stereo) {
    metadata.SetText(kOwn, "Stereo", "mono");
    return;
  }
  metadata.SetText(
      kOwn, "Stereo",
      choice_words::kStereoOutputs.WordOf(effect.Int32Of(effect_parameter::kStereoMode), "unknown"));
  if (effect.Is(effect_parameter::kStereoMode, "Side by side")) {
    const bool topBottom = effect.Is(effect_parameter::kSideLayout, "Top / bottom halves");
    const char* first = topBottom ? "top" : "left";
    const char* second = topBottom ? "bottom" : "right";
    metadata.SetText(kOwn, "StereoLayout", choice_words::kSideLayouts.words[topBottom ? 1 : 0].word);
    metadata.SetText(kOwn, "LeftEye", swapped ? second : first);
    metadata.SetText(kOwn, "RightEye", swapped ? first : second);
    (topBottom ? eyeHeight : eyeWidth) /= 2;
  } else if (effect.Is(effect_parameter::kStereoMode, "Anaglyph")) {
    metadata.SetText(
        kOwn, "AnaglyphColours",
        choice_words::kAnaglyphColours.WordOf(effect.Int32Of(effect_parameter::kAnaglyphColors), "red-cyan"));
  } else if (effect.Is(effect_parameter::kStereoMode, "Interlaced")) {
    metadata.SetText(kOwn, "Interlace",
                     choice_words::kInterlaces.WordOf(effect.Int32Of(effect_parameter::kInterlace), "rows"));
    metadata.SetText(kOwn, "EyesSwapped", swapped ? "True" : "False");
  } else if (effect.Is(effect_parameter::kStereoMode, "Single eye")) {
    metadata.SetText(
        kOwn, "Eye",
        choice_words::kEyes.words[effect.Is(effect_parameter::kSingleEye, "Right") ? 1 : 0].word);
  }
}

bool ReadSettings(BaseDocument* doc, BaseObject* camera, OutputSettings& settings) {
  BaseTag* tag = CameraTagOf(camera);
  BaseVideoPost* effect = doc ? FindOrvexEffect(doc) : nullptr;
  RenderData* renderData = doc ? doc->GetActiveRenderData() : nullptr;
  if (!tag || !effect || !renderData || effect->GetBit(BIT_VPDISABLED)) return false;
  settings.tag = tag->GetDataInstance();
  settings.effect = effect->GetDataInstance();
  if (!settings.Tag().BoolOf(tag_parameter::kEnable, true)) return false;
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
  DescribeLens(doc, camera, settings, eyeWidth, eyeHeight, metadata);
  // The rate a sequence plays at, so that its frames can be made into a video later (orvex360 encode).
  metadata.SetReal("orvex360", "FramesPerSecond",
                   doc->GetActiveRenderData()->GetDataInstance()->GetFloat(RDATA_FRAMERATE));
  return metadata;
}
