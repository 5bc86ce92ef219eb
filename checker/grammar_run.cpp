#include "checker/grammar_run.hpp"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "checker/grammar_check.hpp"
#include "checker/lexicon_check.hpp"
#include "checker/rules_check.hpp"

namespace {

struct close_file {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using open_file = std::unique_ptr<std::FILE, close_file>;

// The configuration's lines: message file, word delimiters, sentence
// delimiters, rules, lexicon, endings.
constexpr int kConfigurationLines = 6;
constexpr int kMessageLine = 1;

// The files the run opens, with the configuration line that names each.
struct named_line {
  int line;
  const char* role;
};
constexpr named_line kMessageFile{kMessageLine, "message file"};
constexpr named_line kFileLines[kGrammarFiles] = {
    {0, "configuration file"}, {4, "rules file"}, {5, "lexicon file"}, {6, "endings file"}};
constexpr grammar_file kCheckedFiles[] = {grammar_file::rules, grammar_file::lexicon,
                                          grammar_file::endings};

const named_line& line_naming(grammar_file which) { return kFileLines[static_cast<int>(which)]; }

const char* plural(long long n) { return n == 1 ? "" : "s"; }

// A configuration line as the analyser takes a file name from it: without its
// line end (LF or CR LF). False at the end of the file.
bool read_name_line(std::FILE* file, std::string& name) {
  name.clear();
  int c;
  while ((c = std::getc(file)) != EOF && c != '\n') name += static_cast<char>(c);
  if (c == EOF && name.empty()) return false;
  if (c == '\n' && !name.empty() && name.back() == '\r') name.pop_back();
  return true;
}

// The lines of the configuration; fewer than six when it ends early.
std::vector<std::string> configuration_lines(std::FILE* file) {
  std::vector<std::string> lines;
  std::string line;
  while (static_cast<int>(lines.size()) < kConfigurationLines && read_name_line(file, line)) {
    lines.push_back(line);
  }
  return lines;
}

int cannot_open(const checker_state& settings, const std::string& name, const named_line& named) {
  std::fprintf(settings.out, "ERROR: cannot open the %s %s (%s:%d)\n", named.role, name.c_str(),
               settings.config_name.c_str(), named.line);
  return kStatusCannotOpen;
}

// Opens the file that configuration line `named.line` names.
open_file open_named(const checker_state& settings, const std::vector<std::string>& lines,
                     const named_line& named, int& status) {
  if (static_cast<int>(lines.size()) < named.line) {
    std::fprintf(settings.out, "ERROR: the configuration file %s ends before line %d, the %s\n",
                 settings.config_name.c_str(), named.line, named.role);
    status = kStatusCannotOpen;
    return nullptr;
  }
  const std::string& name = lines[named.line - 1];
  open_file file(std::fopen(name.c_str(), "r"));
  if (file == nullptr) status = cannot_open(settings, name, named);
  return file;
}

// The errors and warnings of the run, written or not.
struct grammar_tally {
  long long errors = 0;
  long long warnings = 0;
};

// The check of one file on its own, with the reports of "-gnu -all"; the
// number of its errors.
long long check_own_form(const checker_state& settings, grammar_file which,
                         const grammar_sources& sources) {
  checker_state state;
  state.out = settings.out;
  state.expected_category_length = settings.expected_category_length;
  state.expected_group_name_length = settings.expected_group_name_length;
  state.utf8_text = settings.utf8_text;
  state.max_errors = settings.max_errors;
  state.all_errors = true;
  state.gnu_form = true;
  state.file_name = sources.name(which);
  clear_frame_table(state);
  std::FILE* file = sources.file(which);
  if (which == grammar_file::rules) {
    check_rules(state, file);
  } else {
    check_lexicon(state, file);
  }
  const long long unreported = state.max_errors == 0 ? 0 : state.errors_found - state.max_errors;
  if (unreported > 0) {
    std::fprintf(settings.out, "... %lld more error%s in %s\n", unreported, plural(unreported),
                 state.file_name.c_str());
  }
  return state.errors_found;
}

grammar_model read_model(const checker_state& settings, const grammar_sources& sources) {
  grammar_model model;
  for (int i = 0; i < kGrammarFiles; ++i) model.names[i] = sources.names[i];
  model.utf8 = settings.utf8_text;
  for (const grammar_file which : kCheckedFiles) std::rewind(sources.file(which));
  model.rules = read_rules_model(sources.file(grammar_file::rules), settings.utf8_text);
  model.lexicon = read_entries_model(sources.file(grammar_file::lexicon), settings.utf8_text);
  model.endings = read_entries_model(sources.file(grammar_file::endings), settings.utf8_text);
  return model;
}

// `text` with every control byte shown as \xNN: a name in a finding may
// hold any byte of its file, and a NUL would cut the report short.
std::string shown_text(const std::string& text) {
  std::string shown;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') {
      shown += c;
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
    shown += escaped;
  }
  return shown;
}

// Writes the findings across files, as many as "-max-errors" allows, and
// counts them all.
void write_findings(const checker_state& settings, const grammar_model& model,
                    const std::vector<finding>& findings, grammar_tally& tally) {
  long long written = 0;
  for (const finding& found : findings) {
    const bool as_error = found.level == finding_level::error || settings.warnings_as_errors;
    ++(as_error ? tally.errors : tally.warnings);
    if (settings.max_errors != 0 && written >= settings.max_errors) continue;
    ++written;
    std::fprintf(settings.out, "%s:%lld:%lld: %s: %s\n", model.name(found.file).c_str(),
                 found.at.line, found.at.column, as_error ? "error" : "warning",
                 shown_text(found.text).c_str());
  }
  const long long unwritten = static_cast<long long>(findings.size()) - written;
  if (unwritten > 0) {
    std::fprintf(settings.out, "... %lld more finding%s across the files\n", unwritten,
                 plural(unwritten));
  }
}

}  // namespace

