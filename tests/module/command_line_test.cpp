#include "render_test_support.h"

#include <gtest/gtest.h>

#include <sstream>

// The orvex360 command line as a user meets it: version, exit codes, messages in the tool's voice,
// and a quiet mode that keeps only problems.

namespace {

using render_test::TempFolder;
using render_test::ToolCommand;

// The tool on a terminal (a pseudo-terminal of script(1)), where progress is shown.
CommandResult ToolOnTerminal(const TempFolder& folder, const std::string& arguments) {
  return RunCommand("cd '" + folder.Path().string() + "' && script -qec \"'" + ORVEX360_COMMAND +
                    "' --plugins '" + ORVEX_PLUGIN_DIR + "' " + arguments + "\" /dev/null");
}

int LinesStartingWith(const std::string& output, const std::string& prefix, const std::string& holding = "") {
  std::istringstream lines(output);
  int count = 0;
  for (std::string line; std::getline(lines, line);)
    count += line.rfind(prefix, 0) == 0 && line.find(holding) != std::string::npos;
  return count;
}

TEST(CommandLine, ExitCodesTellDoneFailedAndNotUnderstood) {
  const struct {
    const char* arguments;
    int exitCode;
    const char* says;
  } cases[] = {
      {"--version", 0, "orvex360 0."},
      {"render --sise 8x8", 2, "orvex360: The following argument was not expected: --sise"},
      {"render --samples many", 2, "many"},
      {"rendr", 2, "orvex360: unknown command \"rendr\""},
      {"render -s 8x8 --samples 1 -o no/such/folder/x.png", 1, "orvex360: "},
  };
  const TempFolder folder;
  for (const auto& c : cases) {
    const CommandResult run = ToolCommand(folder, c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.output;
    EXPECT_NE(run.output.find(c.says), std::string::npos) << c.arguments << "\n" << run.output;
    if (c.exitCode == 2) {
      EXPECT_EQ(run.output.rfind("orvex360: ", 0), 0u) << run.output;
    }
  }
}

// Quiet: the module's lines go, its warning stays, and so does the line naming the file written.
TEST(CommandLine, QuietKeepsOnlyTheLinesThatReportAProblem) {
  const std::string render =
      "render -c fulldome -s 16x16 --samples 1 --set ORVEXVP_LOGO_MODE=1 --set ORVEXVP_LOGO_FILE=none.png "
      "-o quiet.png";
  const TempFolder folder;
  const CommandResult loud = ToolCommand(folder, render);
  const CommandResult quiet = ToolCommand(folder, "-q " + render);
  ASSERT_EQ(loud.exitCode, 0) << loud.output;
  ASSERT_EQ(quiet.exitCode, 0) << quiet.output;
  EXPECT_GT(LinesStartingWith(loud.output, "--- Orvex360Cam: "), 2) << loud.output;
  EXPECT_EQ(LinesStartingWith(quiet.output, "--- Orvex360Cam: "), 1) << quiet.output;
  EXPECT_EQ(LinesStartingWith(quiet.output, "--- Orvex360Cam: ", "Logo off: image"), 1) << quiet.output;
  EXPECT_EQ(LinesStartingWith(quiet.output, "orvex360: wrote "), 1) << quiet.output;
}

// One frame of one camera shows its progress on a terminal; quiet shows none.
TEST(CommandLine, ProgressOnATerminalUnlessQuiet) {
  const std::string render = "render -c fulldome -s 64x64 --samples 1 -o progress.png";
  const TempFolder folder;
  EXPECT_NE(ToolOnTerminal(folder, render).output.find("100%"), std::string::npos);
  EXPECT_EQ(ToolOnTerminal(folder, "render -q" + render.substr(6)).output.find("%"), std::string::npos);
}

}  // namespace
