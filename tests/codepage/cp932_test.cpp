#include "storage/cp932.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace markola::cp932 {
namespace {

// Every byte and pair decodes as glibc has it (a table made apart from ours) or, where glibc
// sees no character, to a private-use code that keeps its bytes. A character of several codes
// encodes to the one a Japanese desktop writes: the lowest, never an NEC-selected IBM
// extension (leads ED, EE), so NEC row 13 goes before the IBM extensions and row 2 before both.
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
        QByteArray bytes =
            isPair ? QByteArray(1, char(lead)) + char(trail) : QByteArray(1, char(code));
        const QString ours = Decode(bytes);
        char16_t glibc[2] = {};
        char *in = bytes.data(), *out = reinterpret_cast<char*>(glibc);
        size_t inLeft = bytes.size(), outLeft = sizeof glibc;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        if (iconv(converter, &in, &inLeft, &out, &outLeft) != size_t(-1) && inLeft == 0) {
            EXPECT_EQ(ours, QString(QChar(glibc[0]))) << std::hex << code;
            assigned += isPair;
        } else {
            EXPECT_EQ(ours.front(), QChar(0xF700 + (isPair ? lead : code))) << std::hex << code;
        }
        const auto [encoded, unencodableAt] = Encode(ours);
        EXPECT_EQ(unencodableAt, -1) << std::hex << code;
        if (encoded != bytes) {
            EXPECT_TRUE(encoded < bytes || lead == 0xED || lead == 0xEE) << std::hex << code;
            EXPECT_FALSE(encoded[0] == '\xED' || encoded[0] == '\xEE') << std::hex << code;
            EXPECT_EQ(Decode(encoded), ours) << std::hex << code;
        }
    }
    iconv_close(converter);
    EXPECT_EQ(assigned, 7724 + 1880);  // Microsoft's table plus the user-defined area
}

}  // namespace
}  // namespace markola::cp932
