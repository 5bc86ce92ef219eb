#include "analyser/driver/added_options.hpp"

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "analyser/driver/parallel_run.hpp"

namespace {
constexpr const char* kServeThreadsMisuse = "-threads needs a whole number from 1 to 256";
constexpr const char* kBatchThreadsMisuse =
    "-threads needs a whole number from 0 (one per core) to 256";
// The value of `threads` after a -threads that is no whole number.
constexpr long kThreadsMisused = -2;

struct flag_option {
  const char* name;
  void (*set)(added_settings&);
};

void choose_format(added_settings& added, result_format format) {
  if (added.format != result_format::printout && added.format != format) {
    added.misuse = "only one of -json, -penn and -dot";
  }
  added.format = format;
}

const flag_option kFlags[] = {
    {"--help", [](added_settings& a) { a.help = true; }},
    {"-json", [](added_settings& a) { choose_format(a, result_format::json); }},
    {"-penn", [](added_settings& a) { choose_format(a, result_format::penn); }},
    {"-dot", [](added_settings& a) { choose_format(a, result_format::dot); }},
    {"-all", [](added_settings& a) { a.all_analyses = true; }},
    {"-count", [](added_settings& a) { a.count = true; }},
    {"-why", [](added_settings& a) { a.why = true; }},
    {"-utf8", [](added_settings& a) { a.utf8 = true; }},
    {"-words", [](added_settings& a) { a.words = true; }},
    {"-status", [](added_settings&) {}},
};

// A whole number of at least `least`, or -1.
long whole_number(const char* text, long least) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && value >= least ? value : -1;
}

long positive_number(const char* text) { return whole_number(text, 1); }

// The server's options that take a whole number.
struct server_number {
  const char* name;
  long added_settings::*value;
  long least;
  const char* misuse;
};
// -threads takes 0 (one per core) where a batch run reads it; with -serve,
// check_added_options asks for 1 at least.
const server_number kServerNumbers[] = {
    {"-threads", &added_settings::threads, 0, kServeThreadsMisuse},
    {"-max-body", &added_settings::max_body, 1,
     "-max-body needs a whole number of bytes, at least 1"},
};

const server_number* server_number_of(std::string_view name) {
  for (const server_number& n : kServerNumbers) {
    if (name == n.name) return &n;
  }
  return nullptr;
}

// The misuse of an option that takes a file name (or -serve an address)
// without one.
const char* missing_name(std::string_view name) {
  return name == "-serve" ? "-serve needs [HOST:]PORT"
                          : "-test, -profile and -compare need a file name";
}

// The option at argv[i] that takes the next argument as its value.
int scan_value_option(added_settings& added, int i, int argc, const char* const* argv) {
  const std::string_view name = argv[i];
  std::string* file = name == "-test"      ? &added.suite_file_name
                      : name == "-profile" ? &added.profile_file_name
                      : name == "-compare" ? &added.compare_file_name
                                           : nullptr;
  if (name == "-serve") file = &added.serve_address;
  const server_number* number = server_number_of(name);
  if (file == nullptr && number == nullptr && name != "-max-analyses") return -1;
  if (i + 1 >= argc) {
    added.misuse = file != nullptr     ? missing_name(name)
                   : number != nullptr ? number->misuse
                                       : "-max-analyses needs a whole number of at least 1";
    return i;
  }
  if (file != nullptr) {
    // An empty name would silently turn the option off.
    *file = argv[i + 1];
    if (file->empty()) added.misuse = missing_name(name);
  } else if (number != nullptr) {
    added.*(number->value) = whole_number(argv[i + 1], number->least);
    if (added.*(number->value) < 0) {
      added.misuse = number->misuse;
      if (number->value == &added_settings::threads) added.threads = kThreadsMisused;
    }
  } else if ((added.analysis_limit = positive_number(argv[i + 1])) < 0) {
    added.misuse = "-max-analyses needs a whole number of at least 1";
  }
  return i + 1;
}

