#include "slurm_cluster.h"

#include "command_runner.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr const char* kMunged = "/usr/sbin/munged";
constexpr const char* kSlurmctld = "/usr/sbin/slurmctld";
constexpr const char* kSlurmd = "/usr/sbin/slurmd";

// A TCP port nobody listens on now: the kernel's choice for port 0.
int FreePort() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof(address);
  int port = 0;
  if (probe >= 0 && bind(probe, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
      getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0)
    port = ntohs(address.sin_port);
  if (probe >= 0) close(probe);
  return port;
}

std::string ShortHostName() {
  char name[256] = {};
  gethostname(name, sizeof(name) - 1);
  std::string host = name;
  return host.substr(0, host.find('.'));
}

bool WaitFor(int seconds, const std::function<bool()>& ready) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  return ready();
}

}  // namespace

SlurmCluster::~SlurmCluster() {
  // Jobs still queued or running (a test that gave up waiting) end before their daemons do.
  if (!daemons_.empty() && std::getenv("SLURM_CONF")) {
    RunCommand("scancel --user=\"$(id -un)\"");
    WaitForEmptyQueue(10);
  }
  // Newest first: slurmd, slurmctld, then munged, which the others talk to while they stop.
  for (auto daemon = daemons_.rbegin(); daemon != daemons_.rend(); ++daemon) {
    kill(*daemon, SIGTERM);
    const bool ended = WaitFor(10, [&] { return waitpid(*daemon, nullptr, WNOHANG) == *daemon; });
    if (!ended) {
      kill(*daemon, SIGKILL);
      waitpid(*daemon, nullptr, 0);
    }
  }
  unsetenv("SLURM_CONF");
  std::error_code ignored;
  if (!folder_.empty() && !keepLogs_) fs::remove_all(folder_, ignored);
}

pid_t SlurmCluster::Spawn(const std::vector<std::string>& arguments, const std::string& log) {
  const pid_t child = fork();
  if (child == 0) {
    const int output = open((folder_ / log).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (child > 0) daemons_.push_back(child);
  return child;
}

bool SlurmCluster::StartMunge(std::string& reason) {
  const fs::path key = folder_ / "munge.key";
  std::independent_bits_engine<std::random_device, 8, unsigned short> random;
  {
    std::ofstream file(key, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < 1024; ++i) file.put(static_cast<char>(random()));
  }
  fs::permissions(key, fs::perms::owner_read | fs::perms::owner_write);
  const fs::path socket = folder_ / "munge.socket";
  Spawn({kMunged, "--foreground", "--force", "--key-file=" + key.string(), "--socket=" + socket.string(),
         "--pid-file=" + (folder_ / "munged.pid").string(), "--log-file=" + (folder_ / "munged.log").string(),
         "--seed-file=" + (folder_ / "munged.seed").string()},
        "munged.out");
  if (WaitFor(10, [&] { return fs::exists(socket); })) return true;
  keepLogs_ = true;
  reason = "munged did not start (see " + (folder_ / "munged.out").string() + ")";
  return false;
}

void SlurmCluster::WriteConfiguration(const std::string& host) {
  const std::string folder = folder_.string();
  std::ofstream(folder_ / "slurm.conf")
      << "ClusterName=orvextest\nSlurmctldHost=" << host << "(127.0.0.1)\nSlurmUser=root\nSlurmdUser=root\n"
      << "SlurmctldPort=" << FreePort() << "\nSlurmdPort=" << FreePort() << "\n"
      << "AuthType=auth/munge\nAuthInfo=socket=" << folder << "/munge.socket\nCredType=cred/munge\n"
      << "StateSaveLocation=" << folder << "/state\nSlurmdSpoolDir=" << folder << "/spool\n"
      << "SlurmctldPidFile=" << folder << "/slurmctld.pid\nSlurmdPidFile=" << folder << "/slurmd.pid\n"
      << "SlurmctldLogFile=" << folder << "/slurmctld.log\nSlurmdLogFile=" << folder
      << "/slurmd.log\n"
      // No cgroups, no accounting: nothing a bare container lacks.
      << "ProctrackType=proctrack/linuxproc\nTaskPlugin=task/none\nSwitchType=switch/none\nMpiDefault=none\n"
      << "SchedulerType=sched/builtin\nSelectType=select/cons_tres\nSelectTypeParameters=CR_Core\n"
      << "ReturnToService=2\nJobCompType=jobcomp/none\nAccountingStorageType=accounting_storage/none\n"
      << "JobAcctGatherType=jobacct_gather/none\nSlurmdParameters=config_overrides\n"
      << "NodeName=" << host << " NodeAddr=127.0.0.1 CPUs=2 State=UNKNOWN\n"
      << "PartitionName=orvex Nodes=" << host << " Default=YES MaxTime=INFINITE State=UP\n";
}

bool SlurmCluster::Start(int seconds, std::string& reason) {
  if (geteuid() != 0) {
    reason = "needs root (slurmd starts the jobs)";
    return false;
  }
  for (const char* program : {kMunged, kSlurmctld, kSlurmd, "/usr/bin/sbatch", "/usr/bin/sinfo"})
    if (access(program, X_OK) != 0) {
      reason = std::string(program) + " is missing (Debian packages slurm-wlm and munge)";
      return false;
    }
  folder_ = fs::temp_directory_path() / ("orvex-slurm-" + std::to_string(getpid()));
  fs::create_directories(folder_ / "state");
  fs::create_directories(folder_ / "spool");
  // munged wants its socket's folder searchable by everyone.
  fs::permissions(folder_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  if (!StartMunge(reason)) return false;
  const std::string host = ShortHostName();
  WriteConfiguration(host);
  setenv("SLURM_CONF", (folder_ / "slurm.conf").c_str(), 1);
  Spawn({kSlurmctld, "-D", "-i", "-f", (folder_ / "slurm.conf").string()}, "slurmctld.out");
  Spawn({kSlurmd, "-D", "-f", (folder_ / "slurm.conf").string(), "-N", host}, "slurmd.out");
  if (WaitFor(seconds, [] { return RunCommand("sinfo -h -o %T").output == "idle\n"; })) return true;
  keepLogs_ = true;
  reason = "the node did not become idle within " + std::to_string(seconds) + " s (logs in " +
           folder_.string() + ")";
  return false;
}

bool SlurmCluster::WaitForEmptyQueue(int seconds) const {
  return WaitFor(seconds, [] {
    const CommandResult queue = RunCommand("squeue -h -o %i");
    return queue.exitCode == 0 && queue.output.empty();
  });
}
