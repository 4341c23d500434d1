// CP949 character scanning and case-insensitive comparison.
#include "attach/Cp949Text.h"

#include <gtest/gtest.h>

namespace {

// "갂" is 81 41 and "갵" is 81 61: trail bytes that read as 'A' and 'a'.
const std::string kGak = "\x81" "A";
const std::string kGat = "\x81" "a";

TEST(Cp949Text, CompilerWritesKoreanAsCp949) {
    EXPECT_EQ(std::string("갂"), kGak);
    EXPECT_EQ(std::string("갵"), kGat);
    EXPECT_EQ(std::string("사본"), "\xBB\xE7\xBA\xBB");
}

TEST(Cp949Text, FindLastCharSkipsTrailBytes) {
    const struct {
        std::string text;
        char ch;
        std::size_t expected;
    } cases[] = {
        {"C:\\문서\\a.doc", '\\', 7},
        {"a.doc", '\\', std::string::npos},
        {"", '(', std::string::npos},
        {kGak, 'A', std::string::npos},
        {kGak + "A", 'A', 2},
        {"A" + kGak, 'A', 0},
        {kGat + "(1)", '(', 2},
        // A lead byte without a trail byte stands alone: the backslash after it still counts.
        {"\x81\\x", '\\', 1},
        {"x\x81", '\x81', 1},
    };
    for (const auto& c : cases) EXPECT_EQ(FindLastCp949Char(c.text, c.ch), c.expected) << c.text;
}

TEST(Cp949Text, EqualNoCaseFoldsAsciiOnly) {
    const struct {
        std::string a, b;
        bool equal;
    } cases[] = {
        {"A.DOC", "a.doc", true},
        {"C:\\Docs\\X.txt", "c:\\docs\\x.TXT", true},
        {"문서.DOC", "문서.doc", true},
        {"", "", true},
        {"a.doc", "a.doc ", false},
        {"a.doc", "b.doc", false},
        // Folding the trail byte would make these two different characters equal.
        {kGak, kGat, false},
        {kGak + ".doc", kGat + ".DOC", false},
        {kGak + "A", kGak + "a", true},
        {"\x81", "\x81", true},
        {"[", "{", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EqualNoCaseCp949(c.a, c.b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(EqualNoCaseCp949(c.b, c.a), c.equal) << c.b << " / " << c.a;
    }
}

}  // namespace
