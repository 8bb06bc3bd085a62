#include "surface_shading.h"

#include "texture_sampling.h"

#include <algorithm>
#include <cmath>

namespace {

// A per-point attribute of the triangle at barycentric (u, v).
template <size_t N>
std::array<Float, N> Interpolate(const std::vector<std::array<Float32, N>>& values,
                                 const std::array<UInt32, 3>& corners, Float u, Float v) {
  std::array<Float, N> result{};
  if (values.empty()) return result;
  const Float w = 1.0 - u - v;
  for (size_t i = 0; i < N; ++i)
    result[i] = values[corners[0]][i] * w + values[corners[1]][i] * u + values[corners[2]][i] * v;
  return result;
}

Vector Corner(const Surface& surface, UInt32 index) {
  const auto& p = surface.positions[index];
  return Vector(p[0], p[1], p[2]);
}

// Where a hit is on its surface: both texture coordinate sets and the vertex colour.
struct SurfaceCoordinates {
  std::array<Float, 2> set0{};
  std::array<Float, 2> set1{};
  std::array<Float, 4> colour{1.0, 1.0, 1.0, 1.0};
};

SurfaceCoordinates CoordinatesAt(const Surface& surface, UInt32 triangle, Float u, Float v) {
  const auto& corners = surface.triangles[triangle];
  SurfaceCoordinates at;
  at.set0 = Interpolate(surface.uvs, corners, u, v);
  at.set1 = Interpolate(surface.uvs1, corners, u, v);
  if (!surface.colours.empty()) at.colour = Interpolate(surface.colours, corners, u, v);
  return at;
}

// Scene units per unit of texture coordinates over the triangle, for the slot's coordinate set: how
// large a texture's texel grid is drawn there.
Float UnitsPerTextureUnit(const Surface& surface, UInt32 triangle, Int32 texCoord) {
  const auto& uvs = texCoord == 1 ? surface.uvs1 : surface.uvs;
  if (uvs.empty() || surface.positions.empty()) return 1.0;
  const auto& c = surface.triangles[triangle];
  const Float worldArea =
      Cross(Corner(surface, c[1]) - Corner(surface, c[0]), Corner(surface, c[2]) - Corner(surface, c[0]))
          .GetLength();
  const auto& a = uvs[c[0]];
  const auto& b = uvs[c[1]];
  const auto& d = uvs[c[2]];
  const Float uvArea = std::abs((b[0] - a[0]) * (d[1] - a[1]) - (d[0] - a[0]) * (b[1] - a[1]));
  return uvArea > 0.0 ? std::sqrt(worldArea / uvArea) : 1.0;
}

Rgba Read(const TextureSlot& slot, const Hit& hit, const SurfaceCoordinates& at, Float footprintUnits) {
  const std::array<Float, 2> uv = SlotCoordinates(slot, at.set0, at.set1);
  // The transform's scale shrinks or stretches the texture over the surface as well.
  const Float stretch = slot.transformed ? std::max(std::abs(slot.scale[0]), std::abs(slot.scale[1])) : 1.0;
  const Float footprint =
      footprintUnits * stretch / UnitsPerTextureUnit(*hit.surface, hit.triangle, slot.texCoord);
  return SampleTexture(slot, uv[0], uv[1], footprint);
}

// The normal map's normal: the texture's vector in the frame of the texture's directions over the
// triangle (u to the right, the image's up), its tilt scaled by the material's normal scale.
Vector MappedNormal(const Hit& hit, const Rgba& texel, Float scale) {
  const Surface& surface = *hit.surface;
  const auto& uvs = surface.material->normalTexture.texCoord == 1 ? surface.uvs1 : surface.uvs;
  if (uvs.empty() || surface.positions.empty()) return hit.normal;
  const auto& c = surface.triangles[hit.triangle];
  const Vector e1 = Corner(surface, c[1]) - Corner(surface, c[0]);
  const Vector e2 = Corner(surface, c[2]) - Corner(surface, c[0]);
  const Float du1 = uvs[c[1]][0] - uvs[c[0]][0], dv1 = uvs[c[1]][1] - uvs[c[0]][1];
  const Float du2 = uvs[c[2]][0] - uvs[c[0]][0], dv2 = uvs[c[2]][1] - uvs[c[0]][1];
  const Float determinant = du1 * dv2 - du2 * dv1;
  if (!(std::abs(determinant) > 0.0)) return hit.normal;
  const Vector alongU = (e1 * dv2 - e2 * dv1) * (1.0 / determinant);
  const Vector alongV = (e2 * du1 - e1 * du2) * (1.0 / determinant);
  const Vector& n = hit.normal;
  const Vector tangent = (alongU - n * Dot(n, alongU)).GetNormalized();
  // Texture v runs down the image; the map's green points up it.
  Vector bitangent = -(alongV - n * Dot(n, alongV) - tangent * Dot(tangent, alongV)).GetNormalized();
  if (!(bitangent.GetSquaredLength() > 0.0)) bitangent = Cross(n, tangent);
  const Float x = (texel[0] * 2.0 - 1.0) * scale;
  const Float y = (texel[1] * 2.0 - 1.0) * scale;
  const Float z = texel[2] * 2.0 - 1.0;
  const Vector mapped = (tangent * x + bitangent * y + n * z).GetNormalized();
  return mapped.GetSquaredLength() > 0.0 ? mapped : n;
}

Float AlphaAt(const Surface& surface, const SurfaceCoordinates& at, Float baseTextureAlpha) {
  return surface.material->baseAlpha * baseTextureAlpha * at.colour[3];
}

}  // namespace

