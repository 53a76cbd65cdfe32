// Shift-JIS <-> UTF-8 conversion, including bytes that form no character.
#include "app/sjis.h"

#include <gtest/gtest.h>

namespace hk {
namespace {

TEST(Sjis, RoundTripAndBrokenBytes) {
    const std::string sjis = "\x94\x7a\x8a\xc7 A1"; // 配管 A1
    EXPECT_EQ(SjisToUtf8(sjis), "配管 A1");
    EXPECT_EQ(Utf8ToSjis("配管 A1"), sjis);
    EXPECT_EQ(Utf8ToSjis("　"), "\x81\x40") << "the ideographic space";
    EXPECT_EQ(SjisToUtf8("\x94\x7a\x8a"), "配\xEF\xBF\xBD") << "a lead byte cut off at the end";
    EXPECT_EQ(Utf8ToSjis("a\xC3"), "a?") << "malformed UTF-8";
    EXPECT_EQ(Utf8ToSjis("\xF0\x9F\x98\x80x"), "?x") << "no Shift-JIS form";
    EXPECT_EQ(SjisToUtf8(""), "");
}

} // namespace
} // namespace hk
