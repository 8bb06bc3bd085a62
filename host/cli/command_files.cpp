#include "command_files.h"

#include <filesystem>
#include <map>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// Paths with canonical folders, each folder resolved once however many frames name it. A file that
// is itself a link counts as the file it leads to.
class CanonicalPaths {
 public:
  std::string Of(const std::string& path) {
    const fs::path absolute = fs::absolute(path);
    const std::string folder = absolute.parent_path().string();
    auto found = folders_.find(folder);
    std::error_code code;
    if (found == folders_.end()) found = folders_.emplace(folder, fs::weakly_canonical(folder, code)).first;
    const fs::path joined = found->second / absolute.filename();
    if (fs::is_symlink(joined, code)) return fs::weakly_canonical(joined, code).string();
    return joined.string();
  }

 private:
  std::map<std::string, fs::path> folders_;
};

struct NamedFile {
  size_t file = 0;  // index into the command's files
  std::string path;
  std::string canonical;
};

// False with `error` when two of `named` are one file that is not only read by both.
bool Apart(const std::vector<CommandFile>& files, const std::vector<NamedFile>& named, std::string& error) {
  for (size_t a = 0; a < named.size(); ++a) {
    for (size_t b = a + 1; b < named.size(); ++b) {
      const CommandFile& first = files[named[a].file];
      const CommandFile& second = files[named[b].file];
      if (named[a].canonical != named[b].canonical || (first.read && second.read)) continue;
      error = first.option + " and " + second.option + " are the same file \"" + named[b].path +
              "\"; give each a name of its own";
      return false;
    }
  }
  return true;
}

}  // namespace

bool CheckFilesApart(const std::vector<CommandFile>& files, Int32 first, Int32 last, std::string& error) {
  CanonicalPaths canonical;
  // A file named alike at the first and the last frame is one file for all of them (a frame pattern
  // names every frame differently); it is resolved once, the others at every frame.
  std::vector<NamedFile> fixed;
  std::vector<size_t> numbered;
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string path = files[i].pathAt(first);
    if (path != files[i].pathAt(last))
      numbered.push_back(i);
    else if (!path.empty())
      fixed.push_back({i, path, canonical.Of(path)});
  }
  if (!Apart(files, fixed, error)) return false;
  for (Int32 frame = first; !numbered.empty() && frame <= last; ++frame) {
    std::vector<NamedFile> named = fixed;
    for (size_t i : numbered)
      if (std::string path = files[i].pathAt(frame); !path.empty())
        named.push_back({i, path, canonical.Of(path)});
    if (!Apart(files, named, error)) return false;
  }
  return true;
}

bool SameFile(const std::string& a, const std::string& b) {
  CanonicalPaths canonical;
  return !a.empty() && !b.empty() && canonical.Of(a) == canonical.Of(b);
}
