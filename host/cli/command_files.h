#pragma once

#include "c4d.h"

#include <functional>
#include <string>
#include <vector>

// The files one command writes, and those it reads that no output may replace, over all its frames.
struct CommandFile {
  std::string option;                        // what names it: "--output", "--comfort's heat map"
  std::function<std::string(Int32)> pathAt;  // its path at a frame; empty: none at that frame
  bool read = false;                         // an input: written by nothing of the command
};

// False with `error` naming both options and the path when two of `files` are one file at a frame of
// first..last, or a file named alike at every frame is one of another's frame files; files only read
// may share. Paths are compared with their folders made canonical (links, "." and ".." resolved), so
// "./y.png" and "y.png" are one file.
bool CheckFilesApart(const std::vector<CommandFile>& files, Int32 first, Int32 last, std::string& error);

// Whether `a` and `b` name one file by that comparison; false when either is empty.
bool SameFile(const std::string& a, const std::string& b);
