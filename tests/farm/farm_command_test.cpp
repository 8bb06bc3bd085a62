#include "files_support.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

// The batch scripts of `orvex360 farm --dry-run`, run with bash the way SLURM runs them (task by
// task through SLURM_ARRAY_TASK_ID), and everything the command refuses before it submits.

namespace {

namespace fs = std::filesystem;

using render_test::TempFolder;

// `orvex360 farm ARGUMENTS` run inside `folder`, `environment` ("NAME=VALUE ...") set for it.
CommandResult Farm(const TempFolder& folder, const std::string& arguments,
                   const std::string& environment = "") {
  return render_test::ToolCommand(folder, "farm " + arguments, environment);
}

constexpr const char* kRender = " -- empty -c panorama -s 16x8 --samples 1";

TEST(FarmDryRun, ChunksCoverTheRangeWhateverItsLength) {
  const struct {
    const char* frames;
    int chunk;
    const char* array;
    const char* range;
  } cases[] = {
      {"7", 4, "#SBATCH --array=0\n", "first=7 last=7 chunk=4"},      // one frame
      {"0-2", 10, "#SBATCH --array=0\n", "first=0 last=2 chunk=10"},  // chunk larger than the range
      {"3-9", 3, "#SBATCH --array=0-2\n", "first=3 last=9 chunk=3"},  // 7 frames: 3 + 3 + 1
      {"0-5", 2, "#SBATCH --array=0-2\n", "first=0 last=5 chunk=2"},
      // A million frames with nothing on disk yet: as many looks at the disk as tasks.
      {"0-999999", 1000, "#SBATCH --array=0-999\n", "first=0 last=999999 chunk=1000"},
  };
  TempFolder folder;
  for (const auto& test : cases) {
    SCOPED_TRACE(test.frames);
    const CommandResult run = Farm(folder, std::string("--dry-run --frames ") + test.frames + " --chunk " +
                                               std::to_string(test.chunk) + " -o f.png" + kRender);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(run.output.starts_with("#!/bin/bash\n")) << run.output;
    EXPECT_NE(run.output.find(test.array), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(test.range), std::string::npos) << run.output;
  }
  // A dry run writes nothing: no scripts, no log folder.
  EXPECT_EQ(files::EntryCount(folder.Path()), 0);
}

CommandResult RunScript(const TempFolder& folder, const std::string& name, const std::string& text,
                        const std::string& environment = "") {
  files::WriteText(folder.File(name), text);
  return RunCommand("cd '" + folder.Path().string() + "' && env " + environment + " bash '" +
                    folder.File(name) + "'");
}

TEST(FarmDryRun, TasksRenderTheirChunkSkipCompleteFramesAndTheCheckSeesEveryFrame) {
  TempFolder folder;
  const CommandResult planned =
      Farm(folder, std::string("--dry-run --frames 0-4 --chunk 2 -o f_##.png") + kRender);
  ASSERT_EQ(planned.exitCode, 0) << planned.output;
  // The array job's script, then the check job's after its separator line.
  const size_t split = planned.output.find("# ---- the check job");
  ASSERT_NE(split, std::string::npos) << planned.output;
  const std::string array = planned.output.substr(0, split),
                    check = planned.output.substr(planned.output.find('\n', split) + 1);

  const CommandResult before = RunScript(folder, "check.sh", check);
  EXPECT_NE(before.exitCode, 0);
  files::ExpectHolds(before.output, {"5 of 5 frames are missing or incomplete"});

  // The last task holds the odd frame out.
  const CommandResult last = RunScript(folder, "array.sh", array, "SLURM_ARRAY_TASK_ID=2");
  EXPECT_EQ(last.exitCode, 0) << last.output;
  EXPECT_TRUE(fs::exists(folder.File("f_04.png")));
  EXPECT_FALSE(fs::exists(folder.File("f_03.png")));

  // Run again, the task skips its complete frame; a damaged frame is rendered again.
  const CommandResult again = RunScript(folder, "array.sh", array, "SLURM_ARRAY_TASK_ID=2");
  files::ExpectHolds(again.output, {"frame 4 is complete: skipped"});
  EXPECT_EQ(again.output.find("rendering"), std::string::npos) << again.output;
  fs::resize_file(folder.File("f_04.png"), fs::file_size(folder.File("f_04.png")) / 2);
  const CommandResult repaired = RunScript(folder, "array.sh", array, "SLURM_ARRAY_TASK_ID=2");
  EXPECT_EQ(repaired.exitCode, 0) << repaired.output;
  files::ExpectHolds(repaired.output, {"rendering frames 4-4"});

  for (const char* task : {"SLURM_ARRAY_TASK_ID=0", "SLURM_ARRAY_TASK_ID=1"})
    EXPECT_EQ(RunScript(folder, "array.sh", array, task).exitCode, 0) << task;
  const CommandResult after = RunScript(folder, "check.sh", check);
  EXPECT_EQ(after.exitCode, 0) << after.output;
  files::ExpectHolds(after.output, {"all 5 frames (0-4) are complete"});

  const CommandResult resubmitted = Farm(folder, std::string("--frames 0-4 --chunk 2 -o f_##.png") + kRender);
  EXPECT_EQ(resubmitted.exitCode, 0) << resubmitted.output;
  files::ExpectHolds(resubmitted.output, {"nothing to submit"});
}

TEST(FarmSubmit, ResubmissionSendsOnlyChunksWithIncompleteFramesAndChainsTheCheck) {
  TempFolder folder;
  fs::create_directories(folder.Path() / "bin");
  // An sbatch that notes how it was called and answers with a job ID.
  files::WriteExecutable(folder.File("bin/sbatch"),
                         "#!/bin/sh\necho \"$@\" >> '" + folder.File("sbatch.log") + "'\necho 41\n");
  ASSERT_EQ(
      render_test::RenderCommand(folder, "empty -c panorama -s 16x8 --samples 1 --frames 0-1 -o f_####.png")
          .exitCode,
      0);
  const CommandResult run = Farm(folder, std::string("--frames 0-5 --chunk 2 -o f.png") + kRender,
                                 "PATH=" + folder.File("bin") + ":/usr/bin:/bin");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("submitted job 41 (tasks 1-2 of 3"), std::string::npos) << run.output;
  const std::string calls = files::ReadText(folder.File("sbatch.log"));
  files::ExpectHolds(calls, {"--dependency=afterany:41"});
  const std::string script = files::ReadText(folder.File("orvex360-f.farm/render-array.sh"));
  files::ExpectHolds(script, {"#SBATCH --array=1-2\n"});
}

