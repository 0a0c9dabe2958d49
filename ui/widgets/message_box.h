#pragma once

#include <QString>

#include "ui/memo_view.h"

class QWidget;

namespace markola {

// A modal message box that reads as on a Japanese desktop: Yes as the default button unless
// the buttons say otherwise, and
// closing a box with a Cancel button answering Cancel. The buttons read "はい(&Y)",
// "いいえ(&N)", "キャンセル" and "OK" once the toolkit's Japanese is installed. The title is
// shown exactly as given.
Answer ShowMessageBox(QWidget* parent, const QString& title, const QString& prompt, Buttons buttons,
                      MessageIcon icon);

}  // namespace markola
