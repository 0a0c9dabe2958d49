#include "storage/cp932.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

namespace markola::cp932 {
namespace {

constexpr int kTrailCount = 188;

// Double-byte code points, one row of trail bytes 40-7E, 80-FC per lead byte 81-9F, E0-FC.
constexpr char16_t kPairRows[][kTrailCount] = {
#include "storage/cp932_table.inc"
};

// A byte that starts no character decodes to this base plus the byte; the code page
// never produces these private-use code points, so Encode can give the byte back.
constexpr char16_t kStrayBase = 0xF700;

constexpr bool isLeadByte(int byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
constexpr bool isTrailByte(int byte) {
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}
constexpr bool isHalfWidthKatakana(int byte) {
    return byte >= 0xA1 && byte <= 0xDF;
}
constexpr int rowOf(int lead) {
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1);
}
constexpr int columnOf(int trail) {
    return trail < 0x7F ? trail - 0x40 : trail - 0x41;
}
// The NEC-selected IBM extensions duplicate characters that have codes elsewhere;
// a Japanese desktop never writes these codes when another one exists.
constexpr bool isNecSelectedIbmExtension(uint16_t code) {
    return (code >> 8) == 0xED || (code >> 8) == 0xEE;
}

struct Tables {
    // Code point of each lead << 8 | trail pair; 0 where the pair is no character.
    std::array<char16_t, 0x10000> pairToChar{};
    // Code point of each byte on its own: ASCII, half-width katakana or a stray byte.
    std::array<char16_t, 0x100> byteToChar{};
    // Bytes of each code point from 0x80 up: 0 when the code page cannot hold it,
    // a single byte below 0x100, otherwise lead << 8 | trail.
    std::array<uint16_t, 0x10000> charToCode{};
};

void fillPairs(Tables& tables) {
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!isLeadByte(lead) || !isTrailByte(trail)) {
                continue;
            }
            const char16_t ch = kPairRows[rowOf(lead)][columnOf(trail)];
            const auto code = static_cast<uint16_t>(lead << 8 | trail);
            tables.pairToChar[code] = ch;
            if (ch == 0) {
                continue;
            }
            // Codes ascend, so the first one kept is the lowest.
            uint16_t& kept = tables.charToCode[ch];
            if (kept == 0 ||
                (isNecSelectedIbmExtension(kept) && !isNecSelectedIbmExtension(code))) {
                kept = code;
            }
        }
    }
}

char16_t singleByteChar(int byte) {
    if (byte < 0x80) {
        return static_cast<char16_t>(byte);
    }
    if (isHalfWidthKatakana(byte)) {
        return static_cast<char16_t>(0xFF61 + byte - 0xA1);
    }
    return static_cast<char16_t>(kStrayBase + byte);
}

void fillSingleBytes(Tables& tables) {
    for (int byte = 0; byte <= 0xFF; ++byte) {
        const char16_t ch = singleByteChar(byte);
        tables.byteToChar[byte] = ch;
        if (byte >= 0x80) {
            tables.charToCode[ch] = static_cast<uint16_t>(byte);
        }
    }
}

// Input methods and fonts on Linux give these characters as JIS has them, where code page
// 932 holds their Microsoft look-alikes; its usual converters write them to the same codes,
// which read back as the code page's own characters.
constexpr std::pair<char16_t, uint16_t> kJisAliases[] = {
    {u'\u301C', 0x8160},  // WAVE DASH, read back as FULLWIDTH TILDE
    {u'\u2016', 0x8161},  // DOUBLE VERTICAL LINE, as PARALLEL TO
    {u'\u2212', 0x817C},  // MINUS SIGN, as FULLWIDTH HYPHEN-MINUS
    {u'\u00A2', 0x8191},  // CENT SIGN, as FULLWIDTH CENT SIGN
    {u'\u00A3', 0x8192},  // POUND SIGN, as FULLWIDTH POUND SIGN
    {u'\u00AC', 0x81CA},  // NOT SIGN, as FULLWIDTH NOT SIGN
};

