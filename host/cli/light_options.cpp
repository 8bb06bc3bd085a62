#include "light_options.h"

#include "image/image_output.h"

#include <cstdio>

namespace {

// More of a display-referred frame than this clipping to white is worth a word.
constexpr Float kClippedShareWarned = 0.02;

}  // namespace

LightOptions LegacyLightOptions() {
  LightOptions legacy;
  legacy.lightUnits = "unitless";
  legacy.bounces = 0;
  return legacy;
}

void AddLightOptions(CLI::App& render, const std::shared_ptr<LightOptions>& options) {
  render
      .add_option("--light-units", options->lightUnits,
                  "How a glTF scene's light intensities are read: photometric (lux and candela, as "
                  "KHR_lights_punctual defines them) or unitless (intensity 1 lights a facing surface to its "
                  "colour)")
      ->check(CLI::IsMember({"photometric", "unitless"}))
      ->capture_default_str();
  render
      .add_option("--bounces", options->bounces,
                  "Times light is followed from surface to surface (0: direct light only)")
      ->check(CLI::Range(0, kMaxBounces))
      ->capture_default_str();
  render.add_option("--exposure", options->exposure, "Exposure in stops: +1 doubles the light, -1 halves it")
      ->check(CLI::Range(-kMaxExposureStops, kMaxExposureStops))
      ->capture_default_str();
  render
      .add_option("--view", options->view,
                  "View transform of PNG, JPEG, TIFF and video output: standard (sRGB, highlights clip) or "
                  "neutral (highlights roll off towards white); EXR keeps scene-linear light")
      ->check(CLI::IsMember({"standard", "neutral"}))
      ->capture_default_str();
}

void UseProjectLight(const LightOptions& project, const CLI::App& render, LightOptions& options) {
  const auto unlessGiven = [&render](const char* option, auto& field, const auto& value) {
    if (render.count(option) == 0) field = value;
  };
  unlessGiven("--light-units", options.lightUnits, project.lightUnits);
  unlessGiven("--bounces", options.bounces, project.bounces);
  unlessGiven("--exposure", options.exposure, project.exposure);
  unlessGiven("--view", options.view, project.view);
}

gltf_convention::LightUnits LightUnitsOf(const LightOptions& options) {
  return gltf_convention::LightUnitsNamed(options.lightUnits)
      .value_or(gltf_convention::LightUnits::Photometric);
}

bool ApplyLightOptions(const LightOptions& options, const std::string& output, RenderOptions& render,
                       std::string& error) {
  const std::optional<ViewTransform> view = ViewTransformNamed(options.view);
  if (!view || !gltf_convention::LightUnitsNamed(options.lightUnits)) {
    error = !view ? "the view transforms are standard and neutral, not \"" + options.view + "\""
                  : "the light units are photometric and unitless, not \"" + options.lightUnits + "\"";
    return false;
  }
  render.bounces = options.bounces;
  render.film.exposure = options.exposure;
  render.film.view = *view;
  render.film.display = !image_output::IsSceneLinear(output);
  return true;
}

FrameSink WarnWhenClipping(FrameSink sink, const FilmResponse& film) {
  if (!film.display) return sink;
  return [sink = std::move(sink), warned = false](const FloatImage& image, Int32 frame,
                                                  std::string& error) mutable {
    if (!warned) {
      const Float share = ClippedShare(image);
      if (share > kClippedShareWarned) {
        warned = true;
        std::fprintf(stderr,
                     "orvex360: warning: %.1f%% of frame %d clips to white; a lower --exposure (e.g. "
                     "--exposure -1) or --view neutral keeps the highlights\n",
                     share * 100.0, frame);
      }
    }
    return sink(image, frame, error);
  };
}