// The added option at argv[i], as scan_added_option reads it.
int scan_option(added_settings& added, int i, int argc, const char* const* argv) {
  for (const flag_option& flag : kFlags) {
    if (std::strcmp(argv[i], flag.name) != 0) continue;
    flag.set(added);
    return i;
  }
  if (std::strcmp(argv[i], "-summary") == 0) {
    for (int k = i + 1; k < argc; ++k) added.summary_files.emplace_back(argv[k]);
    if (added.summary_files.empty()) added.misuse = "-summary needs at least one profile";
    return argc - 1;
  }
  return scan_value_option(added, i, argc, argv);
}
}  // namespace

int scan_added_option(added_settings& added, int i, int argc, const char* const* argv) {
  const int last_taken = scan_option(added, i, argc, argv);
  if (last_taken >= 0) added.given = true;
  return last_taken;
}

namespace {
// -threads N: with -serve 1 to kMostBatchThreads; in a batch run 0 (one per
// core) to kMostBatchThreads.
void check_threads(added_settings& added, bool serving) {
  if (serving) {
    if (added.threads == 0 || added.threads > kMostBatchThreads) {
      added.misuse = kServeThreadsMisuse;
    }
  } else if (added.threads == kThreadsMisused || added.threads > kMostBatchThreads) {
    added.misuse = kBatchThreadsMisuse;
  }
}
}  // namespace

void check_added_options(added_settings& added) {
  const bool suite_or_summary = !added.suite_file_name.empty() || !added.summary_files.empty();
  if (added.suite_file_name.empty() && !added.profile_file_name.empty()) {
    added.misuse = "-profile goes with -test";
  }
  if (!suite_or_summary && !added.compare_file_name.empty()) {
    added.misuse = "-compare goes with -test or -summary";
  }
  const bool serving = !added.serve_address.empty();
  if (!serving && added.max_body != added_settings{}.max_body) {
    added.misuse = "-max-body goes with -serve";
  }
  check_threads(added, serving);
  if (serving && (suite_or_summary || added.format != result_format::printout)) {
    added.misuse = "-serve goes with none of -test, -summary, -json, -penn and -dot";
  }
}

bool machine_output(const added_settings& added) {
  const bool suite_run = !added.suite_file_name.empty();
  return added.format != result_format::printout || (suite_run && added.profile_file_name == "-");
}

void print_help(std::FILE* out) {
  static const char* const kLines[] = {
      "  -c FILE           configuration file (asked for on the console when missing)",
      "  -i FILE           input text, one sentence a line (default: the console)",
      "  -a CATEGORY       start category of a complete analysis (default SATZ)",
      "  -tree             draw the tree of the analysis",
      "  -list             print the table of all nodes after the analysis",
      "  -subcat           number the constituents and list their subcategory values",
      "  -t, -v            trace start-up, lexicon and parse",
      "  -json             one JSON record per sentence on standard output (JSON Lines)",
      "  -penn             the analysis as Penn Treebank brackets, one line per sentence",
      "  -dot              the analysis as a Graphviz graph per sentence",
      "  -all              every complete analysis, numbered, and their count",
      "  -max-analyses N   with -all: write at most N analyses of a sentence (default 100)",
      "  -count            the exact number of complete analyses of every sentence",
      "  -why              for a sentence without analysis: fragments, blocked rules, missing parts",
      "  -utf8             every file and the console in UTF-8",
      "  -words            the words beside their categories in the brackets, under the tree",
      "  -status           nothing but the exit status: 0 at the normal end, 1 at a fatal one",
      "  -test SUITE       run a test suite (- for standard input); exit status 0 or 2",
      "  -profile FILE     with -test: write the run as JSON Lines (- for standard output)",
      "  -compare FILE     with -test: list the items that changed against an old profile",
      "  -summary FILE...  the summary of profiles, without parsing (no configuration)",
      "  -serve [HOST:]PORT  serve the analyser and its page over HTTP (host 127.0.0.1; port 0: any)",
      "  -threads N        analyse on N threads (0: one per core; default: one, with -serve one per core)",
      "  -max-body BYTES   with -serve: the largest request body (default 1048576)",
      "  --help            this list",
  };
  std::fputs("\noptions:\n", out);
  for (const char* line : kLines) std::fprintf(out, "%s\n", line);
}
