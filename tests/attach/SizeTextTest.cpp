// Size texts: server row suffixes, file list sizes, grouping and transfer counts.
#include "attach/SizeText.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(SizeText, ParseByteCountReadsLikeWindowsStrtol) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"0", 0}, {"2048", 2048}, {"", 0}, {"abc", 0}, {" \t\n\v\f\r7", 7}, {"12 34", 12},
        {"2048abc", 2048}, {"+1024", 1024}, {"-5", -5}, {"- 5", 0}, {"0x10", 0}, {"+", 0},
        {"2147483647", INT32_MAX}, {"2147483648", INT32_MAX}, {"3000000000", INT32_MAX},
        {"99999999999999999999999999", INT32_MAX}, {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN}, {"-99999999999999999999999999", INT32_MIN},
        {"000000000000000000000042", 42},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseByteCount(c.text), c.value) << c.text;
}

TEST(SizeText, FormatKBytes) {
    const struct {
        const char* bytes;
        const char* text;
    } cases[] = {
        {"0", "0K"}, {"1", "1K"}, {"1023", "1K"}, {"1024", "1K"}, {"1025", "2K"},
        {"1536", "2K"}, {"2048", "2K"}, {"10", "1K"}, {"1048576", "1,024K"},
        {"1073741824", "1,048,576K"}, {"", "0K"}, {"size", "0K"}, {"\t2048", "2K"},
        // Negative counts follow the same rounding, truncated toward zero.
        {"-1", "0K"}, {"-1024", "0K"}, {"-1025", "0K"}, {"-2048", "-1K"},
        {"-1048576", "-1,023K"},
        // Counts beyond the 32-bit long saturate, and the rounding does not overflow.
        {"2147483647", "2,097,152K"}, {"5000000000", "2,097,152K"},
        {"-2147483648", "-2,097,151K"}, {"-5000000000", "-2,097,151K"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatKBytes(c.bytes), c.text) << c.bytes;
}

TEST(SizeText, GroupThousands) {
    const struct {
        const char* decimal;
        const char* grouped;
    } cases[] = {
        {"", ""}, {"0", "0"}, {"12", "12"}, {"123", "123"}, {"1234", "1,234"},
        {"123456", "123,456"}, {"1234567", "1,234,567"}, {"2147483647", "2,147,483,647"},
        {"-1", "-1"}, {"-123", "-123"}, {"-1234", "-1,234"}, {"-123456", "-123,456"},
        {"-2147483648", "-2,147,483,648"}, {"+1234", "+1,234"}, {"-", "-"},
    };
    for (const auto& c : cases) EXPECT_EQ(GroupThousands(std::string(c.decimal)), c.grouped);
    EXPECT_EQ(GroupThousands(std::int64_t{1234567}), "1,234,567");
    EXPECT_EQ(GroupThousands(std::int64_t{INT64_MIN}), "-9,223,372,036,854,775,808");
}

TEST(SizeText, FormatFileSize) {
    const struct {
        std::optional<std::int64_t> bytes;
        const char* text;
    } cases[] = {
        {0, "0 Byte"}, {1023, "1023 Byte"}, {1024, "1.00 KByte"}, {1536, "1.50 KByte"},
        {1048575, "1024.00 KByte"}, {1048576, "1.00 MByte"}, {1073741823, "1024.00 MByte"},
        {1073741824, "1.00 GByte"}, {2147483647, "2.00 GByte"},
        // 2 GB and more: the real size, not a negative 32-bit count.
        {2147483648LL, "2.00 GByte"}, {3221225472LL, "3.00 GByte"}, {4294967296LL, "4.00 GByte"},
        {std::nullopt, "알 수 없음"}, {-1, "알 수 없음"}, {INT64_MIN, "알 수 없음"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatFileSize(c.bytes), c.text);
}

TEST(SizeText, FormatTransferred) {
    EXPECT_EQ(FormatTransferred(1234567, 2147483647), "1,234,567/2,147,483,647바이트");
    EXPECT_EQ(FormatTransferred(1234, 56789), "1,234/56,789바이트");
    EXPECT_EQ(FormatTransferred(0, 0), "0/0바이트");
    EXPECT_EQ(FormatTransferred(-1, 999), "-1/999바이트");
}

}  // namespace
