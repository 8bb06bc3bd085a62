#pragma once

#include "c4d.h"

#include <functional>

// The ray a lens gives through a continuous pixel position of the frame; a zero direction: none.
using LensRays = std::function<Ray(Float x, Float y)>;

// Asks the effects' lens where its cameras look without rendering: the render notification, render
// start and the sequence, frame and camera starts of the first frame run as a render runs them (the
// module's log muted; it logs them again when the render runs), and at each camera's start `look`
// gets the camera's index, the camera count and that camera's rays. No scene is built, no ray
// traced, no image kept. False with `error` when the render settings cannot be read, or the scene or
// an effect refuses.
[[nodiscard]] bool ProbeLens(BaseDocument* doc,
                             const std::function<void(Int32 camera, Int32 count, const LensRays& rays)>& look,
                             std::string& error);
