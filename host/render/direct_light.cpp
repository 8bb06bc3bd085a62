#include "direct_light.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

namespace {

constexpr int kLanes = SceneAccel::kPacketSize;
constexpr Float kUnbounded = std::numeric_limits<Float>::infinity();

Vector Multiply(const Vector& a, const Vector& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }

// Exactly the same vector, bit for bit (so that anything computed from one holds for the other).
bool SameBits(const Vector& a, const Vector& b) { return std::memcmp(&a, &b, sizeof(Vector)) == 0; }

// One packet's shadow rays, one per lit hit at most: the light each brings when nothing blocks it
// (as it arrives, before the surface takes it) and how the surface takes it: a matte surface by the
// cosine, a shaded one by its BRDF.
struct ShadowPacket {
  Vector origins[kLanes];
  Vector directions[kLanes];
  Float distances[kLanes];
  bool wanted[kLanes];
  Vector arriving[kLanes];
  Vector response[kLanes];

  // Whether lane k can take light from `direction`, with the response set when it can. `cosine` is
  // the matte surface's share (its normal's cosine and any falloff).
  bool Respond(const PacketSurfaces& surfaces, int k, const Vector& direction, Float cosine) {
    response[k] = surfaces.shaded[k] ? EvaluateBrdf(surfaces.points[k], direction) : Vector(cosine);
    return surfaces.shaded[k] ? response[k] != Vector() : cosine > 0.0;
  }

