#pragma once

#include "c4d.h"

#include <array>
#include <optional>
#include <string>

// The one place where glTF's world meets the host's.
//
// glTF: right-handed, +Y up, a camera looks along its local -Z, lights shine along their local -Z,
// lengths in metres. The host: left-handed, +Y up, a camera looks along its local +Z, the sun
// shines along its local +Z, lengths in scene units of one centimetre (the demo scene's objects
// are hundreds of units across).
//
// Mirroring Z (S = diag(1, 1, -1)) turns one handedness into the other. A point maps to
// S * p * kSceneUnitsPerMetre; a glTF matrix M maps to S * M * S with its translation scaled. The
// conjugation maps local axes as well: a glTF camera's -Z becomes the host camera's +Z, so
// cameras and lights keep looking and shining where they did.
namespace gltf_convention {

inline constexpr Float kSceneUnitsPerMetre = 100.0;

// A position (or translation) in glTF metres to host scene units.
Vector Point(const std::array<double, 3>& p);
// A direction or normal (unit length stays unit length).
Vector Direction(const std::array<double, 3>& d);
// A column-major glTF 4x4 node matrix to the host's local matrix.
Matrix NodeMatrix(const std::array<double, 16>& m);
// glTF translation, rotation (quaternion x, y, z, w; unit length) and scale to the host's local
// matrix.
Matrix NodeMatrix(const std::array<double, 3>& translation, const std::array<double, 4>& rotation,
                  const std::array<double, 3>& scale);

// How a scene's light intensities are read.
enum class LightUnits {
  // As KHR_lights_punctual defines them: directional lights in lux, point and spot lights in candela.
  Photometric,
  // Intensity 1 lights a surface facing the light (one metre away) to its base colour; the
  // convention of scenes made for this tool before it read photometric units.
  Unitless,
};

// The units by name ("photometric", "unitless"), and the name of each.
std::optional<LightUnits> LightUnitsNamed(const std::string& name);
const char* LightUnitsName(LightUnits units);

// Lumens per watt of light at 555 nm, the peak of the eye's sensitivity: the calibration from
// photometric units to the renderer's pixel values. A pixel value is radiance in watts per square
// metre and steradian, as a path tracer that takes light strengths in watts writes it: a surface of
// albedo r facing E lux shows r * E / (683 * pi), the value a scene exported with lights of E / 683
// watts per square metre renders at there.
inline constexpr Float kLumensPerWatt = 683.0;

// glTF light intensities to the host's irradiance on a surface facing the light (for point and spot
// lights one scene unit away).
Float DirectionalIrradiance(Float intensity, LightUnits units);
Float PointIntensity(Float intensity, LightUnits units);

// The host camera's focal length (millimetres) for a film width of `filmWidth` millimetres that
// shows glTF's vertical field of view `yfov` (radians) at `aspect` (width / height).
Float FocalLength(Float yfov, Float aspect, Float filmWidth);

}  // namespace gltf_convention
