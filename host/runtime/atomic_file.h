#pragma once

#include <string>
#include <vector>

// Files written completely or not at all: the bytes go to a short hidden temporary file in the
// target's folder, every write, the flush to disk and the close are checked, and only then is the
// temporary file renamed over the target. On any failure the temporary file is removed and the old
// file (if any) stays as it was.
namespace atomic_file {

// Writes `bytes` to `path`; false with `error` naming the file and the reason.
bool Write(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error);

// Whether the folder of `path` takes new files, tried with a temporary file that is removed again.
bool FolderTakesFiles(const std::string& path, std::string& error);

}  // namespace atomic_file
