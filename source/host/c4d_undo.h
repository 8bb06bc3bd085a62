#pragma once

#include "c4d_constants.h"

class BaseDocument;

// What a document's nodes are told after DoUndo or DoRedo (message MSG_UNDO_NOTICE): the kind of
// change first, then the document.
enum : Int32 { MSG_DOCUMENTINFO_TYPE_UNDO = 1013, MSG_DOCUMENTINFO_TYPE_REDO = 1014 };

struct DocumentInfoData {
  Int32 type = 0;
  BaseDocument* doc = nullptr;
};
