// Shift-JIS decoding: character boundaries and the Unicode of single- and double-byte codes.
#include "primitives/text/code_page.h"

#include <gtest/gtest.h>
#include <vector>

namespace hk {
namespace {

std::vector<std::uint16_t> Characters(std::string_view text) {
    std::vector<std::uint16_t> out;
    ForEachShiftJisCharacter(text, [&](std::uint16_t c) { out.push_back(c); });
    return out;
}

TEST(ShiftJis, SplitsDoubleByteCharactersAndKeepsBrokenPairsAsSingleBytes) {
    EXPECT_EQ(Characters("A\x82\xa0"
                         "B"),
              (std::vector<std::uint16_t>{'A', 0x82A0, 'B'}));
    // A lead byte at the end and a lead byte before a byte that cannot trail stay single.
    EXPECT_EQ(Characters("A\x82"), (std::vector<std::uint16_t>{'A', 0x82}));
    EXPECT_EQ(Characters("\x82 x"), (std::vector<std::uint16_t>{0x82, ' ', 'x'}));
    // Half-width katakana are single bytes.
    EXPECT_EQ(Characters("\xb1\xb2"), (std::vector<std::uint16_t>{0xB1, 0xB2}));
}

TEST(ShiftJis, DecodesToUnicode) {
    EXPECT_EQ(ShiftJisToUnicode('A'), U'A');
    EXPECT_EQ(ShiftJisToUnicode(0x82A0), U'あ');
    EXPECT_EQ(ShiftJisToUnicode(0x947A), U'配');
    EXPECT_EQ(ShiftJisToUnicode(0xB1), U'ｱ');
    EXPECT_EQ(ShiftJisToUnicode(0x82), 0u) << "a lone lead byte is no character";
    EXPECT_EQ(ShiftJisToUtf8("\x94\x7a\x8a\xc7 X"), "配管 X");
    EXPECT_EQ(ShiftJisToUtf8("\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e"),
              "ＭＳ Ｐゴシック");
}

} // namespace
} // namespace hk
