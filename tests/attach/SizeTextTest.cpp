// Size texts: server row suffixes and file list sizes.
#include "attach/SizeText.h"

#include <gtest/gtest.h>

namespace {

TEST(SizeText, FormatKBytes) {
    const struct {
        const char* bytes;
        const char* text;
    } cases[] = {
        {"0", "0K"}, {"1", "1K"}, {"1023", "1K"}, {"1024", "1K"}, {"1025", "2K"},
        {"1536", "2K"}, {"2048", "2K"}, {"10", "1K"}, {"1048576", "1,024K"},
        {"1073741824", "1,048,576K"}, {"", "0K"}, {"size", "0K"}, {"\t2048", "2K"},
        // Read as strtol reads: white space and a sign before the digits, anything after.
        {" \t\n7", "1K"}, {"+1024", "1K"}, {"2048abc", "2K"}, {"0x10", "0K"}, {"- 5", "0K"},
        // Negative counts follow the same rounding, truncated toward zero.
        {"-1", "0K"}, {"-1024", "0K"}, {"-1025", "0K"}, {"-2048", "-1K"},
        {"-1048576", "-1,023K"},
        // Counts beyond the 32-bit long saturate, and the rounding does not overflow.
        {"2147483647", "2,097,152K"}, {"5000000000", "2,097,152K"},
        {"-2147483648", "-2,097,151K"}, {"-5000000000", "-2,097,151K"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatKBytes(c.bytes), c.text) << c.bytes;
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
        {std::nullopt, "알 수 없음"}, {-1, "알 수 없음"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatFileSize(c.bytes), c.text);
}

}  // namespace
