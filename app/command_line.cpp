#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace markola {

namespace {

using namespace std::string_view_literals;
using Request = CommandLine::Request;

// The options that Qt 6 takes from the command line (its application objects and its X11
// platform), each with one leading dash or two; named here without them.
constexpr std::array kToolkitOptionsWithValue = {
    "platform"sv,
    "platformpluginpath"sv,
    "platformtheme"sv,
    "plugin"sv,
    "qwindowgeometry"sv,
    "geometry"sv,
    "qwindowicon"sv,
    "icon"sv,
    "qwindowtitle"sv,
    "title"sv,
    "session"sv,
    "style"sv,
    "stylesheet"sv,
    "display"sv,
    "name"sv,
    "visual"sv,
};
constexpr std::array kToolkitFlags = {
    "reverse"sv, "testability"sv, "widgetcount"sv, "nograb"sv, "dograb"sv,
};
constexpr std::array kToolkitValuePrefixes = {"style="sv, "stylesheet="sv, "qmljsdebugger="sv};

bool IsToolkitFlag(std::string_view name) {
    return std::ranges::find(kToolkitFlags, name) != kToolkitFlags.end() ||
           std::ranges::any_of(kToolkitValuePrefixes, [name](std::string_view prefix) {
               return name.starts_with(prefix);
           });
}

// Takes the option at argv[i], with its value when it has one, and returns the index of its
// last word.
int TakeOption(CommandLine& line, int argc, char* argv[], int i) {
    const std::string_view argument = argv[i];
    std::string_view name = argument;
    name.remove_prefix(argument.starts_with("--") ? 2 : 1);
    if (argument == "-h" || argument == "--help") {
        line.request = Request::Help;
    } else if (argument == "--version") {
        line.request = Request::Version;
    } else if (std::ranges::find(kToolkitOptionsWithValue, name) !=
               kToolkitOptionsWithValue.end()) {
        if (i + 1 == argc) {
            line.request = Request::MissingValue;
            line.option = argument;
            return i;
        }
        line.toolkitArguments.insert(line.toolkitArguments.end(), {argv[i], argv[i + 1]});
        return i + 1;
    } else if (IsToolkitFlag(name)) {
        line.toolkitArguments.push_back(argv[i]);
    } else {
        line.request = Request::UnknownOption;
        line.option = argument;
    }
    return i;
}

}  // namespace

CommandLine ReadCommandLine(int argc, char* argv[]) {
    CommandLine line;
    line.toolkitArguments.push_back(argv[0]);
    bool optionsEnded = false;
    bool firstWord = true;
    // The first answer or mistake ends the reading, as it ends a GNU program.
    for (int i = 1; i < argc && line.request == Request::OpenWindow; ++i) {
        const std::string_view argument = argv[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            i = TakeOption(line, argc, argv, i);
        } else {
            line.memoName.append(firstWord ? "" : " ").append(argument);
            firstWord = false;
        }
    }
    line.toolkitArguments.push_back(nullptr);
    return line;
}

}  // namespace markola
