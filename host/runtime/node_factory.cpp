#include "node_record.h"
#include "plugin_registry.h"

#include <initializer_list>

namespace {
constexpr Int32 kViewType = 110305;

bool IsOneOf(Int32 type, std::initializer_list<Int32> types) {
  for (const Int32 candidate : types)
    if (candidate == type) return true;
  return false;
}

bool IsBuiltinObject(Int32 type) {
  return IsOneOf(type, {Onull, Olight, Ocamera, Ocube, Osphere, Oplane, Ocylinder, Opolygon});
}
bool IsBuiltinShader(Int32 type) { return IsOneOf(type, {Xbitmap, Xgradient}); }

void WriteRenderDefaults(BaseContainer& data) {
  data.SetFloat(RDATA_XRES, 1280.0);
  data.SetFloat(RDATA_YRES, 720.0);
  data.SetFloat(RDATA_FRAMERATE, 30.0);
  data.SetBool(RDATA_STEREO, false);
}

void WriteCameraDefaults(BaseContainer& data) {
  data.SetFloat(500, 36.0);  // focal length
  data.SetFloat(501, 36.0);  // aperture width
  data.SetInt32(CAMERAOBJECT_STEREO_MODE, 0);
  data.SetFloat(CAMERAOBJECT_STEREO_EYESEPARATION, 6.5);
  data.SetInt32(CAMERAOBJECT_STEREO_PLACEMENT, 0);
  data.SetFloat(CAMERAOBJECT_STEREO_ZERO_PARALLAX, 0.0);
}

// Attaches the plugin's data object made by its factory and runs its Init; false when either fails.
bool AttachPluginData(GeListNode* node, const PluginEntry& entry) {
  NodeData* data = entry.allocator ? entry.allocator() : nullptr;
  if (!data) return false;
  data->SetNode(node);
  node->GetRecord().nodeData = data;
  return data->Init(node);
}

}  // namespace

C4DAtom* NodeFactory::CreatePlugin(Int32 type) {
  const PluginEntry* entry = PluginRegistry::Instance().Find(type);
  if (!entry) return nullptr;
  BaseList2D* node = nullptr;
  if (entry->kind == PluginKind::VideoPost) node = new BaseVideoPost(type);
  if (entry->kind == PluginKind::Tag) node = new BaseTag(type);
  if (!node) return nullptr;
  node->SetName(String(entry->name));
  if (entry->kind == PluginKind::Tag && (entry->info & TAG_EXPRESSION))
    node->GetRecord().priority = std::make_unique<PriorityData>();
  if (!AttachPluginData(node, *entry)) {
    delete node;
    return nullptr;
  }
  return node;
}
C4DAtom* NodeFactory::Create(Int32 type) {
  if (type == Tbasedocument) {
    auto* doc = new BaseDocument(type);
    doc->GetRecord().document = std::make_unique<DocumentState>();
    auto* view = new BaseDraw(kViewType);
    view->GetRecord().view = std::make_unique<ViewState>();
    InsertIntoBranch(view, doc, Branch::Children, nullptr);
    doc->GetRecord().document->view = view;
    // A new, unsaved document: three seconds at 30 frames per second.
    doc->GetRecord().data.SetTime(DOCUMENT_MINTIME, BaseTime());
    doc->GetRecord().data.SetTime(DOCUMENT_MAXTIME, BaseTime(90.0, 30.0));
    doc->GetRecord().data.SetFilename(DOCUMENT_NAME, Filename("Untitled"));
    return doc;
  }
  if (type == Rbase) {
    auto* renderData = new RenderData(type);
    WriteRenderDefaults(renderData->GetRecord().data);
    renderData->SetName("My Render Setting");
    return renderData;
  }
  if (type == Ocamera) {
    auto* camera = new CameraObject(type);
    WriteCameraDefaults(camera->GetRecord().data);
    camera->SetName("Camera");
    return camera;
  }
  if (IsBuiltinObject(type)) return new BaseObject(type);
  if (IsBuiltinShader(type)) return new BaseShader(type);
  if (type == Tprotection) return new BaseTag(type);
  return CreatePlugin(type);
}

void NodeFactory::Destroy(C4DAtom* node) {
  if (!node) return;
  auto* listNode = static_cast<GeListNode*>(node);  // every node the factory makes is a list node
  listNode->Remove();
  NodeRecord& record = listNode->GetRecord();
  record.aliveToken.reset();
  if (record.nodeData) {
    record.nodeData->Free(listNode);
    delete record.nodeData;
    record.nodeData = nullptr;
  }
  for (GeListNode*& first : record.first)
    while (first) Destroy(first);
  delete node;
}

Bool IsBuiltinInstance(Int32 type, Int32 base) {
  if (base == Obase) return IsBuiltinObject(type);
  if (base == Xbase) return IsBuiltinShader(type);
  if (base == Tbase) return type == Tprotection;
  return false;
}
