#include "child_process.h"
#include "cli_context.h"
#include "farm_script.h"
#include "files/atomic_file.h"
#include "image/image_facts.h"
#include "image/image_output.h"
#include "option_checks.h"
#include "option_values.h"
#include "video/video_output.h"
#include "video_render.h"

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
  int cpusPerTask = 0;
  std::string memory;
  std::string account;
  std::vector<std::string> sbatchOptions;
  std::shared_ptr<VideoOptions> video = std::make_shared<VideoOptions>();
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

// A video's frames go into a folder of their own beside it, as PNG (lossless, with the metadata the
// video takes its spherical description from): film.mp4's are film-frames/film_####.png.
std::string VideoFramePattern(const std::string& video) {
  const fs::path path = fs::absolute(video);
  const std::string stem = path.stem().string();
  return (path.parent_path() / (stem + "-frames") / (stem + "_####.png")).string();
}

// The folders of `path` that do not exist yet, outermost first, and the nearest one that does.
std::vector<std::string> MissingFolders(const fs::path& folder, fs::path& existing) {
  std::vector<std::string> missing;
  std::error_code code;
  existing = folder;
  while (!existing.empty() && !fs::exists(existing, code) && existing != existing.parent_path()) {
    missing.insert(missing.begin(), existing.string());
    existing = existing.parent_path();
  }
  return missing;
}

// The frames' folder (and the video's) need not exist yet: a submission makes them, a dry run says
// it would. Then the nearest folder that exists must take files; else the first frame and the video
// are checked as render checks them.
bool CheckOutputs(FarmPlan& plan) {
  fs::path existing;
  plan.foldersToMake = MissingFolders(fs::path(plan.framePattern).parent_path(), existing);
  std::string error;
  if (plan.foldersToMake.empty()) {
    if (!image_output::CheckWritable(image_output::FramePath(plan.framePattern, plan.first, true), error))
      return Fail(error);
  } else if (!atomic_file::FolderTakesFiles((existing / "frames").string(), error)) {
    return Fail(error + " (the frames' folder " + plan.foldersToMake.back() + " would be made in it)");
  }
  std::error_code code;
  if (!plan.video.empty() && fs::is_directory(fs::path(plan.video).parent_path(), code) &&
      !video_output::CheckWritable(plan.video, error))
    return Fail(error);
  if (!fs::exists(plan.logFolder, code)) plan.foldersToMake.push_back(plan.logFolder);
  return true;
}

// Where the render check's output goes: the frames' own pattern, or the same name in the nearest
// folder that exists while the frames' folder is still to be made.
std::string CheckedPattern(const FarmPlan& plan) {
  const fs::path pattern(plan.framePattern);
  fs::path existing;
  if (MissingFolders(pattern.parent_path(), existing).empty()) return plan.framePattern;
  return (existing / pattern.filename()).string();
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
  command.insert(command.end(),
                 {"--frames", std::to_string(plan.first), "-o", CheckedPattern(plan), "--check"});
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
  plan.video = video_output::IsVideoPath(arguments.output) ? fs::absolute(arguments.output).string() : "";
  plan.framePattern = plan.video.empty() ? FramePattern(arguments.output) : VideoFramePattern(plan.video);
  plan.videoCodec = arguments.video->codec;
  plan.videoQuality = arguments.video->quality;
  plan.jobName = arguments.jobName.empty() ? DefaultJobName(plan.framePattern) : arguments.jobName;
  if (plan.jobName.empty() || !std::all_of(plan.jobName.begin(), plan.jobName.end(), IsJobNameChar))
    return Fail("--job-name takes letters, digits, \"_\", \".\" and \"-\", not \"" + plan.jobName + "\"");
  plan.logFolder = (fs::path(plan.framePattern).parent_path() / (plan.jobName + ".farm")).string();
  plan.partition = arguments.partition;
  plan.timeLimit = arguments.timeLimit;
  plan.cpusPerTask = arguments.cpusPerTask;
  plan.memory = arguments.memory;
  plan.account = arguments.account;
  plan.sbatchOptions = arguments.sbatchOptions;
  if (!FitsDirective("the log folder", plan.logFolder) ||
      !FitsDirective("the working folder", plan.workFolder) ||
      !FitsDirective("--partition", plan.partition) || !FitsDirective("--time", plan.timeLimit) ||
      !FitsDirective("--mem", plan.memory) || !FitsDirective("--account", plan.account) ||
      !std::all_of(plan.sbatchOptions.begin(), plan.sbatchOptions.end(),
                   [](const std::string& option) { return FitsDirective("--sbatch", option); }) ||
      !CheckOutputs(plan))
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
  for (const std::string& folder : plan.foldersToMake) {
    std::error_code code;
    fs::create_directories(folder, code);
    if (code) return Fail("cannot make the folder \"" + folder + "\": " + code.message()), 1;
  }
  const std::string arrayScript = plan.logFolder + "/render-array.sh";
  const std::string checkScript = plan.logFolder + "/check-frames.sh";
  const std::string encodeScript = plan.logFolder + "/encode-video.sh";
  if (!WriteScript(arrayScript, ArrayScript(plan)) || !WriteScript(checkScript, CheckScript(plan)) ||
      (!plan.video.empty() && !WriteScript(encodeScript, EncodeScript(plan))))
    return 1;
  // Every frame on disk already: only the video is left to make.
  if (plan.tasks.empty()) {
    const std::string encodeJob = Submit(sbatch, {}, encodeScript);
    if (encodeJob.empty()) return 1;
    std::printf("orvex360: farm: every frame of %d-%d is complete; submitted encoding job %s for %s\n",
                plan.first, plan.last, encodeJob.c_str(), plan.video.c_str());
    return 0;
  }
  const std::string arrayJob = Submit(sbatch, {}, arrayScript);
  if (arrayJob.empty()) return 1;
  const std::string checkJob =
      Submit(sbatch, {"--dependency=afterany:" + arrayJob, "--kill-on-invalid-dep=no"}, checkScript);
  if (checkJob.empty()) return Fail("the render job " + arrayJob + " runs without its check job"), 1;
  std::printf(
      "orvex360: farm: submitted job %s (tasks %s of %d, frames %d-%d in chunks of %d) and check job %s\n",
      arrayJob.c_str(), ArraySpec(plan.tasks).c_str(), ChunkCount(plan), plan.first, plan.last, plan.chunk,
      checkJob.c_str());
  if (!plan.video.empty()) {
    // Made only when the check found every frame complete; cancelled by SLURM when it did not.
    const std::string encodeJob =
        Submit(sbatch, {"--dependency=afterok:" + checkJob, "--kill-on-invalid-dep=yes"}, encodeScript);
    if (encodeJob.empty()) return Fail("the frames are rendered and checked, but no video is made"), 1;
    std::printf("orvex360: farm: submitted encoding job %s for %s after the check\n", encodeJob.c_str(),
                plan.video.c_str());
  }
  std::printf("orvex360: farm: logs in %s; run one task again: sbatch --array=I %s\n", plan.logFolder.c_str(),
              arrayScript.c_str());
  return 0;
}

