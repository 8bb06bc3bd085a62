#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

// A one-node SLURM cluster on this machine for one test: munged, slurmctld and slurmd started in
// the foreground as child processes with a generated slurm.conf in a temporary folder, and stopped
// (by their process IDs) when the object goes. SLURM_CONF points at the configuration meanwhile,
// so sbatch, squeue and everything started from the test find the cluster.
class SlurmCluster {
 public:
  SlurmCluster() = default;
  SlurmCluster(const SlurmCluster&) = delete;
  SlurmCluster& operator=(const SlurmCluster&) = delete;
  ~SlurmCluster();

  // Starts the daemons and waits (at most `seconds`) for the node to be idle. False with
  // `reason` when SLURM cannot run here.
  bool Start(int seconds, std::string& reason);

  // Waits (at most `seconds`) until the queue is empty; false when it never was.
  bool WaitForEmptyQueue(int seconds) const;

  const std::filesystem::path& Folder() const { return folder_; }

 private:
  bool StartMunge(std::string& reason);
  void WriteConfiguration(const std::string& host);
  pid_t Spawn(const std::vector<std::string>& arguments, const std::string& log);

  std::filesystem::path folder_;
  std::vector<pid_t> daemons_;
  bool keepLogs_ = false;  // a cluster that did not start keeps its logs for a look
};
