#pragma once

#include "c4d.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <string>
#include <utility>
#include <vector>

// The stereo and cubemap options of `orvex360 render`: readable words for the effect's stereo
// output and cubemap layout parameters, and a separation map for the camera's tag.
struct StereoOptions {
  std::vector<std::pair<std::string, std::string>> effectValues;  // parameter name, value
  std::string separationMap;                                      // image file
  bool separationGradient = false;
};

// Adds the options to the render command; they fill `options` while the command line is parsed.
void AddStereoOptions(CLI::App& render, const std::shared_ptr<StereoOptions>& options);

// The stereo-only options given (", "-joined option names), empty when none: they do nothing in a
// render without stereo.
std::string StereoOnlyOptions(const StereoOptions& options);

// The cubemap options given, the same way: they do nothing for a camera without a cube.
std::string CubeOnlyOptions(const StereoOptions& options);

// Sets the effect parameters the way a click in the effect's panel does, then links the separation
// map into the camera's tag. False with `error` when a value does not fit or there is no effect or
// tag to set.
bool ApplyStereoOptions(const StereoOptions& options, BaseDocument* doc, BaseObject* camera,
                        std::string& error);