// The three scripts a submission would write, between separator lines, and the folders it would make.
void PrintDryRun(const FarmPlan& plan) {
  if (plan.tasks.empty()) {
    std::printf("# ---- every frame is complete: only the encoding job ----\n%s", EncodeScript(plan).c_str());
  } else {
    std::printf("%s\n# ---- the check job, submitted with --dependency=afterany:<the array job> ----\n%s",
                ArrayScript(plan).c_str(), CheckScript(plan).c_str());
    if (!plan.video.empty())
      std::printf("\n# ---- the encoding job, submitted with --dependency=afterok:<the check job> ----\n%s",
                  EncodeScript(plan).c_str());
  }
  std::fflush(stdout);  // the scripts first, then what the submission would make besides them
  for (const std::string& folder : plan.foldersToMake)
    std::fprintf(stderr, "orvex360: farm: would make the folder %s\n", folder.c_str());
}

int RunFarm(const FarmArguments& arguments, const CliContext& context) {
  FarmPlan plan;
  if (!MakePlan(arguments, context, plan)) return 1;
  std::error_code code;
  if (plan.tasks.empty() && (plan.video.empty() || fs::exists(plan.video, code))) {
    std::printf("orvex360: farm: every frame of %d-%d is complete on disk%s; nothing to submit\n", plan.first,
                plan.last, plan.video.empty() ? "" : " and the video is there");
    return 0;
  }
  if (!arguments.dryRun) return SubmitPlan(plan);
  PrintDryRun(plan);
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
  farm->add_option(
          "-o,--output", arguments->output,
          "Frame files (.png .exr .jpg .tif; \"#\" marks the frame number, default: \"_####\" "
          "before the suffix), or a video (.mp4 .mkv): its frames go to NAME-frames/ beside it and a "
          "last job encodes them once every one is complete")
      ->required()
      ->check(NotEmpty());
  farm->add_flag("--dry-run", arguments->dryRun, "Print the batch scripts; write and submit nothing");
  farm->add_option("--job-name", arguments->jobName,
                   "SLURM job name (default: orvex360- and the output's name)");
  farm->add_option("--partition", arguments->partition, "SLURM partition (default: the cluster's)");
  farm->add_option("--time", arguments->timeLimit, "Time limit of each task, as sbatch --time takes it");
  farm->add_option("--cpus-per-task", arguments->cpusPerTask, "CPUs of each task (default: the cluster's)")
      ->check(CLI::Range(1, 100000));
  farm->add_option("--mem", arguments->memory, "Memory of each task, as sbatch --mem takes it (16G)")
      ->check(NotEmpty());
  farm->add_option("--account", arguments->account, "SLURM account the jobs are charged to")
      ->check(NotEmpty());
  farm->add_option("--sbatch", arguments->sbatchOptions,
                   "Any other sbatch option for every job, as one word (--sbatch=--qos=high); repeatable")
      ->check(CLI::Validator(
          [](const std::string& option) {
            return option.starts_with("-") ? std::string() : "takes an sbatch option such as --qos=high";
          },
          "OPTION", "SbatchOption"))
      ->allow_extra_args(false);
  AddVideoOptions(*farm, arguments->video);
  farm->add_option("render-options", arguments->renderArguments,
                   "After --: the scene and options of `orvex360 render`, the same for every frame");
  return {farm, [arguments](CliContext& context) { return RunFarm(*arguments, context); }, false};
}
