#include "analyser/suite/file_replacement.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {
// The signals that end a program by default; while the new file exists
// they remove it first.
constexpr int kEndingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE};
constexpr int kEndingSignalCount = sizeof kEndingSignals / sizeof kEndingSignals[0];

// What the signal handler knows: the new file's name in static storage,
// and the handlers it stands in for.
char pending_file[PATH_MAX + 1];
volatile std::sig_atomic_t file_pending = 0;
struct sigaction replaced_handlers[kEndingSignalCount];
struct sigaction replaced_size_handler;

// The signal ends the process, so a coverage build never writes the counts
// of these lines; tests/mirask-keeps-profile.sh kills a run to check them.
// GCOVR_EXCL_START
extern "C" void remove_pending_file(int signal_number) {
  if (file_pending != 0) unlink(pending_file);
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}
// GCOVR_EXCL_STOP

// From now on the ending signals that the program does not ignore remove
// the new file, and writing beyond the file size limit fails instead of
// ending the program.
void guard_pending_file() {
  struct sigaction removing {};
  removing.sa_handler = remove_pending_file;
  sigemptyset(&removing.sa_mask);
  for (int i = 0; i < kEndingSignalCount; ++i) {
    sigaction(kEndingSignals[i], nullptr, &replaced_handlers[i]);
    if (replaced_handlers[i].sa_handler != SIG_IGN) {
      sigaction(kEndingSignals[i], &removing, nullptr);
    }
  }
  struct sigaction ignoring {};
  ignoring.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignoring, &replaced_size_handler);
}

void unguard_pending_file() {
  file_pending = 0;
  for (int i = 0; i < kEndingSignalCount; ++i) {
    sigaction(kEndingSignals[i], &replaced_handlers[i], nullptr);
  }
  sigaction(SIGXFSZ, &replaced_size_handler, nullptr);
}

// `name` with its symbolic links followed; `name` itself when it is none
// or names nothing.
std::string link_target(const std::string& name) {
  char resolved[PATH_MAX];
  struct stat link {};
  if (lstat(name.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return name;
  return realpath(name.c_str(), resolved) != nullptr ? std::string(resolved) : name;
}

bool is_other_than_regular(const std::string& name) {
  struct stat status {};
  return stat(name.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

// Gives the new file the permissions and owner of `target`, or without one
// those that the file creation mask leaves a new file.
void take_permissions(int descriptor, const std::string& target) {
  constexpr mode_t kPermissionBits = 07777;
  constexpr mode_t kNewFileBits = 0666;
  struct stat old {};
  if (stat(target.c_str(), &old) != 0) {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, kNewFileBits & ~mask);
    return;
  }
  // Only the superuser may give a file away; anyone else keeps it.
  [[maybe_unused]] const int given = fchown(descriptor, old.st_uid, old.st_gid);
  fchmod(descriptor, old.st_mode & kPermissionBits);
}

std::string folder_of(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? "" : name.substr(0, slash + 1);
}
}  // namespace

file_replacement::file_replacement(const std::string& name) : target_(link_target(name)) {}

file_replacement::~file_replacement() { discard(); }

// Signals wait while the new file is made and its name noted, so that none
// finds a file the handler does not know of.
std::FILE* file_replacement::open() {
  if (is_other_than_regular(target_)) {
    in_place_ = true;
    stream_ = std::fopen(target_.c_str(), "w");
    return stream_;
  }
  std::string name = folder_of(target_) + ".Mirask-XXXXXX";
  if (name.size() > PATH_MAX) return nullptr;
  sigset_t all;
  sigset_t before;
  sigfillset(&all);
  sigprocmask(SIG_BLOCK, &all, &before);
  const int descriptor = mkstemp(name.data());
  if (descriptor >= 0) {
    std::memcpy(pending_file, name.c_str(), name.size() + 1);
    file_pending = 1;
    guard_pending_file();
    new_name_ = name;
  }
  sigprocmask(SIG_SETMASK, &before, nullptr);
  if (descriptor < 0) return nullptr;
  take_permissions(descriptor, target_);
  stream_ = fdopen(descriptor, "w");
  if (stream_ == nullptr) close(descriptor);
  return stream_;
}

bool file_replacement::commit() {
  if (stream_ == nullptr) return false;
  const bool written = std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
  const bool closed = std::fclose(stream_) == 0;
  stream_ = nullptr;
  if (in_place_) return written && closed;
  if (!written || !closed || std::rename(new_name_.c_str(), target_.c_str()) != 0) {
    discard();
    return false;
  }
  new_name_.clear();
  unguard_pending_file();
  return true;
}

void file_replacement::discard() {
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
  if (new_name_.empty()) return;
  unlink(new_name_.c_str());
  new_name_.clear();
  unguard_pending_file();
}
