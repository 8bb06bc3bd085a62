#include "shading.h"

#include "geometry/scalar_math.h"
#include "scene/object_params.h"
#include "scene_walk.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Angular radius of the sun disc drawn into the procedural sky.
const Float kSunDiscCosine = std::cos(1.5 * orvex::kPi / 180.0);
// Grid lines take this share of the spacing on each side; the lines through the origin twice as much.
constexpr Float kGridLineShare = 0.02;
const Vector kXAxisLineColour(0.7, 0.08, 0.06);
const Vector kZAxisLineColour(0.06, 0.12, 0.7);

// Distance to the nearest multiple of spacing.
Float DistanceToLine(Float coordinate, Float spacing) {
  const Float offset = std::fmod(std::abs(coordinate), spacing);
  return std::min(offset, spacing - offset);
}

// How strongly grid lines show at a distance: full up close, fading out where many lines would
// fall into one pixel and only flicker.
Float GridContrast(Float distance, Float spacing) {
  constexpr Float kFullUpTo = 8.0;
  constexpr Float kGoneAt = 25.0;
  const Float lines = distance / spacing;
  return std::clamp((kGoneAt - lines) / (kGoneAt - kFullUpTo), 0.0, 1.0);
}

Vector Multiply(const Vector& a, const Vector& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }

// The texel under the hit's texture coordinates (nearest texel; the texture repeats).
Vector Texel(const Surface& surface, const Hit& hit) {
  const Texture& texture = *surface.texture;
  const auto& triangle = surface.triangles[hit.triangle];
  const auto& a = surface.uvs[triangle[0]];
  const auto& b = surface.uvs[triangle[1]];
  const auto& c = surface.uvs[triangle[2]];
  const Float w = 1.0 - hit.u - hit.v;
  const Float s = a[0] * w + b[0] * hit.u + c[0] * hit.v;
  const Float t = a[1] * w + b[1] * hit.u + c[1] * hit.v;
  const auto wrap = [](Float coordinate, Int32 size) {
    const Float fraction = coordinate - std::floor(coordinate);
    return std::clamp(static_cast<Int32>(fraction * size), 0, size - 1);
  };
  const auto& texel =
      texture.texels[static_cast<size_t>(wrap(t, texture.height)) * texture.width + wrap(s, texture.width)];
  return {texel[0], texel[1], texel[2]};
}

// Base colour at a hit: the surface colour, times its texture, crossed by grid lines in the
// object's own XZ plane. The line along the object's X axis is red, the one along its Z axis blue.
Vector Albedo(const Hit& hit) {
  const Surface& surface = *hit.surface;
  if (surface.texture && !surface.uvs.empty()) return Multiply(surface.colour, Texel(surface, hit));
  const Float spacing = surface.gridSpacing;
  if (spacing <= 0.0) return surface.colour;
  const Vector local = surface.worldToLocal.TransformPoint(hit.position);
  const Float width = spacing * kGridLineShare;
  Vector line = surface.colour;
  if (std::abs(local.z) < 2.0 * width) {
    line = kXAxisLineColour;
  } else if (std::abs(local.x) < 2.0 * width) {
    line = kZAxisLineColour;
  } else if (DistanceToLine(local.x, spacing) < width || DistanceToLine(local.z, spacing) < width) {
    line = surface.gridColour;
  }
  const Float contrast = GridContrast(hit.distance, spacing);
  return line * contrast + surface.colour * (1.0 - contrast);
}

// Moves a shadow ray's start off the surface by an amount that grows with the distance from the
// origin, where single-precision positions get coarse.
Vector OffsetFromSurface(const Hit& hit) {
  const Float extent =
      std::max({std::abs(hit.position.x), std::abs(hit.position.y), std::abs(hit.position.z)});
  return hit.position + hit.normal * (1e-4 * (1.0 + extent));
}

Vector Background(const Lighting& lighting, const Vector& direction) {
  Vector colour = lighting.environment.Radiance(direction);
  if (lighting.environment.IsImage()) return colour;
  for (const Sun& sun : lighting.suns)
    if (Dot(direction, sun.towardSun) > kSunDiscCosine) colour += sun.irradiance;
  return colour;
}

