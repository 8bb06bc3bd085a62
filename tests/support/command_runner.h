#pragma once

#include <string>

// What a shell command printed (stdout and stderr together) and how it ended.
struct CommandResult {
  int exitCode = -1;
  std::string output;
};

// Runs a command through the shell with stderr joined to stdout.
CommandResult RunCommand(const std::string& command);
