#include "storage/cp932.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <utility>
#include <vector>

namespace markola::cp932 {
namespace {

QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int value : values) {
        bytes.append(static_cast<char>(value));
    }
    return bytes;
}

QString textOf(std::initializer_list<char16_t> units) {
    return QStringView(units.begin(), units.size()).toString();
}

QByteArray encodeOk(QStringView text) {
    const Encoded encoded = Encode(text);
    EXPECT_EQ(encoded.unencodableAt, -1) << text.toString().toStdString();
    return encoded.bytes;
}

bool isPairCode(int lead, int trail) {
    return ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) && trail >= 0x40 &&
           trail <= 0xFC && trail != 0x7F;
}

// Codes whose character the desktop writes with another code: NEC row 13 against row 2,
// the IBM extensions against NEC row 13, and the NEC-selected IBM extensions.
bool mayHaveOtherCode(int lead) {
    return lead == 0x87 || lead == 0xED || lead == 0xEE || lead == 0xFA;
}

TEST(Cp932, EverySingleByteRoundTrips) {
    for (int byte = 0; byte <= 0xFF; ++byte) {
        const QString text = Decode(bytesOf({byte}));
        ASSERT_EQ(text.size(), 1);
        EXPECT_EQ(encodeOk(text), bytesOf({byte})) << byte;
    }
}

TEST(Cp932, EveryAssignedPairRoundTripsOrTakesTheDesktopsCode) {
    int assigned = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const QString text = Decode(bytesOf({lead, trail}));
            if (!isPairCode(lead, trail) || text.size() != 1) {
                continue;
            }
            ++assigned;
            const QByteArray bytes = encodeOk(text);
            ASSERT_EQ(Decode(bytes), text);
            if (bytes != bytesOf({lead, trail})) {
                EXPECT_TRUE(mayHaveOtherCode(lead)) << std::hex << lead << trail;
                EXPECT_FALSE(bytes[0] == '\xED' || bytes[0] == '\xEE') << std::hex << lead << trail;
            }
        }
    }
    EXPECT_EQ(assigned, 7724 + 1880);  // Microsoft's table plus the user-defined area
}

// Every assigned code is checked against glibc below; bytes that are no character keep
// their value in a private-use code, so that saving gives them back.
TEST(Cp932, StrayBytesDecodeToPrivateUseCodes) {
    const std::vector<std::pair<QByteArray, QString>> cases = {
        {"\x80\xA0\xFD\xFE\xFF", textOf({0xF780, 0xF7A0, 0xF7FD, 0xF7FE, 0xF7FF})},
        {"\x85\x40", textOf({0xF785, u'@'})},
        {"a\x81", textOf({u'a', 0xF781})}};
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(Decode(bytes), text) << bytes.toHex().toStdString();
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

TEST(Cp932, AnyFileSurvivesUnchanged) {
    const std::vector<QByteArray> files = {"\xEF\xBB\xBFmemo\r\n",
                                           QByteArray("a\0b\0", 4),
                                           "lone\rcr\nlf\r",
                                           "\x80\xA0\xFD\xFE\xFF",
                                           "end with lead\x81",
                                           "\x85\x40unassigned pair",
                                           "\x81\x7F\x81\x0D\x0A\x81\xFD",
                                           "0123456789\x82\xA0_0123456789abcdef\x82"};
    for (const QByteArray& file : files) {
        EXPECT_EQ(encodeOk(Decode(file)), file) << file.toHex().toStdString();
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

// glibc's table was made apart from Python's, so it checks the generated one: both agree on
// every single byte and pair, and on which of them are characters at all.
TEST(Cp932, DecodesLikeGlibc) {
    iconv_t converter = iconv_open("UTF-16LE", "CP932");
    if (converter == iconv_t(-1)) {
        GTEST_SKIP() << "no CP932 in iconv";
    }
    for (int code = 0; code <= 0xFCFC; ++code) {
        const bool isPair = isPairCode(code >> 8, code & 0xFF);
        if (code > 0xFF && !isPair) {
            continue;
        }
        char in[2] = {char(code >> 8), char(code)};
        char16_t out[2] = {};
        char* inPtr = isPair ? in : in + 1;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t inLeft = isPair ? 2 : 1, outLeft = sizeof out;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        const QString ours = Decode(QByteArrayView(inPtr, qsizetype(inLeft)));
        const bool glibcDecodes =
            iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && inLeft == 0;
        const bool ourStray = ours.size() == 2 || (ours[0].unicode() & 0xFF80) == 0xF780;
        EXPECT_EQ(glibcDecodes, !ourStray) << std::hex << code;
        if (glibcDecodes) {
            EXPECT_EQ(ours, QString(QChar(out[0]))) << std::hex << code;
        }
    }
    iconv_close(converter);
}

}  // namespace
}  // namespace markola::cp932
