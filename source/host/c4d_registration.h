#pragma once

#include "c4d_string.h"

class NodeData;
class CommandData;
class CustomGuiData;
class BaseBitmap;

// Creates a new plugin data object; null when allocation failed.
using DataAllocator = NodeData* (*)();

Bool RegisterVideoPostPlugin(Int32 id, const String& name, Int32 info, DataAllocator allocator,
                             const String& description, Int32 diskLevel, Int32 priority,
                             BaseBitmap* icon = nullptr);
Bool RegisterTagPlugin(Int32 id, const String& name, Int32 info, DataAllocator allocator,
                       const String& description, BaseBitmap* icon, Int32 diskLevel);
Bool RegisterCommandPlugin(Int32 id, const String& name, Int32 info, BaseBitmap* icon, const String& help,
                           CommandData* data);
Bool RegisterCustomGuiPlugin(const String& name, Int32 info, CustomGuiData* data);
