#include <gtest/gtest.h>
#include <iconv.h>

#include "model/Cp1251.h"

namespace {

std::string IconvToUtf8(const std::string& in) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    std::string out(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) {
        return "<error>";
    }
    out.resize(out.size() - dstLeft);
    return out;
}

} // namespace

TEST(Cp1251, EveryMappedByteAgreesWithIconvAndRoundTrips) {
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98) {
            continue;
        }
        const std::string one(1, static_cast<char>(b));
        const std::string utf8 = Cp1251ToUtf8(one);
        EXPECT_EQ(utf8, IconvToUtf8(one)) << "byte " << b;
        EXPECT_EQ(Utf8ToCp1251(utf8), one) << "byte " << b;
        EXPECT_TRUE(FitsCp1251(utf8));
    }
}

TEST(Cp1251, UnmappableAndMalformedInput) {
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToCp1251("a\u20ACb"), std::string("a\x88") + 'b'); // euro sign is 0x88
    EXPECT_EQ(Utf8ToCp1251("\xE4\xB8\xAD"), "?");                    // CJK: not in the code page
    EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");                            // truncated sequence
    EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "??");                       // overlong
    EXPECT_FALSE(FitsCp1251("\xE4\xB8\xAD"));
    EXPECT_TRUE(FitsCp1251("ЗЕВРАН 5Т-17ЛМ"));
    EXPECT_EQ(Cp1251ToUtf8(Utf8ToCp1251("ЗЕВРАН 5Т-17ЛМ")), "ЗЕВРАН 5Т-17ЛМ");
}
