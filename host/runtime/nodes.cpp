#include "node_record.h"

#include "console.h"
#include "plugin_registry.h"

NodeRecord::~NodeRecord() = default;

// ---- C4DAtom

C4DAtom::C4DAtom(Int32 type) : record_(std::make_unique<NodeRecord>(type)) {
  record_->aliveToken = std::make_shared<C4DAtom*>(this);
}

// Nodes are normally torn down by NodeFactory::Destroy while still whole; this only catches nodes
// deleted directly, without calling into their plugin data on a half-destroyed node.
C4DAtom::~C4DAtom() {
  NodeRecord& record = *record_;
  record.aliveToken.reset();
  delete record.nodeData;
  record.nodeData = nullptr;
  for (GeListNode*& first : record.first)
    while (first) NodeFactory::Destroy(first);
}

Int32 C4DAtom::GetType() const { return record_->type; }

Bool C4DAtom::IsInstanceOf(Int32 type) const {
  if (record_->type == type) return true;
  return IsBuiltinInstance(record_->type, type) ||
         PluginRegistry::Instance().IsInstanceOf(record_->type, type);
}

namespace {
// Expression tags keep their priority beside their container, as a PriorityData value.
bool IsPriority(const NodeRecord& record, const DescID& id) {
  return record.priority && id[0] == EXPRESSION_PRIORITY;
}
}  // namespace

Bool C4DAtom::GetParameter(const DescID& id, GeData& data, DESCFLAGS_GET flags) {
  NodeData* nodeData = record_->nodeData;
  if (nodeData && !nodeData->GetDParameter(static_cast<GeListNode*>(this), id, data, flags)) return false;
  if (flags & DESCFLAGS_GET_PARAM_GET) return true;
  if (IsPriority(*record_, id))
    data = GeData(CUSTOMDATATYPE_PRIORITY, *record_->priority);
  else
    data = record_->data.GetData(id[0]);
  return true;
}

Bool C4DAtom::SetParameter(const DescID& id, const GeData& data, DESCFLAGS_SET flags) {
  NodeData* nodeData = record_->nodeData;
  const bool isPriority = IsPriority(*record_, id);
  const auto* priority = static_cast<const PriorityData*>(data.GetCustomDataType(CUSTOMDATATYPE_PRIORITY));
  if (isPriority && !priority) return false;
  if (nodeData && !nodeData->SetDParameter(static_cast<GeListNode*>(this), id, data, flags)) return false;
  if (isPriority && !(flags & DESCFLAGS_SET_PARAM_SET))
    *record_->priority = *priority;
  else if (!(flags & DESCFLAGS_SET_PARAM_SET))
    record_->data.SetData(id[0], data);
  record_->dataDirty++;
  Bool userInteraction = (flags & DESCFLAGS_SET_USERINTERACTION) != 0;
  DescriptionPostSetValue postSet{&id, &userInteraction};
  Message(MSG_DESCRIPTION_POSTSETPARAMETER, &postSet);
  return true;
}

namespace {
// A node without a plugin behind it (a camera, the render settings) answers the host's messages
// itself: an update marks its values changed, so whatever caches them builds again; notices need
// nothing, as it derives nothing from its values; requests for a bitmap or an icon find none; a
// button press or any other message finds nothing to act on and is refused.
Bool BuiltInMessage(NodeRecord& record, const String& name, Int32 type) {
  switch (type) {
    case MSG_UPDATE:
      record.dataDirty++;
      return true;
    case MSG_DESCRIPTION_POSTSETPARAMETER:
    case MSG_UNDO_NOTICE:
    case MSG_MULTI_RENDERNOTIFICATION:
      return true;
    case MSG_DESCRIPTION_GETBITMAP:
    case MSG_GETCUSTOMICON:
      return false;
    default:
      console::Print("[host] message " + std::to_string(type) + " to \"" + name.GetStdString() +
                     "\" refused: a built-in node has nothing to act on for it");
      return false;
  }
}
}  // namespace

Bool C4DAtom::Message(Int32 type, void* data) {
  NodeData* nodeData = record_->nodeData;
  if (nodeData) return nodeData->Message(static_cast<GeListNode*>(this), type, data);
  return BuiltInMessage(*record_, record_->name, type);
}

C4DAtom* C4DAtom::GetClone() const {
  C4DAtom* clone = NodeFactory::Create(record_->type);
  if (!clone) return nullptr;
  NodeRecord& target = clone->GetRecord();
  target.name = record_->name;
  target.data = record_->data;
  target.bits = record_->bits;
  target.local = record_->local;
  target.rotation = record_->rotation;
  target.renderMode = record_->renderMode;
  if (record_->priority && target.priority) *target.priority = *record_->priority;
  if (record_->nodeData && target.nodeData)
    record_->nodeData->CopyTo(target.nodeData, static_cast<GeListNode*>(const_cast<C4DAtom*>(this)),
                              static_cast<GeListNode*>(clone));
  return clone;
}

