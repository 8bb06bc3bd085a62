#pragma once

#include <span>
#include <string>
#include <vector>

// Files written completely or not at all: the bytes go to a temporary file in the target's folder
// (unnamed where the file system allows it, see temporary_file.h, so a signal leaves nothing
// behind), every write, the flush to disk and the close are checked, and only then is the
// temporary file renamed over the target. On any failure the temporary file is removed and the old
// file (if any) stays as it was.
namespace atomic_file {

// Writes `bytes` to `path`; false with `error` naming the file and the reason.
bool Write(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error);

// One of several files that belong together.
struct Output {
  std::string path;
  std::span<const unsigned char> bytes;
};

// Writes every file or none (a report and its picture): all are written to disk first, then renamed
// into place; when a rename fails, the files already replaced get their old contents back (or are
// removed when they are new). False with `error` naming the file that failed and the reason.
bool WriteTogether(const std::vector<Output>& files, std::string& error);

// Whether the folder of `path` takes new files, tried with a temporary file that is removed again.
bool FolderTakesFiles(const std::string& path, std::string& error);

}  // namespace atomic_file
