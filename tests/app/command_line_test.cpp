#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace markola {
namespace {

using Request = CommandLine::Request;

struct Case {
    std::vector<std::string> words;  // after the program's name
    Request request;
    std::string option;                         // the mistaken one
    std::vector<std::string> toolkitArguments;  // after the program's name
    std::string memoName;
};

// Options anywhere before "--", in their order; the toolkit's own with their values; every
// other word, and all after "--", joined into the memo's name.
const Case kCases[] = {
    {{"shopping", "list"}, Request::OpenWindow, "", {}, "shopping list"},
    {{"-platform", "wayland", "plan", "--reverse", "-style=fusion"},
     Request::OpenWindow,
     "",
     {"-platform", "wayland", "--reverse", "-style=fusion"},
     "plan"},
    {{"--", "-x", "--help", "-reverse"}, Request::OpenWindow, "", {}, "-x --help -reverse"},
    {{"-", "", "a"}, Request::OpenWindow, "", {}, "-  a"},
    {{"plan", "-h", "--bogus"}, Request::Help, "", {}, "plan"},
    {{"--version"}, Request::Version, "", {}, ""},
    {{"plan", "--bogus", "--help"}, Request::UnknownOption, "--bogus", {}, "plan"},
    {{"-x", "--", "plan"}, Request::UnknownOption, "-x", {}, ""},
    {{"plan", "-platform"}, Request::MissingValue, "-platform", {}, "plan"},
};

TEST(CommandLineTest, ReadsOptionsAsGnuProgramsDoAndTheRestAsTheMemoName) {
    for (const Case& c : kCases) {
        std::vector<char*> argv{const_cast<char*>("markola")};
        for (const std::string& word : c.words) {
            argv.push_back(const_cast<char*>(word.c_str()));
        }
        const CommandLine line = ReadCommandLine(static_cast<int>(argv.size()), argv.data());
        SCOPED_TRACE(::testing::PrintToString(c.words));
        EXPECT_EQ(line.request, c.request);
        EXPECT_EQ(line.option, c.option);
        EXPECT_EQ(line.memoName, c.memoName);
        ASSERT_EQ(line.toolkitArguments.size(), c.toolkitArguments.size() + 2);
        EXPECT_EQ(line.toolkitArguments.front(), argv.front());
        EXPECT_EQ(line.toolkitArguments.back(), nullptr);
        for (size_t i = 0; i < c.toolkitArguments.size(); ++i) {
            EXPECT_EQ(line.toolkitArguments[i + 1], c.toolkitArguments[i]);
        }
    }
}

}  // namespace
}  // namespace markola
