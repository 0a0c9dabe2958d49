#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "storage/cp932.h"

using namespace markola::cp932;

// What a text reads back as: six JIS forms are saved as the code page's look-alikes.
static QString ReadBack(QStringView text) {
    QString back = text.toString();
    for (const auto& [jis, lookAlike] : {std::pair{u'\u301C', u'\uFF5E'},
                                         {u'\u2016', u'\u2225'},
                                         {u'\u2212', u'\uFF0D'},
                                         {u'\u00A2', u'\uFFE0'},
                                         {u'\u00A3', u'\uFFE1'},
                                         {u'\u00AC', u'\uFFE2'}}) {
        back.replace(QChar(jis), QChar(lookAlike));
    }
    return back;
}

// Any text either encodes into bytes that decode to what it reads back as, or is refused, with no
// bytes, at its first character that cannot be held, everything in front of which encodes.
static void CheckText(QStringView text) {
    const Encoded encoded = Encode(text);
    const qsizetype at = encoded.unencodableAt;
    assert(at == -1 || (at >= 0 && at < text.size() && encoded.bytes.isEmpty()));
    const QStringView head = at == -1 ? text : text.first(at);
    const Encoded headEncoded = at == -1 ? encoded : Encode(head);
    assert(headEncoded.unencodableAt == -1 && Decode(headEncoded.bytes) == ReadBack(head));
    // A refusal depends on the character and the one after it, nothing further.
    assert(at == -1 || Encode(text.first(std::min(at + 2, text.size()))).unencodableAt == at);
}

// Any file decodes and saves back to as many bytes, which load as the same text: the very same
// bytes unless it holds a lead of codes a Japanese desktop writes another way (87, ED, EE, FA).
// The only refusal is a stray lead (U+F781 up) that would join the normalised character after.
static void CheckFile(QByteArrayView bytes) {
    const QString text = Decode(bytes);
    assert(text.size() <= bytes.size());
    const Encoded saved = Encode(text);
    const bool normalised = std::any_of(bytes.begin(), bytes.end(), [](char byte) {
        return std::string_view("\x87\xED\xEE\xFA").find(byte) != std::string_view::npos;
    });
    if (const qsizetype at = saved.unencodableAt; at != -1) {
        const int stray = at + 1 < text.size() ? text[at].unicode() - 0xF700 : 0;
        assert(normalised &&
               ((stray >= 0x81 && stray <= 0x9F) || (stray >= 0xE0 && stray <= 0xFC)));
        return;
    }
    assert(saved.bytes.size() == bytes.size() && Decode(saved.bytes) == text);
    assert(normalised || saved.bytes == bytes);
}

// The same bytes as UTF-16 reach characters no file decodes to; the decoded text reversed
// puts encodable characters next to each other in new orders.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    CheckFile(bytes);
    QString units(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, static_cast<std::size_t>(units.size()) * 2);
    CheckText(units);
    QString reversed = Decode(bytes);
    std::reverse(reversed.begin(), reversed.end());
    CheckText(reversed);
    return 0;
}