  // Traces the wanted rays and adds the light of those that got through.
  void AddUnblocked(const SceneAccel& scene, Vector* light) {
    bool blocked[kLanes];
    scene.Occluded16(origins, directions, distances, wanted, blocked);
    for (int k = 0; k < kLanes; ++k)
      if (wanted[k] && !blocked[k]) light[k] += Multiply(arriving[k], response[k]);
  }
};

void AddSun(const SceneAccel& scene, const Sun& sun, const PacketSurfaces& surfaces, ShadowPacket& rays,
            Vector* light) {
  for (int k = 0; k < kLanes; ++k) {
    rays.wanted[k] = false;
    if (!surfaces.lit[k]) continue;
    const Float facing = Dot(surfaces.hits[k].normal, sun.towardSun);
    rays.directions[k] = sun.towardSun;
    rays.distances[k] = kUnbounded;
    rays.arriving[k] = sun.irradiance;
    rays.wanted[k] = rays.Respond(surfaces, k, sun.towardSun, facing);
  }
  rays.AddUnblocked(scene, light);
}

void AddLamp(const SceneAccel& scene, const Lamp& lamp, const PacketSurfaces& surfaces, ShadowPacket& rays,
             Vector* light) {
  for (int k = 0; k < kLanes; ++k) {
    rays.wanted[k] = false;
    if (!surfaces.lit[k]) continue;
    const Vector toLamp = lamp.position - rays.origins[k];
    const Float distance = toLamp.GetLength();
    if (!(distance > 0.0)) continue;
    const Vector direction = toLamp * (1.0 / distance);
    const Float falloff = LampFalloff(lamp, -direction, distance);
    if (!(falloff > 0.0)) continue;
    const Float facing = Dot(surfaces.hits[k].normal, direction);
    rays.directions[k] = direction;
    rays.distances[k] = distance;
    rays.arriving[k] = surfaces.shaded[k] ? lamp.intensity * falloff : lamp.intensity;
    rays.wanted[k] = rays.Respond(surfaces, k, direction, facing * falloff);
  }
  rays.AddUnblocked(scene, light);
}

// One direction towards the environment image per hit, chosen half the time by the image's
// brightness and half the time by the surface (a matte one's cosine, a shaded one's BRDF), weighted
// by both chances together (one sample of multiple importance sampling): a small bright sun, a broad
// even sky and a mirror's reflection all come out with little noise.
void AddEnvironmentImage(const SceneAccel& scene, const Lighting& lighting, const PacketSurfaces& surfaces,
                         PathRandom* randoms, ShadowPacket& rays, Vector* light) {
  const EnvironmentSampler& sampler = lighting.environmentSampler;
  for (int k = 0; k < kLanes; ++k) {
    rays.wanted[k] = false;
    if (!surfaces.lit[k]) continue;
    const Float choice = randoms[k].Next();
    const Float lobe = randoms[k].Next();
    Float a = 0.0;
    Float b = 0.0;
    randoms[k].Next2(a, b);
    Float unused = 0.0;
    const Vector& normal = surfaces.hits[k].normal;
    const ShadingPoint& point = surfaces.points[k];
    const Vector direction = choice < 0.5         ? sampler.Sample(a, b, unused)
                             : surfaces.shaded[k] ? SampleBrdf(point, lobe, a, b, unused)
                                                  : CosineDirection(normal, a, b);
    const Float cosine = Dot(normal, direction);
    const Float surfaceDensity =
        surfaces.shaded[k] ? BrdfDensity(point, direction) : cosine / std::numbers::pi;
    const Float density = 0.5 * sampler.Density(direction) + 0.5 * std::max(0.0, surfaceDensity);
    if (!(density > 0.0) || !rays.Respond(surfaces, k, direction, cosine)) continue;
    rays.directions[k] = direction;
    rays.distances[k] = kUnbounded;
    rays.arriving[k] = lighting.environment.Radiance(direction) * (point.occlusion / density);
    rays.wanted[k] = true;
  }
  rays.AddUnblocked(scene, light);
}

// The procedural sky on a shaded surface, unshadowed: its diffuse lobe takes the sky's irradiance,
// its specular lobe the sky in the mirror direction, blurred towards the irradiance as the surface
// roughens.
Vector SkyOnShadedSurface(const Environment& sky, const ShadingPoint& point, const Vector& irradiance) {
  const Float nv = std::max(0.0, Dot(point.normal, point.toViewer));
  const Vector fresnel = Fresnel(point.f0, nv);
  const Vector mirror = point.normal * (2.0 * nv) - point.toViewer;
  const Float blur = std::sqrt(point.alpha);
  const Vector diffuseSky = irradiance * (1.0 / std::numbers::pi);
  const Vector reflected = blur < 1.0 ? sky.Radiance(mirror) * (1.0 - blur) + diffuseSky * blur : diffuseSky;
  const Vector diffuse = Multiply(point.diffuse, diffuseSky);
  return (Multiply(Vector(1.0) - fresnel, diffuse) + Multiply(fresnel, reflected)) * point.occlusion;
}

// The procedural sky from its whole sphere; neighbouring hits on one flat face share their normal
// and so their sky light: asked once per run.
void AddSky(const Environment& sky, const PacketSurfaces& surfaces, Vector* light) {
  int lastAsked = -1;
  Vector irradiance[kLanes];
  for (int k = 0; k < kLanes; ++k) {
    if (!surfaces.lit[k]) continue;
    const Vector& normal = surfaces.shaded[k] ? surfaces.points[k].normal : surfaces.hits[k].normal;
    if (lastAsked >= 0 && SameBits(normal, surfaces.shaded[lastAsked] ? surfaces.points[lastAsked].normal
                                                                      : surfaces.hits[lastAsked].normal)) {
      irradiance[k] = irradiance[lastAsked];
    } else {
      irradiance[k] = sky.Irradiance(normal);
      lastAsked = k;
    }
    light[k] =
        surfaces.shaded[k] ? SkyOnShadedSurface(sky, surfaces.points[k], irradiance[k]) : irradiance[k];
  }
}

}  // namespace

Vector OffsetFromSurface(const Hit& hit) {
  const Float extent =
      std::max({std::abs(hit.position.x), std::abs(hit.position.y), std::abs(hit.position.z)});
  return hit.position + hit.normal * (1e-4 * (1.0 + extent));
}

void GatherDirectLight(const SceneAccel& scene, const Lighting& lighting, const PacketSurfaces& surfaces,
                       PathRandom* randoms, Vector* light) {
  ShadowPacket rays;
  for (int k = 0; k < kLanes; ++k)
    if (surfaces.lit[k]) {
      light[k] = Vector();
      rays.origins[k] = OffsetFromSurface(surfaces.hits[k]);
    }
  if (lighting.environmentSampler.IsEmpty()) {
    AddSky(lighting.environment, surfaces, light);
  } else {
    AddEnvironmentImage(scene, lighting, surfaces, randoms, rays, light);
  }
  for (const Sun& sun : lighting.suns) AddSun(scene, sun, surfaces, rays, light);
  for (const Lamp& lamp : lighting.lamps) AddLamp(scene, lamp, surfaces, rays, light);
}
