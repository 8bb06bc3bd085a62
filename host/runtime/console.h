#pragma once

#include <string>
#include <vector>

// The host console: every GePrint line is echoed (unless silenced) and kept for tests and the CLI.
namespace console {
void Print(const std::string& line);
std::vector<std::string> Lines();
void Clear();
void SetEcho(bool echo);
}  // namespace console
