#include "storage/lost_edits.h"

namespace markola {

ContentDigest DigestOfText(QStringView text) {
    return DigestOf(QByteArrayView(reinterpret_cast<const char*>(text.utf16()),
                                   text.size() * qsizetype{sizeof(char16_t)}));
}

// The sizes first: most edits change the length, and those need no digest of the text.
bool EditsWouldBeLost(QStringView text, const std::optional<ContentDigest>& savedText) {
    return !savedText || text.size() * qsizetype{sizeof(char16_t)} != savedText->size ||
           DigestOfText(text) != *savedText;
}

}  // namespace markola
