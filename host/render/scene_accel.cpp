#include "scene_accel.h"

#include "c4d_tools.h"
#include "runtime/object_params.h"
#include "scene_walk.h"
#include "surface_filter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

RTCRay MakeRay(const Vector& origin, const Vector& direction, Float maxDistance) {
  RTCRay ray{};
  ray.org_x = static_cast<float>(origin.x);
  ray.org_y = static_cast<float>(origin.y);
  ray.org_z = static_cast<float>(origin.z);
  ray.dir_x = static_cast<float>(direction.x);
  ray.dir_y = static_cast<float>(direction.y);
  ray.dir_z = static_cast<float>(direction.z);
  ray.tnear = 0.0f;
  ray.tfar = static_cast<float>(maxDistance);
  ray.mask = ~0u;
  return ray;
}

// Lane k of a packet of rays: the ray MakeRay makes, spread over the packet's arrays.
void SetPacketLane(RTCRay16& packet, int k, const Vector& origin, const Vector& direction,
                   Float maxDistance) {
  const RTCRay ray = MakeRay(origin, direction, maxDistance);
  packet.org_x[k] = ray.org_x;
  packet.org_y[k] = ray.org_y;
  packet.org_z[k] = ray.org_z;
  packet.dir_x[k] = ray.dir_x;
  packet.dir_y[k] = ray.dir_y;
  packet.dir_z[k] = ray.dir_z;
  packet.tnear[k] = ray.tnear;
  packet.tfar[k] = ray.tfar;
  packet.time[k] = 0.0f;
  packet.mask[k] = ray.mask;
  packet.id[k] = 0;
  packet.flags[k] = 0;
}

Vector SurfaceNormal(const Surface& surface, UInt32 primitive, Float u, Float v,
                     const Vector& geometricNormal) {
  if (surface.normals.empty()) return geometricNormal.GetNormalized();
  const auto& triangle = surface.triangles[primitive];
  const auto corner = [&surface](UInt32 index) {
    const auto& n = surface.normals[index];
    return Vector(n[0], n[1], n[2]);
  };
  return (corner(triangle[0]) * (1.0 - u - v) + corner(triangle[1]) * u + corner(triangle[2]) * v)
      .GetNormalized();
}

bool PolygonTriangles(const BaseObject& object, TriangleMesh& mesh) {
  const std::shared_ptr<const PolygonMesh> polygons = GetPolygonMesh(object);
  if (!polygons || polygons->triangles.empty()) return false;
  mesh.positions = polygons->points;
  mesh.normals = polygons->normals;
  mesh.triangles = polygons->triangles;
  return true;
}

}  // namespace

bool MeshOfObject(const BaseObject& object, TriangleMesh& mesh) {
  const BaseContainer& data = *object.GetDataInstance();
  switch (object.GetType()) {
    case Ocube:
      mesh = MakeBox(data.GetVector(PRIM_CUBE_LEN, Vector(200.0)));
      return true;
    case Osphere:
      mesh = MakeSphere(data.GetFloat(PRIM_SPHERE_RAD, 100.0));
      return true;
    case Oplane:
      mesh = MakePlane(data.GetFloat(PRIM_PLANE_WIDTH, 400.0), data.GetFloat(PRIM_PLANE_HEIGHT, 400.0));
      return true;
    case Ocylinder:
      mesh =
          MakeCylinder(data.GetFloat(PRIM_CYLINDER_RADIUS, 50.0), data.GetFloat(PRIM_CYLINDER_HEIGHT, 200.0));
      return true;
    case Opolygon:
      return PolygonTriangles(object, mesh);
    default:
      return false;
  }
}

SceneAccel::~SceneAccel() {
  if (scene_) rtcReleaseScene(scene_);
  if (device_) rtcReleaseDevice(device_);
}

