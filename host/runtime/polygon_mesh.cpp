#include "polygon_mesh.h"

#include "node_record.h"

namespace {

bool TrianglesInRange(const PolygonMesh& mesh) {
  const size_t count = mesh.points.size();
  for (const auto& triangle : mesh.triangles)
    for (const UInt32 index : triangle)
      if (index >= count) return false;
  return true;
}

}  // namespace

bool SetPolygonMesh(BaseObject& object, std::shared_ptr<const PolygonMesh> mesh) {
  if (object.GetType() != Opolygon || !mesh || !TrianglesInRange(*mesh)) return false;
  if (!mesh->normals.empty() && mesh->normals.size() != mesh->points.size()) return false;
  const auto perPoint = [&mesh](size_t size) { return size == 0 || size == mesh->points.size(); };
  if (!perPoint(mesh->uvs.size()) || !perPoint(mesh->uvs1.size()) || !perPoint(mesh->colours.size()))
    return false;
  object.GetRecord().polygonMesh = std::move(mesh);
  return true;
}

std::shared_ptr<const PolygonMesh> GetPolygonMesh(const BaseObject& object) {
  return object.GetRecord().polygonMesh;
}