// What a lamp adds at a hit: inverse-square falloff, the spot's cone, a shadow ray to the lamp.
Vector LampLight(const SceneAccel& scene, const Lamp& lamp, const Hit& hit, const Vector& shadowOrigin) {
  const Vector toLamp = lamp.position - shadowOrigin;
  const Float distance = toLamp.GetLength();
  if (!(distance > 0.0)) return Vector();
  const Vector direction = toLamp * (1.0 / distance);
  const Float facing = Dot(hit.normal, direction);
  if (facing <= 0.0) return Vector();
  Float cone = 1.0;
  if (lamp.spot) {
    const Float cosine = Dot(-direction, lamp.axis);
    if (cosine <= lamp.cosOuter) return Vector();
    if (cosine < lamp.cosInner) cone = (cosine - lamp.cosOuter) / (lamp.cosInner - lamp.cosOuter);
  }
  if (scene.Occluded(shadowOrigin, direction, distance)) return Vector();
  return lamp.intensity * (facing * cone / (distance * distance));
}

}  // namespace

std::vector<Sun> CollectSuns(BaseDocument* doc) {
  std::vector<Sun> suns;
  ForEachRenderedObject(doc, [&suns](BaseObject& object) {
    if (object.GetType() != Olight) return;
    const BaseContainer& data = *object.GetDataInstance();
    if (data.GetInt32(LIGHT_TYPE, 0) != 0) return;
    const Vector colour = data.GetVector(LIGHT_COLOR, Vector(1.0));
    const Float brightness = data.GetFloat(LIGHT_BRIGHTNESS, 3.0);
    const Vector towardSun = (-object.GetMg().axisZ).GetNormalized();
    if (towardSun.GetSquaredLength() > 0.0) suns.push_back({towardSun, colour * brightness});
  });
  return suns;
}

std::vector<Lamp> CollectLamps(BaseDocument* doc) {
  std::vector<Lamp> lamps;
  ForEachRenderedObject(doc, [&lamps](BaseObject& object) {
    if (object.GetType() != Olight) return;
    const BaseContainer& data = *object.GetDataInstance();
    const Int32 type = data.GetInt32(LIGHT_TYPE, 0);
    if (type != 1 && type != 2) return;
    const Matrix placement = object.GetMg();
    Lamp lamp;
    lamp.position = placement.offset;
    lamp.intensity = data.GetVector(LIGHT_COLOR, Vector(1.0)) * data.GetFloat(LIGHT_BRIGHTNESS, 3.0);
    lamp.spot = type == 2;
    lamp.axis = placement.axisZ.GetNormalized();
    const Float outer = std::clamp(data.GetFloat(LIGHT_SPOT_OUTER, orvex::kPi / 4.0), 1e-3, orvex::kPi / 2.0);
    lamp.cosOuter = std::cos(outer);
    lamp.cosInner = std::max(std::cos(std::clamp(data.GetFloat(LIGHT_SPOT_INNER, 0.0), 0.0, outer)),
                             lamp.cosOuter + 1e-6);
    lamps.push_back(lamp);
  });
  return lamps;
}

Vector Shade(const SceneAccel& scene, const Lighting& lighting, const Vector& origin,
             const Vector& direction) {
  Hit hit;
  return ShadeTraced(scene, lighting, direction, scene.Intersect(origin, direction, hit) ? &hit : nullptr);
}

Vector ShadeTraced(const SceneAccel& scene, const Lighting& lighting, const Vector& direction,
                   const Hit* traced) {
  if (!traced) return Background(lighting, direction);
  const Hit& hit = *traced;
  Vector light = lighting.environment.Irradiance(hit.normal);
  const Vector shadowOrigin = OffsetFromSurface(hit);
  for (const Sun& sun : lighting.suns) {
    const Float facing = Dot(hit.normal, sun.towardSun);
    if (facing > 0.0 && !scene.Occluded(shadowOrigin, sun.towardSun, std::numeric_limits<Float>::infinity()))
      light += sun.irradiance * facing;
  }
  for (const Lamp& lamp : lighting.lamps) light += LampLight(scene, lamp, hit, shadowOrigin);
  return Multiply(Albedo(hit), light) * (1.0 / orvex::kPi);
}