void fillJisAliases(Tables& tables) {
    for (const auto& [ch, code] : kJisAliases) {
        tables.charToCode[ch] = code;
    }
}

std::unique_ptr<const Tables> buildTables() {
    auto tables = std::make_unique<Tables>();
    fillPairs(*tables);
    fillSingleBytes(*tables);
    fillJisAliases(*tables);
    return tables;
}

const Tables& tables() {
    static const std::unique_ptr<const Tables> kTables = buildTables();
    return *kTables;
}

constexpr uint64_t kHighBits = 0x8080808080808080ULL;

const uint8_t* widenAsciiRun(const uint8_t* in, const uint8_t* end, char16_t*& out) {
    uint64_t word = 0;
    while (end - in >= 8 && (std::memcpy(&word, in, 8), (word & kHighBits) == 0)) {
        for (int i = 0; i < 8; ++i) {
            out[i] = in[i];
        }
        in += 8;
        out += 8;
    }
    while (in != end && *in < 0x80) {
        *out++ = *in++;
    }
    return in;
}

uint8_t firstByteOf(const Tables& tables, char16_t ch) {
    if (ch < 0x80) {
        return static_cast<uint8_t>(ch);
    }
    const uint16_t code = tables.charToCode[ch];
    return static_cast<uint8_t>(code > 0xFF ? code >> 8 : code);
}

// A stray lead byte written before a byte that completes a pair with it would come back
// as that pair's character, so such text cannot be held as it stands.
bool joinsNextCharacter(const Tables& tables, QStringView text, qsizetype at, uint16_t code) {
    if (!isLeadByte(code) || at + 1 == text.size()) {
        return false;
    }
    const uint8_t next = firstByteOf(tables, text[at + 1].unicode());
    return tables.pairToChar[code << 8 | next] != 0;
}

}  // namespace

QString Decode(QByteArrayView bytes) {
    const Tables& t = tables();
    QString text(bytes.size(), Qt::Uninitialized);
    auto* const begin = reinterpret_cast<char16_t*>(text.data());
    char16_t* out = begin;
    const auto* in = reinterpret_cast<const uint8_t*>(bytes.data());
    const auto* const end = in + bytes.size();
    while (in != end) {
        in = widenAsciiRun(in, end, out);
        if (in == end) {
            break;
        }
        if (end - in >= 2) {
            const char16_t pair = t.pairToChar[in[0] << 8 | in[1]];
            if (pair != 0) {
                *out++ = pair;
                in += 2;
                continue;
            }
        }
        *out++ = t.byteToChar[*in++];
    }
    text.resize(out - begin);
    return text;
}

Encoded Encode(QStringView text) {
    const Tables& t = tables();
    Encoded result;
    result.bytes = QByteArray(text.size() * 2, Qt::Uninitialized);
    auto* const begin = reinterpret_cast<uint8_t*>(result.bytes.data());
    uint8_t* out = begin;
    const char16_t* const chars = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = chars[i];
        if (ch < 0x80) {
            *out++ = static_cast<uint8_t>(ch);
            continue;
        }
        const uint16_t code = t.charToCode[ch];
        if (code == 0 || (code <= 0xFF && joinsNextCharacter(t, text, i, code))) {
            return {QByteArray(), i};
        }
        if (code > 0xFF) {
            *out++ = static_cast<uint8_t>(code >> 8);
        }
        *out++ = static_cast<uint8_t>(code);
    }
    result.bytes.resize(out - begin);
    return result;
}

std::optional<std::uint8_t> StrayByte(QChar c) {
    const int byte = c.unicode() - kStrayBase;
    if (byte < 0x80 || byte > 0xFF || isHalfWidthKatakana(byte)) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(byte);
}

QString ByteName(std::uint8_t byte) {
    return QStringLiteral("0x") + QString::number(byte, 16).toUpper().rightJustified(2, u'0');
}

}  // namespace markola::cp932
