// Writing a file that replaces an old one only when it is complete: the
// new content goes to a new file in the same folder, which is moved over
// the old file once it is written and closed, so that until then the old
// file stays as it was, byte for byte. A failure on the way (a full
// device, the file size limit of `ulimit -f`, a run that ends early)
// removes the new file; so do an interrupt, a hang-up, a termination and a
// broken pipe, which then end the program as they would have. A name that
// stands for no regular file (a device such as /dev/null, a pipe) is
// written in place. One replacement at a time per process.
#pragma once

#include <cstdio>
#include <string>

class file_replacement {
 public:
  // The replacement of the file `name` (a symbolic link: of the file it
  // names).
  explicit file_replacement(const std::string& name);
  file_replacement(const file_replacement&) = delete;
  file_replacement& operator=(const file_replacement&) = delete;
  // Removes the new file unless it has replaced the old one.
  ~file_replacement();

  // Makes the new file, with the permissions (and, for the superuser, the
  // owner) of the old one, or those of any new file when there is none;
  // null when it cannot be made.
  std::FILE* open();

  // Ends the writing: flushes and closes the new file and moves it over the
  // old one. False when any of it fails; the new file is then removed and
  // the old one is left as it was.
  bool commit();

 private:
  void discard();

  std::string target_;    // the file replaced
  std::string new_name_;  // the new file while it exists
  std::FILE* stream_ = nullptr;
  bool in_place_ = false;  // the target is no regular file: written as it is
};
