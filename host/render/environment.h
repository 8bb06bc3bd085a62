#pragma once

#include "c4d.h"
#include "image/uninitialized_allocator.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace image_codec {
class Reader;
}

// What surrounds the scene: an equirectangular image, or a procedural sky when there is none. It is
// the background of every ray that leaves the scene and the sky light on every surface.
//
// World convention: a direction d sits at u = 0.5 + atan2(d.x, d.z) / 2pi, v = acos(d.y) / pi of the
// image (u = 0.5 looks forward along +Z, 0.75 right along +X, v = 0 straight up).
class Environment {
 public:
  // A procedural sky: blue above, pale at the horizon, dark ground below.
  Environment();

  // Loads an equirectangular image (any format the image library reads; 8- and 16-bit images are taken
  // as sRGB-encoded, the way the renderer writes them, float images as linear); false with `error`
  // when it cannot be read.
  bool Load(const std::string& path, std::string& error);
  bool IsImage() const { return width_ > 0; }
  Int32 Width() const { return width_; }
  Int32 Height() const { return height_; }

  // Radiance arriving from direction d (unit length), bilinearly filtered.
  Vector Radiance(const Vector& d) const;
  // Irradiance on a surface facing unit normal n, from the whole environment, nothing in between.
  Vector Irradiance(const Vector& n) const;
  // Mean radiance of the image's texels in the square of `block` texels from (x0, y0), clipped to
  // the image.
  Vector BlockMean(Int32 x0, Int32 y0, Int32 block) const;

 private:
  bool ReadTexels(image_codec::Reader& reader, std::string& problems);
  Int32 WrappedColumn(Int32 x) const;
  size_t RowStart(Int32 y) const;
  // Inline: four per radiance lookup, the innermost work of an environment render.
  Vector StoredTexel(size_t index) const {
    const size_t first = index * static_cast<size_t>(channels_);
    if (!bytes_.empty())
      return {byteToLinear_[bytes_[first]], byteToLinear_[bytes_[first + greenOffset_]],
              byteToLinear_[bytes_[first + blueOffset_]]};
    return {floats_[first], floats_[first + greenOffset_], floats_[first + blueOffset_]};
  }
  Vector SkyRadiance(const Vector& d) const;
  void ProjectIrradiance();

  Int32 width_ = 0;
  Int32 height_ = 0;
  // The file's texels with the file's channels, as compact as it holds them: bytes with their linear
  // value in a table for 8-bit images, linear floats otherwise. Channels past the third are not read;
  // a grey image repeats its one channel.
  Int32 channels_ = 0;
  size_t greenOffset_ = 0;  // from a texel's first channel; 0 in a grey image
  size_t blueOffset_ = 0;
  std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>> bytes_;
  std::vector<Float32, UninitializedAllocator<Float32>> floats_;
  std::array<Float32, 256> byteToLinear_{};
  std::array<Vector, 9> irradianceCoefficients_{};  // second-order spherical harmonics
};

// Image coordinates (u, v) of a world direction, by the world convention above.
Vector DirectionToEquirectUv(const Vector& d);
// The unit world direction at image coordinates (u, v): the inverse of DirectionToEquirectUv.
Vector EquirectUvToDirection(Float u, Float v);
