#include "ui/widgets/message_box.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace markola {
namespace {

QMessageBox::StandardButtons StandardButtonsOf(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return QMessageBox::Ok;
        case Buttons::YesNo:
        case Buttons::YesNoDefaultNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
        case Buttons::YesNoOrLater:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

Answer AnswerOf(int clicked) {
    switch (clicked) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            return Answer::Cancel;
    }
}

}  // namespace

Answer ShowMessageBox(QWidget* parent, const QString& title, const QString& prompt, Buttons buttons,
                      MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    title, prompt, StandardButtonsOf(buttons), parent);
    if (buttons != Buttons::Ok) {
        box.setDefaultButton(buttons == Buttons::YesNoDefaultNo ? QMessageBox::No
                                                                : QMessageBox::Yes);
    }
    // Escape and the close box give the safe answer without more: QMessageBox makes Cancel the
    // escape button where there is one, otherwise No. Where no answer is also an answer,
    // Cancel is there for them alone.
    if (buttons == Buttons::YesNoOrLater) {
        box.button(QMessageBox::Cancel)->hide();
    }
    // A box whose event loop is ended from outside, as by a signal, was not answered.
    return AnswerOf(box.exec());
}

}  // namespace markola
