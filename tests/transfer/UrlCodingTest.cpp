// Percent coding of query values and of script-given paths.
#include "transfer/UrlCoding.h"

#include <gtest/gtest.h>

namespace {

TEST(UrlCoding, EncodeKeepsOnlyAsciiLettersAndDigits) {
    const struct {
        std::string value, encoded;
    } cases[] = {
        {"", ""},
        {"abcXYZ019", "abcXYZ019"},
        {"a b", "a%20b"},
        {"~-._", "%7E%2D%2E%5F"},
        {"a=b&c", "a%3Db%26c"},
        {"한", "%C7%D1"},
        {std::string("\0\xFF", 2), "%00%FF"},
        {"C:\\x", "C%3A%5Cx"},
    };
    for (const auto& c : cases) EXPECT_EQ(UrlEncodeQueryValue(c.value), c.encoded) << c.value;
}

TEST(UrlCoding, DecodeReplacesOnlyPercentAndTwoHexDigits) {
    const struct {
        std::string text, decoded;
    } cases[] = {
        {"C%3A%5Cdocs%5Ca.doc", "C:\\docs\\a.doc"},
        {"%3a%5c", ":\\"},
        {"a+b", "a+b"},
        {"", ""},
        {"100%", "100%"},
        {"%4", "%4"},
        {"%", "%"},
        {"%G1", "%G1"},
        {"%1G", "%1G"},
        {"%%41", "%A"},
        {"%2541", "%41"},
        {"%00", "%00"},
        {"a%00b%41", "a%00bA"},
        {"%C7%D1.txt", "한.txt"},
        {"%ff", "\xFF"},
    };
    for (const auto& c : cases) EXPECT_EQ(PercentDecode(c.text), c.decoded) << c.text;
}

TEST(UrlCoding, DecodeUndoesEncodeForEveryNonZeroByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(PercentDecode(UrlEncodeQueryValue(all)), all);
}

}  // namespace
