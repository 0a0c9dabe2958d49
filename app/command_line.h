#pragma once

#include <string>
#include <vector>

namespace markola {

// The command line read as GNU programs read theirs: options may stand anywhere before
// "--", "-h" is "--help", and every other word names the memo to open.
struct CommandLine {
    enum class Request { OpenWindow, Help, Version, UnknownOption, MissingValue };
    Request request = Request::OpenWindow;
    // For a mistake: the option as it was given.
    std::string option;
    // The program's name and the toolkit's own options with their values, in their order and
    // ended by a null pointer, for QApplication. The memo's words never reach the toolkit,
    // which would take a "-reverse" after "--" for its own.
    std::vector<char*> toolkitArguments;
    // The words that name the memo, joined by single spaces, as bytes: a name from an older
    // system is no UTF-8.
    std::string memoName;
};

CommandLine ReadCommandLine(int argc, char* argv[]);

}  // namespace markola