int check_grammar_files(const checker_state& settings, const grammar_sources& sources) {
  grammar_tally tally;
  for (const grammar_file which : kCheckedFiles) {
    tally.errors += check_own_form(settings, which, sources);
    // A name that opens but cannot be read (a directory) must not pass.
    if (std::ferror(sources.file(which))) {
      std::fprintf(settings.out, "ERROR: cannot read the %s %s (%s:%d)\n", line_naming(which).role,
                   sources.name(which).c_str(), sources.name(grammar_file::configuration).c_str(),
                   line_naming(which).line);
      return kStatusCannotOpen;
    }
  }
  const grammar_model model = read_model(settings, sources);
  write_findings(settings, model, check_grammar(model, settings.start_category), tally);
  std::fprintf(settings.out, "%lld error%s, %lld warning%s\n", tally.errors, plural(tally.errors),
               tally.warnings, plural(tally.warnings));
  return tally.errors > 0 ? kStatusSyntaxError : kStatusCorrect;
}

int run_grammar_check(const checker_state& settings) {
  const open_file configuration(std::fopen(settings.config_name.c_str(), "r"));
  if (configuration == nullptr) {
    std::fprintf(settings.out, "ERROR: cannot open the configuration file %s\n",
                 settings.config_name.c_str());
    return kStatusCannotOpen;
  }
  const std::vector<std::string> lines = configuration_lines(configuration.get());
  int status = kStatusCorrect;
  // The analyser needs its message file too, though nothing here reads it.
  if (open_named(settings, lines, kMessageFile, status) == nullptr) return status;
  grammar_sources sources;
  sources.names[static_cast<int>(grammar_file::configuration)] = settings.config_name;
  open_file files[kGrammarFiles];
  for (const grammar_file which : kCheckedFiles) {
    const int i = static_cast<int>(which);
    files[i] = open_named(settings, lines, kFileLines[i], status);
    if (files[i] == nullptr) return status;
    sources.names[i] = lines[kFileLines[i].line - 1];
    sources.files[i] = files[i].get();
  }
  return check_grammar_files(settings, sources);
}
