#include "files/atomic_file.h"
#include "files_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

std::vector<unsigned char> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// WriteTogether run as an unprivileged user in a child process; true when it refused with an error
// naming `refused`.
bool RefusedAsNobody(const std::vector<atomic_file::Output>& files, const std::string& refused) {
  const pid_t child = fork();
  if (child == 0) {
    std::string error;
    const bool named = setgid(kNobody) == 0 && setuid(kNobody) == 0 &&
                       !atomic_file::WriteTogether(files, error) && error.find(refused) != std::string::npos;
    _exit(named ? 0 : 1);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

// A rename that fails after an earlier one succeeded: in a sticky folder an unprivileged writer may
// add files but not replace another user's, so the second file is refused only when it is moved into
// place. The first target must then hold what it held before, or be gone when it was new.
TEST(WriteTogether, AFailedRenamePutsBackTheFilesAlreadyReplaced) {
  if (geteuid() != 0) GTEST_SKIP() << "writing as another user needs root";
  const fs::path top = fs::temp_directory_path() / ("write-together-" + std::to_string(getpid()));
  fs::remove_all(top);
  const fs::path open = top / "open", sticky = top / "sticky";
  fs::create_directories(open);
  fs::create_directories(sticky);
  ASSERT_EQ(chmod(top.c_str(), 0755), 0);
  ASSERT_EQ(chmod(open.c_str(), 0777), 0);
  ASSERT_EQ(chmod(sticky.c_str(), 01777), 0);
  files::WriteText(open / "report.json", "old report");
  ASSERT_EQ(chown((open / "report.json").c_str(), kNobody, kNobody), 0);
  files::WriteText(sticky / "map.png", "root's map");
  ASSERT_EQ(chmod((sticky / "map.png").c_str(), 0666), 0);  // linkable aside, not replaceable

  const auto report = Bytes("new report"), map = Bytes("new map"), fresh = Bytes("new file");
  const std::string reportPath = open / "report.json", mapPath = sticky / "map.png";
  const std::string freshPath = open / "fresh.json";
  EXPECT_TRUE(RefusedAsNobody({{reportPath, report}, {mapPath, map}}, "map.png"));
  EXPECT_EQ(files::ReadText(reportPath), "old report");
  EXPECT_EQ(files::ReadText(mapPath), "root's map");
  EXPECT_TRUE(RefusedAsNobody({{freshPath, fresh}, {mapPath, map}}, "map.png"));
  EXPECT_FALSE(fs::exists(freshPath));
  // Nothing staged is left behind. (The link kept aside to root's file stays: in a sticky folder the
  // writer may not remove another user's file, and the link is root's as the file is.)
  EXPECT_EQ(files::EntryCount(open), 1);
  for (const auto& entry : fs::directory_iterator(sticky)) {
    struct stat status {};
    ASSERT_EQ(stat(entry.path().c_str(), &status), 0);
    EXPECT_NE(status.st_uid, kNobody) << entry.path();
  }
  fs::remove_all(top);
}
