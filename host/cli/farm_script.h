#pragma once

#include <string>
#include <vector>

// A render split into chunks of frames for a SLURM job array, and the batch scripts that run it.
struct FarmPlan {
  std::string executable;  // the orvex360 tool, absolute
  std::string plugins;     // its plugins folder, absolute
  std::string workFolder;  // where the tasks run (relative scene paths resolve there), absolute
  std::vector<std::string> renderArguments;  // given to `orvex360 render` as they are
  int first = 0;
  int last = 0;
  int chunk = 1;
  std::string framePattern;  // absolute; the first "#" run of the file name is the frame number
  std::string jobName;
  std::string logFolder;                   // absolute
  std::string partition;                   // empty: the cluster's default
  std::string timeLimit;                   // empty: the partition's default
  int cpusPerTask = 0;                     // 0: the cluster's default
  std::string memory;                      // sbatch --mem; empty: the cluster's default
  std::string account;                     // empty: the user's default
  std::vector<std::string> sbatchOptions;  // given to every job as they are ("--qos=high")
  // A video to make of the frames once every one is complete (empty: frames only), and how.
  std::string video;
  std::string videoCodec;
  int videoQuality = 0;
  std::vector<int> tasks;                  // the array's task indices to submit
  std::vector<std::string> foldersToMake;  // outermost first: made on submission, named by a dry run
};

// How many chunks the frame range makes (the last one may be shorter).
int ChunkCount(const FarmPlan& plan);
// The frames of one chunk.
int ChunkFirst(const FarmPlan& plan, int task);
int ChunkLast(const FarmPlan& plan, int task);

// "0-2,5,7-8": task indices as SLURM's --array takes them.
std::string ArraySpec(const std::vector<int>& tasks);

// The array job: task i renders the frames of chunk i that are not complete on disk yet, then
// fails unless all of them are.
std::string ArrayScript(const FarmPlan& plan);

// The check job, run after every task has ended: lists the missing or incomplete frames and fails
// when there are any.
std::string CheckScript(const FarmPlan& plan);

// The encoding job of a video, run once the check job passed: checks every frame again (it may run
// alone, after the frames were made some other way), then makes the video with `orvex360 encode`.
std::string EncodeScript(const FarmPlan& plan);
