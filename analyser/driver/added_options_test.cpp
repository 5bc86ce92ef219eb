#include "analyser/driver/added_options.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyser/driver/command_line.hpp"

namespace {
// What the command line leaves in `misuse` ("" for none), with the settings.
struct scanned {
  std::string misuse;
  added_settings added;
};

scanned scan(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "Mirask");
  analyser_state state;
  scan_command_line(state, static_cast<int>(arguments.size()), arguments.data());
  return {state.added.misuse != nullptr ? state.added.misuse : "", state.added};
}

std::string shown(const std::vector<const char*>& arguments) {
  std::string text;
  for (const char* a : arguments) text += std::string(a) + " ";
  return text;
}

TEST(AddedOptions, MisusedCommandLinesAreNamed) {
  struct row {
    std::vector<const char*> arguments;
    const char* misuse;
  };
  const std::vector<row> rows = {
      {{"-json", "-json"}, ""},  // the same format twice is no conflict
      {{"-json", "-dot"}, "only one of -json, -penn and -dot"},
      {{"-serve"}, "-serve needs [HOST:]PORT"},
      {{"-serve", ""}, "-serve needs [HOST:]PORT"},
      {{"-test"}, "-test, -profile and -compare need a file name"},
      {{"-test", ""}, "-test, -profile and -compare need a file name"},
      {{"-test", "s.suite", "-profile", ""}, "-test, -profile and -compare need a file name"},
      {{"-threads"}, "-threads needs a whole number from 1 to 256"},
      {{"-threads", "2x"}, "-threads needs a whole number from 0 (one per core) to 256"},
      {{"-threads", ""}, "-threads needs a whole number from 0 (one per core) to 256"},
      {{"-threads", "257"}, "-threads needs a whole number from 0 (one per core) to 256"},
      {{"-threads", "256"}, ""},
      {{"-serve", "0", "-threads", "0"}, "-threads needs a whole number from 1 to 256"},
      {{"-serve", "0", "-threads", "257"}, "-threads needs a whole number from 1 to 256"},
      {{"-serve", "0", "-threads", "99999999999"}, "-threads needs a whole number from 1 to 256"},
      {{"-serve", "0", "-threads", "256"}, ""},
      {{"-max-body", "0", "-serve", "0"}, "-max-body needs a whole number of bytes, at least 1"},
      {{"-max-body", "10"}, "-max-body goes with -serve"},
      {{"-max-analyses"}, "-max-analyses needs a whole number of at least 1"},
      {{"-max-analyses", "-3"}, "-max-analyses needs a whole number of at least 1"},
      {{"-summary"}, "-summary needs at least one profile"},
      {{"-profile", "p.profile"}, "-profile goes with -test"},
      {{"-compare", "p.profile"}, "-compare goes with -test or -summary"},
      {{"-compare", "p.profile", "-summary", "q.profile"}, ""},
      {{"-test", "s.suite", "-profile", "p", "-compare", "q"}, ""},
      {{"-serve", "0", "-json"}, "-serve goes with none of -test, -summary, -json, -penn and -dot"},
      {{"-serve", "0", "-test", "s.suite"},
       "-serve goes with none of -test, -summary, -json, -penn and -dot"},
      {{"-serve", "0", "-summary", "p.profile"},
       "-serve goes with none of -test, -summary, -json, -penn and -dot"},
  };
  for (const row& r : rows) EXPECT_EQ(scan(r.arguments).misuse, r.misuse) << shown(r.arguments);
}

TEST(AddedOptions, SummaryTakesEveryArgumentAfterIt) {
  const scanned got = scan({"-summary", "a.profile", "-json", "-"});
  EXPECT_EQ(got.misuse, "");
  EXPECT_EQ(got.added.summary_files, (std::vector<std::string>{"a.profile", "-json", "-"}));
  EXPECT_EQ(got.added.format, result_format::printout);
}

TEST(AddedOptions, MachineOutputFollowsTheFormatAndAProfileOnStandardOutput) {
  EXPECT_FALSE(machine_output(scan({"-test", "s.suite"}).added));
  EXPECT_FALSE(machine_output(scan({"-test", "s.suite", "-profile", "p.profile"}).added));
  EXPECT_TRUE(machine_output(scan({"-test", "s.suite", "-profile", "-"}).added));
  EXPECT_TRUE(machine_output(scan({"-penn"}).added));
}
}  // namespace
