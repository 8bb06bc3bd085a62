#pragma once

#include <filesystem>
#include <string>

// A private copy of the built plugin folder, so a test can change it or start a fresh module instance.
class PluginFolderCopy {
 public:
  PluginFolderCopy();
  ~PluginFolderCopy();
  PluginFolderCopy(const PluginFolderCopy&) = delete;
  PluginFolderCopy& operator=(const PluginFolderCopy&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string Folder() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};
