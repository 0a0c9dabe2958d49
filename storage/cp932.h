#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace markola::cp932 {

// Memo files are code page 932 bytes. Decoding never fails: a byte that does not
// start a character of the code page becomes a private-use code point of its own,
// which Encode turns back into that very byte, so any file survives a load and an
// unchanged save byte for byte.
QString Decode(QByteArrayView bytes);

struct Encoded {
    QByteArray bytes;
    // UTF-16 index of the first character the code page cannot hold, or -1 when
    // the whole text was encoded. When it is set, `bytes` is not to be written.
    qsizetype unencodableAt = -1;
};

// Six characters that input methods give in their JIS form (WAVE DASH, MINUS SIGN and the
// like) are written to the codes of the code page's look-alikes, as its usual converters do;
// they read back as those look-alikes.
Encoded Encode(QStringView text);

// The byte that a placeholder of Decode stands for; nothing for every other character.
std::optional<std::uint8_t> StrayByte(QChar c);

// A byte as a user can look it up in a hex viewer: "0x81".
QString ByteName(std::uint8_t byte);

}  // namespace markola::cp932
