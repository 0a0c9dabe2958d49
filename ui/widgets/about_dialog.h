#pragma once

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;

namespace markola {

class Launcher;

// The About dialog: banner, name, version, a one-line description and the web-site
// button. A small fixed tool window; Esc does nothing, "O K" and the close box close it.
//
// Each showing (showEvent, whatever shows it) runs ShowVersion, which sets the version label,
// and gives the focus to "O K". The main window shows it with ShowModal(), which returns
// when the dialog has been closed.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    static inline const QString kSiteAddress = QStringLiteral("https://markola.example.org/");

    AboutDialog(Launcher& launcher, QString version, QWidget* parent = nullptr);

    int ShowModal();

    void ShowVersion();
    void OpenSite();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    QLabel* AddLabel(QWidget* container, const char* name, const QString& caption);
    QPushButton* AddButton(QWidget* container, const char* name, const QString& caption);
    void Place(QWidget* control, int left, int top, int width, int height) const;

    Launcher& launcher_;
    QString version_;
    QLabel* banner_ = nullptr;
    QFrame* textFrame_ = nullptr;
    QLabel* descriptionLabel_ = nullptr;
    QLabel* newsLabel_ = nullptr;
    QLabel* nameLabel_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* siteButton_ = nullptr;
};

}  // namespace markola