bool SceneAccel::Build(BaseDocument* doc, std::string& error) {
  if (scene_) rtcReleaseScene(scene_);
  if (device_) rtcReleaseDevice(device_);
  scene_ = nullptr;
  surfaces_.clear();
  needsFootprints_ = false;
  device_ = rtcNewDevice(nullptr);
  if (!device_) {
    error = "the ray tracer (Embree) could not start: error " + std::to_string(rtcGetDeviceError(nullptr));
    return false;
  }
  scene_ = rtcNewScene(device_);
  ForEachRenderedObject(doc, [this](BaseObject& object) {
    TriangleMesh mesh;
    if (MeshOfObject(object, mesh)) Add(std::move(mesh), object);
  });
  rtcCommitScene(scene_);
  if (const RTCError code = rtcGetDeviceError(device_); code != RTC_ERROR_NONE) {
    error = "the ray tracer (Embree) could not build the scene: error " + std::to_string(code);
    return false;
  }
  return true;
}

void SceneAccel::Add(TriangleMesh mesh, const BaseObject& object) {
  const Matrix world = object.GetMg();
  TransformMesh(mesh, world);
  RTCGeometry geometry = rtcNewGeometry(device_, RTC_GEOMETRY_TYPE_TRIANGLE);
  void* vertices = rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                                           sizeof(mesh.positions[0]), mesh.positions.size());
  void* indices = rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                                          sizeof(mesh.triangles[0]), mesh.triangles.size());
  if (vertices && indices) {
    std::memcpy(vertices, mesh.positions.data(), mesh.positions.size() * sizeof(mesh.positions[0]));
    std::memcpy(indices, mesh.triangles.data(), mesh.triangles.size() * sizeof(mesh.triangles[0]));
  }
  const BaseContainer& data = *object.GetDataInstance();
  Surface surface;
  surface.colour = data.GetVector(OBJECT_COLOR, Vector(0.8));
  surface.gridSpacing = data.GetFloat(OBJECT_GRID_SPACING, 0.0);
  surface.gridColour = data.GetVector(OBJECT_GRID_COLOR, Vector(0.1));
  surface.worldToLocal = Inverse(world);
  if (object.GetType() == Opolygon) {
    const std::shared_ptr<const PolygonMesh> polygons = GetPolygonMesh(object);
    surface.colour = polygons->colour;
    surface.uvs = polygons->uvs;
    surface.uvs1 = polygons->uvs1;
    surface.colours = polygons->colours;
    surface.material = polygons->material;
    if (surface.material) surface.positions = mesh.positions;
    if (const SurfaceMaterial* m = surface.material.get())
      needsFootprints_ = needsFootprints_ || m->baseColourTexture || m->metallicRoughnessTexture ||
                         m->emissiveTexture || m->normalTexture || m->occlusionTexture;
  }
  if (NeedsSurfaceFilter(surface)) {
    rtcSetGeometryUserData(geometry, this);
    AttachSurfaceFilters(geometry);
  }
  rtcCommitGeometry(geometry);
  rtcAttachGeometryByID(scene_, geometry, static_cast<unsigned>(surfaces_.size()));
  rtcReleaseGeometry(geometry);
  surface.normals = std::move(mesh.normals);
  surface.triangles = std::move(mesh.triangles);
  surfaces_.push_back(std::move(surface));
}

bool SceneAccel::Intersect(const Vector& origin, const Vector& direction, Hit& hit) const {
  if (surfaces_.empty() || !CanTrace(origin, direction)) return false;
  RTCIntersectContext context;
  rtcInitIntersectContext(&context);
  RTCRayHit query{};
  query.ray = MakeRay(origin, direction, std::numeric_limits<float>::infinity());
  query.hit.geomID = RTC_INVALID_GEOMETRY_ID;
  query.hit.instID[0] = RTC_INVALID_GEOMETRY_ID;
  rtcIntersect1(scene_, &context, &query);
  if (query.hit.geomID == RTC_INVALID_GEOMETRY_ID) return false;
  const RTCHit& h = query.hit;
  DescribeHit(origin, direction, h.geomID, h.primID, query.ray.tfar, h.u, h.v, Vector(h.Ng_x, h.Ng_y, h.Ng_z),
              hit);
  return true;
}

