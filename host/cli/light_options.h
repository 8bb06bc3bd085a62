#pragma once

#include "c4d.h"
#include "render/renderer.h"
#include "scene/gltf_convention.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <string>

// The light options of `orvex360 render`: how a scene's lights are read, how far light is followed,
// and how the light becomes an image.
struct LightOptions {
  std::string lightUnits = "photometric";
  Int32 bounces = 2;
  Float exposure = 0.0;
  std::string view = "standard";
};

// The light options of a project written before lights had units, bounces or an exposure: such a
// project renders as it did then.
LightOptions LegacyLightOptions();

// Adds the options to the render command; they fill `options` while the command line is parsed.
void AddLightOptions(CLI::App& render, const std::shared_ptr<LightOptions>& options);

// The options of the command line given explicitly, over those of a project.
void UseProjectLight(const LightOptions& project, const CLI::App& render, LightOptions& options);

// The render options for `options`, writing to `output` (an EXR keeps scene-linear light; every
// other output is display-referred). False with `error` for a name the options do not know.
bool ApplyLightOptions(const LightOptions& options, const std::string& output, RenderOptions& render,
                       std::string& error);
gltf_convention::LightUnits LightUnitsOf(const LightOptions& options);

// `sink` with one warning, the first time a display-referred frame clips more than a few percent of
// its pixels, naming the share and --exposure.
FrameSink WarnWhenClipping(FrameSink sink, const FilmResponse& film);