bool DescribeSurface(const Hit& hit, const Vector& direction, Float spread, ShadingPoint& point) {
  const Surface& surface = *hit.surface;
  if (!surface.material) return false;
  const SurfaceMaterial& material = *surface.material;
  const SurfaceCoordinates at = CoordinatesAt(surface, hit.triangle, hit.u, hit.v);
  // The cone's width at the hit, stretched where the surface is seen at a slant.
  const Float slant = std::max(0.05, std::abs(Dot(hit.normal, direction)));
  const Float footprint = hit.distance * spread / slant;
  Vector base(material.baseColour.x * at.colour[0], material.baseColour.y * at.colour[1],
              material.baseColour.z * at.colour[2]);
  if (material.baseColourTexture) {
    const Rgba texel = Read(material.baseColourTexture, hit, at, footprint);
    base = Vector(base.x * texel[0], base.y * texel[1], base.z * texel[2]);
  }
  Float metallic = material.metallic;
  Float roughness = material.roughness;
  if (material.metallicRoughnessTexture) {
    const Rgba texel = Read(material.metallicRoughnessTexture, hit, at, footprint);
    roughness *= texel[1];
    metallic *= texel[2];
  }
  metallic = std::clamp(metallic, 0.0, 1.0);
  roughness = std::clamp(roughness, 0.0, 1.0);
  point.toViewer = -direction;
  point.normal = hit.normal;
  if (material.normalTexture)
    point.normal = MappedNormal(hit, Read(material.normalTexture, hit, at, footprint), material.normalScale);
  point.diffuse = base * (1.0 - metallic);
  point.f0 = Vector(0.04) * (1.0 - metallic) + base * metallic;
  point.alpha = std::max(kMinAlpha, roughness * roughness);
  point.emission = material.emissive;
  if (material.emissiveTexture) {
    const Rgba texel = Read(material.emissiveTexture, hit, at, footprint);
    point.emission =
        Vector(point.emission.x * texel[0], point.emission.y * texel[1], point.emission.z * texel[2]);
  }
  point.occlusion = 1.0;
  if (material.occlusionTexture)
    point.occlusion =
        1.0 + material.occlusionStrength * (Read(material.occlusionTexture, hit, at, footprint)[0] - 1.0);
  return true;
}

Float SurfaceCoverage(const Surface& surface, UInt32 triangle, Float u, Float v) {
  const SurfaceMaterial& material = *surface.material;
  if (material.alphaMode == SurfaceMaterial::AlphaMode::Opaque) return 1.0;
  const SurfaceCoordinates at = CoordinatesAt(surface, triangle, u, v);
  Float textureAlpha = 1.0;
  if (material.baseColourTexture) {
    const std::array<Float, 2> uv = SlotCoordinates(material.baseColourTexture, at.set0, at.set1);
    textureAlpha = SampleTexture(material.baseColourTexture, uv[0], uv[1], 0.0)[3];
  }
  const Float alpha = AlphaAt(surface, at, textureAlpha);
  if (material.alphaMode == SurfaceMaterial::AlphaMode::Mask)
    return alpha >= material.alphaCutoff ? 1.0 : 0.0;
  return std::clamp(alpha, 0.0, 1.0);
}
