#include "analyser/base/log_output.hpp"

void report_problem(const log_output& log, long line, long column, const std::string& text,
                    const std::string& printed) {
  if (log.out != nullptr) std::fputs(printed.c_str(), log.out);
  if (log.problems != nullptr) {
    log.problems->problems.push_back({log.problems->file, line, column, text});
  }
}
