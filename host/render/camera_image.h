#pragma once

#include "c4d.h"
#include "camera_area.h"
#include "image/float_image.h"
#include "image/view_transform.h"
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
  CameraArea* area = nullptr;       // the part of the frame to ask, learned when not yet; may be null
  // A camera of a multi-camera frame: only its area is written (its answered columns while it is
  // learned, then its rectangle) and only its rectangle post-processed; the rest of the image is
  // left as it was (the caller keeps it transparent black).
  bool areaOnly = false;
  FilmResponse film;  // how the light of each pixel is exposed and viewed
};

// The primary ray of a sample: prefilled with the plain camera's ray, then handed to the lens.
Ray PrimaryRay(const CameraPass& pass, Float x, Float y);

bool IsFiniteVector(const Vector& v);

// Renders one camera image on all cores: every sample asks for its primary ray (within the camera's
// area once learned), a ray with a zero (or unusable) direction is not traced and leaves transparent
// black; each pixel's light goes through the film's response; then every pixel and line goes through
// the effects' pixel and line posts. Every pixel is
// written (only those of its area's rectangle for `areaOnly`), so the image needs no clearing first.
void RenderCameraImage(const CameraPass& pass, FloatImage& image);

// Sets the pixels of `window` to transparent black, on all cores.
void ClearPixels(FloatImage& image, const PixelWindow& window);
