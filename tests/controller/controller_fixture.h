#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "storage/file_store.h"
#include "tests/controller/fake_view.h"
#include "ui/memo_controller.h"

namespace markola::testing {

// A controller on a fake view, working in a temporary current directory with a
// "memo" folder. Writes fail while failWrites is set.
class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        QDir().mkdir(QStringLiteral("memo"));
    }
    void TearDown() override { QDir::setCurrent(previousDir_); }

    void Start(const QString& argument = {}) {
        controller = std::make_unique<MemoController>(view, files, argument);
        view.onComboChange = [this] { controller->Combo1_Change(); };
        view.onTextChange = [this] { controller->Text1_Change(); };
        controller->Form_Load();
    }
    const EditorState& State() const { return controller->State(); }

    // The user picks an item of the list: the combo already shows it, no change handler.
    void Choose(const QString& name) {
        view.comboText = name;
        controller->Combo1_Click();
    }
    void Tick() {
        if (view.timerEnabled) {
            controller->Timer1_Timer();
        }
    }
    void Answer(std::initializer_list<markola::Answer> answers) {
        view.answers.insert(view.answers.end(), answers);
    }
    QStringList Prompts() const {
        QStringList prompts;
        for (const ShownMessage& m : view.messages) {
            prompts.append(m.prompt);
        }
        return prompts;
    }

    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void WriteMemo(const QString& name, const QByteArray& bytes) {
        WriteFile(QStringLiteral("memo/") + name + QStringLiteral(".txt"), bytes);
    }
    static QByteArray ReadMemo(const QString& name) {
        return ReadFile(QStringLiteral("memo/") + name + QStringLiteral(".txt"));
    }

    FakeView view;
    bool failWrites = false;
    DiskFileStore files{[this](WriteStep) { return failWrites; }};
    std::unique_ptr<MemoController> controller;

private:
    QTemporaryDir dir_;
    QString previousDir_;
};

}  // namespace markola::testing
