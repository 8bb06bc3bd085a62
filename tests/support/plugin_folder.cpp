#include "plugin_folder.h"

#include <unistd.h>
#include <atomic>

namespace fs = std::filesystem;

PluginFolderCopy::PluginFolderCopy() {
  static std::atomic<int> counter{0};
  path_ = fs::temp_directory_path() /
          ("orvex-plugin-" + std::to_string(getpid()) + "-" + std::to_string(counter++)) / "Orvex360Cam";
  fs::create_directories(path_.parent_path());
  fs::copy(ORVEX_PLUGIN_DIR, path_, fs::copy_options::recursive);
}

PluginFolderCopy::~PluginFolderCopy() {
  std::error_code ignored;
  fs::remove_all(path_.parent_path(), ignored);
}
