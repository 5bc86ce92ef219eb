#include "sorter/replacement.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>


namespace {

// A new directory, made the current one while the test runs.
class scratch_directory {
 public:
  scratch_directory()
      : previous_(std::filesystem::current_path()),
        path_(std::filesystem::temp_directory_path() /
              ("replacement_test." + std::to_string(getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directory(path_);
    std::filesystem::current_path(path_);
  }
  ~scratch_directory() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(path_);
  }
  void write(const std::string& name, const std::string& content) const {
    std::ofstream(name, std::ios::binary) << content;
  }

 private:
  std::filesystem::path previous_, path_;
};

std::string file_content(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Lets a file grow by no byte.
void forbid_file_growth() {
  struct rlimit limit {};
  setrlimit(RLIMIT_FSIZE, &limit);
}

// The names in the current directory that begin with "." and so could be a
// new file left behind.
int hidden_files() {
  int count = 0;
  for (const auto& file : std::filesystem::directory_iterator("."))
    count += file.path().filename().string().starts_with(".");
  return count;
}

mode_t permissions_of(const char* name) {
  struct stat status {};
  stat(name, &status);
  return status.st_mode & 07777;
}

TEST(place_of, TellsFilesFromWhatIsNone) {
  const scratch_directory directory;
  directory.write("file.txt", "x");
  std::filesystem::create_symlink("file.txt", "link.txt");
  std::filesystem::create_symlink("nowhere.txt", "dangling.txt");
  EXPECT_EQ(place_of("file.txt"), output_place::regular);
  EXPECT_EQ(place_of("link.txt"), output_place::regular);
  EXPECT_EQ(place_of("missing.txt"), output_place::absent);
  EXPECT_EQ(place_of("dangling.txt"), output_place::not_a_file);
  EXPECT_EQ(place_of("/dev/null"), output_place::not_a_file);
  EXPECT_EQ(place_of("."), output_place::not_a_file);
}

TEST(replacement, ReplacesTheFileOnlyOnCommitWithItsPermissions) {
  const scratch_directory directory;
  directory.write("out.txt", "old\n");
  chmod("out.txt", 0604);
  {
    replacement output("out.txt");
    owned_stream file = output.open();
    ASSERT_NE(file, nullptr);
    std::fputs("new\n", file.get());
    ASSERT_TRUE(close_stream(std::move(file)));
    EXPECT_EQ(file_content("out.txt"), "old\n");
    EXPECT_EQ(hidden_files(), 1);
    EXPECT_TRUE(output.commit());
  }
  EXPECT_EQ(file_content("out.txt"), "new\n");
  EXPECT_EQ(permissions_of("out.txt"), 0604u);
  EXPECT_EQ(hidden_files(), 0);
}

TEST(replacement, LeavesTheOldFileAndNoNewOneWithoutCommit) {
  const scratch_directory directory;
  directory.write("out.txt", "old\n");
  {
    replacement output("out.txt");
    owned_stream file = output.open();
    ASSERT_NE(file, nullptr);
    std::fputs("half", file.get());
  }
  EXPECT_EQ(file_content("out.txt"), "old\n");
  EXPECT_EQ(hidden_files(), 0);
}

TEST(replacement, MakesANewFileInTheFolderOfTheLinkedFile) {
  const scratch_directory directory;
  std::filesystem::create_directory("sub");
  directory.write("sub/out.txt", "old\n");
  std::filesystem::create_symlink("sub/out.txt", "link.txt");
  replacement output("link.txt");
  owned_stream file = output.open();
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(close_stream(std::move(file)));
  ASSERT_TRUE(output.commit());
  EXPECT_TRUE(std::filesystem::is_symlink("link.txt"));
  EXPECT_EQ(file_content("sub/out.txt"), "");
}

TEST(replacement, CannotBeMadeInAFolderThatIsNone) {
  const scratch_directory directory;
  replacement output("no/such/folder/out.txt");
  EXPECT_EQ(output.open(), nullptr);
  EXPECT_FALSE(output.commit());
}

TEST(replacement, KeepsTheOldFileWhenTheNewOneCannotTakeItsName) {
  const scratch_directory directory;
  {
    replacement output("out");
    owned_stream file = output.open();
    ASSERT_NE(file, nullptr);
    std::fputs("new\n", file.get());
    ASSERT_TRUE(close_stream(std::move(file)));
    // A folder that is not empty now stands where the file would go.
    std::filesystem::create_directory("out");
    directory.write("out/kept", "old\n");
    EXPECT_FALSE(output.commit());
  }
  EXPECT_EQ(file_content("out/kept"), "old\n");
  EXPECT_EQ(hidden_files(), 0);
}

// The old file leaves its name only: a second name of it keeps the old
// content, and an empty folder at the name is no file to be replaced.
TEST(replacement, TakesOnlyTheNameOfTheOldFile) {
  const scratch_directory directory;
  directory.write("out.txt", "old\n");
  std::filesystem::create_hard_link("out.txt", "second.txt");
  std::filesystem::create_directory("folder");
  for (const char* name : {"out.txt", "folder"}) {
    replacement output(name);
    owned_stream file = output.open();
    ASSERT_NE(file, nullptr);
    std::fputs("new\n", file.get());
    ASSERT_TRUE(close_stream(std::move(file)));
    EXPECT_EQ(output.commit(), name == std::string("out.txt")) << name;
  }
  EXPECT_EQ(file_content("out.txt"), "new\n");
  EXPECT_EQ(file_content("second.txt"), "old\n");
  EXPECT_TRUE(std::filesystem::is_directory("folder"));
  EXPECT_EQ(hidden_files(), 0);
}

// A signal the program ignores stays ignored while the new file exists; the
// handlers of before come back with the commit.
TEST(replacement, LeavesIgnoredSignalsIgnored) {
  const scratch_directory directory;
  struct sigaction before {};
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGHUP, &ignore, &before);
  struct sigaction seen {};
  replacement output("out.txt");
  owned_stream file = output.open();
  ASSERT_NE(file, nullptr);
  sigaction(SIGHUP, nullptr, &seen);
  EXPECT_EQ(seen.sa_handler, SIG_IGN);
  sigaction(SIGTERM, nullptr, &seen);
  EXPECT_NE(seen.sa_handler, SIG_DFL) << "an ending signal that is not ignored removes the file";
  ASSERT_TRUE(close_stream(std::move(file)));
  EXPECT_TRUE(output.commit());
  sigaction(SIGTERM, nullptr, &seen);
  EXPECT_EQ(seen.sa_handler, SIG_DFL);
  sigaction(SIGHUP, &before, nullptr);
}

// A signal that ends the program removes the new file first.
TEST(replacementDeathTest, RemovesTheNewFileWhenASignalEndsTheProgram) {
  const scratch_directory directory;
  directory.write("out.txt", "old\n");
  EXPECT_EXIT(
      {
        replacement output("out.txt");
        owned_stream file = output.open();
        std::fputs("half", file.get());
        std::fflush(file.get());
        std::raise(SIGTERM);
      },
      testing::KilledBySignal(SIGTERM), "");
  EXPECT_EQ(file_content("out.txt"), "old\n");
  EXPECT_EQ(hidden_files(), 0);
}

// Writes to a new file under a size limit of no byte: 4 when the write
// fails, 3 when it does not.
int write_beyond_the_limit() {
  forbid_file_growth();
  replacement output("out.txt");
  owned_stream file = output.open();
  std::fputs("too much", file.get());
  return close_stream(std::move(file)) ? 3 : 4;
}

// Beyond the size limit of the process a write fails; the program goes on.
// (The death test's child shares the scratch directory; it ends with _Exit,
// since whatever a build writes at exit would meet the size limit.)
TEST(replacementDeathTest, TurnsTheFileSizeLimitIntoAFailingWrite) {
  const scratch_directory directory;
  EXPECT_EXIT(std::_Exit(write_beyond_the_limit()), testing::ExitedWithCode(4), "");
  EXPECT_EQ(hidden_files(), 0);
}

}  // namespace
