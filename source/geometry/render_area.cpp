#include "geometry/render_area.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvex {
namespace {

// Whole pixels in a span, saturated so that absurd corners cannot overflow the count.
Int32 TruncatedPixelCount(Float span) {
  constexpr Float kLowest = std::numeric_limits<Int32>::lowest();
  constexpr Float kHighest = std::numeric_limits<Int32>::max();
  return static_cast<Int32>(std::clamp(std::trunc(span), kLowest, kHighest));
}

// Half a length as the single-precision product earlier versions used for centres and radii.
Float HalfInSinglePrecision(Float length) { return static_cast<Float>(static_cast<Float32>(length) * 0.5f); }

}  // namespace

RenderArea::RenderArea(const Vector& start, const Vector& end) : start_(start), end_(end) { Recompute(); }

RenderArea RenderArea::FromStartAndSize(const Vector& start, const Vector& size) {
  return {start, start + Vector(size.x - 1.0, size.y - 1.0, 0.0)};
}

void RenderArea::SetStart(const Vector& start) {
  start_ = start;
  Recompute();
}

void RenderArea::SetEnd(const Vector& end) {
  end_ = end;
  Recompute();
}

void RenderArea::SetStartX(Float x) {
  start_.x = x;
  Recompute();
}

void RenderArea::SetStartY(Float y) {
  start_.y = y;
  Recompute();
}

void RenderArea::SetEndX(Float x) {
  end_.x = x;
  Recompute();
}

void RenderArea::SetEndY(Float y) {
  end_.y = y;
  Recompute();
}

void RenderArea::MoveBy(const Vector& delta) {
  start_ += delta;
  end_ += delta;
  Recompute();
}

void RenderArea::Recompute() {
  size_ = Vector(end_.x - start_.x + 1.0, end_.y - start_.y + 1.0, 0.0);
  centre_ = Vector(start_.x + HalfInSinglePrecision(size_.x) - 0.5,
                   start_.y + HalfInSinglePrecision(size_.y) - 0.5, 0.0);
  width_ = TruncatedPixelCount(end_.x - start_.x + 1.0);
  height_ = TruncatedPixelCount(end_.y - start_.y + 1.0);
  aspect_ = height_ != 0 ? static_cast<Float>(width_) / static_cast<Float>(height_) : 0.0;
  minSide_ = std::min(width_, height_);
  radius_ = HalfInSinglePrecision(static_cast<Float>(minSide_));
}

std::array<Vector, 4> AreaCorners(const RenderArea& area) {
  const Vector& start = area.GetStart();
  const Vector& end = area.GetEnd();
  return {Vector(start.x, start.y, 0.0), Vector(end.x, start.y, 0.0), Vector(end.x, end.y, 0.0),
          Vector(start.x, end.y, 0.0)};
}

}  // namespace orvex
