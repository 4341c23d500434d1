// Body text replacement, text files as bodies, and the names of the local save commands.
#include "store/BodyText.h"
#include "store/LocalSaveNames.h"

#include <gtest/gtest.h>

namespace {

TEST(ReplaceEach, OnePassLongestFirstOnWholeCharacters) {
    struct Case {
        std::string text;
        std::vector<TextReplacement> replacements;
        bool ignoreCase;
        std::string expected;
    } cases[] = {
        {"a.gif a.gif.png", {{"a.gif", "X"}, {"a.gif.png", "Y"}}, false, "X Y"},
        {"ab", {{"a", "b"}, {"b", "c"}}, false, "bc"},  // replaced text is not looked at again
        {"aAa", {{"a", "aa"}}, false, "aaAaa"},
        {"\x81\x41 A", {{"A", "x"}}, false, "\x81\x41 x"},  // a trail byte is no "A"
        {"\x81\x41 a", {{"a", "x"}}, true, "\x81\x41 x"},
        {"IMG.Gif", {{"img.gif", "p"}}, true, "p"},
        {"abc", {{"", "x"}}, false, "abc"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReplaceEach(c.text, c.replacements, c.ignoreCase), c.expected) << c.text;
}

TEST(TextFileBody, OtherFilesOnlyLoseTheirDoubleQuotes) {
    EXPECT_EQ(TextFileBody("<p class=\"x\">&\r\n", false), "<p class='x'>&\r\n");
}

TEST(LocalSaveNames, IdsTypesAndNumbers) {
    EXPECT_EQ(SplitMessageIds("a;;"), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(IsLettersOnly("PCM"));
    for (const char* type : {"", "p.m", "..\\x", "pcm "}) EXPECT_FALSE(IsLettersOnly(type)) << type;
    EXPECT_EQ(NumberedFileName("x", 1), "x-1");
}

}  // namespace
