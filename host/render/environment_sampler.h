#pragma once

#include "c4d.h"
#include "environment.h"

#include <vector>

// Directions towards an environment image chosen in proportion to its brightness, so that a bright
// sun in the image is found by a few shadow rays instead of many: a grid of cells over the image,
// each as likely as its mean luminance times its share of the sphere, and a uniform place within the
// chosen cell. Reads only once built, so any number of threads may draw from it.
class EnvironmentSampler {
 public:
  // Builds the grid for an image environment; an environment without an image leaves the sampler
  // empty.
  void Build(const Environment& environment);
  bool IsEmpty() const { return rows_ == 0; }

  // The direction at random numbers (a, b) in [0, 1) and its probability density per steradian.
  Vector Sample(Float a, Float b, Float& density) const;
  // The probability density per steradian with which Sample chooses unit direction d.
  Float Density(const Vector& d) const;

 private:
  void WeighCells(const std::vector<Float>& luminance);
  void Accumulate();
  Int32 ChooseRow(Float& a) const;
  Int32 ChooseColumn(Int32 row, Float& b) const;
  Float CellDensity(Int32 row, Int32 column, Float sinPolar) const;

  Int32 rows_ = 0;
  Int32 columns_ = 0;
  std::vector<Float> weights_;         // per cell, row by row
  std::vector<Float> rowCumulative_;   // per row, the rows' weights summed up to and including it
  std::vector<Float> cellCumulative_;  // per cell, the row's weights summed up to and including it
  Float total_ = 0.0;
};
