#include "files_support.h"
#include "render_test_support.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

// `orvex360 farm` on a real one-node SLURM cluster: a six-frame animation in chunks of two comes
// back frame for frame as a local render of the same frames.

namespace {

namespace fs = std::filesystem;

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

bool WaitFor(int seconds, const std::function<bool()>& ready) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  return ready();
}

bool QueueIsEmpty() {
  const CommandResult queue = RunCommand("squeue -h -o %i");
  return queue.exitCode == 0 && queue.output.empty();
}

// A one-node SLURM cluster on this machine for one test: munged, slurmctld and slurmd started in
// the foreground as child processes with a generated slurm.conf in a temporary folder, and stopped
// (by their process IDs) when the object goes. SLURM_CONF points at the configuration meanwhile,
// so sbatch, squeue and everything started from the test find the cluster.
class SlurmCluster {
 public:
  SlurmCluster() = default;
  SlurmCluster(const SlurmCluster&) = delete;
  SlurmCluster& operator=(const SlurmCluster&) = delete;

  ~SlurmCluster() {
    // Jobs still queued or running (a test that gave up waiting) end before their daemons do.
    if (!daemons_.empty() && std::getenv("SLURM_CONF")) {
      RunCommand("scancel --user=\"$(id -un)\"");
      WaitFor(10, QueueIsEmpty);
    }
    // Newest first: slurmd, slurmctld, then munged, which the others talk to while they stop.
    for (auto daemon = daemons_.rbegin(); daemon != daemons_.rend(); ++daemon) {
      kill(*daemon, SIGTERM);
      if (!WaitFor(10, [&] { return waitpid(*daemon, nullptr, WNOHANG) == *daemon; })) {
        kill(*daemon, SIGKILL);
        waitpid(*daemon, nullptr, 0);
      }
    }
    unsetenv("SLURM_CONF");
    std::error_code ignored;
    if (!folder_.empty() && !keepLogs_) fs::remove_all(folder_, ignored);
  }