TEST(FarmSubmit, BadInputGetsOneMessageAndNothingIsCountedAsDone) {
  TempFolder folder;
  fs::create_directories(folder.Path() / "bin");
  files::WriteExecutable(
      folder.File("bin/sbatch"),
      "#!/bin/sh\necho 'sbatch: error: Batch job submission failed: Invalid partition name "
      "specified' >&2\nexit 1\n");
  const std::string refusing = "PATH=" + folder.File("bin") + ":/usr/bin:/bin";
  files::WriteText(folder.File("slurm.conf"), "# MaxArraySize=5000\nClusterName=test MaxArraySize=50\n");
  const std::string smallArrays = "SLURM_CONF=" + folder.File("slurm.conf");
  const struct {
    const char* arguments;
    std::string environment;
    const char* message;
  } cases[] = {
      {"--frames 5-2 -o f.png", "", "--frames 5-2 is reversed"},
      {"--frames 0-x -o f.png", "", "--frames takes a frame"},
      {"--frames 0-3 -o missing/f.png", "", "does not exist"},
      {"--frames 0-3 -o f.png", "PATH=/nonexistent", "sbatch is not on PATH"},
      {"--frames 0-3 -o f.png", refusing,
       "SLURM refused render-array.sh: sbatch: error: Batch job submission failed"},
      {"--frames 0-3 -o f.png -- empty -c nosuch", "", "the render options are refused"},
      {"--frames 0-3 -o f.png -- empty -o g.png", "", "give --frames and -o to farm itself"},
      // More array tasks than SLURM takes: refused at once, with the chunk that fits.
      {"--frames 0-999999 --chunk 1 -o f.png", "SLURM_CONF=/nonexistent",
       "make 1000000 array tasks; SLURM takes at most 1001 (MaxArraySize 1001, SLURM's default): give "
       "--chunk "
       "1000 or more"},
      {"--frames 0-99 -o f.png --dry-run", smallArrays, "SLURM takes at most 50 (MaxArraySize 50, "},
      {"--frames 0-3 -o f.png --dry-run -- empty --env nothere.exr", "",
       "cannot read the image \"nothere.exr\""},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.arguments);
    const std::string arguments = test.arguments;
    const CommandResult run = Farm(
        folder, arguments + (arguments.find(" -- ") == std::string::npos ? kRender : ""), test.environment);
    EXPECT_NE(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find(test.message), std::string::npos) << run.output;
  }
  EXPECT_FALSE(fs::exists(folder.File("f_0000.png")));
}

}  // namespace
