#include "module_log.h"
#include "runtime/console.h"

#include <gtest/gtest.h>

namespace {
std::string LoggedLine() {
  const auto lines = console::Lines();
  return lines.empty() ? std::string() : lines.back();
}
}  // namespace

TEST(ModuleLog, PrefixesExpandsTheCallersPlaceholdersAndCutsLongLines) {
  console::SetEcho(false);
  ModuleLog("AREA start [%.2f/%.2f] size [%d,%d]", 0.0, 1.5, 640, 480);
  EXPECT_EQ(LoggedLine(), "--- Orvex360Cam: AREA start [0.00/1.50] size [640,480]");
  ModuleLog("READY!");
  EXPECT_EQ(LoggedLine(), "--- Orvex360Cam: READY!");
  // Long lines are cut at 1023 characters, even inside a placeholder.
  const std::string longText(2000, 'x');
  ModuleLog("%s", longText.c_str());
  const std::string line = LoggedLine();
  EXPECT_EQ(line.size(), 1023u);
  EXPECT_EQ(line.rfind("--- Orvex360Cam: xxx", 0), 0u);
  // A format cut inside a placeholder reads no argument.
  std::string format(1023 - 17 - 1, 'y');  // the prefix takes 17 characters, leaving room for one more
  format += "%d";
  ModuleLog(format.c_str(), 5);  // the cut leaves a lone '%', which is dropped
  EXPECT_EQ(LoggedLine(), "--- Orvex360Cam: " + std::string(1023 - 17 - 1, 'y'));
}
