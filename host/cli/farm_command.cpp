#include "child_process.h"
#include "cli_context.h"
#include "farm_script.h"
#include "files/atomic_file.h"
#include "image/image_facts.h"
#include "image/image_output.h"
#include "option_checks.h"
#include "option_values.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

namespace fs = std::filesystem;

namespace {

struct FarmArguments {
  std::string frames;
  int chunk = 1;
  std::string output;
  bool dryRun = false;
  std::string jobName;
  std::string partition;
  std::string timeLimit;
  std::vector<std::string> renderArguments;
};

bool Fail(const std::string& message) {
  std::fprintf(stderr, "orvex360: farm: %s\n", message.c_str());
  return false;
}

// The range, once --frames' validator has read it.
bool ParseFrameRange(const std::string& text, FarmPlan& plan) {
  const std::optional<option_values::Frames> frames = option_values::FramesOf(text);
  if (!frames || !frames->first) return Fail("--frames takes a frame (5) or a range FIRST-LAST (0-99)");
  plan.first = *frames->first;
  plan.last = *frames->last;
  return true;
}

// The frame pattern: the output name with "#" for the frame number ("_####" added when it has none).
std::string FramePattern(const std::string& output) {
  const fs::path path = fs::absolute(output);
  if (path.filename().string().find('#') != std::string::npos) return path.string();
  return (path.parent_path() / (path.stem().string() + "_####" + path.extension().string())).string();
}

// Text that goes into #SBATCH lines, which cannot quote.
bool FitsDirective(const std::string& what, const std::string& text) {
  if (text.find_first_of(" \t\n\r'\"\\") == std::string::npos) return true;
  return Fail(what + " \"" + text +
              "\" holds blanks, quotes or backslashes, which SLURM's #SBATCH lines cannot take");
}

bool IsJobNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-';
}

std::string DefaultJobName(const std::string& pattern) {
  std::string name = fs::path(pattern).stem().string();
  std::erase_if(name, [](char c) { return !IsJobNameChar(c); });
  while (!name.empty() && (name.back() == '_' || name.back() == '-' || name.back() == '.')) name.pop_back();
  return "orvex360-" + (name.empty() ? std::string("frames") : name);
}

// A missing frame is told by one look at the folder, so that a long range with nothing rendered yet
// is planned at once; files that are there are decoded.
bool ChunkIsComplete(const FarmPlan& plan, int task) {
  for (int frame = ChunkFirst(plan, task); frame <= ChunkLast(plan, task); ++frame) {
    const std::string path = image_output::FramePath(plan.framePattern, frame, true);
    std::error_code code;
    std::string ignored;
    if (!fs::is_regular_file(path, code) || !VerifyImageComplete(path, ignored)) return false;
  }
  return true;
}

// SLURM takes array task indices below MaxArraySize: 1001 unless the cluster's slurm.conf says otherwise.
struct ArrayLimit {
  long long size = 1001;
  std::string source = "SLURM's default";
};

ArrayLimit ReadArrayLimit() {
  const char* configured = std::getenv("SLURM_CONF");
  const std::string path = configured && *configured ? configured : "/etc/slurm/slurm.conf";
  constexpr std::string_view kKey = "maxarraysize=";
  ArrayLimit limit;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) {
    std::istringstream words(line.substr(0, line.find('#')));
    for (std::string word; words >> word;) {
      std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return std::tolower(c); });
      if (word.starts_with(kKey) && std::atoll(word.c_str() + kKey.size()) > 0)
        limit = {std::atoll(word.c_str() + kKey.size()), path};
    }
  }
  return limit;
}

// A plan whose array SLURM would refuse is refused here, with the chunk that makes it fit.
bool FitsArrayLimit(const FarmPlan& plan) {
  const ArrayLimit limit = ReadArrayLimit();
  if (ChunkCount(plan) <= limit.size) return true;
  const long long frames = static_cast<long long>(plan.last) - plan.first + 1;
  return Fail("frames " + std::to_string(plan.first) + "-" + std::to_string(plan.last) + " in chunks of " +
              std::to_string(plan.chunk) + " make " + std::to_string(ChunkCount(plan)) +
              " array tasks; SLURM takes at most " + std::to_string(limit.size) + " (MaxArraySize " +
              std::to_string(limit.size) + ", " + limit.source + "): give --chunk " +
              std::to_string((frames + limit.size - 1) / limit.size) + " or more");
}