void SceneAccel::Intersect16(const Vector* origins, const Vector* directions, const bool* active, Hit* hits,
                             bool* found) const {
  std::fill(found, found + kPacketSize, false);
  if (surfaces_.empty()) return;
  alignas(64) int valid[kPacketSize];
  alignas(64) RTCRayHit16 packet;
  for (int k = 0; k < kPacketSize; ++k) {
    valid[k] = active[k] ? -1 : 0;
    SetPacketLane(packet.ray, k, active[k] ? origins[k] : Vector(),
                  active[k] ? directions[k] : Vector(0, 0, 1), std::numeric_limits<float>::infinity());
    packet.hit.geomID[k] = RTC_INVALID_GEOMETRY_ID;
    packet.hit.instID[0][k] = RTC_INVALID_GEOMETRY_ID;
  }
  RTCIntersectContext context;
  rtcInitIntersectContext(&context);
  rtcIntersect16(valid, scene_, &context, &packet);
  for (int k = 0; k < kPacketSize; ++k) {
    const UInt32 geometry = packet.hit.geomID[k];
    if (!active[k] || geometry == RTC_INVALID_GEOMETRY_ID) continue;
    const Vector normal(packet.hit.Ng_x[k], packet.hit.Ng_y[k], packet.hit.Ng_z[k]);
    DescribeHit(origins[k], directions[k], geometry, packet.hit.primID[k], packet.ray.tfar[k],
                packet.hit.u[k], packet.hit.v[k], normal, hits[k]);
    found[k] = true;
  }
}

void SceneAccel::DescribeHit(const Vector& origin, const Vector& direction, UInt32 geometry, UInt32 primitive,
                             Float distance, Float u, Float v, const Vector& geometricNormal,
                             Hit& hit) const {
  const Surface& surface = surfaces_[geometry];
  hit.distance = distance;
  hit.position = origin + direction * hit.distance;
  hit.normal = SurfaceNormal(surface, primitive, u, v, geometricNormal);
  if (Dot(hit.normal, direction) > 0.0) hit.normal = -hit.normal;
  hit.surface = &surface;
  hit.triangle = primitive;
  hit.u = u;
  hit.v = v;
}

bool SceneAccel::Occluded(const Vector& origin, const Vector& direction, Float maxDistance) const {
  if (surfaces_.empty() || !CanTrace(origin, direction) || !(maxDistance >= 0.0)) return false;
  RTCIntersectContext context;
  rtcInitIntersectContext(&context);
  RTCRay ray = MakeRay(origin, direction, maxDistance);
  rtcOccluded1(scene_, &context, &ray);
  return ray.tfar < 0.0f;
}

void SceneAccel::Occluded16(const Vector* origins, const Vector* directions, const Float* maxDistances,
                            const bool* active, bool* blocked) const {
  std::fill(blocked, blocked + kPacketSize, false);
  if (surfaces_.empty()) return;
  alignas(64) int valid[kPacketSize];
  alignas(64) RTCRay16 packet;
  bool any = false;
  for (int k = 0; k < kPacketSize; ++k) {
    // The rays Occluded would refuse stay out of the packet and count as unblocked, as they do there.
    const bool traced = active[k] && CanTrace(origins[k], directions[k]) && maxDistances[k] >= 0.0;
    valid[k] = traced ? -1 : 0;
    any = any || traced;
    SetPacketLane(packet, k, traced ? origins[k] : Vector(), traced ? directions[k] : Vector(0, 0, 1),
                  traced ? maxDistances[k] : 0.0);
  }
  if (!any) return;
  RTCIntersectContext context;
  rtcInitIntersectContext(&context);
  rtcOccluded16(valid, scene_, &context, &packet);
  for (int k = 0; k < kPacketSize; ++k) blocked[k] = valid[k] != 0 && packet.tfar[k] < 0.0f;
}
