#pragma once

class QCoreApplication;

namespace markola {

// Qt's own Japanese for every text the toolkit draws (the context menus of the text and
// name boxes, the buttons of message boxes), whatever the user's locale: the program speaks
// Japanese only. Returns false when the translation is not installed; the toolkit then
// stays English.
bool InstallToolkitJapanese(QCoreApplication& app);

}  // namespace markola
