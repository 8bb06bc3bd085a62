#include "environment_sampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Rows of the grid at most: finer than the broad light a surface sees, coarse enough to build in a
// moment for any image.
constexpr Int32 kMaxRows = 256;
// Every cell keeps a little of the mean weight, so that no direction with light is never chosen.
constexpr Float kFloorShare = 1e-3;

Float Luminance(const Vector& c) { return 0.2126 * c.x + 0.7152 * c.y + 0.0722 * c.z; }

// The first index whose cumulative sum exceeds `value` among `count` sums from `sums`.
Int32 Search(const Float* sums, Int32 count, Float value) {
  const Float* found = std::upper_bound(sums, sums + count, value);
  return static_cast<Int32>(std::min<std::ptrdiff_t>(found - sums, count - 1));
}

}  // namespace

void EnvironmentSampler::Build(const Environment& environment) {
  *this = EnvironmentSampler();
  if (!environment.IsImage()) return;
  const Int32 block = std::max(1, (environment.Height() + kMaxRows - 1) / kMaxRows);
  rows_ = (environment.Height() + block - 1) / block;
  columns_ = (environment.Width() + block - 1) / block;
  std::vector<Float> luminance(static_cast<size_t>(rows_) * columns_);
  for (Int32 row = 0; row < rows_; ++row)
    for (Int32 column = 0; column < columns_; ++column) {
      const Float value = Luminance(environment.BlockMean(column * block, row * block, block));
      luminance[static_cast<size_t>(row) * columns_ + column] =
          std::isfinite(value) ? std::max(0.0, value) : 0.0;
    }
  WeighCells(luminance);
  Accumulate();
}

// A cell's weight: the brightest of it and its neighbours (radiance is filtered between texels, so
// a bright texel lights its neighbours' directions too), times its share of the sphere.
void EnvironmentSampler::WeighCells(const std::vector<Float>& luminance) {
  weights_.assign(luminance.size(), 0.0);
  for (Int32 row = 0; row < rows_; ++row) {
    const Float sinPolar = std::sin((row + 0.5) / rows_ * std::numbers::pi);
    for (Int32 column = 0; column < columns_; ++column) {
      Float brightest = 0.0;
      for (Int32 r = std::max(0, row - 1); r <= std::min(rows_ - 1, row + 1); ++r)
        for (Int32 c = column - 1; c <= column + 1; ++c)
          brightest =
              std::max(brightest, luminance[static_cast<size_t>(r) * columns_ + (c + columns_) % columns_]);
      weights_[static_cast<size_t>(row) * columns_ + column] = brightest * sinPolar;
    }
  }
}

// The cumulative sums the choices search, every cell given a little of the mean weight first.
void EnvironmentSampler::Accumulate() {
  Float sum = 0.0;
  for (const Float weight : weights_) sum += weight;
  const Float floor = sum > 0.0 ? kFloorShare * sum / weights_.size() : 1.0;
  rowCumulative_.resize(static_cast<size_t>(rows_));
  cellCumulative_.resize(weights_.size());
  for (Int32 row = 0; row < rows_; ++row) {
    Float rowSum = 0.0;
    for (Int32 column = 0; column < columns_; ++column) {
      const size_t cell = static_cast<size_t>(row) * columns_ + column;
      weights_[cell] += floor;
      rowSum += weights_[cell];
      cellCumulative_[cell] = rowSum;
    }
    total_ += rowSum;
    rowCumulative_[static_cast<size_t>(row)] = total_;
  }
}

// Chooses a row by its weight and leaves in `a` where within the row's share it fell, in [0, 1).
Int32 EnvironmentSampler::ChooseRow(Float& a) const {
  const Float target = a * total_;
  const Int32 row = Search(rowCumulative_.data(), rows_, target);
  const Float before = row > 0 ? rowCumulative_[static_cast<size_t>(row - 1)] : 0.0;
  const Float share = rowCumulative_[static_cast<size_t>(row)] - before;
  a = std::clamp((target - before) / share, 0.0, std::nextafter(1.0, 0.0));
  return row;
}

Int32 EnvironmentSampler::ChooseColumn(Int32 row, Float& b) const {
  const Float* sums = cellCumulative_.data() + static_cast<size_t>(row) * columns_;
  const Float target = b * sums[columns_ - 1];
  const Int32 column = Search(sums, columns_, target);
  const Float before = column > 0 ? sums[column - 1] : 0.0;
  b = std::clamp((target - before) / (sums[column] - before), 0.0, std::nextafter(1.0, 0.0));
  return column;
}

// The density per steradian of a direction within the cell: the cell's probability spread evenly
// over its image area, whose solid angle per unit of image area is 2 pi^2 sin(polar angle).
Float EnvironmentSampler::CellDensity(Int32 row, Int32 column, Float sinPolar) const {
  const Float probability = weights_[static_cast<size_t>(row) * columns_ + column] / total_;
  const Float perImageArea = probability * rows_ * columns_;
  return perImageArea / (2.0 * std::numbers::pi * std::numbers::pi * std::max(sinPolar, 1e-6));
}

Vector EnvironmentSampler::Sample(Float a, Float b, Float& density) const {
  const Int32 row = ChooseRow(a);
  const Int32 column = ChooseColumn(row, b);
  const Float u = (column + b) / columns_;
  const Float v = (row + a) / rows_;
  density = CellDensity(row, column, std::sin(v * std::numbers::pi));
  return EquirectUvToDirection(u, v);
}

Float EnvironmentSampler::Density(const Vector& d) const {
  const Vector uv = DirectionToEquirectUv(d);
  const Int32 column = std::clamp(static_cast<Int32>(uv.x * columns_), 0, columns_ - 1);
  const Int32 row = std::clamp(static_cast<Int32>(uv.y * rows_), 0, rows_ - 1);
  const Float sinPolar = std::sqrt(std::max(0.0, 1.0 - d.y * d.y));
  return CellDensity(row, column, sinPolar);
}
