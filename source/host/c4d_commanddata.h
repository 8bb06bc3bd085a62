#pragma once

#include "c4d_nodes.h"

// A menu command.
class CommandData {
 public:
  CommandData() = default;
  virtual ~CommandData();
  CommandData(const CommandData&) = delete;
  CommandData& operator=(const CommandData&) = delete;

  virtual Bool Execute(BaseDocument* doc);
  virtual Int32 GetState(BaseDocument* doc);
};

enum : Int32 { CMD_ENABLED = 2 };
