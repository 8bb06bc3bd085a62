#pragma once

#include "render_test_support.h"

#include <string>

namespace farm_test {

// `orvex360 farm ARGUMENTS` run inside `folder`, `environment` ("NAME=VALUE ...") set for it.
CommandResult Farm(const render_test::TempFolder& folder, const std::string& arguments,
                   const std::string& environment = "");

// A file's text; empty when it cannot be read.
std::string ReadText(const std::string& path);

// The two scripts `farm --dry-run` prints.
struct DryRunScripts {
  std::string array;
  std::string check;
};
DryRunScripts SplitDryRun(const std::string& output);

// Writes `text` to `path` and makes it executable.
void WriteExecutable(const std::string& path, const std::string& text);

}  // namespace farm_test
