#pragma once

#include <QString>

#include "storage/file_store.h"

namespace markola {

// Whether a text on screen would be lost without its recovery copy: true unless the memo's
// file holds exactly its bytes, or the text is empty and the file does not exist.
bool EditsWouldBeLost(const FileStore& files, const QString& memoPath, const QString& text);

}  // namespace markola
