#include "direct_light.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

namespace {

constexpr int kLanes = SceneAccel::kPacketSize;
constexpr Float kUnbounded = std::numeric_limits<Float>::infinity();

// Exactly the same vector, bit for bit (so that anything computed from one holds for the other).
bool SameBits(const Vector& a, const Vector& b) { return std::memcmp(&a, &b, sizeof(Vector)) == 0; }

// One packet's shadow rays, one per lit hit at most, and the light each one brings when nothing
// blocks it.
struct ShadowPacket {
  Vector origins[kLanes];
  Vector directions[kLanes];
  Float distances[kLanes];
  bool wanted[kLanes];
  Vector light[kLanes];

  // Traces the wanted rays and adds the light of those that got through.
  void AddUnblocked(const SceneAccel& scene, Vector* irradiance) {
    bool blocked[kLanes];
    scene.Occluded16(origins, directions, distances, wanted, blocked);
    for (int k = 0; k < kLanes; ++k)
      if (wanted[k] && !blocked[k]) irradiance[k] += light[k];
  }
};

void AddSun(const SceneAccel& scene, const Sun& sun, const Hit* hits, const bool* lit, ShadowPacket& rays,
            Vector* irradiance) {
  for (int k = 0; k < kLanes; ++k) {
    const Float facing = lit[k] ? Dot(hits[k].normal, sun.towardSun) : 0.0;
    rays.directions[k] = sun.towardSun;
    rays.distances[k] = kUnbounded;
    rays.wanted[k] = facing > 0.0;
    rays.light[k] = sun.irradiance * facing;
  }
  rays.AddUnblocked(scene, irradiance);
}

void AddLamp(const SceneAccel& scene, const Lamp& lamp, const Hit* hits, const bool* lit, ShadowPacket& rays,
             Vector* irradiance) {
  for (int k = 0; k < kLanes; ++k) {
    rays.wanted[k] = false;
    if (!lit[k]) continue;
    const Vector toLamp = lamp.position - rays.origins[k];
    const Float distance = toLamp.GetLength();
    if (!(distance > 0.0)) continue;
    const Vector direction = toLamp * (1.0 / distance);
    const Float facing = Dot(hits[k].normal, direction);
    const Float falloff = facing > 0.0 ? LampFalloff(lamp, -direction, distance) : 0.0;
    rays.directions[k] = direction;
    rays.distances[k] = distance;
    rays.wanted[k] = falloff > 0.0;
    rays.light[k] = lamp.intensity * (facing * falloff);
  }
  rays.AddUnblocked(scene, irradiance);
}

// One direction towards the environment image per hit, chosen half the time by the image's
// brightness and half the time by the surface's cosine, weighted by both chances together (one
// sample of multiple importance sampling): a small bright sun and a broad even sky both come out
// with little noise.
void AddEnvironmentImage(const SceneAccel& scene, const Lighting& lighting, const Hit* hits, const bool* lit,
                         PathRandom* randoms, ShadowPacket& rays, Vector* irradiance) {
  const EnvironmentSampler& sampler = lighting.environmentSampler;
  for (int k = 0; k < kLanes; ++k) {
    rays.wanted[k] = false;
    if (!lit[k]) continue;
    const Float choice = randoms[k].Next();
    Float a = 0.0;
    Float b = 0.0;
    randoms[k].Next2(a, b);
    Float unused = 0.0;
    const Vector& normal = hits[k].normal;
    const Vector direction = choice < 0.5 ? sampler.Sample(a, b, unused) : CosineDirection(normal, a, b);
    const Float cosine = Dot(normal, direction);
    if (!(cosine > 0.0)) continue;
    const Float density = 0.5 * sampler.Density(direction) + 0.5 * cosine / std::numbers::pi;
    rays.directions[k] = direction;
    rays.distances[k] = kUnbounded;
    rays.wanted[k] = true;
    rays.light[k] = lighting.environment.Radiance(direction) * (cosine / density);
  }
  rays.AddUnblocked(scene, irradiance);
}

// The procedural sky from its whole sphere; neighbouring hits on one flat face share their normal
// and so their sky light: asked once per run.
void AddSky(const Environment& sky, const Hit* hits, const bool* lit, Vector* irradiance) {
  int lastAsked = -1;
  for (int k = 0; k < kLanes; ++k) {
    if (!lit[k]) continue;
    if (lastAsked >= 0 && SameBits(hits[k].normal, hits[lastAsked].normal)) {
      irradiance[k] = irradiance[lastAsked];
    } else {
      irradiance[k] = sky.Irradiance(hits[k].normal);
      lastAsked = k;
    }
  }
}

}  // namespace

Vector OffsetFromSurface(const Hit& hit) {
  const Float extent =
      std::max({std::abs(hit.position.x), std::abs(hit.position.y), std::abs(hit.position.z)});
  return hit.position + hit.normal * (1e-4 * (1.0 + extent));
}

void GatherDirectLight(const SceneAccel& scene, const Lighting& lighting, const Hit* hits, const bool* lit,
                       PathRandom* randoms, Vector* irradiance) {
  ShadowPacket rays;
  for (int k = 0; k < kLanes; ++k)
    if (lit[k]) {
      irradiance[k] = Vector();
      rays.origins[k] = OffsetFromSurface(hits[k]);
    }
  if (lighting.environmentSampler.IsEmpty()) {
    AddSky(lighting.environment, hits, lit, irradiance);
  } else {
    AddEnvironmentImage(scene, lighting, hits, lit, randoms, rays, irradiance);
  }
  for (const Sun& sun : lighting.suns) AddSun(scene, sun, hits, lit, rays, irradiance);
  for (const Lamp& lamp : lighting.lamps) AddLamp(scene, lamp, hits, lit, rays, irradiance);
}
