// The text rules of the material script: statements, values, numbers and the value cuts.
#include "script/script_values.h"

#include <gtest/gtest.h>

namespace hk {
namespace {

TEST(ScriptStatement, KeywordBeforeEqualsAtLineStartIgnoringCase) {
    EXPECT_TRUE(IsStatement("name=Steel", "name"));
    EXPECT_TRUE(IsStatement("   NaMe  = Steel", "name"));
    EXPECT_TRUE(IsStatement("name x=Steel", "name"));
    // Not at the start once leading spaces are gone, or not followed by space or "=".
    EXPECT_FALSE(IsStatement("xname=Steel", "name"));
    EXPECT_FALSE(IsStatement("names=Steel", "name"));
    EXPECT_FALSE(IsStatement("\tname=Steel", "name"));
    // The keyword has to come before the first "=", and there has to be one.
    EXPECT_FALSE(IsStatement("=name", "name"));
    EXPECT_FALSE(IsStatement("name Steel", "name"));
    EXPECT_FALSE(IsStatement("name", "name"));
    EXPECT_FALSE(IsStatement("", "name"));
    // A longer keyword sharing the prefix is a different statement.
    EXPECT_FALSE(IsStatement("texture2name=a", "texture"));
}

TEST(ScriptStatement, ValueIsEverythingAfterTheFirstEquals) {
    EXPECT_EQ(StatementValue("name= a=b "), " a=b ");
    EXPECT_EQ(StatementValue("name="), "");
    EXPECT_EQ(StatementValue("no equals"), "");
}

TEST(ScriptStatement, ContainsIgnoresAsciiCaseOnly) {
    EXPECT_TRUE(ContainsText("  FrontProperties {", "frontproperties"));
    EXPECT_FALSE(ContainsText("front properties", "frontproperties"));
    // Bytes above 127 (Shift-JIS) are compared as they are.
    EXPECT_TRUE(ContainsText("\x83\x65name", "\x83\x65NAME"));
    EXPECT_FALSE(ContainsText("\xA3", "\x83"));
}

TEST(ScriptNumber, AcceptedForms) {
    EXPECT_FLOAT_EQ(ScriptNumber("0.25"), 0.25f);
    EXPECT_FLOAT_EQ(ScriptNumber("0,25"), 0.25f);
    EXPECT_FLOAT_EQ(ScriptNumber("-1.5"), -1.5f);
    EXPECT_FLOAT_EQ(ScriptNumber("+2"), 2.0f);
    EXPECT_FLOAT_EQ(ScriptNumber("  3  "), 3.0f);
    EXPECT_FLOAT_EQ(ScriptNumber("1e2"), 100.0f);
    EXPECT_FLOAT_EQ(ScriptNumber("2.5E-1"), 0.25f);
    EXPECT_FLOAT_EQ(ScriptNumber(".5"), 0.5f);
    EXPECT_FLOAT_EQ(ScriptNumber("5."), 5.0f);
    EXPECT_FLOAT_EQ(ScriptNumber("0 0 7"), 7.0f); // spaces before the first non-zero digit
}

TEST(ScriptNumber, InvalidTextIsZero) {
    for (const char* text : {"", " ", "-", ".", "1;", "1.2.3", "1,2.3", "1 2", "1e", "1e+", "0-1",
                             "--1", "abc", "1x", "1e999", "nan", "inf", "0x10"}) {
        float value = 42;
        EXPECT_FALSE(TryParseScriptNumber(text, value)) << text;
        EXPECT_EQ(value, 42) << text;
        EXPECT_EQ(ScriptNumber(text), 0.0f) << text;
    }
}

TEST(ScriptInteger, RuntimeConversion) {
    int n = -7;
    EXPECT_TRUE(TryParseScriptInteger("  32", n));
    EXPECT_EQ(n, 32);
    EXPECT_TRUE(TryParseScriptInteger("-2147483648", n));
    EXPECT_EQ(n, -2147483648);
    for (const char* text :
         {"", " ", "32 ", "3.5", "+", "2147483648", "99999999999999999999", "x1"}) {
        n = 5;
        EXPECT_FALSE(TryParseScriptInteger(text, n)) << text;
        EXPECT_EQ(n, 5) << text;
    }
}

TEST(ScriptCut, FourNumbersAlphaFirstTextLayout) {
    std::array<float, 4> c{};
    ASSERT_TRUE(CutFourNumbers("(1;0.2;0.4;0.6)", c));
    EXPECT_FLOAT_EQ(c[0], 1);
    EXPECT_FLOAT_EQ(c[1], 0.2f);
    EXPECT_FLOAT_EQ(c[2], 0.4f);
    EXPECT_FLOAT_EQ(c[3], 0.6f);
    // A space before "(" makes the first part end with ";", which is no number.
    ASSERT_TRUE(CutFourNumbers(" (1;0.2;0.4;0.6)", c));
    EXPECT_FLOAT_EQ(c[0], 0);
    EXPECT_FLOAT_EQ(c[1], 0.2f);
    EXPECT_FLOAT_EQ(c[3], 0.6f);
}

TEST(ScriptCut, MalformedValuesNeverReadOutside) {
    std::array<float, 4> c{9, 9, 9, 9};
    EXPECT_FALSE(CutFourNumbers("1;2;3;4)", c));
    EXPECT_EQ(c[0], 9);
    // Missing separators and closing parenthesis give zeros, not errors.
    for (const char* text : {"(", "()", "(;", "(1", "(1;2", "(1;2;3", ";(", ")(;;;", "(;;;;;;)"}) {
        ASSERT_TRUE(CutFourNumbers(text, c)) << text;
    }
    ASSERT_TRUE(CutFourNumbers("(0.5;1;2", c));
    EXPECT_FLOAT_EQ(c[0], 0.5f);
    EXPECT_FLOAT_EQ(c[1], 1);
    EXPECT_FLOAT_EQ(c[2], 0); // "2" ends with no ";": the third part is empty
    EXPECT_FLOAT_EQ(c[3], 0);
    std::array<float, 3> v{};
    ASSERT_TRUE(CutThreeNumbers("(1;2;3)", v));
    EXPECT_FLOAT_EQ(v[0], 1);
    EXPECT_FLOAT_EQ(v[1], 2);
    EXPECT_FLOAT_EQ(v[2], 3);
}

TEST(ScriptCut, OptionPair) {
    std::string a, b;
    CutOptionPair("[true,false]", a, b);
    EXPECT_EQ(a, "true");
    EXPECT_EQ(b, "false");
    CutOptionPair(" [true,true]", a, b);
    EXPECT_EQ(a, "[true");
    EXPECT_EQ(b, "true");
    CutOptionPair("", a, b);
    EXPECT_EQ(a, "");
    EXPECT_EQ(b, "");
    CutOptionPair("]x,", a, b);
    EXPECT_EQ(b, "");
}

enum TestEnum { teA, teB };
const TScriptEnumName<TestEnum> cNames[] = {{"teA", teA}, {"teB", teB}};

TEST(ScriptEnumeration, MatchesWholeNameIgnoringCase) {
    TestEnum v = teA;
    EXPECT_TRUE(MatchEnumeration("TEB", cNames, v));
    EXPECT_EQ(v, teB);
    EXPECT_FALSE(MatchEnumeration(" teA", cNames, v));
    EXPECT_FALSE(MatchEnumeration("te", cNames, v));
    EXPECT_EQ(v, teB);
}

} // namespace
} // namespace hk
