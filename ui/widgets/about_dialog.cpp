#include "ui/widgets/about_dialog.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

#include "ui/launcher.h"
#include "ui/messages.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/twips.h"

namespace markola {
namespace {

constexpr int kClientWidthTwips = 6300;
constexpr int kClientHeightTwips = 3315;
constexpr qreal kLabelFontPointSize = 9.75;

}  // namespace

AboutDialog::AboutDialog(Launcher& launcher, QString version, QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      launcher_(launcher),
      version_(std::move(version)) {
    setWindowTitle(text::kApplicationTitle);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(TwipsToPixels(kClientWidthTwips, logicalDpiX()),
                 TwipsToPixels(kClientHeightTwips, logicalDpiY()));
    BuildControls();
}

int AboutDialog::ShowModal() {
    return exec();
}

void AboutDialog::ShowVersion() {
    lblVersion->setText(text::kAboutVersionBefore + version_);
}

void AboutDialog::OpenSite() {
    if (!launcher_.OpenUrl(QUrl(kSiteAddress))) {
        ShowMessageBox(this, text::kApplicationTitle, text::CannotOpenAddress(kSiteAddress),
                       Buttons::Ok, MessageIcon::Exclamation);
    }
}

// The dialog object is kept between showings, so whatever was focused last time would
// otherwise keep the focus; every opening starts on "O K".
void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        ShowVersion();
        Command1->setFocus(Qt::OtherFocusReason);
    }
}

// Neither button is a default button, so Enter acts on the focused one; Esc is not a
// cancel key here. The close box still closes through reject().
void AboutDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
                button->click();
            }
            event->accept();
            return;
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void AboutDialog::BuildControls() {
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/markola/banner.png")));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(Image1, 120, 120, 6060, 870);
    Image1->setAccessibleName(text::kApplicationTitle);
    Image1->setAccessibleDescription(text::kAboutBanner);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Place(Frame1, 120, 1320, 6015, 1215);
    Frame1->setAccessibleName(text::kAboutFrame);
    Frame1->setAccessibleDescription(text::kAboutFrameDescription);

    Label1 = AddLabel(Frame1, "Label1", text::kAboutDescription);
    Place(Label1, 240, 240, 5535, 255);
    Label2 = AddLabel(Frame1, "Label2", text::kAboutNews);
    Place(Label2, 240, 720, 5535, 255);
    Command2 = AddButton(Frame1, "Command2", kSiteAddress);
    Place(Command2, 2880, 600, 2655, 375);
    Command2->raise();

    Command1 = AddButton(this, "Command1", text::kAboutOk);
    Place(Command1, 2280, 2760, 1575, 375);
    lblVersion = AddLabel(this, "lblVersion", QStringLiteral("version"));
    Place(lblVersion, 3360, 1080, 3135, 255);
    Label3 = AddLabel(this, "Label3", text::kAboutName);
    Place(Label3, 600, 1080, 2655, 255);

    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Command2, &QPushButton::clicked, this, &AboutDialog::OpenSite);
    setTabOrder(Command1, Command2);
}

QLabel* AboutDialog::AddLabel(QWidget* container, const char* name, const QString& caption) {
    auto* label = new QLabel(caption, container);
    label->setObjectName(QLatin1String(name));
    label->setFont(JapaneseFixedFont(kLabelFontPointSize));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton* AboutDialog::AddButton(QWidget* container, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, container);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void AboutDialog::Place(QWidget* control, int left, int top, int width, int height) const {
    control->setGeometry(TwipsToPixels(left, logicalDpiX()), TwipsToPixels(top, logicalDpiY()),
                         TwipsToPixels(width, logicalDpiX()), TwipsToPixels(height, logicalDpiY()));
}

}  // namespace markola
