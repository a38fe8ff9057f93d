#include <gtest/gtest.h>

#include "forms/CharClass.h"

using namespace velora::forms;

namespace {
// Types one character into an edit holding `text` with the given selection; returns the text after.
std::string typeInto(CharClass cls, std::string text, int selStart, int selLength, char32_t c,
                     char point = '.') {
    return insertFiltered(cls, EditContext{text, selStart, selLength, point}, std::u32string(1, c), 0).text;
}
} // namespace

TEST(CharClassDecimal, OnePointOnlyUnlessTheSelectionCoversIt) {
    EXPECT_EQ(typeInto(CharClass::Decimal, "12", 2, 0, U'.'), "12.");
    EXPECT_EQ(typeInto(CharClass::Decimal, "12.5", 4, 0, U'.'), "12.5"); // second point refused
    EXPECT_EQ(typeInto(CharClass::Decimal, "12.5", 4, 0, U','), "12.5");
    EXPECT_EQ(typeInto(CharClass::Decimal, "12.5", 1, 2, U'.'), "1.5");  // selection "2." replaced
    EXPECT_EQ(typeInto(CharClass::Decimal, "12.5", 0, 2, U'.'), "12.5"); // point outside the selection
    EXPECT_EQ(typeInto(CharClass::Decimal, "1", 1, 0, U'x'), "1");
}

TEST(CharClassDecimal, EitherSeparatorBecomesTheLocalePoint) {
    EXPECT_EQ(typeInto(CharClass::Decimal, "12", 2, 0, U',', '.'), "12.");
    EXPECT_EQ(typeInto(CharClass::Decimal, "12", 2, 0, U'.', ','), "12,");
    EXPECT_TRUE(filterTypedChar(CharClass::Decimal, {"12", 2, 0, ','}, U'.').replaced(U'.'));
    // A point of either kind already in the text blocks another one.
    EXPECT_EQ(typeInto(CharClass::Decimal, "1.2", 3, 0, U',', ','), "1.2");
}

TEST(CharClassName, LowerCaseBecomesCapitalAndOthersAreRefused) {
    EXPECT_EQ(typeInto(CharClass::Name, "A", 1, 0, U'b'), "AB");
    CharVerdict v = filterTypedChar(CharClass::Name, {"", 0, 0}, U'b');
    EXPECT_TRUE(v.accept);
    EXPECT_EQ(v.insert, U'B');
    for (char32_t ok : std::u32string(U" #$%()*+,-./09=@AZ\\_|"))
        EXPECT_TRUE(filterTypedChar(CharClass::Name, {}, ok).accept) << char(ok);
    for (char32_t bad : std::u32string(U"!\"&'<>?[]^`{}~:;\u00e9"))
        EXPECT_FALSE(filterTypedChar(CharClass::Name, {}, bad).accept) << int(bad);
}

TEST(CharClassDigitsOrA, TheLetterOnlyAloneAndNoDigitAfterIt) {
    EXPECT_EQ(typeInto(CharClass::DigitsOrA, "12", 2, 0, U'A'), "12"); // not into a number
    EXPECT_EQ(typeInto(CharClass::DigitsOrA, "12", 0, 2, U'a'), "A");  // over the whole text, capital
    EXPECT_EQ(typeInto(CharClass::DigitsOrA, "", 0, 0, U'A'), "A");
    EXPECT_EQ(typeInto(CharClass::DigitsOrA, "A", 1, 0, U'3'), "A"); // no digit after the letter
    EXPECT_EQ(typeInto(CharClass::DigitsOrA, "A", 1, 0, U'A'), "A");
    EXPECT_EQ(typeInto(CharClass::DigitsOrA, "1", 1, 0, U'7'), "17");
    EXPECT_EQ(typeInto(CharClass::DigitsOrC, "Cont.", 0, 5, U'7'), "7");     // the letter selected away
    EXPECT_EQ(typeInto(CharClass::DigitsOrC, "Cont.", 1, 4, U'7'), "Cont."); // the letter stays
    EXPECT_EQ(typeInto(CharClass::DigitsOrC, "", 0, 0, U'c'), "C");
    EXPECT_EQ(typeInto(CharClass::DigitsOrCO, "", 0, 0, U'o'), "O");
    EXPECT_EQ(typeInto(CharClass::DigitsOrC, "", 0, 0, U'o'), "");
}

TEST(CharClassBackspace, AcceptedByEveryClassButNothing) {
    for (CharClass c : {CharClass::Any, CharClass::Digits, CharClass::Decimal, CharClass::Dtmf,
                        CharClass::Name, CharClass::DigitsOrA, CharClass::Tone, CharClass(99)})
        EXPECT_TRUE(filterTypedChar(c, {"1", 1, 0}, kBackspace).accept) << int(c);
    EXPECT_FALSE(filterTypedChar(CharClass::Nothing, {"1", 1, 0}, kBackspace).accept);
}

TEST(CharClassOpensEditor, KeyIsTakenAsACapitalAndUnlistedClassesRefuse) {
    EXPECT_TRUE(opensEditor(CharClass::Name, U'b'));
    EXPECT_TRUE(opensEditor(CharClass::Dtmf, U'd'));
    EXPECT_FALSE(opensEditor(CharClass::Digits, U'x'));
    EXPECT_FALSE(opensEditor(CharClass::Digits, U' ')); // blank and below never open
    EXPECT_FALSE(opensEditor(CharClass(99), U'5'));
    EXPECT_TRUE(filterTypedChar(CharClass(99), {}, U'5').accept); // but typing into such an edit works
    EXPECT_TRUE(opensEditor(CharClass::Tone, U'n'));
    EXPECT_FALSE(opensEditor(CharClass::Tone, U'x'));
}

TEST(CharClassPaste, PastedTextIsFilteredLikeTypingAndCutToLength) {
    EditResult r = insertFiltered(CharClass::Name, {"", 0, 0}, U"ab!c d", 0);
    EXPECT_EQ(r.text, "ABC D");
    EXPECT_EQ(r.cursor, 5);
    r = insertFiltered(CharClass::Decimal, {"9", 1, 0, ','}, U"1.2.3", 0);
    EXPECT_EQ(r.text, "91,23");
    r = insertFiltered(CharClass::Digits, {"12345", 1, 3, '.'}, U"x7y8z9", 5);
    EXPECT_EQ(r.text, "17895"); // "234" replaced, then cut at five characters
    r = insertFiltered(CharClass::Digits, {"12", 0, 2, '.'}, U"abc", 0);
    EXPECT_EQ(r.text, "12"); // nothing accepted: the selection stays as it was
    r = insertFiltered(CharClass::Any, {"", 0, 0}, U"a\u20acb", 0);
    EXPECT_EQ(r.text, "ab"); // beyond one byte per character
}
