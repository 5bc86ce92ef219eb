#include "analyser/suite/file_replacement.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <climits>
#include <csignal>
#include <filesystem>
#include <string>

#include "test_support/streams.hpp"

namespace {
namespace fs = std::filesystem;

mode_t permissions_of(const char* name) {
  struct stat status {};
  stat(name, &status);
  return status.st_mode & 07777;
}

// The names in the current folder, the new files included.
long files_here() {
  long count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(".")) ++count;
  return count;
}

TEST(FileReplacement, ReplacesTheOldFileOnlyWhenCommitted) {
  scratch_directory dir;
  dir.write("p.profile", "old\n");
  chmod("p.profile", 0640);
  {
    file_replacement file("p.profile");
    std::FILE* stream = file.open();
    ASSERT_NE(stream, nullptr);
    std::fputs("new\n", stream);
    EXPECT_EQ(file_content("p.profile"), "old\n");  // nothing moved before the commit
    EXPECT_EQ(files_here(), 2);
    ASSERT_TRUE(file.commit());
  }
  EXPECT_EQ(file_content("p.profile"), "new\n");
  EXPECT_EQ(permissions_of("p.profile"), 0640u);
  EXPECT_EQ(files_here(), 1);
}

TEST(FileReplacement, LeftUncommittedTheOldFileStays) {
  scratch_directory dir;
  dir.write("p.profile", "old\n");
  {
    file_replacement file("p.profile");
    std::fputs("half", file.open());
  }
  EXPECT_EQ(file_content("p.profile"), "old\n");
  EXPECT_EQ(files_here(), 1);
}

TEST(FileReplacement, NewFilesLinksAndDevices) {
  scratch_directory dir;
  const mode_t mask = umask(022);
  {
    file_replacement file("fresh.profile");
    std::fputs("x", file.open());
    ASSERT_TRUE(file.commit());
  }
  umask(mask);
  EXPECT_EQ(permissions_of("fresh.profile"), 0644u);
  // A link keeps standing; the file it names is replaced.
  fs::create_symlink("fresh.profile", "link.profile");
  {
    file_replacement file("link.profile");
    std::fputs("y", file.open());
    ASSERT_TRUE(file.commit());
  }
  EXPECT_TRUE(fs::is_symlink("link.profile"));
  EXPECT_EQ(file_content("fresh.profile"), "y");
  // A device is written as it is.
  {
    file_replacement file("/dev/null");
    std::fputs("z", file.open());
    ASSERT_TRUE(file.commit());
  }
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  // No folder to make the new file in.
  file_replacement nowhere("missing/p.profile");
  EXPECT_EQ(nowhere.open(), nullptr);
  EXPECT_FALSE(nowhere.commit());
}
// The handler of `signal_number` now.
void (*handler_of(int signal_number))(int) {
  struct sigaction now {};
  sigaction(signal_number, nullptr, &now);
  return now.sa_handler;
}

TEST(FileReplacement, GuardsOnlyWhileTheNewFileExists) {
  scratch_directory dir;
  const auto pipe_before = std::signal(SIGPIPE, SIG_IGN);
  {
    file_replacement file("p.profile");
    ASSERT_NE(file.open(), nullptr);
    EXPECT_EQ(handler_of(SIGPIPE), SIG_IGN);  // an ignored signal stays ignored
    EXPECT_NE(handler_of(SIGTERM), SIG_DFL);  // removes the new file first
    EXPECT_EQ(handler_of(SIGXFSZ), SIG_IGN);  // a write beyond the size limit fails instead
    ASSERT_TRUE(file.commit());
  }
  EXPECT_EQ(handler_of(SIGPIPE), SIG_IGN);
  EXPECT_EQ(handler_of(SIGTERM), SIG_DFL);
  EXPECT_EQ(handler_of(SIGXFSZ), SIG_DFL);
  std::signal(SIGPIPE, pipe_before);
}

TEST(FileReplacement, FailedWritesLeaveTheOldFile) {
  scratch_directory dir;
  // A device that takes no byte.
  {
    file_replacement full("/dev/full");
    std::fputs("x", full.open());
    EXPECT_FALSE(full.commit());
  }
  // The file size limit of the process.
  dir.write("p.profile", "old\n");
  {
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    file_replacement file("p.profile");
    std::fputs(std::string(4096, 'x').c_str(), file.open());
    EXPECT_FALSE(file.commit());
    setrlimit(RLIMIT_FSIZE, &before);
  }
  EXPECT_EQ(file_content("p.profile"), "old\n");
  EXPECT_EQ(files_here(), 1);
  // The old name turned into a folder while the new file was written.
  {
    file_replacement file("q.profile");
    std::fputs("x", file.open());
    fs::create_directory("q.profile");
    dir.write("q.profile/kept", "");
    EXPECT_FALSE(file.commit());
  }
  EXPECT_TRUE(fs::is_directory("q.profile"));
  EXPECT_EQ(files_here(), 2);
}

TEST(FileReplacement, NamesBeyondTheSystemsLimitsAndLinksToNothing) {
  scratch_directory dir;
  file_replacement long_name(std::string(PATH_MAX, 'd') + "/p.profile");
  EXPECT_EQ(long_name.open(), nullptr);
  // A link that names no file stands for itself.
  fs::create_symlink("missing/p.profile", "dangling.profile");
  {
    file_replacement file("dangling.profile");
    std::fputs("new", file.open());
    ASSERT_TRUE(file.commit());
  }
  EXPECT_EQ(file_content("dangling.profile"), "new");
  EXPECT_EQ(files_here(), 1);
}
}  // namespace
