#pragma once

#include "c4d.h"

#include <array>

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

// glTF light intensities to the host's irradiance: a surface facing a light of intensity 1 (lux
// for a directional light; candela at one metre for point and spot lights) shows its base colour
// unchanged, which is what the shading's albedo / pi gives for an irradiance of pi.
Float DirectionalIrradiance(Float lux);
Float PointIntensity(Float candela);  // irradiance at one scene unit

// The host camera's focal length (millimetres) for a film width of `filmWidth` millimetres that
// shows glTF's vertical field of view `yfov` (radians) at `aspect` (width / height).
Float FocalLength(Float yfov, Float aspect, Float filmWidth);

}  // namespace gltf_convention
