#include "command_runner.h"

#include <sys/wait.h>

#include <cstdio>

CommandResult RunCommand(const std::string& command) {
  CommandResult run;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  while (size_t read = std::fread(buffer, 1, sizeof(buffer), pipe)) run.output.append(buffer, read);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
