#include "atomic_file.h"

#include "temporary_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace atomic_file {
namespace {

using temporary_file::GuardedName;
using temporary_file::Temporary;

std::string FolderOf(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

std::string Failure(const std::string& path, const std::string& reason) {
  return "cannot write \"" + path + "\": " + reason;
}

bool WriteAll(int descriptor, std::span<const unsigned char> bytes) {
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

// The file's bytes in its temporary file and on the disk.
bool Stage(const Output& file, Temporary& temporary, std::string& error) {
  if (temporary.Create(file.path) && WriteAll(temporary.Descriptor(), file.bytes) &&
      fsync(temporary.Descriptor()) == 0)
    return true;
  error = Failure(file.path, std::strerror(errno));
  return false;
}

// The old files of several targets, linked aside so that a failed rename can put them back.
class OldFiles {
 public:
  ~OldFiles() {
    for (const auto& kept : kept_)
      if (kept) ::unlink(kept->Path().c_str());
  }
  bool KeepAll(const std::vector<Output>& files, std::string& error) {
    kept_.resize(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
      std::error_code code;
      if (fs::is_directory(files[i].path, code)) {
        error = Failure(files[i].path, "it is a folder");
        return false;
      }
      if (!fs::exists(files[i].path, code)) continue;
      kept_[i] = std::make_unique<GuardedName>(FolderOf(files[i].path));
      if (::link(files[i].path.c_str(), kept_[i]->Path().c_str()) != 0) {
        error =
            Failure(files[i].path, std::string("its old file cannot be kept aside: ") + std::strerror(errno));
        kept_[i].reset();
        return false;
      }
    }
    return true;
  }
  // The target as it was before this write: its old file back, or no file when it had none.
  void Restore(size_t i, const std::string& target) {
    if (kept_[i] && std::rename(kept_[i]->Path().c_str(), target.c_str()) == 0)
      kept_[i].reset();
    else if (!kept_[i])
      ::unlink(target.c_str());
  }

 private:
  std::vector<std::unique_ptr<GuardedName>> kept_;
};

}  // namespace

bool Write(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error) {
  return WriteTogether({{path, bytes}}, error);
}

bool WriteTogether(const std::vector<Output>& files, std::string& error) {
  std::vector<std::unique_ptr<Temporary>> staged;
  for (const Output& file : files) {
    staged.push_back(std::make_unique<Temporary>());
    if (!Stage(file, *staged.back(), error)) return false;
  }
  // From naming to renaming in one piece: SIGINT and SIGTERM wait until the files are in place.
  const temporary_file::SignalsHeld held;
  for (size_t i = 0; i < files.size(); ++i)
    if (!staged[i]->CloseAndName()) {
      error = Failure(files[i].path, std::strerror(errno));
      return false;
    }
  OldFiles old;
  if (files.size() > 1 && !old.KeepAll(files, error)) return false;
  for (size_t i = 0; i < files.size(); ++i) {
    if (staged[i]->MoveOver(files[i].path)) continue;
    error = Failure(files[i].path, std::strerror(errno));
    for (size_t j = 0; j < i; ++j) old.Restore(j, files[j].path);
    return false;
  }
  return true;
}

PendingFile::PendingFile() = default;

PendingFile::~PendingFile() = default;  // the temporary file goes with its Temporary

bool PendingFile::Create(const std::string& path, std::string& error) {
  auto temporary = std::make_unique<Temporary>();
  if (!temporary->Create(path)) {
    error = Failure(path, std::strerror(errno));
    return false;
  }
  path_ = path;
  temporary_ = std::move(temporary);
  return true;
}

std::string PendingFile::TemporaryPath() const { return temporary_ ? temporary_->OpenPath() : std::string(); }

bool PendingFile::Commit(std::string& error) {
  if (!temporary_) {
    error = Failure(path_, "no file was made to commit");
    return false;
  }
  bool done = fsync(temporary_->Descriptor()) == 0;
  if (done) {
    // From naming to renaming in one piece.
    const temporary_file::SignalsHeld held;
    done = temporary_->CloseAndName() && temporary_->MoveOver(path_);
  }
  if (!done) {
    error = Failure(path_, std::strerror(errno));
    return false;
  }
  temporary_.reset();
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

bool FolderTakesFiles(const std::string& path, std::string& error) {
  Temporary probe;
  if (probe.Create(path)) return true;
  error = Failure(
      path, "the folder \"" + FolderOf(path) + "\" does not take new files (" + std::strerror(errno) + ")");
  return false;
}

}  // namespace atomic_file
