#include "paint/view_pass.h"

#include "base/memory_budget.h"
#include "paint/raster3d.h"
#include "render/primitive_mesh.h"
#include "render/scene_accel.h"
#include "render/scene_walk.h"
#include "runtime/node_record.h"
#include "runtime/object_params.h"
#include "runtime/polygon_mesh.h"

#include <cmath>

namespace {

// The view's background and the light of its flat shading (display-encoded grey; a world direction).
constexpr Float32 kBackground = 0.22f;
const Vector kLight = Vector(0.35, 0.85, -0.4).GetNormalized();

// The BaseDrawHelp the host hands with each Draw: the document and the drawn object's matrix.
struct HostDrawHelp : BaseDrawHelp {
  BaseDocument* doc = nullptr;
  Matrix mg;
};

ViewState& StateOf(BaseDraw* view) { return *view->GetRecord().view; }

bool IsFinite(const Matrix& m) {
  for (const Vector& v : {m.offset, m.axisX, m.axisY, m.axisZ})
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return false;
  return true;
}

void FillBackground(const paint::Surface& surface) {
  const Float32 grey = paint::DisplayToLinear(kBackground);
  paint::Painter painter(surface);
  painter.SetPen({grey, grey, grey, 1.0f});
  painter.FillRect(surface.Bounds());
}

// The object's colour as the renderer shades it (linear).
Vector ColourOf(const BaseObject& object) {
  if (const auto polygons = GetPolygonMesh(object)) return polygons->colour;
  return object.GetDataInstance()->GetVector(OBJECT_COLOR, Vector(0.8));
}

// Every rendered object's triangles, one flat colour each, lit from one side and from the viewer.
void DrawObjects(BaseDocument* doc, paint::Raster3D& raster) {
  ForEachRenderedObject(doc, [&raster](BaseObject& object) {
    TriangleMesh mesh;
    if (!MeshOfObject(object, mesh)) return;
    TransformMesh(mesh, object.GetMg());
    const Vector colour = ColourOf(object);
    const paint::RasterStyle style;
    for (const auto& triangle : mesh.triangles) {
      paint::RasterVertex corners[3];
      for (int i = 0; i < 3; ++i) {
        const auto& p = mesh.positions[triangle[i]];
        corners[i].position = Vector(p[0], p[1], p[2]);
      }
      Vector normal =
          Cross(corners[1].position - corners[0].position, corners[2].position - corners[0].position)
              .GetNormalized();
      if (Dot(normal, raster.Projection().ViewDirection(corners[0].position)) > 0.0) normal = -normal;
      const Float shade = 0.35 + 0.65 * std::max(0.0, Dot(normal, kLight));
      const paint::Colour flat{static_cast<Float32>(colour.x * shade), static_cast<Float32>(colour.y * shade),
                               static_cast<Float32>(colour.z * shade), 1.0f};
      for (paint::RasterVertex& corner : corners) corner.colour = flat;
      raster.Triangle(corners, style);
    }
  });
}

void DrawTags(BaseObject* object, BaseDocument* doc, BaseDraw* view, std::vector<std::string>* log) {
  for (; object; object = object->GetNext()) {
    for (BaseTag* tag = object->GetFirstTag(); tag; tag = tag->GetNext()) {
      auto* data = tag->GetNodeData<TagData>();
      if (!data) continue;
      if (log)
        log->push_back("Draw \"" + tag->GetName().GetStdString() + "\" on \"" +
                       object->GetName().GetStdString() + "\"");
      HostDrawHelp help;
      help.doc = doc;
      help.mg = object->GetMg();
      data->Draw(tag, object, view, &help);
    }
    DrawTags(object->GetDown(), doc, view, log);
  }
}

}  // namespace

BaseDocument* BaseDrawHelp::GetDocument() const { return static_cast<const HostDrawHelp*>(this)->doc; }
Matrix BaseDrawHelp::GetMg() const { return static_cast<const HostDrawHelp*>(this)->mg; }

namespace view_pass {

void SetViewSize(BaseDraw* view, Int32 width, Int32 height) {
  StateOf(view).width = width;
  StateOf(view).height = height;
}

void SetEditorCamera(BaseDraw* view, const Matrix& placement, Float horizontalFov) {
  StateOf(view).editorCamera.matrix = placement;
  StateOf(view).editorCamera.horizontalFov = horizontalFov;
}

bool LookAt(const Vector& from, const Vector& target, Matrix& placement) {
  const Vector forward = (target - from).GetNormalized();
  if (!std::isfinite(forward.x + forward.y + forward.z) || forward == Vector()) return false;
  Vector right = Cross(Vector(0.0, 1.0, 0.0), forward).GetNormalized();
  if (right.GetSquaredLength() < 0.5) right = Cross(Vector(0.0, 0.0, 1.0), forward).GetNormalized();
  placement = Matrix(from, right, Cross(forward, right), forward);
  return true;
}

paint::ViewCamera CameraOf(BaseDraw* view) {
  const ViewState& state = StateOf(view);
  paint::ViewCamera camera = state.editorCamera;
  if (const BaseObject* linked = view->GetSceneCamera(nullptr)) {
    const BaseContainer& data = *linked->GetDataInstance();
    const Float focus = data.GetFloat(CAMERAOBJECT_FOCUS, 36.0);
    const Float aperture = data.GetFloat(CAMERAOBJECT_APERTURE, 36.0);
    camera.matrix = linked->GetMg();
    camera.horizontalFov = 2.0 * std::atan(aperture * 0.5 / (focus > 0.0 ? focus : 36.0));
  }
  camera.width = state.width;
  camera.height = state.height;
  return camera;
}

bool Redraw(BaseDocument* doc, FloatImage& image, std::vector<std::string>* log, std::string& error) {
  BaseDraw* view = doc ? doc->GetActiveBaseDraw() : nullptr;
  if (!view) {
    error = "the document has no view";
    return false;
  }
  const paint::ViewCamera camera = CameraOf(view);
  // Colour and depth: four floats and one more per pixel.
  const double bytes =
      double(camera.width) * double(camera.height) * (FloatImage::kChannels + 1) * sizeof(Float32);
  if (camera.width <= 0 || camera.height <= 0 || !memory_budget::Fits(bytes)) {
    error = "a view of " + std::to_string(camera.width) + " x " + std::to_string(camera.height) +
            " pixels cannot be drawn (" + memory_budget::FormatBytes(bytes) + " needed)";
    return false;
  }
  if (!IsFinite(camera.matrix)) {
    error = "the view's camera has no finite position and orientation";
    return false;
  }
  paint::Raster3D raster;
  if (!image.Allocate(camera.width, camera.height) ||
      !raster.Begin({camera.width, camera.height, image.rgba.data(), paint::Encoding::Linear}, camera)) {
    error = "not enough memory for a view of " + std::to_string(camera.width) + " x " +
            std::to_string(camera.height);
    return false;
  }
  const paint::Surface surface{camera.width, camera.height, image.rgba.data(), paint::Encoding::Linear};
  FillBackground(surface);
  DrawObjects(doc, raster);

  ViewCanvas& canvas = StateOf(view).canvas;
  canvas = ViewCanvas();
  canvas.target = surface;
  canvas.raster = &raster;
  canvas.log = log;
  DrawTags(doc->GetFirstObject(), doc, view, log);
  canvas = ViewCanvas();
  return true;
}

}  // namespace view_pass
