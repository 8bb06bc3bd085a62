#include "demo_scene.h"

#include <numbers>
#include "runtime/object_params.h"

#include <cmath>

namespace {

BaseObject* Add(BaseDocument* doc, Int32 type, const char* name, const Vector& position,
                const Vector& colour) {
  BaseObject* object = BaseObject::Alloc(type);
  if (!object) return nullptr;
  object->SetName(name);
  Matrix placement;
  placement.offset = position;
  object->SetMl(placement);
  object->GetDataInstance()->SetVector(OBJECT_COLOR, colour);
  doc->InsertObject(object, nullptr);
  return object;
}

void AddBox(BaseDocument* doc, const char* name, const Vector& position, const Vector& size,
            const Vector& colour) {
  if (BaseObject* box = Add(doc, Ocube, name, position, colour))
    box->GetDataInstance()->SetVector(PRIM_CUBE_LEN, size);
}

void AddSphere(BaseDocument* doc, const char* name, const Vector& position, Float radius,
               const Vector& colour) {
  if (BaseObject* sphere = Add(doc, Osphere, name, position, colour))
    sphere->GetDataInstance()->SetFloat(PRIM_SPHERE_RAD, radius);
}

void AddCylinder(BaseDocument* doc, const char* name, const Vector& position, Float radius, Float height,
                 const Vector& colour) {
  if (BaseObject* cylinder = Add(doc, Ocylinder, name, position, colour)) {
    cylinder->GetDataInstance()->SetFloat(PRIM_CYLINDER_RADIUS, radius);
    cylinder->GetDataInstance()->SetFloat(PRIM_CYLINDER_HEIGHT, height);
  }
}

void AddFloor(BaseDocument* doc) {
  BaseObject* floor = Add(doc, Oplane, "Floor", Vector(), Vector(0.5, 0.48, 0.45));
  if (!floor) return;
  BaseContainer& data = *floor->GetDataInstance();
  data.SetFloat(PRIM_PLANE_WIDTH, 24000.0);
  data.SetFloat(PRIM_PLANE_HEIGHT, 24000.0);
  data.SetFloat(OBJECT_GRID_SPACING, 100.0);
  data.SetVector(OBJECT_GRID_COLOR, Vector(0.2, 0.2, 0.22));
}

// One landmark per direction, each with its own colour and shape.
void AddLandmarks(BaseDocument* doc) {
  AddBox(doc, "Front red box", Vector(0.0, 300.0, 900.0), Vector(400.0, 600.0, 200.0),
         Vector(0.8, 0.1, 0.08));
  AddCylinder(doc, "Right green cylinder", Vector(900.0, 300.0, 0.0), 160.0, 600.0, Vector(0.1, 0.65, 0.15));
  AddSphere(doc, "Back blue sphere", Vector(0.0, 320.0, -900.0), 320.0, Vector(0.1, 0.25, 0.85));
  AddBox(doc, "Left yellow pillar", Vector(-900.0, 400.0, 0.0), Vector(120.0, 800.0, 120.0),
         Vector(0.9, 0.75, 0.1));
  AddSphere(doc, "Up magenta ball", Vector(0.0, 900.0, 0.0), 90.0, Vector(0.8, 0.1, 0.7));
  AddCylinder(doc, "Down cyan disc", Vector(0.0, 1.0, 0.0), 15.0, 2.0, Vector(0.1, 0.7, 0.8));
}

// Close objects, whose depth a stereo pair shows strongly, and a ring of far towers.
void AddNearAndFar(BaseDocument* doc) {
  AddSphere(doc, "Near white ball", Vector(120.0, 50.0, 220.0), 30.0, Vector(0.9, 0.9, 0.9));
  AddBox(doc, "Near orange crate", Vector(-160.0, 25.0, 180.0), Vector(50.0, 50.0, 50.0),
         Vector(0.95, 0.45, 0.1));
  AddCylinder(doc, "Near grey post", Vector(200.0, 100.0, -150.0), 12.0, 200.0, Vector(0.5, 0.5, 0.5));
  for (int i = 0; i < 12; ++i) {
    const Float angle = (2.0 * std::numbers::pi) * (i + 0.5) / 12.0;
    const Float height = 900.0 + 500.0 * (i % 3);
    const Vector position(5000.0 * std::sin(angle), height * 0.5, 5000.0 * std::cos(angle));
    AddBox(doc, "Far tower", position, Vector(300.0, height, 300.0), Vector(0.55, 0.52, 0.6));
  }
}

void AddSun(BaseDocument* doc) {
  BaseObject* sun = BaseObject::Alloc(Olight);
  if (!sun) return;
  sun->SetName("Sun");
  // Shines from high up at the front right, so shadows fall to the back left.
  sun->SetRelRot(Vector(std::numbers::pi * 0.8, -std::numbers::pi * 0.3, 0.0));
  sun->GetDataInstance()->SetFloat(LIGHT_BRIGHTNESS, 2.2);
  sun->GetDataInstance()->SetVector(LIGHT_COLOR, Vector(1.0, 0.95, 0.88));
  doc->InsertObject(sun, nullptr);
}

}  // namespace

void BuildDemoScene(BaseDocument* doc) {
  if (!doc) return;
  AddSun(doc);
  AddNearAndFar(doc);
  AddLandmarks(doc);
  AddFloor(doc);
}
