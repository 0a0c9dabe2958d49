#pragma once

#include <optional>

#include "app/command_line.h"

namespace markola {

// Answers "--help", "--version" and a mistaken option before anything else happens: no
// window, no display needed, nothing read or written in the current directory. Returns the
// exit status then, and nothing when the window is to open. The help and every complaint are
// Japanese under a Japanese locale and English otherwise, as the manual page is.
std::optional<int> AnswerCommandLine(const CommandLine& line);

// One line on standard error, in the same language: the window cannot open without a display.
void ReportNoDisplay();

}  // namespace markola
