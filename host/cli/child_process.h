#pragma once

#include <string>
#include <vector>

// What a program run to its end printed and how it ended.
struct ChildResult {
  bool started = false;  // false: the program could not be run at all
  int exitCode = -1;     // the exit status; -1 when it died from a signal
  int signal = 0;        // the signal it died from; 0 when it exited
  std::string output;    // what it printed on stderr, and on stdout when kept
};

// Runs `arguments[0]` (looked up on PATH) with the arguments and waits for it. Its stderr is
// collected, its stdout too when `keepStdout`, else discarded.
ChildResult RunChild(const std::vector<std::string>& arguments, bool keepStdout);

// The program's full path found on PATH; empty when there is none.
std::string FindOnPath(const std::string& program);
