#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

// Files written completely or not at all: the bytes go to a temporary file in the target's folder
// (unnamed where the file system allows it, see temporary_file.h, so a signal leaves nothing
// behind), every write, the flush to disk and the close are checked, and only then is the
// temporary file renamed over the target. On any failure the temporary file is removed and the old
// file (if any) stays as it was.
namespace temporary_file {
class GuardedName;
class Temporary;
}  // namespace temporary_file

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

// A file another writer fills by name (a video encoder): a temporary file beside `path`, unnamed where
// the file system allows it (the writer opens it through /proc, so not even SIGKILL leaves it behind),
// else under a hidden name that a SIGINT or SIGTERM removes; named and renamed into place by Commit
// after its data reached the disk, and removed when dropped uncommitted, so that the target holds the
// old file or the complete new one, never a part.
class PendingFile {
 public:
  PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  ~PendingFile();

  // Creates the temporary file; false with `error` when the folder takes none.
  bool Create(const std::string& path, std::string& error);
  // A path that opens the temporary file while it is pending; empty before Create and after Commit.
  std::string TemporaryPath() const;
  // Flushes the temporary file to disk and renames it over the target; false with `error`.
  bool Commit(std::string& error);

 private:
  std::string path_;
  std::unique_ptr<temporary_file::Temporary> temporary_;  // null once committed
};

// Whether the folder of `path` takes new files, tried with a temporary file that is removed again.
bool FolderTakesFiles(const std::string& path, std::string& error);

// Whether a file can be written at `path`: its folder exists and takes new files, and the path is no
// folder itself. False with `error` naming the file and the reason.
bool CheckTarget(const std::string& path, std::string& error);

}  // namespace atomic_file