// The render options must be good before anything is submitted: `orvex360 render ... --check`.
bool CheckRenderArguments(const FarmPlan& plan) {
  for (const std::string& argument : plan.renderArguments)
    if (argument == "-o" || argument.starts_with("--output") || argument.starts_with("--frames") ||
        argument.starts_with("-o"))
      return Fail("give --frames and -o to farm itself, not among the render options (\"" + argument + "\")");
  std::vector<std::string> command = {plan.executable, "--plugins", plan.plugins, "render"};
  command.insert(command.end(), plan.renderArguments.begin(), plan.renderArguments.end());
  command.insert(command.end(), {"--frames", std::to_string(plan.first), "-o", plan.framePattern, "--check"});
  const ChildResult checked = RunChild(command, false);
  if (checked.exitCode == 0) return true;
  std::fputs(checked.output.c_str(), stderr);
  // A check that died or said nothing still leaves a reason above the refusal.
  if (checked.signal != 0)
    Fail("the render check died from signal " + std::to_string(checked.signal) + " (" +
         strsignal(checked.signal) + ")");
  else if (checked.output.empty())
    Fail("the render check ended with exit code " + std::to_string(checked.exitCode) + " and no message");
  return Fail("the render options are refused (see above); nothing was submitted");
}

bool MakePlan(const FarmArguments& arguments, const CliContext& context, FarmPlan& plan) {
  std::error_code code;
  plan.executable = fs::canonical("/proc/self/exe", code).string();
  plan.plugins = fs::absolute(context.pluginsFolder).string();
  plan.workFolder = fs::current_path().string();
  plan.renderArguments = arguments.renderArguments;
  plan.chunk = arguments.chunk;
  if (!ParseFrameRange(arguments.frames, plan) || !FitsArrayLimit(plan)) return false;
  plan.framePattern = FramePattern(arguments.output);
  std::string error;
  if (!image_output::CheckWritable(image_output::FramePath(plan.framePattern, plan.first, true), error))
    return Fail(error);
  plan.jobName = arguments.jobName.empty() ? DefaultJobName(plan.framePattern) : arguments.jobName;
  if (plan.jobName.empty() || !std::all_of(plan.jobName.begin(), plan.jobName.end(), IsJobNameChar))
    return Fail("--job-name takes letters, digits, \"_\", \".\" and \"-\", not \"" + plan.jobName + "\"");
  plan.logFolder = (fs::path(plan.framePattern).parent_path() / (plan.jobName + ".farm")).string();
  plan.partition = arguments.partition;
  plan.timeLimit = arguments.timeLimit;
  if (!FitsDirective("the log folder", plan.logFolder) ||
      !FitsDirective("the working folder", plan.workFolder) ||
      !FitsDirective("--partition", plan.partition) || !FitsDirective("--time", plan.timeLimit))
    return false;
  for (int task = 0; task < ChunkCount(plan); ++task)
    if (!ChunkIsComplete(plan, task)) plan.tasks.push_back(task);
  return CheckRenderArguments(plan);
}

bool WriteScript(const std::string& path, const std::string& text) {
  std::string error;
  if (atomic_file::Write(path, std::vector<unsigned char>(text.begin(), text.end()), error)) return true;
  return Fail(error);
}

