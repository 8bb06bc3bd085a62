#include "scene_library.h"

#include "demo_scene.h"
#include "runtime/host_state.h"

namespace scene_library {

BaseDocument* NewDocument() {
  BaseDocument* doc = BaseDocument::Alloc();
  RenderData* renderData = RenderData::Alloc();
  if (!doc || !renderData) {
    BaseDocument::Free(doc);
    RenderData::Free(renderData);
    return nullptr;
  }
  doc->InsertRenderData(renderData);
  host_state::SetActiveDocument(doc);
  return doc;
}

bool Build(const std::string& name, BaseDocument* doc, std::string& error) {
  if (name == "demo") {
    BuildDemoScene(doc);
    return true;
  }
  if (name == "empty") return true;
  error = "there is no scene \"" + name + "\"; the scenes are: " + Names();
  return false;
}

std::string Names() { return "demo, empty"; }

Vector Viewpoint(const std::string& name) { return name == "demo" ? kDemoViewpoint : Vector(); }

}  // namespace scene_library
