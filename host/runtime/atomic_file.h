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

// A file another writer fills by name (a video encoder): created as a hidden temporary file beside
// `path`, renamed into place by Commit after its data reached the disk, and removed when dropped
// uncommitted, so that the target holds the old file or the complete new one, never a part.
class PendingFile {
 public:
  PendingFile() = default;
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  ~PendingFile();

  // Creates the temporary file; false with `error` when the folder takes none.
  bool Create(const std::string& path, std::string& error);
  const std::string& TemporaryPath() const { return temporary_; }
  // Flushes the temporary file to disk and renames it over the target; false with `error`.
  bool Commit(std::string& error);

 private:
  std::string path_;
  std::string temporary_;
  int slot_ = -1;  // where a signal handler finds the temporary file's name; -1: in no slot
};

// Removes the temporary file of every PendingFile not yet committed, for a process about to end by a
// signal (an interrupted render leaves the old file and nothing else). Async-signal-safe.
void RemovePendingFiles();

// Whether the folder of `path` takes new files, tried with a temporary file that is removed again.
bool FolderTakesFiles(const std::string& path, std::string& error);

// Whether a file can be written at `path`: its folder exists and takes new files, and the path is no
// folder itself. False with `error` naming the file and the reason.
bool CheckTarget(const std::string& path, std::string& error);

}  // namespace atomic_file
