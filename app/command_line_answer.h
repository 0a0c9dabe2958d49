#pragma once

#include <optional>

namespace markola {

// "--help" and "--version", each given alone, are answered on standard output before
// anything else happens: no window, no display needed, nothing read or written in the
// current directory. Returns the exit status then, and nothing for any other command line,
// which names a memo as it always has.
std::optional<int> AnswerCommandLine(int argc, const char* const argv[]);

}  // namespace markola
