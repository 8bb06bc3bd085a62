#include "surface_filter.h"

#include "surface_shading.h"

#include <cstdint>
#include <cstring>

namespace {

using AlphaMode = SurfaceMaterial::AlphaMode;

// A number in [0, 1) decided by the ray and the triangle alone, so that a transparent surface lets
// the same rays through at any thread count.
Float RayNumber(const RTCFilterFunctionNArguments* args, unsigned i, unsigned triangle) {
  const float values[6] = {RTCRayN_org_x(args->ray, args->N, i), RTCRayN_org_y(args->ray, args->N, i),
                           RTCRayN_org_z(args->ray, args->N, i), RTCRayN_dir_x(args->ray, args->N, i),
                           RTCRayN_dir_y(args->ray, args->N, i), RTCRayN_dir_z(args->ray, args->N, i)};
  std::uint64_t hash = 0x9e3779b97f4a7c15ull ^ triangle;
  for (const float value : values) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    hash = (hash ^ bits) * 0xbf58476d1ce4e5b9ull;
    hash ^= hash >> 31;
  }
  return static_cast<Float>(hash >> 11) * 0x1.0p-53;
}

// A back face: the ray arrives on the side the triangle's winding turns away from.
bool SeesBack(const RTCFilterFunctionNArguments* args, unsigned i) {
  const Float facing = RTCHitN_Ng_x(args->hit, args->N, i) * RTCRayN_dir_x(args->ray, args->N, i) +
                       RTCHitN_Ng_y(args->hit, args->N, i) * RTCRayN_dir_y(args->ray, args->N, i) +
                       RTCHitN_Ng_z(args->hit, args->N, i) * RTCRayN_dir_z(args->ray, args->N, i);
  // Mirroring glTF's Z turns its counter-clockwise front faces clockwise, as Embree sees them.
  return facing < 0.0;
}

void Filter(const RTCFilterFunctionNArguments* args, bool cullBackFaces) {
  const auto* scene = static_cast<const SceneAccel*>(args->geometryUserPtr);
  for (unsigned i = 0; i < args->N; ++i) {
    if (args->valid[i] != -1) continue;
    const Surface& surface = scene->SurfaceAt(RTCHitN_geomID(args->hit, args->N, i));
    const SurfaceMaterial& material = *surface.material;
    if (cullBackFaces && !material.doubleSided && SeesBack(args, i)) {
      args->valid[i] = 0;
      continue;
    }
    if (material.alphaMode == AlphaMode::Opaque) continue;
    const unsigned triangle = RTCHitN_primID(args->hit, args->N, i);
    const Float coverage = SurfaceCoverage(surface, triangle, RTCHitN_u(args->hit, args->N, i),
                                           RTCHitN_v(args->hit, args->N, i));
    if (coverage >= 1.0) continue;
    if (coverage <= 0.0 || RayNumber(args, i, triangle) >= coverage) args->valid[i] = 0;
  }
}

void IntersectFilter(const RTCFilterFunctionNArguments* args) { Filter(args, true); }
void OccludedFilter(const RTCFilterFunctionNArguments* args) { Filter(args, false); }

}  // namespace

bool NeedsSurfaceFilter(const Surface& surface) {
  return surface.material &&
         (surface.material->alphaMode != AlphaMode::Opaque || !surface.material->doubleSided);
}

void AttachSurfaceFilters(RTCGeometry geometry) {
  rtcSetGeometryIntersectFilterFunction(geometry, IntersectFilter);
  rtcSetGeometryOccludedFilterFunction(geometry, OccludedFilter);
}
