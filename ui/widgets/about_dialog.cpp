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
    versionLabel_->setText(text::kAboutVersionBefore + version_);
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
        okButton_->setFocus(Qt::OtherFocusReason);
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
    banner_ = new QLabel(this);
    banner_->setObjectName(QStringLiteral("banner"));
    banner_->setPixmap(QPixmap(QStringLiteral(":/markola/banner.png")));
    banner_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(banner_, 120, 120, 6060, 870);
    banner_->setAccessibleName(text::kApplicationTitle);
    banner_->setAccessibleDescription(text::kAboutBanner);

    textFrame_ = new QFrame(this);
    textFrame_->setObjectName(QStringLiteral("textFrame"));
    textFrame_->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Place(textFrame_, 120, 1320, 6015, 1215);
    textFrame_->setAccessibleName(text::kAboutFrame);
    textFrame_->setAccessibleDescription(text::kAboutFrameDescription);

    descriptionLabel_ = AddLabel(textFrame_, "description", text::kAboutDescription);
    Place(descriptionLabel_, 240, 240, 5535, 255);
    newsLabel_ = AddLabel(textFrame_, "news", text::kAboutNews);
    Place(newsLabel_, 240, 720, 5535, 255);
    siteButton_ = AddButton(textFrame_, "siteButton", kSiteAddress);
    Place(siteButton_, 2880, 600, 2655, 375);
    siteButton_->raise();

    okButton_ = AddButton(this, "okButton", text::kAboutOk);
    Place(okButton_, 2280, 2760, 1575, 375);
    versionLabel_ = AddLabel(this, "version", QStringLiteral("version"));
    Place(versionLabel_, 3360, 1080, 3135, 255);
    nameLabel_ = AddLabel(this, "name", text::kAboutName);
    Place(nameLabel_, 600, 1080, 2655, 255);

    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(siteButton_, &QPushButton::clicked, this, &AboutDialog::OpenSite);
    setTabOrder(okButton_, siteButton_);
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
