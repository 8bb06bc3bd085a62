#include "primary_hits.h"

#include "base/parallel_for.h"
#include "camera_image.h"

#include <cmath>
#include <limits>
#include <new>

bool PrimaryHits::Allocate(Int32 w, Int32 h) {
  const size_t pixels = static_cast<size_t>(std::max(w, 0)) * static_cast<size_t>(std::max(h, 0));
  try {
    origins.assign(3 * pixels, 0.0f);
    directions.assign(3 * pixels, 0.0f);
    distances.assign(pixels, std::numeric_limits<Float32>::infinity());
  } catch (const std::bad_alloc&) {
    return false;
  }
  width = w;
  height = h;
  return true;
}

bool PrimaryHits::HasRay(Int32 x, Int32 y) const {
  const size_t i = 3 * Index(x, y);
  return directions[i] != 0.0f || directions[i + 1] != 0.0f || directions[i + 2] != 0.0f;
}

Vector PrimaryHits::Origin(Int32 x, Int32 y) const {
  const size_t i = 3 * Index(x, y);
  return {origins[i], origins[i + 1], origins[i + 2]};
}

Vector PrimaryHits::Direction(Int32 x, Int32 y) const {
  const size_t i = 3 * Index(x, y);
  return {directions[i], directions[i + 1], directions[i + 2]};
}

double PrimaryHitsBytes(Int32 width, Int32 height) {
  return 7.0 * sizeof(Float32) * static_cast<double>(width) * static_cast<double>(height);
}

void TracePrimaryHits(const CameraPass& pass, PrimaryHits& hits) {
  parallel::For(Int32{0}, hits.height, [&pass, &hits](const tbb::blocked_range<Int32>& rows) {
    for (Int32 y = rows.begin(); y != rows.end(); ++y) {
      for (Int32 x = 0; x < hits.width; ++x) {
        // Every pixel is written: the hits are reused for the next camera and frame.
        const Ray ray = PrimaryRay(pass, x, y);
        Vector direction = IsFiniteVector(ray.v) ? ray.v.GetNormalized() : Vector();
        const bool traced = SceneAccel::CanTrace(ray.p, direction);
        if (!traced) direction = Vector();
        const size_t i = static_cast<size_t>(y) * hits.width + x;
        hits.distances[i] = std::numeric_limits<Float32>::infinity();
        const Vector values[2] = {traced ? ray.p : Vector(), direction};
        for (int k = 0; k < 2; ++k) {
          Float32* target = (k == 0 ? hits.origins : hits.directions).data() + 3 * i;
          target[0] = static_cast<Float32>(values[k].x);
          target[1] = static_cast<Float32>(values[k].y);
          target[2] = static_cast<Float32>(values[k].z);
        }
        Hit hit;
        if (traced && pass.scene->Intersect(ray.p, direction, hit))
          hits.distances[i] = static_cast<Float32>(hit.distance);
      }
    }
  });
}
