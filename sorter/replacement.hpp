// Replacing a file only with complete content: the new content is written
// to a new file in the same folder, which is moved over the old one once it
// is complete, so that the old file stays as it was, byte for byte, until
// then. While the new file exists, an interrupt, a hang-up, a termination
// or a broken pipe removes it before the program ends, and a file that grows
// beyond the size limit of the process (ulimit -f) makes its writes fail
// instead of ending the program.
#pragma once

#include <cstdio>
#include <string>

#include "sorter/owned_stream.hpp"

// What stands at a name the output is to be written to.
enum class output_place {
  absent,         // nothing: a new file is made
  regular,        // a file, replaced whole (a symbolic link: the file it names)
  not_a_file,     // a device, a pipe, a link to nothing: written in place, as it is
};

// What stands at `name`.
output_place place_of(const std::string& name);

// The new file that is to replace `name`.
class replacement {
 public:
  explicit replacement(std::string name);
  replacement(const replacement&) = delete;
  replacement& operator=(const replacement&) = delete;
  // Removes the new file unless it has replaced the old one.
  ~replacement();

  // Makes the new file beside the file `name` stands for, with the
  // permissions that file has (those of a new file when there is none), and
  // returns a stream to it; null when it cannot be made.
  owned_stream open();

  // Moves the new file, written and closed, over the old one. Returns false
  // when that fails; the new file is then removed.
  bool commit();

 private:
  void discard();

  std::string target_;  // the file replaced: `name`, its links followed
  std::string new_name_;
  bool pending_ = false;  // whether the new file exists under new_name_
};
