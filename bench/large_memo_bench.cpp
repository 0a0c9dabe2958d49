// A 10 MB memo in 115,000 lines and the same text as one line, in the program and in the
// toolkit's floor: a bare QPlainTextEdit with the same text, font and wrapping, shown at the
// same size in the same process. scripts/bench-report gives each figure as a ratio to its floor.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <array>
#include <ctime>
#include <string>
#include <utility>

#include "bench/bench_window.h"
#include "bench/resident_memory.h"
#include "storage/cp932.h"
#include "ui/free_memory.h"
#include "ui/line_commands.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/memo_name_combo.h"
#include "ui/widgets/memo_text_edit.h"
#include "ui/widgets/memo_text_mapping.h"

namespace markola {
namespace {

using bench::BenchFolder;
using bench::ResidentMb;
using bench::ShownWindow;

enum class Shape { Lines, OneLine };

// About 10 MB of code page 932, 85 bytes a line.
const QString& Memo(Shape shape) {
    static const std::array<QString, 2> kMemos = [] {
        QStringList lines;
        for (int line = 0; line < 115'000; ++line) {
            lines << QStringLiteral(
                         u"□ 項目%1 牛乳と卵を買う、月曜の会議の資料を準備する。ｱｲｳｴｵ abc "
                         u"1234567890abcdefg")
                         .arg(line, 6, 10, QChar(u'0'));
        }
        return std::array{lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"),
                          lines.join(u' ')};
    }();
    return kMemos[static_cast<int>(shape)];
}

QString MemoName(Shape shape) {
    return shape == Shape::Lines ? QStringLiteral("lines") : QStringLiteral("one-line");
}

double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The process's CPU time in the second that follows a second of running events after the
// window showed: what timers and deferred layout still do once the window is up.
double CpuMsInSecondAfterShowing() {
    double start = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2000) {
        if (start == 0 && clock.elapsed() >= 1000) {
            start = CpuMs();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        usleep(1000);
    }
    return CpuMs() - start;
}

void Key(QWidget* box, Qt::Key key, const char* text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString::fromLatin1(text));
    QCoreApplication::sendEvent(box, &press);
    QCoreApplication::processEvents();  // and the paint that shows it
}

// A typed character and its Backspace, each painted.
void TypeAndTakeBack(QWidget* box) {
    Key(box, Qt::Key_X, "x");
    Key(box, Qt::Key_Backspace, "");
}

// The program: the shown main window, the memo chosen in the name box's list and saved with
// the menu, as a user does.
class Program {
public:
    explicit Program(Shape shape) : shape_(shape) {
        place_.Write(MemoName(shape), cp932::Encode(Memo(shape)).bytes);
    }
    void Open() {
        shown_.window.SetComboText(MemoName(shape_));
        emit shown_.window.findChild<MemoNameCombo*>(QStringLiteral("nameBox"))->itemChosen();
        Text()->viewport()->repaint();
    }
    void Save() { shown_.window.findChild<QAction*>(QStringLiteral("saveItem"))->trigger(); }
    MemoTextEdit* Text() {
        return shown_.window.findChild<MemoTextEdit*>(QStringLiteral("textBox"));
    }

private:
    Shape shape_;
    BenchFolder place_;
    ShownWindow shown_{place_};
};

// The toolkit alone, with the document text the program gives its text box.
class Floor {
public:
    explicit Floor(Shape shape) : text_(DocumentTextFromMemo(Memo(shape)).text) {
        edit_.setFont(JapaneseFixedFont(12));
        edit_.setLineWrapMode(QPlainTextEdit::NoWrap);
        edit_.setWordWrapMode(QTextOption::NoWrap);
        edit_.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit_.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        const BenchFolder empty;
        ShownWindow sized(empty);
        edit_.resize(sized.window.findChild<MemoTextEdit*>(QStringLiteral("textBox"))->size());
        edit_.show();
        edit_.activateWindow();
        edit_.setFocus();
        QCoreApplication::processEvents();
    }
    void Open() {
        edit_.setPlainText(text_);
        edit_.viewport()->repaint();
    }
    QPlainTextEdit* Text() { return &edit_; }

private:
    QString text_;
    QPlainTextEdit edit_;
};

template <typename Box>
void BM_Open(benchmark::State& state, Shape shape) {
    Box box(shape);
    for (auto _ : state) {
        box.Open();
    }
}

template <typename Box>
void BM_IdleAfterOpen(benchmark::State& state, Shape shape) {
    Box box(shape);
    for (auto _ : state) {
        box.Open();
        state.counters["cpu_ms_second_after"] = CpuMsInSecondAfterShowing();
    }
}

// Keys at the end of the memo or in its middle.
template <typename Box>
void BM_TypedKey(benchmark::State& state, Shape shape, bool middle) {
    Box box(shape);
    box.Open();
    QPlainTextEdit* text = box.Text();
    QTextCursor cursor(text->document());
    cursor.setPosition(middle ? text->document()->characterCount() / 2
                              : text->document()->characterCount() - 1);
    text->setTextCursor(cursor);
    for (auto _ : state) {
        TypeAndTakeBack(text);
    }
}

template <typename Box>
void BM_ResidentMemoryOfOpen(benchmark::State& state, Shape shape) {
    for (auto _ : state) {
        Box box(shape);
        ReturnFreeMemoryToSystem();
        const double before = ResidentMb();
        box.Open();
        box.Text()->window()->resize(box.Text()->window()->size() + QSize(40, 40));
        QCoreApplication::processEvents();
        ReturnFreeMemoryToSystem();  // what the toolkit freed is no part of either
        state.counters["rss_increase_mb"] = ResidentMb() - before;
    }
}

// A toggle of the check box at the middle of the one-line memo, its paint included.
void BM_ToggleCheck_OneLine10MB(benchmark::State& state) {
    Program program(Shape::OneLine);
    program.Open();
    for (auto _ : state) {
        program.Text()->SetSelStart(static_cast<int>(Memo(Shape::OneLine).size() / 2));
        ToggleCaretLineCheck(*program.Text());
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ToggleCheck_OneLine10MB)->Unit(benchmark::kMillisecond);

// A save of the memo as loaded (the check for another program's change and the list's refresh
// included), against the encoding and the atomic write alone.
void BM_Save_10MB(benchmark::State& state) {
    Program program(Shape::Lines);
    program.Open();
    for (auto _ : state) {
        program.Save();
    }
}
BENCHMARK(BM_Save_10MB)->Unit(benchmark::kMillisecond);

void BM_SaveFloor_10MB(benchmark::State& state) {
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("memo.txt"));
    DiskFileStore files;
    for (auto _ : state) {
        benchmark::DoNotOptimize(files.WriteAll(path, cp932::Encode(Memo(Shape::Lines)).bytes));
    }
}
BENCHMARK(BM_SaveFloor_10MB)->Unit(benchmark::kMillisecond);

// Each figure of both memos, named BM_<figure>_<memo> and BM_<figure>Floor_<memo>.
template <typename Register>
void ForBothMemos(const char* figure, Register add) {
    for (const auto& [shape, memo] :
         {std::pair{Shape::Lines, "Lines"}, {Shape::OneLine, "OneLine"}}) {
        for (const bool floor : {false, true}) {
            add(QStringLiteral("BM_%1%2_%3").arg(figure, floor ? "Floor" : "", memo).toStdString(),
                shape, floor);
        }
    }
}

const bool kRegistered = [] {
    using benchmark::RegisterBenchmark;
    ForBothMemos("Open", [](const std::string& name, Shape shape, bool floor) {
        RegisterBenchmark(name.c_str(), floor ? BM_Open<Floor> : BM_Open<Program>, shape)
            ->Unit(benchmark::kMillisecond);
    });
    ForBothMemos("IdleAfterOpen", [](const std::string& name, Shape shape, bool floor) {
        RegisterBenchmark(name.c_str(), floor ? BM_IdleAfterOpen<Floor> : BM_IdleAfterOpen<Program>,
                          shape)
            ->Iterations(1);
    });
    ForBothMemos("ResidentMemory", [](const std::string& name, Shape shape, bool floor) {
        RegisterBenchmark(name.c_str(),
                          floor ? BM_ResidentMemoryOfOpen<Floor> : BM_ResidentMemoryOfOpen<Program>,
                          shape)
            ->Iterations(1);
    });
    for (const char* place : {"End", "Middle"}) {
        ForBothMemos(place, [place](const std::string& name, Shape shape, bool floor) {
            RegisterBenchmark(("BM_TypedKey" + name.substr(3)).c_str(),
                              floor ? BM_TypedKey<Floor> : BM_TypedKey<Program>, shape,
                              std::string(place) == "Middle")
                ->Unit(benchmark::kMicrosecond);
        });
    }
    return true;
}();

}  // namespace
}  // namespace markola
