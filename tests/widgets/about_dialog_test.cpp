#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "tests/widgets/widget_doubles.h"
#include "ui/widgets/about_dialog.h"

namespace markola {

class AboutDialogTest : public QObject {
    Q_OBJECT

    testing::RecordingLauncher launcher;
    std::unique_ptr<AboutDialog> dialog;

    void Open() {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    }
    QLabel* Version() const { return dialog->findChild<QLabel*>("lblVersion"); }
    QPushButton* Button(const char* name) const { return dialog->findChild<QPushButton*>(name); }

private slots:
    void init() {
        launcher = {};
        dialog = std::make_unique<AboutDialog>(launcher, "1.0.2");
    }

    void showsModallyWithTheVersionEveryTime() {
        QStringList shown;
        for (int showing = 0; showing < 2; ++showing) {
            QTimer::singleShot(0, this, [&] {
                const bool modal = QApplication::activeModalWidget() == dialog.get();
                shown << Version()->text() + (modal ? " (modal)" : "");
                Version()->setText("version");
                Button("Command1")->click();
            });
            QCOMPARE(dialog->ShowModal(), int(QDialog::Accepted));
        }
        QCOMPARE(shown, QStringList(2, "ﾊﾞｰｼﾞｮﾝ 1.0.2 (modal)"));
    }

    void escapeDoesNothingOkAndTheCloseBoxClose() {
        QCOMPARE(Button("Command1")->text(), QString("O K"));
        for (const auto& close : QList<std::function<void()>>{
                 [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); },
                 [&] { QTest::mouseClick(Button("Command1"), Qt::LeftButton); },
                 [&] { dialog->close(); }}) {
            Open();
            QCOMPARE(QApplication::focusWidget(), Button("Command1"));
            QTest::keyClick(Button("Command1"), Qt::Key_Escape);
            QVERIFY(dialog->isVisible());
            close();
            QVERIFY(!dialog->isVisible());
        }
    }

    void siteButtonLaunchesEachTimeAndStaysOpen() {
        Open();
        QCOMPARE(Button("Command2")->text(), QString("https://markola.example.org/"));
        Button("Command2")->setFocus();
        QTest::keyClick(Button("Command2"), Qt::Key_Return);
        launcher.succeed = false;
        QString prompt;
        testing::ClickInNextMessageBox("OK", &prompt);
        QTest::mouseClick(Button("Command2"), Qt::LeftButton);
        QCOMPARE(prompt, QString("https://markola.example.org/ を開けません。"));
        QCOMPARE(launcher.calls, QStringList(2, "url https://markola.example.org/"));
        QVERIFY(dialog->isVisible());
        dialog->close();
        Open();  // the focus left on the site button does not stay there
        QCOMPARE(QApplication::focusWidget(), Button("Command1"));
    }
};

}  // namespace markola

QTEST_MAIN(markola::AboutDialogTest)
#include "about_dialog_test.moc"
