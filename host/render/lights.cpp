#include "lights.h"

#include "runtime/object_params.h"
#include "scene_walk.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The cone of a spot light as glTF's punctual lights define it: the square of a linear ramp in the
// cosine from the outer angle to the inner one.
Float ConeFalloff(const Lamp& lamp, const Vector& fromLamp) {
  if (!lamp.spot) return 1.0;
  const Float cosine = Dot(fromLamp, lamp.axis);
  const Float ramp = std::clamp((cosine - lamp.cosOuter) / (lamp.cosInner - lamp.cosOuter), 0.0, 1.0);
  return ramp * ramp;
}

// The smooth end of a lamp's light at its range: 1 - (d / range)^4, squared, as glTF's punctual lights
// recommend, so that the light reaches 0 at the range without a visible edge.
Float RangeWindow(const Lamp& lamp, Float distance) {
  if (lamp.range <= 0.0) return 1.0;
  const Float ratio = distance / lamp.range;
  const Float window = std::clamp(1.0 - ratio * ratio * ratio * ratio, 0.0, 1.0);
  return window * window;
}

}  // namespace

Float LampFalloff(const Lamp& lamp, const Vector& fromLamp, Float distance) {
  return ConeFalloff(lamp, fromLamp) * RangeWindow(lamp, distance) / (distance * distance);
}

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
    const Float range = data.GetFloat(LIGHT_RANGE, 0.0);
    lamp.range = std::isfinite(range) && range > 0.0 ? range : 0.0;
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
