#include "environment.h"

#include <numbers>
#include "image/image_output.h"

#include "image/image_codec.h"
#include "image/image_limits.h"

#include <algorithm>
#include <cctype>
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
constexpr std::array<Float, 9> kCosineLobe = {std::numbers::pi,
                                              2.0 * std::numbers::pi / 3.0,
                                              2.0 * std::numbers::pi / 3.0,
                                              2.0 * std::numbers::pi / 3.0,
                                              std::numbers::pi / 4.0,
                                              std::numbers::pi / 4.0,
                                              std::numbers::pi / 4.0,
                                              std::numbers::pi / 4.0,
                                              std::numbers::pi / 4.0};

Vector Mix(const Vector& a, const Vector& b, Float t) { return a * (1.0 - t) + b * t; }

// 8- and 16-bit images (PNG, JPEG, TIFF) hold display-encoded sRGB values, as the renderer writes
// them; float images (EXR, HDR) hold linear ones. The file's own colour space decides when it says.
bool IsDisplayEncoded(const image_codec::Header& header) {
  std::string space = header.colourSpace;
  std::transform(space.begin(), space.end(), space.begin(), [](unsigned char c) { return std::tolower(c); });
  if (!space.empty()) return space == "srgb";
  return header.sample == image_codec::SampleType::UInt8 || header.sample == image_codec::SampleType::UInt16;
}

}  // namespace

Vector DirectionToEquirectUv(const Vector& d) {
  const Float u = 0.5 + std::atan2(d.x, d.z) / (2.0 * std::numbers::pi);
  const Float v = std::acos(std::clamp(d.y, -1.0, 1.0)) / std::numbers::pi;
  return {u, v, 0.0};
}

Vector EquirectUvToDirection(Float u, Float v) {
  const Float azimuth = (u - 0.5) * (2.0 * std::numbers::pi);
  const Float polar = v * std::numbers::pi;
  return {std::sin(polar) * std::sin(azimuth), std::cos(polar), std::sin(polar) * std::cos(azimuth)};
}

Environment::Environment() { ProjectIrradiance(); }

bool Environment::Load(const std::string& path, std::string& error) {
  image_codec::Reader reader;
  if (std::string reason; !reader.Open(path, reason)) {
    error = "cannot read the environment image \"" + path + "\": " + reason;
    return false;
  }
  const image_codec::Header& header = reader.header();
  if (!image_limits::CheckBeforeDecode(path, header, error)) {
    error = "environment: " + error;
    return false;
  }
  if (std::string problems; !ReadTexels(reader, problems)) {
    *this = Environment();
    error = "cannot read the environment image \"" + path + "\": " + problems;
    return false;
  }
  ProjectIrradiance();
  return true;
}

// Reads the texels straight into their storage (nothing cleared first: the reader writes them all)
// and makes them linear: through a table for bytes, in place for floats.
bool Environment::ReadTexels(image_codec::Reader& reader, std::string& problems) {
  const image_codec::Header& header = reader.header();
  const size_t values = static_cast<size_t>(header.width) * header.height * header.channels;
  if (header.channels < 1) {
    problems = "the image has no channels";
    return false;
  }
  const bool encoded = IsDisplayEncoded(header);
  // An image loaded before is dropped whatever kind it was: texels are read from the one stored.
  bytes_ = {};
  floats_ = {};
  width_ = header.width;
  height_ = header.height;
  channels_ = header.channels;
  greenOffset_ = static_cast<size_t>(std::min(1, channels_ - 1));
  blueOffset_ = static_cast<size_t>(std::min(2, channels_ - 1));
  if (header.sample == image_codec::SampleType::UInt8) {
    bytes_.resize(values);
    if (!reader.ReadBytes(bytes_.data(), problems)) return false;
    // The float a byte becomes when read as floats, decoded as the float path does it.
    constexpr Float32 kByteScale = 1.0f / 255.0f;
    for (size_t b = 0; b < byteToLinear_.size(); ++b) {
      const Float32 value = static_cast<Float32>(b) * kByteScale;
      byteToLinear_[b] = encoded ? image_output::DecodeSrgb(value) : value;
    }
    return true;
  }
  floats_.resize(values);
  if (!reader.ReadFloats(floats_.data(), problems)) return false;
  for (size_t i = 0; i < values; ++i) {
    const Float32 linear = encoded ? image_output::DecodeSrgb(floats_[i]) : floats_[i];
    floats_[i] = std::isfinite(linear) ? linear : 0.0f;
  }
  return true;
}

// Columns wrap round the panorama's seam; only the seam's neighbours need the division.
Int32 Environment::WrappedColumn(Int32 x) const {
  return x >= 0 && x < width_ ? x : ((x % width_) + width_) % width_;
}

size_t Environment::RowStart(Int32 y) const {
  return static_cast<size_t>(std::clamp(y, 0, height_ - 1)) * width_;
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
  const size_t left = static_cast<size_t>(WrappedColumn(ix));
  const size_t right = static_cast<size_t>(WrappedColumn(ix + 1));
  const size_t upper = RowStart(iy);
  const size_t lower = RowStart(iy + 1);
  const Vector top = Mix(StoredTexel(upper + left), StoredTexel(upper + right), fx);
  const Vector bottom = Mix(StoredTexel(lower + left), StoredTexel(lower + right), fx);
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
// Second-order harmonics only see the broad shape of the light, so a large image is integrated
// over blocks of texels (their mean radiance at the block's centre) instead of texel by texel.
void Environment::ProjectIrradiance() {
  irradianceCoefficients_.fill(Vector());
  const Int32 block = IsImage() ? std::max(1, height_ / kIrradianceGridHeight) : 1;
  const Int32 rows = IsImage() ? (height_ + block - 1) / block : kIrradianceGridHeight;
  const Int32 columns = IsImage() ? (width_ + block - 1) / block : 2 * rows;
  for (Int32 row = 0; row < rows; ++row) {
    const Float v = (row + 0.5) / rows;
    const Float weight =
        std::sin(v * std::numbers::pi) * (std::numbers::pi / rows) * ((2.0 * std::numbers::pi) / columns);
    for (Int32 column = 0; column < columns; ++column) {
      const Vector d = EquirectUvToDirection((column + 0.5) / columns, v);
      const Vector radiance =
          (IsImage() ? BlockMean(column * block, row * block, block) : SkyRadiance(d)) * weight;
      const std::array<Float, 9> basis = HarmonicBasis(d);
      for (size_t i = 0; i < basis.size(); ++i) irradianceCoefficients_[i] += radiance * basis[i];
    }
  }
}

// Mean radiance of the texels of the block from (x0, y0), clipped to the image.
Vector Environment::BlockMean(Int32 x0, Int32 y0, Int32 block) const {
  Vector sum;
  Int32 count = 0;
  for (Int32 y = y0; y < std::min(y0 + block, height_); ++y) {
    for (Int32 x = x0; x < std::min(x0 + block, width_); ++x) {
      sum += StoredTexel(static_cast<size_t>(y) * width_ + x);
      ++count;
    }
  }
  return count > 0 ? sum / count : Vector();
}
