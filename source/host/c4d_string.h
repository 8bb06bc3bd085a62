#pragma once

#include "c4d_math.h"

#include <string>
#include <string_view>

// The host's text type: UTF-8 text with the few operations the module needs.
class String {
 public:
  String() = default;
  String(const char* text) : text_(text ? text : "") {}
  String(std::string text) : text_(std::move(text)) {}
  String(std::string_view text) : text_(text) {}

  static String IntToString(Int64 value) { return String(std::to_string(value)); }

  Int32 GetLength() const { return static_cast<Int32>(text_.size()); }
  Bool IsEmpty() const { return text_.empty(); }
  const std::string& GetStdString() const { return text_; }
  const char* GetCString() const { return text_.c_str(); }

  String operator+(const String& other) const { return String(text_ + other.text_); }
  String& operator+=(const String& other) {
    text_ += other.text_;
    return *this;
  }
  bool operator==(const String& other) const = default;

 private:
  std::string text_;
};

// A file path; joining with operator+ inserts the folder separator.
class Filename {
 public:
  Filename() = default;
  Filename(const String& path) : path_(path) {}
  Filename(const char* path) : path_(path) {}

  Bool Content() const { return !path_.IsEmpty(); }
  const String& GetString() const { return path_; }
  String GetFileString() const;  // the last path component
  Filename GetDirectory() const;
  String GetSuffix() const;

  Filename operator+(const Filename& child) const;
  bool operator==(const Filename& other) const = default;

 private:
  String path_;
};

// A point in document time, in seconds.
class BaseTime {
 public:
  BaseTime() = default;
  explicit BaseTime(Float seconds) : seconds_(seconds) {}
  BaseTime(Float frame, Float fps) : seconds_(fps > 0.0 ? frame / fps : 0.0) {}

  Float Get() const { return seconds_; }
  Int32 GetFrame(Float fps) const;
  bool operator==(const BaseTime& other) const = default;

 private:
  Float seconds_ = 0.0;
};
