#include "analyser/driver/suite_command.hpp"

#include "analyser/driver/parallel_run.hpp"
#include "analyser/output/printout.hpp"
#include "analyser/suite/test_suite.hpp"

namespace {
suite_options options_of(const analyser_state& state) {
  const added_settings& added = state.added;
  suite_options options;
  options.suite_file_name = added.suite_file_name;
  options.profile_file_name = added.profile_file_name;
  options.compare_file_name = added.compare_file_name;
  options.summary_files = added.summary_files;
  options.configuration_file_name = state.config_file_name;
  options.verbose = state.trace_flag != 0;
  options.utf8 = added.utf8;
  options.start_category = state.start_category;
  options.node_limit = state.nodes.limit;
  options.nodes = (state.output_flags & OUT_LIST) != 0;
  options.all_analyses = added.all_analyses;
  options.analysis_limit = added.analysis_limit;
  options.why = added.why;
  options.threads = batch_threads(added);
  return options;
}

suite_streams streams_of(const analyser_state& state) {
  return {state.out, state.console, state.results, state.errors};
}
}  // namespace

int run_test_suite(analyser_state& state) {
  return run_suite(state.loaded, options_of(state), streams_of(state));
}

int run_summary(analyser_state& state) {
  return summarise_profiles(options_of(state), streams_of(state));
}
