#include "sorter/replacement.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// The signals that end a program by default and after which the new file
// is removed.
constexpr std::array<int, 5> kEndingSignals = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE};

// The name of the new file while it exists, for the signal handler, which
// may use nothing but a terminated name in static memory.
constexpr std::size_t kLongestNewName = 4096;
char pending_name[kLongestNewName];
volatile std::sig_atomic_t name_pending = 0;

// Removes the new file, then ends the program as the signal would have.
// (A run that ends so writes no coverage counters: the tests watch it from
// outside.)
// GCOVR_EXCL_START
extern "C" void remove_and_end(int signal_number) {
  if (name_pending != 0) unlink(pending_name);
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}
// GCOVR_EXCL_STOP

// The handlers in force before the new file was made.
struct saved_handlers {
  std::array<struct sigaction, kEndingSignals.size()> ending;
  struct sigaction file_size;
};
saved_handlers saved;

// From now on the ending signals remove the new file, except those the
// program ignores, and a file beyond the size limit fails its writes.
void guard_new_file() {
  struct sigaction handler {};
  handler.sa_handler = remove_and_end;
  sigemptyset(&handler.sa_mask);
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    sigaction(kEndingSignals[i], nullptr, &saved.ending[i]);
    if (saved.ending[i].sa_handler != SIG_IGN) sigaction(kEndingSignals[i], &handler, nullptr);
  }
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &saved.file_size);
}

void restore_handlers() {
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
    sigaction(kEndingSignals[i], &saved.ending[i], nullptr);
  sigaction(SIGXFSZ, &saved.file_size, nullptr);
}

// The folder of the file `name`, with its last "/".
std::string folder_of(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

// The permissions a new file gets: all that the file creation mask allows.
mode_t new_file_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return (S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH) & ~mask;
}

// Gives the file `descriptor` the owner and permissions of `target`, or
// those of a new file when there is no target. A change of owner is only
// open to the superuser, and left when it fails.
void take_permissions(int descriptor, const std::string& target) {
  struct stat old {};
  if (stat(target.c_str(), &old) != 0) {
    fchmod(descriptor, new_file_mode());
    return;
  }
  if (fchown(descriptor, old.st_uid, old.st_gid) != 0) {
    // Not the superuser: the new file keeps its owner.
  }
  fchmod(descriptor, old.st_mode & (S_ISUID | S_ISGID | S_ISVTX | S_IRWXU | S_IRWXG | S_IRWXO));
}

// `name` with its symbolic links followed, or `name` itself when it names
// no link.
std::string followed(const std::string& name) {
  struct stat link {};
  if (lstat(name.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return name;
  char* const resolved = realpath(name.c_str(), nullptr);
  if (resolved == nullptr) return name;
  std::string target = resolved;
  std::free(resolved);
  return target;
}

}  // namespace

output_place place_of(const std::string& name) {
  struct stat status {};
  if (lstat(name.c_str(), &status) != 0) return output_place::absent;
  if (stat(name.c_str(), &status) != 0) return output_place::not_a_file;
  return S_ISREG(status.st_mode) ? output_place::regular : output_place::not_a_file;
}

replacement::replacement(std::string name) : target_(followed(name)) {}

replacement::~replacement() { discard(); }

// The signals are held back while the new file is made and its name noted,
// so that no signal finds a file whose name the handler does not know.
owned_stream replacement::open() {
  std::string name = folder_of(target_) + ".Zandoret-XXXXXX";
  if (name.size() >= kLongestNewName) return nullptr;
  sigset_t all, before;
  sigfillset(&all);
  sigprocmask(SIG_BLOCK, &all, &before);
  const int descriptor = mkstemp(name.data());
  if (descriptor != -1) {
    std::memcpy(pending_name, name.c_str(), name.size() + 1);
    name_pending = 1;
    guard_new_file();
    new_name_ = std::move(name);
    pending_ = true;
  }
  sigprocmask(SIG_SETMASK, &before, nullptr);
  if (descriptor == -1) return nullptr;
  take_permissions(descriptor, target_);
  owned_stream stream(fdopen(descriptor, "w"));
  if (stream == nullptr) close(descriptor);
  return stream;
}

// The new file and the old one trade names, and the old one, now under the
// new file's name, is removed: at every moment one complete file stands at
// the target's name. A plain move over the old file is the way where the
// file system cannot trade names, or there is no old file (and where a
// folder stands at the name, which the move refuses to replace). (Some file
// systems write a file that is moved over another out to the disk before
// the move returns, which takes longer than sorting the list; a trade
// leaves that to the system's usual schedule, as writing a file in place
// does.)
bool replacement::commit() {
  if (!pending_) return false;
  if (place_of(target_) == output_place::regular &&
      renameat2(AT_FDCWD, new_name_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) == 0) {
    unlink(new_name_.c_str());
  } else if (std::rename(new_name_.c_str(), target_.c_str()) != 0) {
    return false;
  }
  name_pending = 0;
  pending_ = false;
  restore_handlers();
  return true;
}

void replacement::discard() {
  if (!pending_) return;
  unlink(new_name_.c_str());
  name_pending = 0;
  pending_ = false;
  restore_handlers();
}
