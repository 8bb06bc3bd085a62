#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <system_error>

namespace fs = std::filesystem;

namespace atomic_file {
namespace {

std::string FolderOf(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

std::string Failure(const std::string& path, const std::string& reason) {
  return "cannot write \"" + path + "\": " + reason;
}

// A temporary file of a fixed short name pattern, so that targets with the longest legal names
// still work; -1 when the folder takes no new file.
int CreateTemporary(const std::string& path, std::string& temporary) {
  temporary = FolderOf(path) + "/.orvex360-XXXXXX";
  return mkstemp(temporary.data());
}

bool WriteAll(int descriptor, const std::vector<unsigned char>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<size_t>(written);
  }
  return true;
}

// The temporary files of uncommitted PendingFiles, readable from a signal handler: a name is
// complete before its slot is marked used, and a slot is unmarked before its file is renamed or
// removed.
struct PendingSlot {
  std::atomic<bool> used{false};
  char path[PATH_MAX] = {};
};
PendingSlot pendingSlots[16];
std::mutex pendingSlotsTaken;

int TakeSlot(const std::string& temporary) {
  const std::lock_guard<std::mutex> lock(pendingSlotsTaken);
  for (int slot = 0; slot < static_cast<int>(std::size(pendingSlots)); ++slot) {
    PendingSlot& pending = pendingSlots[slot];
    if (pending.used.load() || temporary.size() >= sizeof(pending.path)) continue;
    std::memcpy(pending.path, temporary.c_str(), temporary.size() + 1);
    pending.used.store(true);
    return slot;
  }
  return -1;  // too many at once: that file is not removed on a signal
}

void ReleaseSlot(int& slot) {
  if (slot >= 0) pendingSlots[slot].used.store(false);
  slot = -1;
}

// New files get the usual permissions (0666 less the umask) instead of mkstemp's 0600.
bool GiveUsualPermissions(int descriptor) {
  const mode_t mask = umask(0);
  umask(mask);
  return fchmod(descriptor, 0666 & ~mask) == 0;
}

}  // namespace

bool Write(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error) {
  std::string temporary;
  const int descriptor = CreateTemporary(path, temporary);
  if (descriptor < 0) {
    error = Failure(path, std::strerror(errno));
    return false;
  }
  bool written = GiveUsualPermissions(descriptor) && WriteAll(descriptor, bytes) && fsync(descriptor) == 0;
  int reason = written ? 0 : errno;
  if (close(descriptor) != 0 && written) {
    written = false;
    reason = errno;
  }
  if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
    written = false;
    reason = errno;
  }
  if (!written) {
    ::unlink(temporary.c_str());
    error = Failure(path, std::strerror(reason));
  }
  return written;
}

PendingFile::~PendingFile() {
  ReleaseSlot(slot_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

bool PendingFile::Create(const std::string& path, std::string& error) {
  std::string temporary;
  const int descriptor = CreateTemporary(path, temporary);
  if (descriptor < 0) {
    error = Failure(path, std::strerror(errno));
    return false;
  }
  path_ = path;
  temporary_ = temporary;
  slot_ = TakeSlot(temporary_);
  const bool usual = GiveUsualPermissions(descriptor);
  const int reason = errno;
  close(descriptor);
  if (!usual) error = Failure(path, std::strerror(reason));
  return usual;
}

bool PendingFile::Commit(std::string& error) {
  const int descriptor = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
  bool done = descriptor >= 0 && fsync(descriptor) == 0;
  int reason = errno;
  if (descriptor >= 0) close(descriptor);
  if (done) ReleaseSlot(slot_);
  if (done && std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    done = false;
    reason = errno;
  }
  if (!done) {
    error = Failure(path_, std::strerror(reason));
    return false;
  }
  temporary_.clear();
  return true;
}

void RemovePendingFiles() {
  for (PendingSlot& pending : pendingSlots)
    if (pending.used.load()) ::unlink(pending.path);
}

bool FolderTakesFiles(const std::string& path, std::string& error) {
  std::string temporary;
  const int descriptor = CreateTemporary(path, temporary);
  if (descriptor < 0) {
    error = Failure(
        path, "the folder \"" + FolderOf(path) + "\" does not take new files (" + std::strerror(errno) + ")");
    return false;
  }
  close(descriptor);
  ::unlink(temporary.c_str());
  return true;
}

bool CheckTarget(const std::string& path, std::string& error) {
  std::error_code code;
  if (!fs::is_directory(FolderOf(path), code)) {
    error = Failure(path, "the folder \"" + FolderOf(path) + "\" does not exist");
    return false;
  }
  if (fs::is_directory(path, code)) {
    error = Failure(path, "it is a folder");
    return false;
  }
  return FolderTakesFiles(path, error);
}

}  // namespace atomic_file
