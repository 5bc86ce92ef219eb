#include "analyser/lexicon/lex_analysis.hpp"

int lex_analysis(AnalyserState&, const unsigned char*) { return 0; }
