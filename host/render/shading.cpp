#include "shading.h"

#include "direct_light.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Angular radius of the sun disc drawn into the procedural sky.
const Float kSunDiscCosine = std::cos(1.5 * std::numbers::pi / 180.0);
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

Vector Background(const Lighting& lighting, const Vector& direction) {
  Vector colour = lighting.environment.Radiance(direction);
  if (lighting.environment.IsImage()) return colour;
  for (const Sun& sun : lighting.suns)
    if (Dot(direction, sun.towardSun) > kSunDiscCosine) colour += sun.irradiance;
  return colour;
}

constexpr int kLanes = SceneAccel::kPacketSize;

// After this many bounces a path may end early, the more likely the less light it still carries;
// the paths that go on carry the light of those that ended (Russian roulette).
constexpr Int32 kBouncesBeforeRoulette = 2;

// Whether a path goes on after a bounce; its throughput is scaled up when it does.
bool SurvivesRoulette(Int32 bounce, Vector& throughput, PathRandom& random) {
  if (bounce < kBouncesBeforeRoulette) return true;
  const Float chance = std::min(1.0, std::max({throughput.x, throughput.y, throughput.z}));
  if (!(random.Next() < chance)) return false;
  throughput = throughput * (1.0 / chance);
  return true;
}

// Light scattered from surface to surface onto the packet's lit hits: each path leaves its surface
// in a direction chosen by the cosine (a matte surface's own distribution, so the surface's colour
// is the only weight), takes the direct light where it lands, and goes on from there.
void FollowBounces(const SceneAccel& scene, const Lighting& lighting, const Hit* hits, const bool* lit,
                   Vector* throughput, PathRandom* randoms, Vector* colours) {
  Hit current[kLanes];
  bool alive[kLanes];
  for (int k = 0; k < kLanes; ++k) {
    alive[k] = lit[k];
    if (lit[k]) current[k] = hits[k];
  }
  for (Int32 bounce = 1; bounce <= lighting.bounces; ++bounce) {
    Vector origins[kLanes];
    Vector directions[kLanes];
    bool any = false;
    for (int k = 0; k < kLanes; ++k) {
      if (!alive[k]) continue;
      Float a = 0.0;
      Float b = 0.0;
      randoms[k].Next2(a, b);
      origins[k] = OffsetFromSurface(current[k]);
      directions[k] = CosineDirection(current[k].normal, a, b);
      alive[k] = SceneAccel::CanTrace(origins[k], directions[k]);
      any = any || alive[k];
    }
    if (!any) return;
    Hit next[kLanes];
    bool found[kLanes];
    scene.Intersect16(origins, directions, alive, next, found);
    for (int k = 0; k < kLanes; ++k) alive[k] = alive[k] && found[k];
    Vector irradiance[kLanes];
    GatherDirectLight(scene, lighting, next, alive, randoms, irradiance);
    for (int k = 0; k < kLanes; ++k) {
      if (!alive[k]) continue;
      throughput[k] = Multiply(throughput[k], Albedo(next[k]));
      colours[k] += Multiply(throughput[k], irradiance[k]) * (1.0 / std::numbers::pi);
      current[k] = next[k];
      alive[k] = SurvivesRoulette(bounce, throughput[k], randoms[k]);
    }
  }
}

}  // namespace

void ShadePacket(const SceneAccel& scene, const Lighting& lighting, const Vector* directions,
                 const bool* traced, const Hit* hits, const bool* found, PathRandom* randoms,
                 Vector* colours) {
  bool lit[kLanes];
  for (int k = 0; k < kLanes; ++k) lit[k] = traced[k] && found[k];
  Vector irradiance[kLanes];
  GatherDirectLight(scene, lighting, hits, lit, randoms, irradiance);
  Vector throughput[kLanes];
  for (int k = 0; k < kLanes; ++k) {
    if (!traced[k]) continue;
    if (!lit[k]) {
      colours[k] = Background(lighting, directions[k]);
      continue;
    }
    throughput[k] = Albedo(hits[k]);
    colours[k] = Multiply(throughput[k], irradiance[k]) * (1.0 / std::numbers::pi);
  }
  if (lighting.bounces > 0) FollowBounces(scene, lighting, hits, lit, throughput, randoms, colours);
}