void C4DAtom::SetDirty(Int32 flags) {
  if (flags & DIRTYFLAGS_DATA) record_->dataDirty++;
  if (flags & DIRTYFLAGS_DESCRIPTION) record_->descriptionDirty++;
}

UInt32 C4DAtom::GetDirty(Int32 flags) const {
  UInt32 count = 0;
  if (flags & DIRTYFLAGS_DATA) count += record_->dataDirty;
  if (flags & DIRTYFLAGS_DESCRIPTION) count += record_->descriptionDirty;
  return count;
}

// ---- GeListNode

GeListNode* GeListNode::GetNext() const { return GetRecord().next; }
GeListNode* GeListNode::GetPred() const { return GetRecord().pred; }

GeListNode* GeListNode::GetUp() const {
  const NodeRecord& record = GetRecord();
  return record.branch == Branch::Children ? record.owner : nullptr;
}

GeListNode* GeListNode::GetDown() const { return FirstIn(GetRecord(), Branch::Children); }

namespace {
// Links `node` into `owner`'s branch right after `pred` (first when pred is null).
void Link(GeListNode* node, GeListNode* owner, Branch branch, GeListNode* pred) {
  node->Remove();
  NodeRecord& record = node->GetRecord();
  record.owner = owner;
  record.branch = branch;
  GeListNode*& first = FirstIn(owner->GetRecord(), branch);
  record.pred = pred;
  record.next = pred ? pred->GetRecord().next : first;
  if (record.next) record.next->GetRecord().pred = node;
  if (pred)
    pred->GetRecord().next = node;
  else
    first = node;
}

GeListNode* LastIn(GeListNode* owner, Branch branch) {
  GeListNode* last = FirstIn(owner->GetRecord(), branch);
  while (last && last->GetNext()) last = last->GetNext();
  return last;
}
}  // namespace

void InsertIntoBranch(GeListNode* node, GeListNode* owner, Branch branch, GeListNode* pred) {
  Link(node, owner, branch, pred);
}

void AppendToBranch(GeListNode* node, GeListNode* owner, Branch branch) {
  Link(node, owner, branch, LastIn(owner, branch));
}

void GeListNode::InsertUnder(GeListNode* parent) {
  if (parent) Link(this, parent, Branch::Children, nullptr);
}

void GeListNode::InsertUnderLast(GeListNode* parent) {
  if (parent) AppendToBranch(this, parent, Branch::Children);
}

void GeListNode::InsertAfter(GeListNode* pred) {
  if (pred && pred->GetRecord().owner) Link(this, pred->GetRecord().owner, pred->GetRecord().branch, pred);
}

void GeListNode::InsertBefore(GeListNode* next) {
  if (next && next->GetRecord().owner)
    Link(this, next->GetRecord().owner, next->GetRecord().branch, next->GetRecord().pred);
}

void GeListNode::Remove() {
  NodeRecord& record = GetRecord();
  if (!record.owner) return;
  if (record.pred)
    record.pred->GetRecord().next = record.next;
  else
    FirstIn(record.owner->GetRecord(), record.branch) = record.next;
  if (record.next) record.next->GetRecord().pred = record.pred;
  record.owner = record.pred = record.next = nullptr;
}

BaseDocument* GeListNode::GetDocument() const {
  for (const GeListNode* node = this; node; node = node->GetRecord().owner)
    if (node->GetType() == Tbasedocument) return static_cast<BaseDocument*>(const_cast<GeListNode*>(node));
  return nullptr;
}

NodeData* GeListNode::GetNodeData() const { return GetRecord().nodeData; }

// ---- BaseList2D

String BaseList2D::GetName() const { return GetRecord().name; }
void BaseList2D::SetName(const String& name) { GetRecord().name = name; }
BaseContainer* BaseList2D::GetDataInstance() { return &GetRecord().data; }
const BaseContainer* BaseList2D::GetDataInstance() const { return &GetRecord().data; }
BaseContainer BaseList2D::GetData() const { return GetRecord().data; }

void BaseList2D::SetData(const BaseContainer& data, Bool add) {
  if (add)
    GetRecord().data.MergeContainer(data);
  else
    GetRecord().data = data;
}

void BaseList2D::SetBit(Int32 mask) { GetRecord().bits |= mask; }
void BaseList2D::DelBit(Int32 mask) { GetRecord().bits &= ~mask; }
Bool BaseList2D::GetBit(Int32 mask) const { return (GetRecord().bits & mask) != 0; }

void BaseList2D::InsertShader(BaseShader* shader) {
  if (shader) AppendToBranch(shader, this, Branch::Shaders);
}

BaseShader* BaseList2D::GetFirstShader() const {
  return static_cast<BaseShader*>(FirstIn(GetRecord(), Branch::Shaders));
}
