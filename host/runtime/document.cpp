#include "console.h"
#include "document_animation.h"
#include "host_state.h"
#include "node_record.h"

namespace {
DocumentState& StateOf(const BaseDocument* doc) { return *doc->GetRecord().document; }
}  // namespace

// ---- BaseDocument

BaseDocument* BaseDocument::Alloc() { return static_cast<BaseDocument*>(NodeFactory::Create(Tbasedocument)); }

void BaseDocument::Free(BaseDocument*& document) {
  if (document && GetActiveDocument() == document) host_state::SetActiveDocument(nullptr);
  NodeFactory::Destroy(document);
  document = nullptr;
}

BaseObject* BaseDocument::GetFirstObject() const {
  return static_cast<BaseObject*>(FirstIn(GetRecord(), Branch::Objects));
}

void BaseDocument::InsertObject(BaseObject* object, BaseObject* parent, BaseObject* pred) {
  if (!object) return;
  if (pred)
    object->InsertAfter(pred);
  else if (parent)
    object->InsertUnder(parent);
  else
    InsertIntoBranch(object, this, Branch::Objects, nullptr);
}

RenderData* BaseDocument::GetActiveRenderData() const { return StateOf(this).activeRenderData; }

RenderData* BaseDocument::GetFirstRenderData() const {
  return static_cast<RenderData*>(FirstIn(GetRecord(), Branch::RenderData));
}

void BaseDocument::InsertRenderData(RenderData* renderData, RenderData* parent, RenderData* pred) {
  if (!renderData) return;
  if (pred)
    renderData->InsertAfter(pred);
  else if (parent)
    renderData->InsertUnder(parent);
  else
    AppendToBranch(renderData, this, Branch::RenderData);
  if (!StateOf(this).activeRenderData) StateOf(this).activeRenderData = renderData;
}

void BaseDocument::SetActiveRenderData(RenderData* renderData) {
  StateOf(this).activeRenderData = renderData;
}

BaseDraw* BaseDocument::GetActiveBaseDraw() const { return StateOf(this).view; }
BaseDraw* BaseDocument::GetRenderBaseDraw() const { return StateOf(this).view; }

BaseTime BaseDocument::GetTime() const { return StateOf(this).time; }
void BaseDocument::SetTime(const BaseTime& time) { StateOf(this).time = time; }
Int32 BaseDocument::GetFps() const { return StateOf(this).fps; }
// The time range is a pair of document parameters, like the name.
BaseTime BaseDocument::GetMinTime() const { return GetDataInstance()->GetTime(DOCUMENT_MINTIME); }
BaseTime BaseDocument::GetMaxTime() const { return GetDataInstance()->GetTime(DOCUMENT_MAXTIME); }

BaseObject* BaseDocument::GetActiveObject() const {
  return static_cast<BaseObject*>(StateOf(this).activeObject.GetLink());
}

void BaseDocument::SetActiveObject(BaseObject* object, Int32 /*mode*/) {
  StateOf(this).activeObject = BaseLink(object);
}

BaseTag* BaseDocument::GetActiveTag() const {
  return static_cast<BaseTag*>(StateOf(this).activeTag.GetLink());
}
// The selected tags carry BIT_ACTIVE; the active tag is the one the attribute manager shows.
void BaseDocument::SetActiveTag(BaseTag* tag, Int32 mode) {
  DocumentState& state = StateOf(this);
  switch (mode) {
    case SELECTION_NEW:
      ForEachTag(GetFirstObject(), [](BaseObject&, BaseTag& other) { other.DelBit(BIT_ACTIVE); });
      [[fallthrough]];
    case SELECTION_ADD:
      if (tag) tag->SetBit(BIT_ACTIVE);
      state.activeTag = BaseLink(tag);
      return;
    case SELECTION_SUB:
      if (tag) tag->DelBit(BIT_ACTIVE);
      if (tag && state.activeTag.GetLink() == tag) state.activeTag = BaseLink();
      return;
    default:
      console::Print("[host] SetActiveTag refused: selection mode " + std::to_string(mode) +
                     " is none of new (0), add (1) or subtract (2)");
  }
}

Bool BaseDocument::StartUndo() { return StateOf(this).undo.Start(*this); }

Bool BaseDocument::AddUndo(UNDOTYPE type, void* data) {
  return StateOf(this).undo.Add(*this, type, static_cast<BaseList2D*>(data));
}

Bool BaseDocument::EndUndo() { return StateOf(this).undo.End(); }
Bool BaseDocument::DoUndo() { return StateOf(this).undo.Undo(*this); }
Bool BaseDocument::DoRedo() { return StateOf(this).undo.Redo(*this); }

Bool BaseDocument::ExecutePasses(BaseThread* thread, Bool animation, Bool expressions, Bool /*caches*/) {
  if (animation) ApplyDocumentAnimations(*this, GetTime());
  if (!expressions) return true;
  // Every tag runs; one that fails is said on the console and fails the evaluation.
  Bool executed = true;
  ForEachTag(GetFirstObject(), [this, thread, &executed](BaseObject& object, BaseTag& tag) {
    auto* data = dynamic_cast<TagData*>(tag.GetNodeData());
    if (!data) return;
    const EXECUTIONRESULT result = data->Execute(&tag, this, &object, thread, 0, EXECUTIONFLAGS_0);
    if (result == EXECUTIONRESULT_OK) return;
    console::Print("[host] the tag on \"" + object.GetName().GetStdString() + "\" did not run (result " +
                   std::to_string(static_cast<Int32>(result)) + ")");
    executed = false;
  });
  return executed;
}

// ---- RenderData

RenderData* RenderData::Alloc() { return static_cast<RenderData*>(NodeFactory::Create(Rbase)); }

void RenderData::Free(RenderData*& renderData) {
  NodeFactory::Destroy(renderData);
  renderData = nullptr;
}

BaseVideoPost* RenderData::GetFirstVideoPost() const {
  return static_cast<BaseVideoPost*>(FirstIn(GetRecord(), Branch::VideoPosts));
}

void RenderData::InsertVideoPost(BaseVideoPost* videoPost, BaseVideoPost* pred) {
  if (!videoPost) return;
  if (pred)
    InsertIntoBranch(videoPost, this, Branch::VideoPosts, pred);
  else
    AppendToBranch(videoPost, this, Branch::VideoPosts);
}

// ---- BaseVideoPost

BaseVideoPost* BaseVideoPost::Alloc(Int32 type) {
  C4DAtom* node = NodeFactory::Create(type);
  if (node && !node->IsInstanceOf(VPbase)) {
    NodeFactory::Destroy(node);
    return nullptr;
  }
  return static_cast<BaseVideoPost*>(node);
}

void BaseVideoPost::Free(BaseVideoPost*& videoPost) {
  NodeFactory::Destroy(videoPost);
  videoPost = nullptr;
}
