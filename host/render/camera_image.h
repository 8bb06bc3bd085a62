#pragma once

#include "c4d.h"
#include "image/float_image.h"
#include "pinhole_camera.h"
#include "progress_bar.h"
#include "shading.h"
#include "video_post_chain.h"

// Everything one camera render needs: the scene and its light, where rays come from (the effect
// with the custom lens, else the plain camera) and the effects that post-process pixels and lines.
struct CameraPass {
  const SceneAccel* scene = nullptr;
  const Lighting* lighting = nullptr;
  const VideoPostChain* effects = nullptr;
  const PinholeCamera* camera = nullptr;
  Int32 samples = 1;
  ProgressBar* progress = nullptr;  // advanced once per finished row; may be null
};

// The primary ray of a sample: prefilled with the plain camera's ray, then handed to the lens.
Ray PrimaryRay(const CameraPass& pass, Float x, Float y);

bool IsFiniteVector(const Vector& v);

// Renders one full camera image on all cores: every sample asks for its primary ray, a ray with a
// zero (or unusable) direction is not traced and leaves transparent black; then every pixel and
// line goes through the effects' pixel and line posts.
void RenderCameraImage(const CameraPass& pass, FloatImage& image);
