#include "app/command_line_answer.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace markola {

namespace {

constexpr std::string_view kUsage =
    "使い方: markola [メモ名]\n"
    "\n"
    "チェックリストのメモ帳を開きます。メモは現在のフォルダの memo/<メモ名>.txt に、\n"
    "ウィンドウの大きさと位置は settings.ini に保存されます。\n"
    "メモ名を与えると、起動時にそのメモを開きます (末尾の .txt は省略できます)。\n"
    "\n"
    "  --help     この使い方を表示して終了します\n"
    "  --version  バージョンを表示して終了します\n"
    "\n"
    "詳しくは man markola をご覧ください。\n";

constexpr std::string_view kVersion = "MARKOLA " MARKOLA_VERSION "\n";

// A full disk or a closed pipe is a failure to answer, as it is for any other program.
int Print(std::string_view text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return written && std::fflush(stdout) == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}

}  // namespace

std::optional<int> AnswerCommandLine(int argc, const char* const argv[]) {
    if (argc != 2) {
        return std::nullopt;
    }
    const std::string_view argument = argv[1];
    if (argument == "--help") {
        return Print(kUsage);
    }
    if (argument == "--version") {
        return Print(kVersion);
    }
    return std::nullopt;
}

}  // namespace markola
