#pragma once

#include "c4d.h"
#include "primitive_mesh.h"
#include "runtime/polygon_mesh.h"
#include "runtime/surface_material.h"

#include <embree3/rtcore.h>

#include <cmath>
#include <string>
#include <vector>

// How one object's surface looks; indexed by its Embree geometry ID. A surface with a material (a
// glTF mesh) is shaded by it; one without (the host's own objects) is matte in its colour, crossed by
// its grid lines.
struct Surface {
  Vector colour;
  Float gridSpacing = 0.0;  // 0: no grid lines
  Vector gridColour;
  Matrix worldToLocal;                          // grid lines follow the object's own axes
  std::vector<std::array<Float32, 3>> normals;  // empty: the triangles' own (flat) normals
  std::vector<std::array<UInt32, 3>> triangles;
  std::vector<std::array<Float32, 2>> uvs;  // per point, texture coordinate sets 0 and 1
  std::vector<std::array<Float32, 2>> uvs1;
  std::vector<std::array<Float32, 4>> colours;    // per point; empty: white
  std::vector<std::array<Float32, 3>> positions;  // in the world, for surfaces with a material
  std::shared_ptr<const SurfaceMaterial> material;
};

// The nearest surface along a ray.
struct Hit {
  Float distance = 0.0;
  Vector position;
  Vector normal;  // smooth, unit length, facing the ray
  const Surface* surface = nullptr;
  UInt32 triangle = 0;  // which triangle of the surface, and where on it (barycentric)
  Float u = 0.0;
  Float v = 0.0;
};

// Coordinates beyond this leave single-precision tracing no precision, and Embree refuses (by an
// assertion that aborts the process) anything near 1.8e18.
constexpr Float kMaxTraceCoordinate = 1e15;

// The document's geometry as an Embree scene; safe to trace from many threads once built.
class SceneAccel {
 public:
  SceneAccel() = default;
  ~SceneAccel();
  SceneAccel(const SceneAccel&) = delete;
  SceneAccel& operator=(const SceneAccel&) = delete;

  // Triangulates every rendered primitive and polygon object of the document, replacing what an
  // earlier build made; false with `error` when Embree fails.
  bool Build(BaseDocument* doc, std::string& error);

  // Whether a ray can be handed to the tracer: finite, a direction that is not zero, and no
  // coordinate beyond kMaxTraceCoordinate. Any other ray hits nothing.
  // Inline: asked of every ray and shadow ray.
  static bool CanTrace(const Vector& origin, const Vector& direction) {
    const auto inRange = [](const Vector& v) {  // false for NaN
      return std::fabs(v.x) <= kMaxTraceCoordinate && std::fabs(v.y) <= kMaxTraceCoordinate &&
             std::fabs(v.z) <= kMaxTraceCoordinate;
    };
    return inRange(origin) && inRange(direction) && direction.GetSquaredLength() > 0.0;
  }

  // `direction` must be unit length.
  bool Intersect(const Vector& origin, const Vector& direction, Hit& hit) const;
  bool Occluded(const Vector& origin, const Vector& direction, Float maxDistance) const;

  // Up to kPacketSize rays traced together (one Embree packet): ray k is traced when `active[k]`,
  // which the caller sets only for rays CanTrace accepts, with unit directions; `found[k]` tells
  // whether `hits[k]` holds its nearest surface. Same hits as Intersect ray by ray.
  static constexpr int kPacketSize = 16;
  void Intersect16(const Vector* origins, const Vector* directions, const bool* active, Hit* hits,
                   bool* found) const;

  // Up to kPacketSize shadow rays traced together: `blocked[k]` tells whether ray k, traced when
  // `active[k]`, meets a surface within `maxDistances[k]`. Same answers as Occluded ray by ray.
  void Occluded16(const Vector* origins, const Vector* directions, const Float* maxDistances,
                  const bool* active, bool* blocked) const;

  size_t SurfaceCount() const { return surfaces_.size(); }
  const Surface& SurfaceAt(UInt32 id) const { return surfaces_[id]; }
  // Whether any surface reads a texture, so that rays need to know the footprint of their pixel.
  bool NeedsFootprints() const { return needsFootprints_; }

 private:
  void Add(TriangleMesh mesh, const BaseObject& object);
  // Fills `hit` from Embree's answer for a ray that hit geometry `geometry`.
  void DescribeHit(const Vector& origin, const Vector& direction, UInt32 geometry, UInt32 primitive,
                   Float distance, Float u, Float v, const Vector& geometricNormal, Hit& hit) const;

  RTCDevice device_ = nullptr;
  RTCScene scene_ = nullptr;
  std::vector<Surface> surfaces_;
  bool needsFootprints_ = false;
};

// The mesh of a built-in primitive or polygon object in its own object space; false for objects
// without geometry.
bool MeshOfObject(const BaseObject& object, TriangleMesh& mesh);
