#include "undo_history.h"

#include "console.h"
#include "node_record.h"

namespace {

BaseList2D* AsList2D(GeListNode* node) { return static_cast<BaseList2D*>(node); }

NodePlace PlaceOf(BaseList2D* node) {
  const NodeRecord& record = node->GetRecord();
  return {BaseLink(AsList2D(record.owner)), static_cast<Int32>(record.branch),
          BaseLink(AsList2D(record.pred))};
}

bool IsAt(BaseList2D* node, const NodePlace& place) {
  const NodeRecord& record = node->GetRecord();
  return record.owner == place.owner.GetLink() && static_cast<Int32>(record.branch) == place.branch &&
         record.pred == place.pred.GetLink();
}

// Puts the node back where it was; false when its owner is gone. A predecessor that has left the
// list makes the node the list's first.
bool PutAt(BaseList2D* node, const NodePlace& place) {
  BaseList2D* owner = place.owner.GetLink();
  if (!owner) return false;
  if (IsAt(node, place)) return true;
  BaseList2D* pred = place.pred.GetLink();
  const auto branch = static_cast<Branch>(place.branch);
  const bool predStillThere = pred && pred->GetRecord().owner == owner && pred->GetRecord().branch == branch;
  InsertIntoBranch(node, owner, branch, predStillThere ? pred : nullptr);
  return true;
}

NodeSnapshot Capture(BaseList2D* node) {
  const NodeRecord& record = node->GetRecord();
  return {record.name,     record.data,       record.bits,  record.local,
          record.rotation, record.renderMode, PlaceOf(node)};
}

void Restore(BaseList2D* node, const NodeSnapshot& snapshot) {
  NodeRecord& record = node->GetRecord();
  record.name = snapshot.name;
  record.data = snapshot.data;
  record.bits = snapshot.bits;
  record.local = snapshot.local;
  record.rotation = snapshot.rotation;
  record.renderMode = snapshot.renderMode;
  record.dataDirty++;
  // A node that was detached when recorded stays where it is now.
  if (snapshot.place.owner.GetLink()) PutAt(node, snapshot.place);
}

void SwapState(UndoRecord& record) {
  NodeSnapshot current = Capture(record.node);
  Restore(record.node, record.other);
  record.other = std::move(current);
}

DocumentSelection SelectionOf(const BaseDocument& doc) {
  const DocumentState& state = *doc.GetRecord().document;
  DocumentSelection selection{state.activeObject, state.activeTag, {}};
  ForEachTag(doc.GetFirstObject(), [&selection](BaseObject&, BaseTag& tag) {
    if (tag.GetBit(BIT_ACTIVE)) selection.selectedTags.emplace_back(&tag);
  });
  return selection;
}

void Select(BaseDocument& doc, const DocumentSelection& selection) {
  DocumentState& state = *doc.GetRecord().document;
  state.activeObject = selection.object;
  state.activeTag = selection.tag;
  ForEachTag(doc.GetFirstObject(), [](BaseObject&, BaseTag& tag) { tag.DelBit(BIT_ACTIVE); });
  for (const BaseLink& selected : selection.selectedTags)
    if (BaseList2D* tag = selected.GetLink()) tag->SetBit(BIT_ACTIVE);
}

bool IsAlive(const UndoRecord& record) {
  if (record.alive.GetLink()) return true;
  console::Print("[host] a node recorded for undo no longer exists; skipped");
  return false;
}

void Revert(UndoRecord& record) {
  if (!IsAlive(record)) return;
  if (record.type != UNDOTYPE_NEW) return SwapState(record);
  record.place = PlaceOf(record.node);
  record.node->Remove();
  record.held = true;
}

void Reapply(UndoRecord& record) {
  if (!IsAlive(record)) return;
  if (record.type != UNDOTYPE_NEW) return SwapState(record);
  if (!record.held) return;
  if (!PutAt(record.node, record.place)) {
    console::Print("[host] redo: the list a new node belonged to no longer exists; the node stays out");
    return;
  }
  record.held = false;
}

// Tells every object, tag, render setting and video post of the document what happened.
void NotifyNodes(GeListNode* first, DocumentInfoData& info) {
  for (GeListNode* node = first; node; node = node->GetNext()) {
    node->Message(MSG_UNDO_NOTICE, &info);
    NodeRecord& record = node->GetRecord();
    for (Branch branch : {Branch::Tags, Branch::VideoPosts, Branch::Children})
      NotifyNodes(FirstIn(record, branch), info);
  }
}

void Notify(BaseDocument& doc, Int32 type) {
  DocumentInfoData info{type, &doc};
  NotifyNodes(doc.GetFirstObject(), info);
  NotifyNodes(doc.GetFirstRenderData(), info);
}

const char* TypeName(UNDOTYPE type) { return type == UNDOTYPE_NEW ? "new" : "change"; }

}  // namespace

