#pragma once

#include <string>

// A folder written completely or not at all: everything goes into a hidden staging folder beside
// the target, which is renamed into place only when every file is written. A target that already
// exists is replaced only when it is an earlier preview (it holds the marker file) or empty; the
// old folder is removed only after the new one stands in its place.
class StagedFolder {
 public:
  static constexpr const char* kMarker = ".orvex360-preview";

  explicit StagedFolder(std::string target) : target_(std::move(target)) {}
  ~StagedFolder();  // removes the staging folder unless committed
  StagedFolder(const StagedFolder&) = delete;
  StagedFolder& operator=(const StagedFolder&) = delete;

  // Checks the target and makes the staging folder; false with `error`.
  bool Begin(std::string& error);
  const std::string& Path() const { return staging_; }
  // Renames the staging folder into place; false with `error`, and the old target is kept.
  bool Commit(std::string& error);

 private:
  std::string target_;
  std::string staging_;
  bool committed_ = false;
};
