#include "app/command_line_answer.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace markola {

namespace {

struct Texts {
    std::string_view usage;
    std::string_view help;  // what follows the usage line
    const char* unknownOption;
    const char* missingValue;
    std::string_view noDisplay;
};

constexpr Texts kEnglish = {
    "Usage: markola [OPTION]... [--] [NAME]...\n",
    "Opens the checklist memo pad. Memos are kept in memo/NAME.txt under the current\n"
    "directory, the size and position of the window in settings.ini there.\n"
    "Given a NAME, opens that memo at start-up (a final .txt may be left out); several\n"
    "words, joined by single spaces, are one name.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "      --         take the words after it as the name, also one such as \"-x\"\n"
    "\n"
    "Options of the Qt toolkit, such as -platform wayland, go to the toolkit.\n"
    "See man markola for more.\n",
    "markola: unrecognized option '%s'\n",
    "markola: option '%s' requires an argument\n",
    "markola: cannot open the window: no display can be reached (DISPLAY, WAYLAND_DISPLAY)\n",
};

constexpr Texts kJapanese = {
    "使い方: markola [オプション]... [--] [メモ名]...\n",
    "チェックリストのメモ帳を開きます。メモは現在のフォルダの memo/<メモ名>.txt に、\n"
    "ウィンドウの大きさと位置は settings.ini に保存されます。\n"
    "メモ名を与えると、起動時にそのメモを開きます (末尾の .txt は省略できます)。\n"
    "複数の語は、半角空白一つでつないで一つの名前になります。\n"
    "\n"
    "  -h, --help     この使い方を表示して終了します\n"
    "      --version  バージョンを表示して終了します\n"
    "      --         これより後の語を、\"-x\" のような語も名前とします\n"
    "\n"
    "Qt ツールキットのオプション (-platform wayland など) はツールキットに渡されます。\n"
    "詳しくは man markola をご覧ください。\n",
    "markola: '%s' というオプションはありません\n",
    "markola: オプション '%s' には値が必要です\n",
    "markola: ディスプレイに接続できないため、ウィンドウを開けません"
    " (DISPLAY、WAYLAND_DISPLAY)\n",
};

constexpr std::string_view kVersion =
    "MARKOLA " MARKOLA_VERSION
    "\n"
    "Copyright (C) 2026 MARKOLA developers\n"
    "Licence: MIT (Expat) <https://spdx.org/licenses/MIT.html>\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

// The locale's language for messages, as the C library and man look it up.
const Texts& LocaleTexts() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return std::string_view(value).starts_with("ja") ? kJapanese : kEnglish;
        }
    }
    return kEnglish;
}

bool Write(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

// A full disk or a closed pipe is a failure to answer, as it is for any other program.
int Print(std::string_view text) {
    return Write(stdout, text) && std::fflush(stdout) == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}

// GNU programs end with status 2 when they are called the wrong way.
int Complain(const char* format, const std::string& option) {
    std::fprintf(stderr, format, option.c_str());
    Write(stderr, LocaleTexts().usage);
    return 2;
}

}  // namespace

std::optional<int> AnswerCommandLine(const CommandLine& line) {
    const Texts& texts = LocaleTexts();
    switch (line.request) {
        case CommandLine::Request::Help:
            return Print(std::string(texts.usage) + "\n" + std::string(texts.help));
        case CommandLine::Request::Version:
            return Print(kVersion);
        case CommandLine::Request::UnknownOption:
            return Complain(texts.unknownOption, line.option);
        case CommandLine::Request::MissingValue:
            return Complain(texts.missingValue, line.option);
        case CommandLine::Request::OpenWindow:
            break;
    }
    return std::nullopt;
}

void ReportNoDisplay() {
    Write(stderr, LocaleTexts().noDisplay);
}

}  // namespace markola
