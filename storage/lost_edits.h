#pragma once

#include <QString>
#include <optional>

#include "storage/file_store.h"

namespace markola {

// The text a memo was loaded with or last saved from, kept as a digest so that a large memo
// costs no second copy of its text. It is a digest of the text and not of the file: a file
// whose bytes the code page reads as characters it writes back otherwise (duplicate codes,
// stray bytes) is still the text the user has not changed.
ContentDigest DigestOfText(QStringView text);

// Whether a text on screen would be lost without its recovery copy: true unless it is the
// saved text, which is not known for edits restored from a copy.
bool EditsWouldBeLost(QStringView text, const std::optional<ContentDigest>& savedText);

}  // namespace markola