// sbatch's job ID (its --parsable answer is "ID" or "ID;CLUSTER"); empty after a message when refused.
std::string Submit(const std::string& sbatch, const std::vector<std::string>& options,
                   const std::string& script) {
  std::vector<std::string> command = {sbatch, "--parsable"};
  command.insert(command.end(), options.begin(), options.end());
  command.push_back(script);
  const ChildResult submitted = RunChild(command, true);
  const std::string id = submitted.output.substr(0, submitted.output.find_first_of(";\n"));
  if (submitted.exitCode == 0 && !id.empty() &&
      std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return id;
  std::string reason = submitted.output;
  while (!reason.empty() && reason.back() == '\n') reason.pop_back();
  Fail("SLURM refused " + fs::path(script).filename().string() + ": " +
       (reason.empty() ? "no reason given" : reason));
  return {};
}

int SubmitPlan(const FarmPlan& plan) {
  const std::string sbatch = FindOnPath("sbatch");
  if (sbatch.empty())
    return Fail(
               "sbatch is not on PATH: SLURM's client commands are needed to submit (--dry-run prints the "
               "scripts)"),
           1;
  std::error_code code;
  fs::create_directories(plan.logFolder, code);
  if (code) return Fail("cannot make the folder \"" + plan.logFolder + "\": " + code.message()), 1;
  const std::string arrayScript = plan.logFolder + "/render-array.sh";
  const std::string checkScript = plan.logFolder + "/check-frames.sh";
  if (!WriteScript(arrayScript, ArrayScript(plan)) || !WriteScript(checkScript, CheckScript(plan))) return 1;
  const std::string arrayJob = Submit(sbatch, {}, arrayScript);
  if (arrayJob.empty()) return 1;
  const std::string checkJob =
      Submit(sbatch, {"--dependency=afterany:" + arrayJob, "--kill-on-invalid-dep=no"}, checkScript);
  if (checkJob.empty()) return Fail("the render job " + arrayJob + " runs without its check job"), 1;
  std::printf(
      "orvex360: farm: submitted job %s (tasks %s of %d, frames %d-%d in chunks of %d) and check job %s\n",
      arrayJob.c_str(), ArraySpec(plan.tasks).c_str(), ChunkCount(plan), plan.first, plan.last, plan.chunk,
      checkJob.c_str());
  std::printf("orvex360: farm: logs in %s; run one task again: sbatch --array=I %s\n", plan.logFolder.c_str(),
              arrayScript.c_str());
  return 0;
}

int RunFarm(const FarmArguments& arguments, const CliContext& context) {
  FarmPlan plan;
  if (!MakePlan(arguments, context, plan)) return 1;
  if (plan.tasks.empty()) {
    std::printf("orvex360: farm: every frame of %d-%d is complete on disk; nothing to submit\n", plan.first,
                plan.last);
    return 0;
  }
  if (!arguments.dryRun) return SubmitPlan(plan);
  std::printf("%s\n# ---- the check job, submitted with --dependency=afterany:<the array job> ----\n%s",
              ArrayScript(plan).c_str(), CheckScript(plan).c_str());
  return 0;
}

}  // namespace

CliCommand AddFarmCommand(CLI::App& parent) {
  CLI::App* farm = parent.add_subcommand(
      "farm", "Render a frame range on a SLURM cluster: a job array of frame chunks and a check job");
  auto arguments = std::make_shared<FarmArguments>();
  farm->add_option("--frames", arguments->frames, "Frame (5) or range FIRST-LAST (0-99)")
      ->required()
      ->check(option_values::FrameSpan());
  farm->add_option("--chunk", arguments->chunk, "Frames per array task")
      ->capture_default_str()
      ->check(CLI::Range(1, 1000000));
  farm->add_option("-o,--output", arguments->output,
                   "Frame files (.png .exr .jpg .tif); \"#\" marks the frame number (default: \"_####\" "
                   "before the suffix)")
      ->required()
      ->check(NotEmpty());
  farm->add_flag("--dry-run", arguments->dryRun, "Print the batch scripts; write and submit nothing");
  farm->add_option("--job-name", arguments->jobName,
                   "SLURM job name (default: orvex360- and the output's name)");
  farm->add_option("--partition", arguments->partition, "SLURM partition (default: the cluster's)");
  farm->add_option("--time", arguments->timeLimit, "Time limit of each task, as sbatch --time takes it");
  farm->add_option("render-options", arguments->renderArguments,
                   "After --: the scene and options of `orvex360 render`, the same for every frame");
  return {farm, [arguments](CliContext& context) { return RunFarm(*arguments, context); }, false};
}
