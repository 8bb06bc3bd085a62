#include "environment.h"

#include "geometry/scalar_math.h"

#include <OpenImageIO/imageio.h>

#include <algorithm>
#include <cmath>

namespace {

// Rows of the grid the procedural sky's irradiance is integrated over.
constexpr Int32 kIrradianceGridHeight = 64;

// Real spherical harmonics up to second order at unit direction d.
std::array<Float, 9> HarmonicBasis(const Vector& d) {
  return {0.282095,
          0.488603 * d.y,
          0.488603 * d.z,
          0.488603 * d.x,
          1.092548 * d.x * d.y,
          1.092548 * d.y * d.z,
          0.315392 * (3.0 * d.z * d.z - 1.0),
          1.092548 * d.x * d.z,
          0.546274 * (d.x * d.x - d.y * d.y)};
}

// Convolution of each order with the clamped cosine lobe.
constexpr std::array<Float, 9> kCosineLobe = {
    orvex::kPi,       2.0 * orvex::kPi / 3.0, 2.0 * orvex::kPi / 3.0, 2.0 * orvex::kPi / 3.0,
    orvex::kPi / 4.0, orvex::kPi / 4.0,       orvex::kPi / 4.0,       orvex::kPi / 4.0,
    orvex::kPi / 4.0};

Vector Mix(const Vector& a, const Vector& b, Float t) { return a * (1.0 - t) + b * t; }

}  // namespace

Vector DirectionToEquirectUv(const Vector& d) {
  const Float u = 0.5 + std::atan2(d.x, d.z) / orvex::kTwoPi;
  const Float v = std::acos(std::clamp(d.y, -1.0, 1.0)) / orvex::kPi;
  return {u, v, 0.0};
}

Vector EquirectUvToDirection(Float u, Float v) {
  const Float azimuth = (u - 0.5) * orvex::kTwoPi;
  const Float polar = v * orvex::kPi;
  return {std::sin(polar) * std::sin(azimuth), std::cos(polar), std::sin(polar) * std::cos(azimuth)};
}

Environment::Environment() { ProjectIrradiance(); }

bool Environment::Load(const std::string& path, std::string& error) {
  auto input = OIIO::ImageInput::open(path);
  if (!input) {
    error = "cannot read the environment image \"" + path + "\": " + OIIO::geterror();
    return false;
  }
  const OIIO::ImageSpec& spec = input->spec();
  if (spec.width <= 0 || spec.height <= 0 || spec.nchannels <= 0) {
    error = "the environment image \"" + path + "\" has no pixels";
    return false;
  }
  const Int32 channels = spec.nchannels;
  std::vector<Float32> pixels(static_cast<size_t>(spec.width) * spec.height * channels);
  if (!input->read_image(0, 0, 0, channels, OIIO::TypeDesc::FLOAT, pixels.data())) {
    error = "cannot read the environment image \"" + path + "\": " + input->geterror();
    return false;
  }
  width_ = spec.width;
  height_ = spec.height;
  rgb_.resize(static_cast<size_t>(width_) * height_ * 3);
  for (size_t i = 0; i < static_cast<size_t>(width_) * height_; ++i) {
    for (Int32 c = 0; c < 3; ++c) {
      const Float32 value = pixels[i * channels + std::min(c, channels - 1)];
      rgb_[i * 3 + c] = std::isfinite(value) ? value : 0.0f;
    }
  }
  ProjectIrradiance();
  return true;
}

Vector Environment::Texel(Int32 x, Int32 y) const {
  x = ((x % width_) + width_) % width_;
  y = std::clamp(y, 0, height_ - 1);
  const Float32* texel = &rgb_[(static_cast<size_t>(y) * width_ + x) * 3];
  return {texel[0], texel[1], texel[2]};
}

Vector Environment::Radiance(const Vector& d) const {
  if (!IsImage()) return SkyRadiance(d);
  const Vector uv = DirectionToEquirectUv(d);
  const Float x = uv.x * width_ - 0.5;
  const Float y = uv.y * height_ - 0.5;
  const Float x0 = std::floor(x);
  const Float y0 = std::floor(y);
  const Float fx = x - x0;
  const Float fy = y - y0;
  const Int32 ix = static_cast<Int32>(x0);
  const Int32 iy = static_cast<Int32>(y0);
  const Vector top = Mix(Texel(ix, iy), Texel(ix + 1, iy), fx);
  const Vector bottom = Mix(Texel(ix, iy + 1), Texel(ix + 1, iy + 1), fx);
  return Mix(top, bottom, fy);
}

Vector Environment::SkyRadiance(const Vector& d) const {
  const Vector zenith(0.18, 0.36, 0.85);
  const Vector horizon(0.75, 0.82, 0.92);
  const Vector ground(0.22, 0.2, 0.18);
  if (d.y < 0.0) return Mix(horizon * 0.5, ground, std::min(1.0, -d.y * 8.0));
  return Mix(horizon, zenith, std::sqrt(d.y));
}

Vector Environment::Irradiance(const Vector& n) const {
  const std::array<Float, 9> basis = HarmonicBasis(n);
  Vector sum;
  for (size_t i = 0; i < basis.size(); ++i) sum += irradianceCoefficients_[i] * (kCosineLobe[i] * basis[i]);
  return Vector(std::max(0.0, sum.x), std::max(0.0, sum.y), std::max(0.0, sum.z));
}

// Integrates the radiance over the sphere once, so that irradiance is a handful of products per hit:
// over every texel of an image, over a fixed grid for the procedural sky.
void Environment::ProjectIrradiance() {
  irradianceCoefficients_.fill(Vector());
  const Int32 rows = IsImage() ? height_ : kIrradianceGridHeight;
  const Int32 columns = IsImage() ? width_ : 2 * rows;
  const Float cellSolidAngle = (orvex::kPi / rows) * (orvex::kTwoPi / columns);
  for (Int32 row = 0; row < rows; ++row) {
    const Float v = (row + 0.5) / rows;
    const Float weight = std::sin(v * orvex::kPi) * cellSolidAngle;
    for (Int32 column = 0; column < columns; ++column) {
      const Vector d = EquirectUvToDirection((column + 0.5) / columns, v);
      const Vector radiance = (IsImage() ? Texel(column, row) : SkyRadiance(d)) * weight;
      const std::array<Float, 9> basis = HarmonicBasis(d);
      for (size_t i = 0; i < basis.size(); ++i) irradianceCoefficients_[i] += radiance * basis[i];
    }
  }
}
