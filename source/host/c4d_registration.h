#pragma once

#include "c4d_string.h"

class NodeData;
class CommandData;
class CustomGuiData;
class BaseBitmap;

// Creates a new plugin data object; null when allocation failed.
using DataAllocator = NodeData* (*)();

[[nodiscard]] Bool RegisterVideoPostPlugin(Int32 id, const String& name, Int32 info, DataAllocator allocator,
                                           const String& description, Int32 diskLevel, Int32 priority,
                                           BaseBitmap* icon = nullptr);
[[nodiscard]] Bool RegisterTagPlugin(Int32 id, const String& name, Int32 info, DataAllocator allocator,
                                     const String& description, BaseBitmap* icon, Int32 diskLevel);
[[nodiscard]] Bool RegisterCommandPlugin(Int32 id, const String& name, Int32 info, BaseBitmap* icon,
                                         const String& help, CommandData* data);
[[nodiscard]] Bool RegisterCustomGuiPlugin(const String& name, Int32 info, CustomGuiData* data);
