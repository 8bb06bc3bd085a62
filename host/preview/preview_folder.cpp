#include "preview_folder.h"

#include <unistd.h>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string Beside(const fs::path& target, const std::string& what) {
  return (target.parent_path() /
          ("." + target.filename().string() + "." + what + "-" + std::to_string(getpid())))
      .string();
}

bool Replaceable(const fs::path& target, std::string& error) {
  std::error_code code;
  if (!fs::exists(target, code)) return true;
  if (!fs::is_directory(target, code)) {
    error = target.string() + " exists and is not a folder; nothing written";
    return false;
  }
  if (fs::is_empty(target, code) || fs::exists(target / StagedFolder::kMarker, code)) return true;
  error = target.string() + " exists and holds other files than a preview; nothing written";
  return false;
}

}  // namespace

StagedFolder::~StagedFolder() {
  std::error_code code;
  if (!committed_ && !staging_.empty()) fs::remove_all(staging_, code);
}

bool StagedFolder::Begin(std::string& error) {
  fs::path target = fs::absolute(target_).lexically_normal();
  if (target.filename().empty()) target = target.parent_path();
  target_ = target.string();
  std::error_code code;
  if (!fs::is_directory(target.parent_path(), code)) {
    error = "the folder " + target.parent_path().string() + " does not exist";
    return false;
  }
  if (!Replaceable(target, error)) return false;
  staging_ = Beside(target, "staging");
  fs::remove_all(staging_, code);
  if (fs::create_directory(staging_, code)) return true;
  error = "cannot make a folder beside " + target_ + ": " + code.message();
  staging_.clear();
  return false;
}

bool StagedFolder::Commit(std::string& error) {
  std::error_code code;
  const std::string old = Beside(target_, "old");
  const bool hadTarget = fs::exists(target_, code);
  if (hadTarget) fs::rename(target_, old, code);
  if (!code) fs::rename(staging_, target_, code);
  if (code) {
    error = "cannot move the preview into " + target_ + ": " + code.message();
    if (hadTarget && fs::exists(old, code)) fs::rename(old, target_, code);
    return false;
  }
  committed_ = true;
  fs::remove_all(old, code);
  return true;
}
