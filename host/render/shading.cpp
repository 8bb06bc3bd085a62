#include "shading.h"

#include <numbers>
#include "scene/object_params.h"
#include "scene_walk.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

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

// What a lamp adds at a hit unless something stands in between (inverse-square falloff, the spot's
// cone), and the shadow ray that decides it; `reaches` false when the lamp cannot light the hit at all.
struct LampReach {
  bool reaches = false;
  Vector direction;
  Float distance = 0.0;
  Vector light;
};

LampReach ReachOfLamp(const Lamp& lamp, const Hit& hit, const Vector& shadowOrigin) {
  const Vector toLamp = lamp.position - shadowOrigin;
  const Float distance = toLamp.GetLength();
  if (!(distance > 0.0)) return {};
  const Vector direction = toLamp * (1.0 / distance);
  const Float facing = Dot(hit.normal, direction);
  if (facing <= 0.0) return {};
  Float cone = 1.0;
  if (lamp.spot) {
    const Float cosine = Dot(-direction, lamp.axis);
    if (cosine <= lamp.cosOuter) return {};
    if (cosine < lamp.cosInner) cone = (cosine - lamp.cosOuter) / (lamp.cosInner - lamp.cosOuter);
  }
  return {true, direction, distance, lamp.intensity * (facing * cone / (distance * distance))};
}

constexpr int kLanes = SceneAccel::kPacketSize;

// Exactly the same vector, bit for bit (so that anything computed from one holds for the other).
bool SameBits(const Vector& a, const Vector& b) { return std::memcmp(&a, &b, sizeof(Vector)) == 0; }

// Where the shadow rays of one packet's hits start, and the light gathered on each hit so far.
struct PacketLight {
  bool lit[kLanes];  // the lane is a traced ray that hit a surface
  Vector shadowOrigins[kLanes];
  Vector light[kLanes];
};

// The sun's light on every lit hit it faces, its shadow rays traced as one packet (they share a direction).
void AddSun(const SceneAccel& scene, const Sun& sun, const Hit* hits, PacketLight& packet) {
  Vector directions[kLanes];
  Float facing[kLanes];
  Float unbounded[kLanes];
  bool wanted[kLanes];
  bool blocked[kLanes];
  for (int k = 0; k < kLanes; ++k) {
    directions[k] = sun.towardSun;
    unbounded[k] = std::numeric_limits<Float>::infinity();
    facing[k] = packet.lit[k] ? Dot(hits[k].normal, sun.towardSun) : 0.0;
    wanted[k] = facing[k] > 0.0;
  }
  scene.Occluded16(packet.shadowOrigins, directions, unbounded, wanted, blocked);
  for (int k = 0; k < kLanes; ++k)
    if (wanted[k] && !blocked[k]) packet.light[k] += sun.irradiance * facing[k];
}

// The lamp's light on every lit hit it reaches, its shadow rays traced as one packet.
void AddLamp(const SceneAccel& scene, const Lamp& lamp, const Hit* hits, PacketLight& packet) {
  LampReach reach[kLanes];
  Vector directions[kLanes];
  Float distances[kLanes];
  bool wanted[kLanes];
  bool blocked[kLanes];
  for (int k = 0; k < kLanes; ++k) {
    if (packet.lit[k]) reach[k] = ReachOfLamp(lamp, hits[k], packet.shadowOrigins[k]);
    directions[k] = reach[k].direction;
    distances[k] = reach[k].distance;
    wanted[k] = reach[k].reaches;
  }
  scene.Occluded16(packet.shadowOrigins, directions, distances, wanted, blocked);
  for (int k = 0; k < kLanes; ++k)
    if (packet.lit[k]) packet.light[k] += wanted[k] && !blocked[k] ? reach[k].light : Vector();
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
    const Float outer =
        std::clamp(data.GetFloat(LIGHT_SPOT_OUTER, std::numbers::pi / 4.0), 1e-3, std::numbers::pi / 2.0);
    lamp.cosOuter = std::cos(outer);
    lamp.cosInner = std::max(std::cos(std::clamp(data.GetFloat(LIGHT_SPOT_INNER, 0.0), 0.0, outer)),
                             lamp.cosOuter + 1e-6);
    lamps.push_back(lamp);
  });
  return lamps;
}

void ShadePacket(const SceneAccel& scene, const Lighting& lighting, const Vector* directions,
                 const bool* traced, const Hit* hits, const bool* found, Vector* colours) {
  PacketLight packet;
  // Neighbouring hits on one flat face share their normal and so their sky light: asked once per run.
  int lastAsked = -1;
  for (int k = 0; k < kLanes; ++k) {
    packet.lit[k] = traced[k] && found[k];
    if (!packet.lit[k]) continue;
    if (lastAsked >= 0 && SameBits(hits[k].normal, hits[lastAsked].normal)) {
      packet.light[k] = packet.light[lastAsked];
    } else {
      packet.light[k] = lighting.environment.Irradiance(hits[k].normal);
      lastAsked = k;
    }
    packet.shadowOrigins[k] = OffsetFromSurface(hits[k]);
  }
  for (const Sun& sun : lighting.suns) AddSun(scene, sun, hits, packet);
  for (const Lamp& lamp : lighting.lamps) AddLamp(scene, lamp, hits, packet);
  for (int k = 0; k < kLanes; ++k) {
    if (!traced[k]) continue;
    colours[k] = packet.lit[k] ? Multiply(Albedo(hits[k]), packet.light[k]) * (1.0 / std::numbers::pi)
                               : Background(lighting, directions[k]);
  }
}
