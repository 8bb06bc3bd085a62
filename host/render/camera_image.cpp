#include "camera_image.h"

#include "camera_area_probe.h"
#include "sample_pattern.h"

#include "base/parallel_for.h"

#include <algorithm>
#include <cmath>
#include <vector>

bool IsFiniteVector(const Vector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

Ray PrimaryRay(const CameraPass& pass, Float x, Float y) {
  Ray ray = pass.camera->RayThrough(x, y);
  if (const VideoPostChain::Effect* lens = pass.effects->Lens()) lens->data->CreateRay(&ray, x, y);
  return ray;
}

namespace {

bool IsPowerOfTwo(Int32 value) { return value > 0 && (value & (value - 1)) == 0; }

// Samples of one row gathered for one packet: their rays, and the pixel each one adds to.
struct SampleBatch {
  static constexpr int kSize = SceneAccel::kPacketSize;
  Vector origins[kSize];
  Vector directions[kSize];
  bool traceable[kSize] = {};
  Int32 pixel[kSize] = {};
  Float spreads[kSize] = {};
  PathRandom randoms[kSize];
  int count = 0;
  Hit hits[kSize];
  bool found[kSize] = {};
};

// Adds one sample's colour and coverage to pixel x's sum (RGBA per pixel of the row); a colour that
// is not finite adds nothing.
void AddColour(const Vector& colour, Int32 x, Float* rowSums) {
  if (!IsFiniteVector(colour)) return;
  Float* sum = rowSums + static_cast<size_t>(x) * 4;
  sum[0] += colour.x;
  sum[1] += colour.y;
  sum[2] += colour.z;
  sum[3] += 1.0;
}

// Traces the batch as one packet and adds each sample's colour and coverage to its pixel's sum
// (RGBA per pixel of the row); samples are added in the order they were gathered.
void TraceBatch(const CameraPass& pass, SampleBatch& batch, Float* rowSums) {
  for (int k = batch.count; k < SampleBatch::kSize; ++k) batch.traceable[k] = false;
  pass.scene->Intersect16(batch.origins, batch.directions, batch.traceable, batch.hits, batch.found);
  if (pass.lighting->UsesRandomNumbers())
    for (int k = 0; k < batch.count; ++k)
      batch.randoms[k] = PathRandom(batch.origins[k], batch.directions[k]);
  Vector colours[SampleBatch::kSize];
  ShadePacket(*pass.scene, *pass.lighting, batch.directions, batch.traceable, batch.hits, batch.found,
              batch.spreads, batch.randoms, colours);
  for (int k = 0; k < batch.count; ++k)
    if (batch.traceable[k]) AddColour(colours[k], batch.pixel[k], rowSums);
  batch.count = 0;
}

// Adds one sample's ray (unit `direction`, or zero when unusable) to the batch, tracing the batch
// when it is full. A ray the tracer cannot take (a lens or eye rig pushed to absurd lengths) leaves
// the sample empty: it adds nothing and takes no place in a packet.
void AddSample(const CameraPass& pass, Int32 x, const Vector& origin, const Vector& direction, Float spread,
               SampleBatch& batch, Float* rowSums) {
  if (!SceneAccel::CanTrace(origin, direction)) return;
  // Around no geometry every ray sees the background: nothing to trace or shade in packets.
  if (pass.scene->SurfaceCount() == 0) {
    AddColour(Background(*pass.lighting, direction), x, rowSums);
    return;
  }
  const int k = batch.count++;
  batch.origins[k] = origin;
  batch.directions[k] = direction;
  batch.traceable[k] = true;
  batch.pixel[k] = x;
  batch.spreads[k] = spread;
  if (batch.count == SampleBatch::kSize) TraceBatch(pass, batch, rowSums);
}

// The sums of one row for the calling thread, at 0: kept from block to block and render to render,
// so that neither a ray nor a block of rows allocates (a row of sums is large enough that every
// allocation would map fresh pages from the system).
std::vector<Float>& ThreadRowSums(size_t size) {
  thread_local std::vector<Float> sums;
  if (sums.size() != size) sums.assign(size, 0.0);
  return sums;
}

using Columns = CameraArea::Columns;

// How far apart neighbouring pixels' rays are, asked of the lens itself, so that a texture is read
// over what a pixel covers: per pixel, the larger of the distances (in radians, for unit directions
// this close) from its first sample's direction to its left neighbour's and to the pixel above's.
// Kept per thread from row to row of a block; a block's first row asks the lens for the row above.
class RaySpread {
 public:
  // A new block of rows: nothing above it is known yet.
  void Forget() { previousY_ = -2; }

  void StartRow(const CameraPass& pass, Int32 y, Columns asked, Int32 imageWidth) {
    const size_t width = static_cast<size_t>(imageWidth);
    if (previous_.size() != width) {
      previous_.assign(width, Vector());
      current_.assign(width, Vector());
      previousY_ = -2;
    }
    if (previousY_ != y - 1 && y > 0) {
      for (Int32 x = asked.begin; x < asked.end; ++x) {
        const Vector offset = SampleOffset(x, y - 1, 0, pass.samples);
        const Ray ray = PrimaryRay(pass, x + offset.x, y - 1 + offset.y);
        previous_[static_cast<size_t>(x)] = IsFiniteVector(ray.v) ? ray.v.GetNormalized() : Vector();
      }
      previousY_ = y - 1;
    }
    hasAbove_ = previousY_ == y - 1;
    left_ = Vector();
  }

  Float At(Int32 x, const Vector& direction) {
    Float spread = 0.0;
    if (left_ != Vector() && direction != Vector()) spread = (direction - left_).GetLength();
    const Vector& above = previous_[static_cast<size_t>(x)];
    if (hasAbove_ && above != Vector() && direction != Vector())
      spread = std::max(spread, (direction - above).GetLength());
    current_[static_cast<size_t>(x)] = direction;
    left_ = direction;
    return spread;
  }

  void FinishRow(Int32 y) {
    std::swap(previous_, current_);
    previousY_ = y;
  }

 private:
  std::vector<Vector> previous_;
  std::vector<Vector> current_;
  Int32 previousY_ = -2;
  bool hasAbove_ = false;
  Vector left_;
};

constexpr Int32 kRowsPerBlockWithFootprints = 16;

RaySpread& ThreadRaySpread() {
  thread_local RaySpread spread;
  return spread;
}

// The film's response to the light of the row's written columns.
void ExposeRow(const FilmResponse& film, Float32* row, Columns written) {
  for (Int32 x = written.begin; x < written.end; ++x) {
    Float32* pixel = row + static_cast<size_t>(x) * FloatImage::kChannels;
    const Vector colour = film.Apply(Vector(pixel[0], pixel[1], pixel[2]));
    pixel[0] = static_cast<Float32>(colour.x);
    pixel[1] = static_cast<Float32>(colour.y);
    pixel[2] = static_cast<Float32>(colour.z);
  }
}

// One row: neighbouring samples of the columns to ask traced in packets, then each pixel of the
// columns written the mean of its samples (transparent black where nothing was asked); with
// `answeredOnly` the columns written are those the lens answered, over an image kept transparent
// black around them.
void RenderRow(const CameraPass& pass, Int32 y, Columns written, bool answeredOnly, FloatImage& image,
               SampleBatch& batch, std::vector<Float>& rowSums) {
  const Columns asked = pass.area ? pass.area->ToAsk(y) : Columns{0, image.width};
  Columns answered{asked.end, asked.begin};
  RaySpread* spread = pass.scene->NeedsFootprints() ? &ThreadRaySpread() : nullptr;
  if (spread) spread->StartRow(pass, y, asked, image.width);
  for (Int32 x = asked.begin; x < asked.end; ++x) {
    Float pixelSpread = 0.0;
    for (Int32 sample = 0; sample < pass.samples; ++sample) {
      const Vector offset = SampleOffset(x, y, sample, pass.samples);
      const Ray ray = PrimaryRay(pass, x + offset.x, y + offset.y);
      // The lens refuses with a zero direction: most pixels of a cubemap face's camera, decided at once.
      if (ray.v == Vector()) continue;
      const Vector direction = IsFiniteVector(ray.v) ? ray.v.GetNormalized() : Vector();
      if (spread && sample == 0) pixelSpread = spread->At(x, direction);
      AddSample(pass, x, ray.p, direction, pixelSpread, batch, rowSums.data());
      answered.begin = std::min(answered.begin, x);
      answered.end = std::max(answered.end, x + 1);
    }
  }
  if (spread) spread->FinishRow(y);
  if (pass.area) pass.area->Answered(y, answered);
  if (batch.count > 0) TraceBatch(pass, batch, rowSums.data());
  if (answeredOnly) written = answered;
  if (written.begin >= written.end) return;
  // The sums are left at 0 for the next row as they are read.
  const size_t first = static_cast<size_t>(written.begin) * FloatImage::kChannels;
  const size_t end = static_cast<size_t>(written.end) * FloatImage::kChannels;
  Float32* pixel = image.Row(y);
  if (IsPowerOfTwo(pass.samples)) {
    // Multiplying by the exact reciprocal gives the quotient bit for bit, without a division each.
    const Float scale = 1.0 / pass.samples;
    for (size_t i = first; i < end; ++i) pixel[i] = static_cast<Float32>(rowSums[i] * scale);
  } else {
    for (size_t i = first; i < end; ++i) pixel[i] = static_cast<Float32>(rowSums[i] / pass.samples);
  }
  std::fill(rowSums.begin() + static_cast<std::ptrdiff_t>(first),
            rowSums.begin() + static_cast<std::ptrdiff_t>(end), 0.0);
  if (!pass.film.IsIdentity()) ExposeRow(pass.film, pixel, written);
}

void PostProcessRow(const CameraPass& pass, FloatImage& image, Int32 y, Columns columns) {
  for (const VideoPostChain::Effect* effect : pass.effects->PixelPosts()) {
    for (Int32 x = columns.begin; x < columns.end; ++x) {
      PixelPost pixel{image.Pixel(x, y), FloatImage::kChannels, y};
      effect->data->ExecutePixel(effect->node, &pixel, x, 0, 0);
    }
  }
  for (const VideoPostChain::Effect* effect : pass.effects->LinePosts()) {
    PixelPost line{image.Row(y), FloatImage::kChannels, y};
    effect->data->ExecuteLine(effect->node, &line);
  }
}

// Rows [rows.top, rows.top + rows.height), columns of `rows` written (or only those answered):
// their rays, and with `post` their pixel and line posts.
void RenderRows(const CameraPass& pass, FloatImage& image, const PixelWindow& rows, bool post,
                bool answeredOnly = false) {
  const Columns columns{rows.left, rows.left + rows.width};
  // A block's first row asks the lens for the row above it when textures need pixel footprints:
  // blocks of a few rows keep that rare.
  const Int32 grain = pass.scene->NeedsFootprints() ? kRowsPerBlockWithFootprints : 1;
  parallel::For(rows.top, rows.top + rows.height, grain, [&](const tbb::blocked_range<Int32>& range) {
    SampleBatch batch;
    std::vector<Float>& rowSums = ThreadRowSums(static_cast<size_t>(image.width) * FloatImage::kChannels);
    ThreadRaySpread().Forget();
    for (Int32 y = range.begin(); y != range.end(); ++y) {
      RenderRow(pass, y, columns, answeredOnly, image, batch, rowSums);
      if (post) PostProcessRow(pass, image, y, columns);
      if (pass.progress) pass.progress->Advance();
    }
  });
}

void PostProcessRows(const CameraPass& pass, FloatImage& image, const PixelWindow& rows) {
  const Columns columns{rows.left, rows.left + rows.width};
  parallel::For(rows.top, rows.top + rows.height, [&](const tbb::blocked_range<Int32>& range) {
    for (Int32 y = range.begin(); y != range.end(); ++y) PostProcessRow(pass, image, y, columns);
  });
}

}  // namespace

void RenderCameraImage(const CameraPass& pass, FloatImage& image) {
  const PixelWindow frame{0, 0, image.width, image.height};
  if (!pass.areaOnly || !pass.area) {
    RenderRows(pass, image, frame, true);
    if (pass.area) pass.area->FinishLearning();
    return;
  }
  if (!pass.area->IsLearned()) {
    // The area is known once every row was asked: the posts follow then, within it.
    pass.area->LearnWithin(ProbeAnsweredWindow(pass, image.width, image.height));
    RenderRows(pass, image, frame, false, true);
    pass.area->FinishLearning();
    PostProcessRows(pass, image, pass.area->Bounds());
    return;
  }
  const PixelWindow& area = pass.area->Bounds();
  if (pass.progress) pass.progress->Advance(image.height - area.height);
  RenderRows(pass, image, area, true);
}

void ClearPixels(FloatImage& image, const PixelWindow& window) {
  if (window.IsEmpty()) return;
  parallel::For(window.top, window.top + window.height, [&](const tbb::blocked_range<Int32>& rows) {
    for (Int32 y = rows.begin(); y != rows.end(); ++y) {
      Float32* first = image.Pixel(window.left, y);
      std::fill(first, first + static_cast<size_t>(window.width) * FloatImage::kChannels, 0.0f);
    }
  });
}
