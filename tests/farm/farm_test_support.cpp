#include "farm_test_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace farm_test {

CommandResult Farm(const render_test::TempFolder& folder, const std::string& arguments,
                   const std::string& environment) {
  return RunCommand("cd '" + folder.Path().string() + "' && env " + environment + " '" + ORVEX360_COMMAND +
                    "' --plugins '" + ORVEX_PLUGIN_DIR + "' farm " + arguments);
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

DryRunScripts SplitDryRun(const std::string& output) {
  const std::string separator = "# ---- the check job";
  const size_t split = output.find(separator);
  if (split == std::string::npos) return {};
  return {output.substr(0, split), output.substr(output.find('\n', split) + 1)};
}

void WriteExecutable(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
  std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
}

}  // namespace farm_test