  // Starts the daemons and waits (at most `seconds`) for the node to be idle. False with
  // `reason` when SLURM cannot run here; a cluster that did not start keeps its logs for a look.
  bool Start(int seconds, std::string& reason) {
    if (geteuid() != 0) return Fail(reason, "needs root (slurmd starts the jobs)");
    for (const char* program : {kMunged, kSlurmctld, kSlurmd, "/usr/bin/sbatch", "/usr/bin/sinfo"})
      if (access(program, X_OK) != 0)
        return Fail(reason, std::string(program) + " is missing (Debian packages slurm-wlm and munge)");
    folder_ = fs::temp_directory_path() / ("orvex-slurm-" + std::to_string(getpid()));
    fs::create_directories(folder_ / "state");
    fs::create_directories(folder_ / "spool");
    // munged wants its socket's folder searchable by everyone.
    fs::permissions(folder_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const std::string folder = folder_.string(), key = folder + "/munge.key",
                      socket = folder + "/munge.socket";
    std::independent_bits_engine<std::random_device, 8, unsigned short> random;
    std::vector<unsigned char> keyBytes(1024);
    for (unsigned char& byte : keyBytes) byte = static_cast<unsigned char>(random());
    files::WriteBytes(key, keyBytes);
    fs::permissions(key, fs::perms::owner_read | fs::perms::owner_write);
    Spawn({kMunged, "--foreground", "--force", "--key-file=" + key, "--socket=" + socket,
           "--pid-file=" + folder + "/munged.pid", "--log-file=" + folder + "/munged.log",
           "--seed-file=" + folder + "/munged.seed"},
          "munged.out");
    keepLogs_ = true;
    if (!WaitFor(10, [&] { return fs::exists(socket); }))
      return Fail(reason, "munged did not start (see " + folder + "/munged.out)");
    char name[256] = {};
    gethostname(name, sizeof(name) - 1);
    const std::string host = std::string(name).substr(0, std::string(name).find('.'));
    const std::string conf = folder + "/slurm.conf";
    files::WriteText(
        conf,
        "ClusterName=orvextest\nSlurmctldHost=" + host + "(127.0.0.1)\nSlurmUser=root\nSlurmdUser=root\n" +
            "SlurmctldPort=" + std::to_string(FreePort()) + "\nSlurmdPort=" + std::to_string(FreePort()) +
            "\nAuthType=auth/munge\nAuthInfo=socket=" + socket + "\nCredType=cred/munge\n" +
            "StateSaveLocation=" + folder + "/state\nSlurmdSpoolDir=" + folder + "/spool\n" +
            "SlurmctldPidFile=" + folder + "/slurmctld.pid\nSlurmdPidFile=" + folder + "/slurmd.pid\n" +
            "SlurmctldLogFile=" + folder + "/slurmctld.log\nSlurmdLogFile=" + folder + "/slurmd.log\n" +
            // No cgroups, no accounting: nothing a bare container lacks.
            "ProctrackType=proctrack/linuxproc\nTaskPlugin=task/none\nSwitchType=switch/none\n" +
            "MpiDefault=none\nSchedulerType=sched/builtin\nSelectType=select/cons_tres\n" +
            "SelectTypeParameters=CR_Core\nReturnToService=2\nJobCompType=jobcomp/none\n" +
            "AccountingStorageType=accounting_storage/none\nJobAcctGatherType=jobacct_gather/none\n" +
            "SlurmdParameters=config_overrides\nNodeName=" + host +
            " NodeAddr=127.0.0.1 CPUs=2 State=UNKNOWN\nPartitionName=orvex Nodes=" + host +
            " Default=YES MaxTime=INFINITE State=UP\n");
    setenv("SLURM_CONF", conf.c_str(), 1);
    Spawn({kSlurmctld, "-D", "-i", "-f", conf}, "slurmctld.out");
    Spawn({kSlurmd, "-D", "-f", conf, "-N", host}, "slurmd.out");
    if (!WaitFor(seconds, [] { return RunCommand("sinfo -h -o %T").output == "idle\n"; }))
      return Fail(reason, "the node did not become idle within " + std::to_string(seconds) + " s (logs in " +
                              folder + ")");
    keepLogs_ = false;
    return true;
  }

 private:
  static bool Fail(std::string& reason, const std::string& why) {
    reason = why;
    return false;
  }

  void Spawn(const std::vector<std::string>& arguments, const std::string& log) {
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
  }

  fs::path folder_;
  std::vector<pid_t> daemons_;
  bool keepLogs_ = false;
};

TEST(SlurmCluster, AnAnimationInChunksMatchesALocalRenderFrameByFrame) {
  constexpr int kJobSeconds = 120;
  SlurmCluster cluster;
  std::string reason;
  if (!cluster.Start(60, reason)) GTEST_SKIP() << "SLURM cannot start here: " << reason;

  render_test::TempFolder folder;
  fs::create_directories(folder.Path() / "farm");
  fs::create_directories(folder.Path() / "local");
  const std::string scene =
      std::string("'") + ORVEX_SOURCE_DIR + "/scenes/plaza.gltf' -c panorama -s 64x32 --samples 1";
  const CommandResult submitted =
      render_test::ToolCommand(folder, "farm --frames 0-5 --chunk 2 -o farm/f_####.png -- " + scene);
  ASSERT_EQ(submitted.exitCode, 0) << submitted.output;
  ASSERT_NE(submitted.output.find("submitted job"), std::string::npos) << submitted.output;
  ASSERT_TRUE(WaitFor(kJobSeconds, QueueIsEmpty)) << "the jobs did not end within " << kJobSeconds << " s";

  std::string checkLog;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder.Path() / "farm/orvex360-f.farm"))
    if (entry.path().filename().string().find("-check-") != std::string::npos)
      checkLog = files::ReadText(entry.path());
  files::ExpectHolds(checkLog, {"all 6 frames (0-5) are complete"});

  const CommandResult local = render_test::RenderCommand(folder, scene + " --frames 0-5 -o local/f_####.png");
  ASSERT_EQ(local.exitCode, 0) << local.output;
  std::vector<FloatImage> farmed;
  for (int frame = 0; frame <= 5; ++frame) {
    const std::string name = "/f_000" + std::to_string(frame) + ".png";
    farmed.push_back(render_test::ReadImage(folder.File("farm" + name)));
    const FloatImage rendered = render_test::ReadImage(folder.File("local" + name));
    ASSERT_EQ(farmed.back().rgba.size(), rendered.rgba.size()) << name;
    EXPECT_EQ(render_test::DifferentValues(farmed.back(), 0, 0, rendered, false, false, 0, 1.5f / 255.0f), 0)
        << name;
  }
  // The camera walks: the frames differ, so matching them means each task rendered its own frames.
  EXPECT_GT(render_test::DifferentValues(farmed[0], 0, 0, farmed[5], false, false, 0, 0.1f), 0);
}

}  // namespace
