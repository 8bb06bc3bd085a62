#include "shading.h"

#include "direct_light.h"
#include "surface_shading.h"

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

// Base colour at a hit on a matte surface: the surface colour, crossed by grid lines in the
// object's own XZ plane. The line along the object's X axis is red, the one along its Z axis blue.
Vector Albedo(const Hit& hit) {
  const Surface& surface = *hit.surface;
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

constexpr int kLanes = SceneAccel::kPacketSize;

// After this many bounces a path may end early, the more likely the less light it still carries;
// the paths that go on carry the light of those that ended (Russian roulette).
constexpr Int32 kBouncesBeforeRoulette = 2;

// Surfaces met after a bounce are read at least this rough: a near mirror found by a diffuse bounce
// would otherwise catch a sun in a few rare paths, bright specks in a smooth image.
constexpr Float kBounceMinAlpha = 0.1;
// The most one bounce adds to a sample in any channel, for the same reason: rare paths that carry
// far more light than their neighbours are noise, not detail, at a few samples a pixel.
constexpr Float kMostBounceLight = 10.0;

Vector Clamped(const Vector& light) {
  const Float largest = std::max({light.x, light.y, light.z});
  return largest > kMostBounceLight ? light * (kMostBounceLight / largest) : light;
}

// Whether a path goes on after a bounce; its throughput is scaled up when it does.
bool SurvivesRoulette(Int32 bounce, Vector& throughput, PathRandom& random) {
  if (bounce < kBouncesBeforeRoulette) return true;
  const Float chance = std::min(1.0, std::max({throughput.x, throughput.y, throughput.z}));
  if (!(random.Next() < chance)) return false;
  throughput = throughput * (1.0 / chance);
  return true;
}

// How the packet's hits take light: matte, or as their material says (its textures read over the
// footprint of a cone of `spreads[k]` radians per unit of distance).
void DescribeSurfaces(const Hit* hits, const bool* lit, const Vector* directions, const Float* spreads,
                      PacketSurfaces& surfaces) {
  surfaces.hits = hits;
  for (int k = 0; k < kLanes; ++k) {
    surfaces.lit[k] = lit[k];
    surfaces.shaded[k] = lit[k] && DescribeSurface(hits[k], directions[k], spreads[k], surfaces.points[k]);
  }
}

// The light lane k's surface sends back: the direct light as the surface takes it, and its own
// emission.
Vector Reflected(const PacketSurfaces& surfaces, int k, const Vector& light) {
  if (!surfaces.shaded[k]) return Multiply(Albedo(surfaces.hits[k]), light) * (1.0 / std::numbers::pi);
  return light + surfaces.points[k].emission;
}

// Where lane k's path goes next from its surface and what it carries there: a matte surface scatters
// by the cosine (its colour the only weight), a shaded one by its BRDF. False when the path ends.
bool Scatter(const PacketSurfaces& surfaces, int k, PathRandom& random, Vector& direction,
             Vector& throughput) {
  const Float choice = random.Next();
  Float a = 0.0;
  Float b = 0.0;
  random.Next2(a, b);
  if (!surfaces.shaded[k]) {
    direction = CosineDirection(surfaces.hits[k].normal, a, b);
    throughput = Multiply(throughput, Albedo(surfaces.hits[k]));
    return true;
  }
  const ShadingPoint& point = surfaces.points[k];
  Float density = 0.0;
  direction = SampleBrdf(point, choice, a, b, density);
  const Vector weight = EvaluateBrdf(point, direction);
  if (!(density > 0.0) || weight == Vector() || !(Dot(direction, surfaces.hits[k].normal) > 0.0))
    return false;
  throughput = Multiply(throughput, weight * (1.0 / density));
  return true;
}

// Light scattered from surface to surface onto the packet's lit hits: each path leaves its surface
// as the surface scatters light, takes the direct light and the emission where it lands, and goes on
// from there. Textures far along a path are read coarser, the more the surfaces on the way spread it.
void FollowBounces(const SceneAccel& scene, const Lighting& lighting, const PacketSurfaces& first,
                   const Float* spreads, PathRandom* randoms, Vector* colours) {
  Hit current[kLanes];
  Hit next[kLanes];
  PacketSurfaces surfaces[2];
  surfaces[0] = first;
  Vector throughput[kLanes];
  Float spread[kLanes];
  bool alive[kLanes];
  for (int k = 0; k < kLanes; ++k) {
    alive[k] = first.lit[k];
    throughput[k] = Vector(1.0);
    spread[k] = spreads[k];
    if (alive[k]) current[k] = first.hits[k];
  }
  surfaces[0].hits = current;
  for (Int32 bounce = 1; bounce <= lighting.bounces; ++bounce) {
    const PacketSurfaces& here = surfaces[(bounce - 1) % 2];
    PacketSurfaces& there = surfaces[bounce % 2];
    Vector origins[kLanes];
    Vector directions[kLanes];
    bool any = false;
    for (int k = 0; k < kLanes; ++k) {
      if (!alive[k]) continue;
      origins[k] = OffsetFromSurface(current[k]);
      if (here.shaded[k]) spread[k] += here.points[k].alpha;
      alive[k] = Scatter(here, k, randoms[k], directions[k], throughput[k]) &&
                 SceneAccel::CanTrace(origins[k], directions[k]);
      any = any || alive[k];
    }
    if (!any) return;
    bool found[kLanes];
    scene.Intersect16(origins, directions, alive, next, found);
    for (int k = 0; k < kLanes; ++k) alive[k] = alive[k] && found[k];
    DescribeSurfaces(next, alive, directions, spread, there);
    for (int k = 0; k < kLanes; ++k)
      if (there.shaded[k]) there.points[k].alpha = std::max(there.points[k].alpha, kBounceMinAlpha);
    Vector light[kLanes];
    GatherDirectLight(scene, lighting, there, randoms, light);
    for (int k = 0; k < kLanes; ++k) {
      if (!alive[k]) continue;
      colours[k] += Clamped(Multiply(throughput[k], Reflected(there, k, light[k])));
      current[k] = next[k];
      alive[k] = SurvivesRoulette(bounce, throughput[k], randoms[k]);
    }
    there.hits = current;
  }
}

}  // namespace

Vector Background(const Lighting& lighting, const Vector& direction) {
  Vector colour = lighting.environment.Radiance(direction);
  if (lighting.environment.IsImage()) return colour;
  for (const Sun& sun : lighting.suns)
    if (Dot(direction, sun.towardSun) > kSunDiscCosine) colour += sun.irradiance;
  return colour;
}

void ShadePacket(const SceneAccel& scene, const Lighting& lighting, const Vector* directions,
                 const bool* traced, const Hit* hits, const bool* found, const Float* spreads,
                 PathRandom* randoms, Vector* colours) {
  bool lit[kLanes];
  for (int k = 0; k < kLanes; ++k) lit[k] = traced[k] && found[k];
  PacketSurfaces surfaces;
  DescribeSurfaces(hits, lit, directions, spreads, surfaces);
  Vector light[kLanes];
  GatherDirectLight(scene, lighting, surfaces, randoms, light);
  for (int k = 0; k < kLanes; ++k) {
    if (!traced[k]) continue;
    colours[k] = lit[k] ? Reflected(surfaces, k, light[k]) : Background(lighting, directions[k]);
  }
  if (lighting.bounces > 0) FollowBounces(scene, lighting, surfaces, spreads, randoms, colours);
}
