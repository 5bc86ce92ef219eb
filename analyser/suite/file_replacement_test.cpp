#include "analyser/suite/file_replacement.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

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
}  // namespace
