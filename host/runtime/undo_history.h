#pragma once

#include "c4d.h"

#include <string>
#include <vector>

// Where a node sits: the list of its owner it is in, and the node before it (none: first).
struct NodePlace {
  BaseLink owner;
  Int32 branch = 0;
  BaseLink pred;
};

// The part of a node's state that a change record puts back.
struct NodeSnapshot {
  String name;
  BaseContainer data;
  Int32 bits = 0;
  Matrix local;
  Vector rotation;
  Int32 renderMode = MODE_UNDEF;
  NodePlace place;
};

// One AddUndo call. `node` is valid while `alive` links to it: a node freed behind the history's
// back is skipped, never touched.
struct UndoRecord {
  UNDOTYPE type = UNDOTYPE_CHANGE;
  BaseList2D* node = nullptr;
  BaseLink alive;
  bool held = false;   // a new node that undo took out of the document: the history owns it
  NodePlace place;     // new nodes: where undo took them from, for redo
  NodeSnapshot other;  // changes: the state to swap in on the next undo or redo
};

// The document's active object and tag, and its selected tags.
struct DocumentSelection {
  BaseLink object;
  BaseLink tag;
  std::vector<BaseLink> selectedTags;
};

// One StartUndo ... EndUndo group.
struct UndoStep {
  std::vector<UndoRecord> records;
  DocumentSelection before;  // when the group opened
  DocumentSelection after;   // when the step was undone
};

// A document's undo and redo lists. Undo reverts a step's records last first; redo applies them
// again first to last and brings back the very nodes undo took out. Committing a new step drops
// the redo list and frees the nodes it held.
class UndoHistory {
 public:
  UndoHistory() = default;
  ~UndoHistory();
  UndoHistory(const UndoHistory&) = delete;
  UndoHistory& operator=(const UndoHistory&) = delete;

  Bool Start(BaseDocument& doc);
  Bool Add(BaseDocument& doc, UNDOTYPE type, BaseList2D* node);
  Bool End();
  Bool Undo(BaseDocument& doc);
  Bool Redo(BaseDocument& doc);

  const std::vector<UndoStep>& UndoSteps() const { return done_; }
  const std::vector<UndoStep>& RedoSteps() const { return undone_; }

 private:
  static void FreeHeldNodes(std::vector<UndoStep>& steps);

  Int32 depth_ = 0;
  UndoStep open_;
  std::vector<UndoStep> done_;
  std::vector<UndoStep> undone_;
};

// "new Camera, change Orvex360Cam Tag": what a step records, for the console and the CLI.
std::string DescribeStep(const UndoStep& step);

// The document's history (every document has one).
const UndoHistory& HistoryOf(const BaseDocument& doc);
