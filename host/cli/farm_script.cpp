#include "farm_script.h"

#include <algorithm>
#include <filesystem>

namespace {

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string QuotedList(const std::vector<std::string>& words) {
  std::string list;
  for (const std::string& word : words) list += " " + Quoted(word);
  return list;
}

// The frame file as a printf format: the text around the first "#" run of the name, and its width.
struct FramePattern {
  std::string before;
  std::string after;
  size_t width = 0;
};

FramePattern SplitPattern(const std::string& pattern) {
  const std::filesystem::path path(pattern);
  const std::string name = path.filename().string();
  const size_t first = name.find('#');
  const size_t last = std::min(name.find_first_not_of('#', first), name.size());
  const std::string folder = path.has_parent_path() ? path.parent_path().string() + "/" : "";
  return {folder + name.substr(0, first), name.substr(last), last - first};
}

std::string Directives(const FarmPlan& plan, const std::string& name, const std::string& log) {
  std::string text = "#!/bin/bash\n#SBATCH --job-name=" + name + "\n#SBATCH --output=" + plan.logFolder +
                     "/" + log + "\n#SBATCH --chdir=" + plan.workFolder + "\n";
  if (!plan.partition.empty()) text += "#SBATCH --partition=" + plan.partition + "\n";
  if (!plan.timeLimit.empty()) text += "#SBATCH --time=" + plan.timeLimit + "\n";
  if (plan.cpusPerTask > 0) text += "#SBATCH --cpus-per-task=" + std::to_string(plan.cpusPerTask) + "\n";
  if (!plan.memory.empty()) text += "#SBATCH --mem=" + plan.memory + "\n";
  if (!plan.account.empty()) text += "#SBATCH --account=" + plan.account + "\n";
  for (const std::string& option : plan.sbatchOptions) text += "#SBATCH " + option + "\n";
  return text;
}

// The settings and functions both scripts share.
std::string Common(const FarmPlan& plan) {
  const FramePattern pattern = SplitPattern(plan.framePattern);
  return "set -u\n"
         "orvex360=(" +
         Quoted(plan.executable) + " --plugins " + Quoted(plan.plugins) +
         ")\n"
         "first=" +
         std::to_string(plan.first) + " last=" + std::to_string(plan.last) +
         " chunk=" + std::to_string(plan.chunk) +
         "\n"
         "frame_file() { printf '%s%0*d%s' " +
         Quoted(pattern.before) + " " + std::to_string(pattern.width) + " \"$1\" " + Quoted(pattern.after) +
         "; }\n"
         "# A frame counts as done only when its file decodes completely.\n"
         "complete() { \"${orvex360[@]}\" info --verify \"$(frame_file \"$1\")\" >/dev/null 2>&1; }\n";
}

}  // namespace

int ChunkCount(const FarmPlan& plan) { return (plan.last - plan.first) / plan.chunk + 1; }

int ChunkFirst(const FarmPlan& plan, int task) { return plan.first + task * plan.chunk; }

int ChunkLast(const FarmPlan& plan, int task) {
  return std::min(ChunkFirst(plan, task) + plan.chunk - 1, plan.last);
}

std::string ArraySpec(const std::vector<int>& tasks) {
  std::string spec;
  for (size_t i = 0; i < tasks.size();) {
    size_t end = i;
    while (end + 1 < tasks.size() && tasks[end + 1] == tasks[end] + 1) ++end;
    spec += (spec.empty() ? "" : ",") + std::to_string(tasks[i]);
    if (end > i) spec += "-" + std::to_string(tasks[end]);
    i = end + 1;
  }
  return spec;
}

std::string ArrayScript(const FarmPlan& plan) {
  return Directives(plan, plan.jobName, plan.jobName + "-%A_%a.out") +
         "#SBATCH --array=" + ArraySpec(plan.tasks) +
         "\n"
         "# Frames " +
         std::to_string(plan.first) + "-" + std::to_string(plan.last) + " in chunks of " +
         std::to_string(plan.chunk) +
         ": task i renders frames first + i * chunk onwards. Frames already\n"
         "# complete on disk are skipped, so a failed task can be run again alone: sbatch --array=I "
         "THIS_SCRIPT\n" +
         Common(plan) + "render_arguments=(" + QuotedList(plan.renderArguments) + " )\n" +
         "render() {\n"
         "  echo \"rendering frames $1-$2\"\n"
         "  \"${orvex360[@]}\" render \"${render_arguments[@]}\" --frames \"$1-$2\" -o " +
         Quoted(plan.framePattern) +
         "\n"
         "}\n"
         "task=${SLURM_ARRAY_TASK_ID:?runs as a task of a SLURM job array (sbatch --array)}\n"
         "start=$((first + task * chunk))\n"
         "end=$((start + chunk - 1))\n"
         "if ((end > last)); then end=$last; fi\n"
         "if ((task < 0 || start > last)); then echo \"task $task is outside frames $first-$last\" >&2; exit "
         "1; fi\n"
         "status=0\n"
         "pending=\n"
         "# Renders each run of incomplete frames with one command; frame end + 1 closes the last run.\n"
         "for ((frame = start; frame <= end + 1; frame++)); do\n"
         "  if ((frame <= end)) && ! complete \"$frame\"; then pending=${pending:-$frame}; continue; fi\n"
         "  if ((frame <= end)); then echo \"frame $frame is complete: skipped\"; fi\n"
         "  if [ -n \"$pending\" ]; then render \"$pending\" \"$((frame - 1))\" || status=1; pending=; fi\n"
         "done\n"
         "for ((frame = start; frame <= end; frame++)); do\n"
         "  complete \"$frame\" || { echo \"frame $frame is missing or incomplete: $(frame_file "
         "\"$frame\")\" >&2; status=1; }\n"
         "done\n"
         "exit $status\n";
}

std::string EncodeScript(const FarmPlan& plan) {
  return Directives(plan, plan.jobName + "-encode", plan.jobName + "-encode-%j.out") +
         "# Runs once the check job found every frame complete; checks them again, so that it can run\n"
         "# alone too, then makes the video with the spherical metadata the frames carry.\n" +
         Common(plan) +
         "for ((frame = first; frame <= last; frame++)); do\n"
         "  complete \"$frame\" || { echo \"frame $frame is missing or incomplete: $(frame_file "
         "\"$frame\")\" >&2; "
         "exit 1; }\n"
         "done\n"
         "\"${orvex360[@]}\" encode " +
         Quoted(plan.framePattern) + " --frames \"$first-$last\" -o " + Quoted(plan.video) +
         " --video-codec " + Quoted(plan.videoCodec) + " --video-quality " +
         std::to_string(plan.videoQuality) + "\n";
}

std::string CheckScript(const FarmPlan& plan) {
  const std::string count = std::to_string(plan.last - plan.first + 1);
  return Directives(plan, plan.jobName + "-check", plan.jobName + "-check-%j.out") +
         "# Runs after every task of the array has ended, whether it succeeded or not.\n" + Common(plan) +
         "missing=0\n"
         "for ((frame = first; frame <= last; frame++)); do\n"
         "  if ! complete \"$frame\"; then\n"
         "    echo \"frame $frame is missing or incomplete: $(frame_file \"$frame\")\"\n"
         "    missing=$((missing + 1))\n"
         "  fi\n"
         "done\n"
         "if ((missing > 0)); then\n"
         "  echo \"$missing of " +
         count +
         " frames are missing or incomplete: run their tasks again or submit again\"\n"
         "  exit 1\n"
         "fi\n"
         "echo \"all " +
         count + " frames ($first-$last) are complete\"\n";
}
