#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "storage/cp932.h"
#include "tests/fuzz/fuzz_check.h"

namespace markola::cp932 {
namespace {

using fuzz::Require;

// Lead bytes of the codes whose character a Japanese desktop writes with another code
// (NEC row 13, the NEC-selected and the IBM extensions). Bytes without them must come
// back exactly; with them, only the text must.
bool MayHoldDuplicateCode(QByteArrayView bytes) {
    return std::any_of(bytes.begin(), bytes.end(), [](char byte) {
        const auto value = static_cast<std::uint8_t>(byte);
        return value == 0x87 || value == 0xED || value == 0xEE || value == 0xFA;
    });
}

// Decode gives a byte that starts no character a code point of its own from U+F780 up.
bool IsStrayLeadByte(QChar ch) {
    const int byte = ch.unicode() - 0xF700;
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Any text either encodes into bytes that decode to that very text, or is refused at its
// first character that cannot be held, everything in front of which encodes.
void CheckText(QStringView text) {
    const Encoded encoded = Encode(text);
    if (encoded.unencodableAt == -1) {
        Require(Decode(encoded.bytes) == text, "encoded text decodes to itself");
        return;
    }
    Require(encoded.unencodableAt >= 0 && encoded.unencodableAt < text.size(),
            "refusal points into the text");
    Require(encoded.bytes.isEmpty(), "refused text gives no bytes");
    const Encoded head = Encode(text.first(encoded.unencodableAt));
    Require(head.unencodableAt == -1, "the text in front of the refusal encodes");
    Require(Decode(head.bytes) == text.first(encoded.unencodableAt),
            "the text in front of the refusal decodes to itself");
}

// Any file decodes; saving the text unchanged writes bytes of the same length that load
// as the same text, and the very same bytes unless a duplicate code was normalised. The
// only refusal is a stray lead byte that would join the normalised character after it.
void CheckFile(QByteArrayView bytes) {
    const QString text = Decode(bytes);
    Require(text.size() <= bytes.size(), "every character comes from at least one byte");
    const Encoded saved = Encode(text);
    const bool duplicates = MayHoldDuplicateCode(bytes);
    if (saved.unencodableAt != -1) {
        Require(duplicates, "only a normalised duplicate can make a file unsavable");
        Require(saved.unencodableAt + 1 < text.size() && IsStrayLeadByte(text[saved.unencodableAt]),
                "a refused file has a stray lead byte before another character");
        return;
    }
    Require(saved.bytes.size() == bytes.size(), "a saved file keeps its length");
    Require(Decode(saved.bytes) == text, "a saved file loads as the same text");
    Require(duplicates || saved.bytes == bytes, "a file without duplicate codes saves unchanged");
}

QString Reversed(QString text) {
    std::reverse(text.begin(), text.end());
    return text;
}

}  // namespace
}  // namespace markola::cp932

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace markola::cp932;
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    CheckFile(bytes);
    // The same bytes as UTF-16 reach characters no file decodes to; the decoded text
    // reversed puts encodable characters next to each other in new orders.
    QString units(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, static_cast<std::size_t>(units.size()) * 2);
    CheckText(units);
    CheckText(Reversed(Decode(bytes)));
    return 0;
}
