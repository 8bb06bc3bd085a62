#include "scene_tree.h"

#include "module_reading/module_nodes.h"

#include <numbers>
#include "module_reading/module_parameters.h"
#include "runtime/description_record.h"
#include "runtime/object_params.h"
#include "runtime/undo_history.h"

#include <cstdarg>
#include <cstdio>

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[256];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(buffer, sizeof buffer, format, arguments);
  va_end(arguments);
  return buffer;
}

std::string VectorText(const Vector& v) { return Format("(%.9g, %.9g, %.9g)", v.x, v.y, v.z); }
std::string Quoted(const BaseList2D& node) { return "\"" + node.GetName().GetStdString() + "\""; }
std::string Indent(int depth) { return std::string(2 * depth, ' '); }

std::string ValueText(const GeData& value) {
  switch (value.GetType()) {
    case DA_LONG:
      return std::to_string(value.GetInt32());
    case DA_REAL:
      return Format("%.9g", value.GetFloat());
    case DA_VECTOR:
      return VectorText(value.GetVector());
    case DA_STRING:
      return "\"" + value.GetString().GetStdString() + "\"";
    case DA_ALIASLINK: {
      const BaseList2D* node = value.GetLink();
      return node ? "link " + Quoted(*node) : "no link";
    }
    default:
      return Format("(value of type %d)", value.GetType());
  }
}

const char* ObjectKind(Int32 type) {
  switch (type) {
    case Ocamera:
      return "Camera";
    case Onull:
      return "Null";
    case Olight:
      return "Light";
    case Ocube:
      return "Cube";
    case Osphere:
      return "Sphere";
    case Oplane:
      return "Plane";
    case Ocylinder:
      return "Cylinder";
    default:
      return "Object";
  }
}

// The camera tag's stereo switch is the render settings' one (printed with them); the tag's
// container holds only the value its Init wrote.
bool KeptElsewhere(const BaseList2D& node, const DescriptionElement* element) {
  return element && element->symbol == tag_parameter::kStereo && node.GetType() == CameraTagType();
}

// Every value of the node's container, named by its description when it has one.
void AppendValues(const BaseList2D& node, int depth, std::string& out) {
  Description description;
  const bool named = description.LoadDescription(node.GetType());
  const BaseContainer& data = *node.GetDataInstance();
  for (Int32 index = 0; index < data.GetCount(); ++index) {
    const Int32 id = data.GetIndexId(index);
    const DescriptionElement* element = named ? description.GetRecord().Find(id) : nullptr;
    if (KeptElsewhere(node, element)) continue;
    const std::string name = element && !element->symbol.empty() ? " " + element->symbol : "";
    out += Indent(depth) + std::to_string(id) + name + " = " + ValueText(data.GetData(id)) + "\n";
  }
}

std::string CameraText(const BaseObject& camera) {
  const BaseContainer& data = *camera.GetDataInstance();
  const GeData& flag = data.GetData(CAMERAOBJECT_SHOW_IN_EDITOR);
  return Format(", focal length %.9g mm, parameter 1007 = %s", data.GetFloat(CAMERAOBJECT_FOCUS, 36.0),
                flag.IsNil() ? "unset" : ValueText(flag).c_str());
}

void AppendObjects(const BaseObject* object, int depth, std::string& out) {
  for (; object; object = object->GetNext()) {
    const Vector degrees = object->GetRelRot() * (180.0 / std::numbers::pi);
    out += Indent(depth) + ObjectKind(object->GetType()) + " " + Quoted(*object) + ": position " +
           VectorText(object->GetRelPos()) + ", rotation " +
           Format("(%.6g, %.6g, %.6g)", degrees.x, degrees.y, degrees.z) + " deg" +
           (object->GetType() == Ocamera ? CameraText(*object) : "") + "\n";
    for (const BaseTag* tag = object->GetFirstTag(); tag; tag = tag->GetNext()) {
      out +=
          Indent(depth + 1) + "tag " + Quoted(*tag) + (tag->GetBit(BIT_ACTIVE) ? " [selected]" : "") + "\n";
      AppendValues(*tag, depth + 2, out);
    }
    AppendObjects(object->GetDown(), depth + 1, out);
  }
}

void AppendRenderSettings(const BaseDocument& doc, std::string& out) {
  for (const RenderData* settings = doc.GetFirstRenderData(); settings; settings = settings->GetNext()) {
    out += "  render settings " + Quoted(*settings) +
           (settings == doc.GetActiveRenderData() ? " [active]" : "") + ", stereo " +
           (settings->GetDataInstance()->GetBool(RDATA_STEREO) ? "on" : "off") + "\n";
    for (const BaseVideoPost* post = settings->GetFirstVideoPost(); post; post = post->GetNext()) {
      const std::string mask = post->GetType() == EffectType()
                                   ? ", mask mode " + std::to_string(post->GetDataInstance()->GetInt32(
                                                          EffectParameter(effect_parameter::kMaskMode)))
                                   : "";
      out += "    video post " + Quoted(*post) + mask + "\n";
    }
  }
}

void AppendSteps(const char* title, const std::vector<UndoStep>& steps, std::string& out) {
  out += Format("  %s: %zu\n", title, steps.size());
  for (size_t i = 0; i < steps.size(); ++i) out += Format("    %zu: ", i + 1) + DescribeStep(steps[i]) + "\n";
}

}  // namespace

std::string SceneTree(const BaseDocument& doc) {
  std::string out = "objects\n";
  AppendObjects(doc.GetFirstObject(), 1, out);
  const BaseTag* active = doc.GetActiveTag();
  const BaseObject* owner = active ? active->GetObject() : nullptr;
  out += "  active tag: " +
         (active ? Quoted(*active) + (owner ? " on " + Quoted(*owner) : " (not on an object)") : "none") +
         "\n";
  AppendRenderSettings(doc, out);
  AppendSteps("undo steps", HistoryOf(doc).UndoSteps(), out);
  AppendSteps("redo steps", HistoryOf(doc).RedoSteps(), out);
  return out;
}