UndoHistory::~UndoHistory() { FreeHeldNodes(undone_); }

void UndoHistory::FreeHeldNodes(std::vector<UndoStep>& steps) {
  for (UndoStep& step : steps)
    for (UndoRecord& record : step.records)
      if (record.held && record.alive.GetLink()) NodeFactory::Destroy(record.node);
  steps.clear();
}

Bool UndoHistory::Start(BaseDocument& doc) {
  if (depth_++ == 0) {
    open_ = UndoStep();
    open_.before = SelectionOf(doc);
  }
  return true;
}

Bool UndoHistory::Add(BaseDocument& doc, UNDOTYPE type, BaseList2D* node) {
  if (depth_ == 0) {
    console::Print("[host] AddUndo outside StartUndo/EndUndo is not recorded");
    return false;
  }
  if (!node || node->GetDocument() != &doc) {
    console::Print("[host] AddUndo needs a node of this document");
    return false;
  }
  UndoRecord record;
  record.type = type;
  record.node = node;
  record.alive = BaseLink(node);
  if (type == UNDOTYPE_CHANGE || type == UNDOTYPE_CHANGE_SMALL)
    record.other = Capture(node);
  else if (type != UNDOTYPE_NEW) {
    console::Print("[host] undo type " + std::to_string(type) + " is not supported; not recorded");
    return false;
  }
  open_.records.push_back(std::move(record));
  return true;
}

Bool UndoHistory::End() {
  if (depth_ == 0) {
    console::Print("[host] EndUndo without StartUndo");
    return false;
  }
  if (--depth_ > 0) return true;
  // Nodes freed before the group closed (a creation given up half-way) leave nothing to undo; a
  // group that recorded nothing else leaves no step and keeps the redo list.
  std::erase_if(open_.records, [](const UndoRecord& record) { return !record.alive.GetLink(); });
  if (open_.records.empty()) return true;
  done_.push_back(std::move(open_));
  open_ = UndoStep();
  FreeHeldNodes(undone_);
  return true;
}

Bool UndoHistory::Undo(BaseDocument& doc) {
  if (depth_ > 0 || done_.empty()) {
    console::Print(depth_ > 0 ? "[host] cannot undo while an undo step is open" : "[host] nothing to undo");
    return false;
  }
  UndoStep step = std::move(done_.back());
  done_.pop_back();
  step.after = SelectionOf(doc);
  for (auto record = step.records.rbegin(); record != step.records.rend(); ++record) Revert(*record);
  Select(doc, step.before);
  undone_.push_back(std::move(step));
  Notify(doc, MSG_DOCUMENTINFO_TYPE_UNDO);
  return true;
}

Bool UndoHistory::Redo(BaseDocument& doc) {
  if (depth_ > 0 || undone_.empty()) {
    console::Print(depth_ > 0 ? "[host] cannot redo while an undo step is open" : "[host] nothing to redo");
    return false;
  }
  UndoStep step = std::move(undone_.back());
  undone_.pop_back();
  for (UndoRecord& record : step.records) Reapply(record);
  Select(doc, step.after);
  done_.push_back(std::move(step));
  Notify(doc, MSG_DOCUMENTINFO_TYPE_REDO);
  return true;
}

std::string DescribeStep(const UndoStep& step) {
  std::string text;
  for (const UndoRecord& record : step.records) {
    const BaseList2D* node = record.alive.GetLink();
    text += (text.empty() ? "" : ", ") + std::string(TypeName(record.type)) + " " +
            (node ? node->GetName().GetStdString() : "(freed node)");
  }
  return text;
}

const UndoHistory& HistoryOf(const BaseDocument& doc) { return doc.GetRecord().document->undo; }
