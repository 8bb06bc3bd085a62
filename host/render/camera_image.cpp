#include "camera_image.h"

#include "sample_pattern.h"

#include "runtime/parallel_for.h"

#include <cmath>

bool IsFiniteVector(const Vector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

Ray PrimaryRay(const CameraPass& pass, Float x, Float y) {
  Ray ray = pass.camera->RayThrough(x, y);
  if (const VideoPostChain::Effect* lens = pass.effects->Lens()) lens->data->CreateRay(&ray, x, y);
  return ray;
}

namespace {

// Colour and coverage of one sample, accumulated into `sum` (RGBA).
void TraceSample(const CameraPass& pass, Float x, Float y, Float (&sum)[4]) {
  const Ray ray = PrimaryRay(pass, x, y);
  // A ray the tracer cannot take (a lens or eye rig pushed to absurd lengths) leaves the sample empty.
  const Vector direction = IsFiniteVector(ray.v) ? ray.v.GetNormalized() : Vector();
  if (!SceneAccel::CanTrace(ray.p, direction)) return;
  const Vector colour = Shade(*pass.scene, *pass.lighting, ray.p, direction);
  if (!IsFiniteVector(colour)) return;
  sum[0] += colour.x;
  sum[1] += colour.y;
  sum[2] += colour.z;
  sum[3] += 1.0;
}

void RenderPixel(const CameraPass& pass, Int32 x, Int32 y, Float32* pixel) {
  Float sum[4] = {0.0, 0.0, 0.0, 0.0};
  for (Int32 sample = 0; sample < pass.samples; ++sample) {
    const Vector offset = SampleOffset(x, y, sample, pass.samples);
    TraceSample(pass, x + offset.x, y + offset.y, sum);
  }
  for (int c = 0; c < 4; ++c) pixel[c] = static_cast<Float32>(sum[c] / pass.samples);
}

void PostProcessRow(const CameraPass& pass, FloatImage& image, Int32 y) {
  for (const VideoPostChain::Effect* effect : pass.effects->PixelPosts()) {
    for (Int32 x = 0; x < image.width; ++x) {
      PixelPost pixel{image.Pixel(x, y), FloatImage::kChannels, y};
      effect->data->ExecutePixel(effect->node, &pixel, x, 0, 0);
    }
  }
  for (const VideoPostChain::Effect* effect : pass.effects->LinePosts()) {
    PixelPost line{image.Row(y), FloatImage::kChannels, y};
    effect->data->ExecuteLine(effect->node, &line);
  }
}

}  // namespace

void RenderCameraImage(const CameraPass& pass, FloatImage& image) {
  image.Clear();
  parallel::For(Int32{0}, image.height, [&pass, &image](const tbb::blocked_range<Int32>& rows) {
    for (Int32 y = rows.begin(); y != rows.end(); ++y) {
      for (Int32 x = 0; x < image.width; ++x) RenderPixel(pass, x, y, image.Pixel(x, y));
      PostProcessRow(pass, image, y);
      if (pass.progress) pass.progress->Advance();
    }
  });
}
