#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "ui/launcher.h"

namespace markola::testing {

struct RecordingLauncher : Launcher {
    bool succeed = true;
    QStringList calls;
    bool OpenFolder(const QString& path) override { return Record("folder " + path); }
    bool OpenUrl(const QUrl& url) override { return Record("url " + url.toString()); }
    bool StartDetached(const QString& program, const QString& dir) override {
        return Record("start " + program + " in " + dir);
    }
    bool Record(const QString& call) {
        calls << call;
        return succeed;
    }
};

// Acts on the next modal message box as soon as it is shown, from inside its own event
// loop, so a test can read and answer a question that blocks the code under test.
inline void OnNextMessageBox(std::function<void(QMessageBox&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*box);
        }
    });
    poll->start();
}

// Clicks the button of the next message box whose caption is that text.
inline void ClickInNextMessageBox(const QString& caption, QString* prompt = nullptr) {
    OnNextMessageBox([=](QMessageBox& box) {
        if (prompt) {
            *prompt = box.text();
        }
        for (QAbstractButton* button : box.buttons()) {
            if (button->text() == caption) {
                button->click();
                return;
            }
        }
        box.reject();
    });
}

}  // namespace markola::testing
