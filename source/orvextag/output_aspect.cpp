#include "orvextag/output_aspect.h"

#include "geometry/scalar_math.h"

#include <array>
#include <cmath>

namespace {
using orvex::kPi;
using orvex::kTwoPi;

// 180/pi rounded to single precision: spans are compared in whole degrees with it.
constexpr Float kDegreesPerRadian = static_cast<Float>(static_cast<Float32>(180.0 / kPi));

struct CubemapAspect {
  Float aspect;
  const char* ratio;
  const char* suffix;
  const char* sideHorizontal;
  const char* sideVertical;
};
constexpr std::array<CubemapAspect, 7> kCubemapAspects{{
    {4.0 / 3.0, "4:3", "(cross horizontal)", "8:3", "4:6"},
    {0.75, "3:4", "(cross vertical)", "6:4", "3:8"},
    {6.0, "6:1", "(horizontal)", "12:1", "6:2"},
    {1.5, "3:2", "(horizontal)", "6:2", "3:4"},
    {1.0 / 6.0, "1:6", "(vertical)", "2:6", "1:12"},
    {2.0 / 3.0, "2:3", "(vertical)", "4:3", "2:6"},
    {1.0, "1:1", "(single channel)", "2:1", "1:2"},
}};

const CubemapAspect* CubemapRow(Int32 layout) {
  return layout >= 0 && layout < static_cast<Int32>(kCubemapAspects.size()) ? &kCubemapAspects[layout]
                                                                            : nullptr;
}

// Anything that is not a finite positive number means the settings give no aspect.
Float Known(Float aspect) { return std::isfinite(aspect) && aspect > 0.0 ? aspect : 0.0; }

struct Label {
  Float aspect = 0.0;
  std::string ratio;
  std::string suffix;
};

Label MonoLabel(const AspectInputs& in, Float hspan, Float vspan, bool full) {
  switch (in.projection) {
    case 0:
      if (full) return {2.0, "2:1", ""};
      return {vspan != 0.0 ? 2.0 * (hspan / kTwoPi) / (vspan / kPi) : 0.0, "", "(custom)"};
    case 1:
      return {1.0, "1:1", ""};
    case 2: {
      const Float around = in.cylHeight != 0.0 ? kTwoPi * in.cylRadius / in.cylHeight : 0.0;
      return {around * (in.cylHfov / kTwoPi), "", "(custom)"};
    }
    case 3:
      if (const CubemapAspect* row = CubemapRow(in.cubeLayout)) return {row->aspect, row->ratio, row->suffix};
      return {};
    default:
      return {};
  }
}

Label StereoLabel(const AspectInputs& in, const Label& mono, bool full) {
  const bool sideBySide = in.stereoMode == 1;
  const CubemapAspect* row = in.projection == 3 ? CubemapRow(in.cubeLayout) : nullptr;
  if (sideBySide && in.sideLayout == 0) {
    const char* ratio = in.projection == 1 ? "2:1" : (in.projection == 0 && full) ? "4:1" : "";
    return {mono.aspect * 2.0, row ? row->sideHorizontal : ratio, "(horizontal)"};
  }
  if (sideBySide && in.sideLayout == 1) {
    const char* ratio = in.projection == 1 ? "1:2" : (in.projection == 0 && full) ? "1:1" : "";
    return {mono.aspect * 0.5, row ? row->sideVertical : ratio, "(vertical)"};
  }
  return {mono.aspect, mono.ratio, in.stereoMode == 3 ? "(single channel)" : "(merged)"};
}

std::string TextOf(const Label& label) {
  return label.aspect > 0.0 ? label.ratio + " " + label.suffix : std::string();
}

}  // namespace

AspectResult ComputeAspect(const AspectInputs& in) {
  AspectResult result;
  const Float hspan = in.custom ? in.hspan : kTwoPi;
  const Float vspan = in.custom ? -in.latMin + in.latMax : kPi;
  result.vspan = vspan;
  if (!in.effectOn) return result;
  const bool full =
      std::trunc(hspan * kDegreesPerRadian) == 360.0 && std::trunc(vspan * kDegreesPerRadian) == 180.0;
  Label mono = MonoLabel(in, hspan, vspan, full);
  mono.aspect = Known(mono.aspect);
  result.mono = mono.aspect;
  result.monoText = TextOf(mono);
  if (!in.stereo) return result;
  Label stereo = StereoLabel(in, mono, full);
  stereo.aspect = Known(stereo.aspect);
  result.stereo = stereo.aspect;
  result.stereoText = TextOf(stereo);
  return result;
}

std::optional<RenderSize> FitRenderSize(RenderSize current, Float target, FitKeeps keeps) {
  if (!std::isfinite(target) || target <= 0.0) return std::nullopt;
  RenderSize fitted = current;
  if (keeps == FitKeeps::Width)
    fitted.height = std::round(current.width / target);
  else
    fitted.width = std::round(current.height * target);
  const auto inRange = [](Float pixels) { return pixels >= 1.0 && pixels <= 65536.0; };
  if (!inRange(fitted.width) || !inRange(fitted.height)) return std::nullopt;
  return fitted;
}
