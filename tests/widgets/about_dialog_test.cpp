#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "tests/widgets/modal_answer.h"
#include "ui/about_dialog.h"
#include "ui/launcher.h"

namespace markola {
namespace {

class FakeLauncher : public Launcher {
public:
    bool OpenFolder(const QString&) override { return false; }
    bool OpenUrl(const QUrl& url) override {
        urls.append(url);
        return succeeds;
    }
    bool StartDetached(const QString&, const QString&) override { return false; }

    QList<QUrl> urls;
    bool succeeds = true;
};

const QString kVersionCaption = QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.0.2");

}  // namespace

class AboutDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init() { dialog_ = std::make_unique<AboutDialog>(launcher_, QStringLiteral("1.0.2")); }
    void cleanup() { launcher_ = {}; }

    void captionsAndBanner() {
        QCOMPARE(dialog_->windowTitle(), QStringLiteral("MARKOLA"));
        const QList<std::pair<const char*, QString>> captions{
            {"Label1", QStringLiteral("用件をマーク、優先順位も操作できる。メモ帳の決定版")},
            {"Label2", QStringLiteral("最新情報はこちら→")},
            {"Label3", QStringLiteral("MARKOLA (マーコラ)")},
            {"lblVersion", QStringLiteral("version")},
        };
        for (const auto& [name, caption] : captions) {
            QCOMPARE(Label(name)->text(), caption);
        }
        QCOMPARE(Button("Command1")->text(), QStringLiteral("O K"));
        QCOMPARE(Button("Command2")->text(), QStringLiteral("https://markola.example.org/"));
        QCOMPARE(Label("Image1")->pixmap().size(), QSize(404, 58));
    }

    void fixedToolWindowLaidOutInTwips() {
        QCOMPARE(dialog_->windowType(), Qt::Tool);
        QVERIFY(!dialog_->windowFlags().testAnyFlags(Qt::WindowMinMaxButtonsHint));
        if (dialog_->logicalDpiX() != 96 || dialog_->logicalDpiY() != 96) {
            QSKIP("the pixel figures are those of a 96 dpi screen");
        }
        QCOMPARE(dialog_->minimumSize(), QSize(420, 221));
        QCOMPARE(dialog_->maximumSize(), QSize(420, 221));
        const QList<std::pair<const char*, QRect>> table{
            {"Image1", {8, 8, 404, 58}},        {"Frame1", {8, 88, 401, 81}},
            {"Label1", {16, 16, 369, 17}},      {"Label2", {16, 48, 369, 17}},
            {"Command2", {192, 40, 177, 25}},   {"Command1", {152, 184, 105, 25}},
            {"lblVersion", {224, 72, 209, 17}}, {"Label3", {40, 72, 177, 17}},
        };
        for (const auto& [name, rect] : table) {
            QCOMPARE(dialog_->findChild<QWidget*>(name)->geometry(), rect);
        }
        QCOMPARE(QFontInfo(Label("Label1")->font()).pixelSize(), 13);
    }

    void versionLabelIsSetOnEveryShowing() {
        Open();
        QCOMPARE(Label("lblVersion")->text(), kVersionCaption);
        dialog_->close();
        Label("lblVersion")->setText(QStringLiteral("version"));
        QString shownVersion;
        QTimer::singleShot(0, this, [&] {
            shownVersion = Label("lblVersion")->text();
            Button("Command1")->click();
        });
        QCOMPARE(dialog_->ShowModal(), int(QDialog::Accepted));
        QCOMPARE(shownVersion, kVersionCaption);
    }

    void focusStartsOnOkAndTabStaysOnTheButtons() {
        Open();
        QCOMPARE(QApplication::focusWidget(), Button("Command1"));
        for (const char* next : {"Command2", "Command1", "Command2"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), Button(next));
        }
        dialog_->close();
        Open();
        QCOMPARE(QApplication::focusWidget(), Button("Command1"));
    }

    void escapeDoesNotCloseButOkAndTheCloseBoxDo() {
        Open();
        QTest::keyClick(Button("Command1"), Qt::Key_Escape);
        QVERIFY(dialog_->isVisible());
        for (const auto& close : QList<std::function<void()>>{
                 [&] { QTest::keyClick(Button("Command1"), Qt::Key_Return); },
                 [&] { QTest::keyClick(Button("Command1"), Qt::Key_Space); },
                 [&] { QTest::mouseClick(Button("Command1"), Qt::LeftButton); },
                 [&] { dialog_->close(); }}) {
            Open();
            close();
            QVERIFY(!dialog_->isVisible());
        }
    }

    void webButtonLaunchesEachTimeAndStaysOpenEvenWhenTheLaunchFails() {
        Open();
        Button("Command2")->setFocus();
        QTest::mouseClick(Button("Command2"), Qt::LeftButton);
        QTest::keyClick(Button("Command2"), Qt::Key_Return);
        launcher_.succeeds = false;
        QString prompt;
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        testing::OnNextMessageBox([&](QMessageBox& box) {
            std::tie(prompt, title, icon) = std::tuple(box.text(), box.windowTitle(), box.icon());
            box.accept();
        });
        QTest::keyClick(Button("Command2"), Qt::Key_Space);
        QCOMPARE(prompt, QStringLiteral("https://markola.example.org/ を開けません。"));
        QCOMPARE(title, QStringLiteral("MARKOLA"));
        QCOMPARE(icon, QMessageBox::Warning);
        const QUrl site(QStringLiteral("https://markola.example.org/"));
        QCOMPARE(launcher_.urls, QList<QUrl>({site, site, site}));
        QVERIFY(dialog_->isVisible());
    }

private:
    void Open() {
        dialog_->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    }
    QLabel* Label(const char* name) const { return dialog_->findChild<QLabel*>(name); }
    QPushButton* Button(const char* name) const { return dialog_->findChild<QPushButton*>(name); }

    FakeLauncher launcher_;
    std::unique_ptr<AboutDialog> dialog_;
};

}  // namespace markola

QTEST_MAIN(markola::AboutDialogTest)
#include "about_dialog_test.moc"
