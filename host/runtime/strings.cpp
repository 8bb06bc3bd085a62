#include "c4d_string.h"

#include <cmath>
#include <filesystem>

String Filename::GetFileString() const {
  return String(std::filesystem::path(path_.GetStdString()).filename().string());
}

Filename Filename::GetDirectory() const {
  return Filename(String(std::filesystem::path(path_.GetStdString()).parent_path().string()));
}

String Filename::GetSuffix() const {
  const std::string extension = std::filesystem::path(path_.GetStdString()).extension().string();
  return String(extension.empty() ? extension : extension.substr(1));
}

Filename Filename::operator+(const Filename& child) const {
  if (!Content()) return child;
  if (!child.Content()) return *this;
  return Filename(
      String((std::filesystem::path(path_.GetStdString()) / child.path_.GetStdString()).string()));
}

Int32 BaseTime::GetFrame(Float fps) const { return static_cast<Int32>(std::floor(seconds_ * fps + 1e-9)); }
