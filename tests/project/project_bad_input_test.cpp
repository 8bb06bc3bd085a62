#include "linked_module.h"
#include "project/render_project.h"
#include "render_test_support.h"

#include <fstream>
#include <vector>

// Project files that are broken, hostile or from elsewhere are refused with one message that names
// the file and the key.

namespace {

const std::string kHead = R"({"format": "orvex360 project", "version": 2, )";

struct BadProject {
  std::string text, message;
};

class ProjectBadInput : public LinkedModuleTest {
 protected:
  std::string Refusal(const std::string& text) {
    ProjectSchemas schemas;
    std::string error;
    EXPECT_TRUE(schemas.Load(error)) << error;
    project_file::Project project;
    EXPECT_FALSE(project_file::FromText(text, schemas.Get(), "/p", "p.json", project, error)) << text;
    return error;
  }
};

TEST_F(ProjectBadInput, EachFaultIsNamed) {
  // One fault a row: see data/bad_projects.tsv. Nesting deep enough to exhaust the stack is made here.
  std::vector<BadProject> cases = {{"\"tag\": " + std::string(100000, '['), "nested deeper than 64 levels"}};
  std::ifstream rows(ORVEX_TEST_DATA "/bad_projects.tsv");
  for (std::string row; std::getline(rows, row);)
    if (!row.empty() && row[0] != '#')
      cases.push_back({row.substr(0, row.find('\t')), row.substr(row.find('\t') + 1)});
  ASSERT_GT(cases.size(), 20u);

  for (const BadProject& bad : cases) {
    // Rows that are not a whole file are keys after a good head.
    const std::string error = Refusal(bad.text[0] == '"' ? kHead + bad.text : bad.text);
    EXPECT_EQ(error.rfind("p.json: ", 0), 0u) << error;  // every message names the file first
    EXPECT_NE(error.find(bad.message), std::string::npos) << "got: " << error << "\nwanted: " << bad.message;
  }
}

TEST_F(ProjectBadInput, FilesThatAreMissingFoldersOrHugeAreRefusedBeforeReading) {
  ProjectSchemas schemas;
  std::string error;
  ASSERT_TRUE(schemas.Load(error)) << error;
  const render_test::TempFolder folder;
  std::ofstream(folder.File("huge.json"))
      << kHead << "\"frames\": \"" << std::string(project_file::kMaxBytes, ' ') << "\"}";
  const std::pair<std::string, const char*> cases[] = {
      {folder.File("none.json"), ": no such file"},
      {folder.Path().string(), ": not a file"},
      {folder.File("huge.json"), ": larger than 1048576 bytes"}};
  for (const auto& [path, message] : cases) {
    project_file::Project project;
    EXPECT_FALSE(project_file::Load(path, schemas.Get(), project, error));
    EXPECT_EQ(error.rfind(path + message, 0), 0u) << error;
  }
}

}  // namespace
