#pragma once

#include "c4d.h"
#include "polygon_mesh.h"

#include <memory>
#include <vector>

// A texture with its mipmap levels: level 0 the image itself, each next level half as large (at
// least one texel), every texel the mean of the four below it. Shared and never changed once made.
struct MipTexture {
  std::vector<Texture> levels;
};

// Builds the levels of `image` (which becomes level 0).
std::shared_ptr<const MipTexture> MakeMipTexture(Texture image);

// How a texture is read where a surface uses it, as a glTF sampler and texture reference say.
struct TextureSlot {
  enum class Wrap { Repeat, ClampToEdge, MirroredRepeat };
  enum class Filter { Nearest, Linear };
  std::shared_ptr<const MipTexture> texture;  // null: the slot is empty
  Wrap wrapS = Wrap::Repeat;
  Wrap wrapT = Wrap::Repeat;
  Filter magnify = Filter::Linear;
  Filter minify = Filter::Linear;
  bool mipmaps = true;  // minified reads blend mipmap levels by the footprint
  Int32 texCoord = 0;   // texture coordinate set 0 or 1
  // KHR_texture_transform: uv' = translate * rotate * scale * uv.
  Float offset[2] = {0.0, 0.0};
  Float rotation = 0.0;
  Float scale[2] = {1.0, 1.0};
  bool transformed = false;

  explicit operator bool() const { return texture != nullptr; }
};

// How a glTF surface looks: the metallic-roughness model of glTF 2.0 with its textures, emission,
// normal and occlusion maps and alpha. Surfaces of the host's own objects have none and stay matte.
struct SurfaceMaterial {
  enum class AlphaMode { Opaque, Mask, Blend };
  Vector baseColour{1.0, 1.0, 1.0};  // linear
  Float baseAlpha = 1.0;
  TextureSlot baseColourTexture;  // sRGB colour, linear alpha
  Float metallic = 1.0;
  Float roughness = 1.0;
  TextureSlot metallicRoughnessTexture;  // roughness in green, metallic in blue
  Vector emissive;                       // linear, the emissive strength included
  TextureSlot emissiveTexture;           // sRGB
  TextureSlot normalTexture;
  Float normalScale = 1.0;
  TextureSlot occlusionTexture;  // red
  Float occlusionStrength = 1.0;
  AlphaMode alphaMode = AlphaMode::Opaque;
  Float alphaCutoff = 0.5;
  bool doubleSided = false;
};
