#include "storage/cp932.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <utility>
#include <vector>

namespace markola::cp932 {
namespace {

QString textOf(std::initializer_list<char16_t> units) {
    return QStringView(units.begin(), units.size()).toString();
}

QByteArray encodeOk(QStringView text) {
    const Encoded encoded = Encode(text);
    EXPECT_EQ(encoded.unencodableAt, -1) << text.toString().toStdString();
    return encoded.bytes;
}

// What glibc makes of one code, a single byte or a pair; nothing when it is no character.
// glibc's table was made apart from Python's, so it checks the generated one.
std::optional<QString> glibcDecode(iconv_t converter, QByteArray code) {
    char16_t out[2] = {};
    char* in = code.data();
    char* outPtr = reinterpret_cast<char*>(out);
    size_t inLeft = code.size(), outLeft = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &in, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0) {
        return std::nullopt;
    }
    return QString(QChar(out[0]));
}

// Every single byte and every pair decodes as glibc has it, or, where glibc sees no
// character, to a private-use code that keeps its bytes. Each character encodes back to its
// code, or to the one a Japanese desktop writes for it where there are two: NEC row 13
// against row 2, the IBM extensions against row 13, never the NEC-selected IBM extensions.
TEST(Cp932, EveryCodeDecodesLikeGlibcAndEncodesBack) {
    iconv_t converter = iconv_open("UTF-16LE", "CP932");
    if (converter == iconv_t(-1)) {
        GTEST_SKIP() << "no CP932 in iconv";
    }
    int assigned = 0;
    for (int code = 0; code <= 0xFCFC; ++code) {
        const int lead = code >> 8, trail = code & 0xFF;
        const bool isPair = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) &&
                            trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
        if (code > 0xFF && !isPair) {
            continue;
        }
        const QByteArray bytes =
            isPair ? QByteArray(1, char(lead)) + char(trail) : QByteArray(1, char(code));
        const QString ours = Decode(bytes);
        const std::optional<QString> glibc = glibcDecode(converter, bytes);
        if (glibc) {
            EXPECT_EQ(ours, *glibc) << std::hex << code;
            assigned += isPair;
        } else {
            EXPECT_EQ(ours.front(), QChar(0xF700 + (isPair ? lead : code))) << std::hex << code;
        }
        const QByteArray encoded = encodeOk(ours);
        if (encoded != bytes) {
            EXPECT_TRUE(lead == 0x87 || lead == 0xED || lead == 0xEE || lead == 0xFA)
                << std::hex << code;
            EXPECT_FALSE(encoded[0] == '\xED' || encoded[0] == '\xEE') << std::hex << code;
            EXPECT_EQ(Decode(encoded), ours) << std::hex << code;
        }
    }
    iconv_close(converter);
    EXPECT_EQ(assigned, 7724 + 1880);  // Microsoft's table plus the user-defined area
}

// Bytes that are no character keep their value in a private-use code, so saving gives them back.
TEST(Cp932, AnyFileSurvivesUnchanged) {
    const std::vector<std::pair<QByteArray, QString>> files = {
        {"\x80\xA0\xFD\xFE\xFF", textOf({0xF780, 0xF7A0, 0xF7FD, 0xF7FE, 0xF7FF})},
        {"\x85\x40", textOf({0xF785, u'@'})},
        {"a\x81", textOf({u'a', 0xF781})},
        {"\xEF\xBB\xBFmemo\r\n", {}},
        {QByteArray("a\0b\0", 4), {}},
        {"lone\rcr\nlf\r", {}},
        {"\x81\x7F\x81\x0D\x0A\x81\xFD", {}},
        {"0123456789\x82\xA0_0123456789abcdef\x82", {}}};
    for (const auto& [file, text] : files) {
        const QString decoded = Decode(file);
        EXPECT_EQ(decoded, text.isNull() ? decoded : text) << file.toHex().toStdString();
        EXPECT_EQ(encodeOk(decoded), file) << file.toHex().toStdString();
    }
}

TEST(Cp932, DuplicatesTakeTheCodeTheDesktopWrites) {
    const std::vector<std::pair<char16_t, QByteArray>> cases = {
        {u'≒', "\x81\xE0"},  {u'∵', "\x81\xE6"},  {u'￢', "\x81\xCA"}, {u'Ⅰ', "\x87\x54"},
        {u'№', "\x87\x82"},  {u'㈱', "\x87\x8A"}, {u'ⅰ', "\xFA\x40"},  {u'纊', "\xFA\x5C"},
        {u'～', "\x81\x60"}, {0xE000, "\xF0\x40"}};
    for (const auto& [ch, bytes] : cases) {
        EXPECT_EQ(encodeOk(QString(QChar(ch))), bytes) << int(ch);
    }
}

TEST(Cp932, ReportsTheFirstCharacterItCannotHold) {
    const std::vector<std::pair<QString, qsizetype>> cases = {
        {textOf({u'a', u'b', u'¥'}), 2},
        {textOf({u'a', 0xD83D, 0xDE00}), 1},
        {textOf({u'a', 0xD800, u'b'}), 1},
        {textOf({0xDC00}), 0},
        {textOf({0x80}), 0},
        {textOf({u'あ', 0xF7B1}), 1},  // no byte decodes to this code point
        {textOf({0xF781, u'A'}), 0},   // would come back as the pair 81 41
        {textOf({0xF781, 0xF781}), 0}};
    for (const auto& [text, at] : cases) {
        const Encoded encoded = Encode(text);
        EXPECT_EQ(encoded.unencodableAt, at) << text.toStdString();
        EXPECT_TRUE(encoded.bytes.isEmpty());
    }
}

}  // namespace
}  // namespace markola::cp932
