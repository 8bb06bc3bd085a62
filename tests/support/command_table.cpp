#include "command_runner.h"
#include "files_support.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

// Linked into a test program, turns the command table of its folder (data/commands.tsv) into
// tests. A line without a tab names a test, Suite.Name; its rows below run in order in one private
// folder. A row is a shell command, a tab, the exit code it must end with (or !0 for any failure),
// then one expectation a column: a text its output (stdout and stderr) holds, !text one it must not
// hold, ^text one it starts with, or = for "the folder's entries are as they were before the row";
// \n in an expectation is a line break. In a command, `orvex360` runs the built tool with the built
// plugin folder (so does $ORVEX360 in shells it starts) and $ORVEX_SOURCE_DIR is the source tree.
// A long row reads over several lines: a line ending with a backslash goes on with the next one (the
// two joined without the backslash, in quotes too), and a line starting with a tab adds its columns
// to the row above.
namespace {

constexpr const char* kTable = ORVEX_TEST_DATA "/commands.tsv";

struct Row {
  int line = 0;
  std::string command, exit;
  std::vector<std::string> expectations;
};

struct Table {
  std::string suite, name;
  int line = 0;
  std::vector<Row> rows;
};

std::vector<std::string> Columns(const std::string& line) {
  std::vector<std::string> columns(1);
  for (const char c : line) {
    if (c == '\t')
      columns.emplace_back();
    else
      columns.back() += c;
  }
  return columns;
}

std::string LineBreaks(std::string text) {
  for (size_t at = text.find("\\n"); at != std::string::npos; at = text.find("\\n", at + 1))
    text.replace(at, 2, "\n");
  return text;
}

std::vector<Table> ReadTables(const std::string& path) {
  std::vector<Table> tables;
  std::ifstream file(path);
  int number = 0;
  for (std::string line; std::getline(file, line);) {
    ++number;
    const int first = number;
    for (std::string more; !line.empty() && line.back() == '\\' && std::getline(file, more); ++number) {
      line.pop_back();
      line += more;
    }
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> columns = Columns(line);
    if (columns[0].empty() && !tables.empty() && !tables.back().rows.empty()) {
      for (auto expected = columns.begin() + 1; expected != columns.end(); ++expected)
        tables.back().rows.back().expectations.push_back(LineBreaks(*expected));
    } else if (columns.size() == 1) {
      const size_t dot = line.find('.');
      tables.push_back({line.substr(0, dot), line.substr(dot + 1), number, {}});
    } else if (tables.empty()) {
      tables.push_back({"CommandTable", "NamesATestBeforeItsRows", number, {}});  // fails: no rows
      break;
    } else {
      Row row{first, columns[0], columns[1], {}};
      for (auto expected = columns.begin() + 2; expected != columns.end(); ++expected)
        row.expectations.push_back(LineBreaks(*expected));
      tables.back().rows.push_back(row);
    }
  }
  return tables;
}

// The shell's start: the private folder, the tool and the source tree.
std::string Prelude(const render_test::TempFolder& folder) {
  return "cd '" + folder.Path().string() + "' && export ORVEX360='" + ORVEX360_COMMAND +
         "' ORVEX360_PLUGINS='" + ORVEX_PLUGIN_DIR + "' ORVEX_SOURCE_DIR='" + ORVEX_SOURCE_DIR +
         "' && orvex360() { \"$ORVEX360\" \"$@\"; } && ";
}

void RunRow(const render_test::TempFolder& folder, const Row& row) {
  SCOPED_TRACE(std::string(kTable) + ":" + std::to_string(row.line) + ": " + row.command);
  const long before = files::EntryCount(folder.Path());
  // Braces, so that the error output of every command of the row joins the output.
  const CommandResult run = RunCommand(Prelude(folder) + "{ " + row.command + "\n}");
  if (row.exit == "!0")
    EXPECT_NE(run.exitCode, 0) << run.output;
  else
    EXPECT_EQ(std::to_string(run.exitCode), row.exit) << run.output;
  for (const std::string& expected : row.expectations) {
    if (expected == "=")
      EXPECT_EQ(files::EntryCount(folder.Path()), before) << "the row left or removed files";
    else if (expected[0] == '^')
      EXPECT_EQ(run.output.rfind(expected.substr(1), 0), 0u) << expected << " first in:\n" << run.output;
    else if (expected[0] == '!')
      EXPECT_EQ(run.output.find(expected.substr(1)), std::string::npos) << expected << " in:\n" << run.output;
    else
      files::ExpectHolds(run.output, {expected});
  }
}

class CommandTable : public testing::Test {
 public:
  explicit CommandTable(Table table) : table_(std::move(table)) {}
  void TestBody() override {
    ASSERT_FALSE(table_.rows.empty()) << "a test without rows";
    const render_test::TempFolder folder;
    for (const Row& row : table_.rows) RunRow(folder, row);
  }

 private:
  Table table_;
};

const bool kRegistered = [] {
  std::vector<Table> tables = ReadTables(kTable);
  if (tables.empty()) tables.push_back({"CommandTable", "CannotBeRead", 0, {}});
  for (const Table& table : tables)
    testing::RegisterTest(table.suite.c_str(), table.name.c_str(), nullptr, nullptr, kTable, table.line,
                          [table]() -> testing::Test* { return new CommandTable(table); });
  return true;
}();

}  // namespace
