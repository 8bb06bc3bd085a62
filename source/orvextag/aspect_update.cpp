#include "orvextag/aspect_update.h"

#include "module_log.h"
#include "orvextag/output_aspect.h"
#include "orvextag/tag_links.h"
#include "settings/orvex360camvp_params.h"
#include "settings/orvextag_params.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {
constexpr Int32 kFitQuestion = 10012;
constexpr Int32 kAlreadyFits = 10013;

AspectInputs ReadInputs(const TagLinks& links) {
  const BaseContainer& tag = links.TagData();
  const BaseContainer& effect = *links.effect->GetDataInstance();
  AspectInputs in;
  in.projection = tag.GetInt32(ORVEXTAG_PROJECTION);
  in.custom = tag.GetBool(ORVEXTAG_EQUIRECT_CUSTOM);
  in.hspan = tag.GetFloat(ORVEXTAG_EQUIRECT_HSPAN);
  in.latMin = tag.GetFloat(ORVEXTAG_EQUIRECT_LAT_MIN);
  in.latMax = tag.GetFloat(ORVEXTAG_EQUIRECT_LAT_MAX);
  in.cylRadius = tag.GetFloat(ORVEXTAG_CYL_RADIUS);
  in.cylHeight = tag.GetFloat(ORVEXTAG_CYL_HEIGHT);
  in.cylHfov = tag.GetFloat(ORVEXTAG_CYL_HFOV);
  in.effectOn = links.EffectWorks();
  in.cubeLayout = effect.GetInt32(ORVEXVP_CUBE_LAYOUT);
  in.stereo = links.renderData->GetDataInstance()->GetBool(RDATA_STEREO);
  in.stereoMode = effect.GetInt32(ORVEXVP_STEREO_MODE);
  in.sideLayout = effect.GetInt32(ORVEXVP_SIDE_LAYOUT);
  return in;
}

// True when `text` holds exactly the printf conversions of `expected` (one letter each, "d" or
// "f"), so that a translated string can never make the formatting read the wrong arguments.
bool HasConversions(const std::string& text, const std::string& expected) {
  std::string found;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    const size_t end = text.find_first_not_of("0123456789.-+ #", i + 1);
    if (end == std::string::npos) return false;
    if (text[end] != '%') found += text[end];
    i = end;
  }
  return found == expected;
}

std::string FitQuestion(Int32 w, Int32 h, Float current, Int32 newW, Int32 newH, Float target) {
  std::string format = GeLoadString(kFitQuestion).GetStdString();
  if (!HasConversions(format, "ddfddf"))
    format = "Change the render resolution %d x %d (aspect %.3f) to %d x %d (aspect %.3f)?";
  char text[1024];
  std::snprintf(text, sizeof text, format.c_str(), w, h, current, newW, newH, target);
  return text;
}

// Whole pixels as the render settings hold them; values beyond Int32 are limited, not wrapped.
Int32 Pixels(Float value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<Int32>(std::trunc(std::fmax(-2147483648.0, std::fmin(value, 2147483647.0))));
}

void ApplySize(RenderData& renderData, RenderSize size) {
  BaseContainer& data = *renderData.GetDataInstance();
  data.SetFloat(RDATA_XRES, size.width);
  data.SetFloat(RDATA_YRES, size.height);
  renderData.Message(MSG_UPDATE);  // written straight into its container: tell it
  EventAdd();
}
}  // namespace

void UpdateAspect(BaseTag* tag) {
  const TagLinks links = TagLinks::Of(tag);
  if (!links.effect || !links.renderData) return;
  const AspectResult result = ComputeAspect(ReadInputs(links));
  BaseContainer& data = links.TagData();
  data.SetFloat(ORVEXTAG_EQUIRECT_VSPAN, result.vspan);
  data.SetFloat(ORVEXTAG_ASPECT, result.mono);
  data.SetFloat(ORVEXTAG_ASPECT_STEREO, result.stereo);
  data.SetString(ORVEXTAG_ASPECT_TEXT, result.monoText);
  data.SetString(ORVEXTAG_ASPECT_STEREO_TEXT, result.stereoText);
}

void FitResolution(BaseTag* tag, Int32 buttonId) {
  const TagLinks links = TagLinks::Of(tag);
  if (!links.renderData) return;
  const BaseContainer& settings = *links.renderData->GetDataInstance();
  const RenderSize current{settings.GetFloat(RDATA_XRES), settings.GetFloat(RDATA_YRES)};
  const Float aspect = current.width / current.height;
  const Float target =
      links.TagData().GetFloat(settings.GetBool(RDATA_STEREO) ? ORVEXTAG_ASPECT_STEREO : ORVEXTAG_ASPECT);
  const FitKeeps keeps = buttonId == ORVEXTAG_FIT_HEIGHT ? FitKeeps::Width : FitKeeps::Height;
  const std::optional<RenderSize> fitted = FitRenderSize(current, target, keeps);
  if (!fitted) {
    ModuleLog("NO FIT for aspect [%.3f] from [%d,%d]", target, Pixels(current.width), Pixels(current.height));
    return;
  }
  // Compared in whole pixels, so a ratio that pixels cannot reach exactly does not ask forever.
  if (*fitted == current) {
    GeOutString(GeLoadString(kAlreadyFits), GEMB_OK);
    return;
  }
  const std::string question = FitQuestion(Pixels(current.width), Pixels(current.height), aspect,
                                           Pixels(fitted->width), Pixels(fitted->height), target);
  if (GeOutString(String(question), GEMB_YESNO | GEMB_ICONQUESTION) != GEMB_R_YES) return;
  ModuleLog("SET RES [%d,%d] > [%d,%d] aspect [%.3f]", Pixels(current.width), Pixels(current.height),
            Pixels(fitted->width), Pixels(fitted->height), aspect);
  ApplySize(*links.renderData, *fitted);
}
