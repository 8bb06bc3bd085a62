#include "child_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

void ReadAll(int descriptor, std::string& output) {
  char buffer[4096];
  for (ssize_t got; (got = read(descriptor, buffer, sizeof(buffer))) != 0;) {
    if (got > 0)
      output.append(buffer, static_cast<size_t>(got));
    else if (errno != EINTR)
      break;
  }
}

}  // namespace

ChildResult RunChild(const std::vector<std::string>& arguments, bool keepStdout) {
  ChildResult result;
  if (arguments.empty()) return result;
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return result;
  const pid_t child = fork();
  if (child < 0) {
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    return result;
  }
  if (child == 0) {
    const int discard = keepStdout ? pipeEnds[1] : open("/dev/null", O_WRONLY);
    dup2(discard, STDOUT_FILENO);
    dup2(pipeEnds[1], STDERR_FILENO);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(pipeEnds[1]);
  ReadAll(pipeEnds[0], result.output);
  close(pipeEnds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  result.started = result.exitCode != 127;
  return result;
}

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::filesystem::path candidate = std::filesystem::path(folder.empty() ? "." : folder) / program;
    if (access(candidate.c_str(), X_OK) == 0 && !std::filesystem::is_directory(candidate))
      return candidate.string();
  }
  return {};
}
