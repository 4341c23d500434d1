// Hex text of byte strings: round trips, odd lengths and bad digits without overrun.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "transfer/HexCodec.h"

namespace {

TEST(HexCodec, EncodesTwoUpperCaseDigitsPerByteAndTerminates) {
    const unsigned char bytes[] = {0x00, 0x0F, 0xA5, 0xFF, 0x7F};
    char out[2 * sizeof(bytes) + 2];
    std::memset(out, 'x', sizeof(out));
    NcHexFromBin(bytes, sizeof(bytes), out);
    EXPECT_STREQ(out, "000FA5FF7F");
    EXPECT_EQ(out[2 * sizeof(bytes) + 1], 'x') << "nothing written past 2n + 1 bytes";

    char empty[1] = {'x'};
    NcHexFromBin(bytes, 0, empty);
    EXPECT_EQ(empty[0], '\0');
}

TEST(HexCodec, RoundTripsEveryByteValue) {
    std::vector<unsigned char> all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<unsigned char>(i);
    std::string hex(2 * all.size() + 1, '\0');
    NcHexFromBin(all.data(), all.size(), &hex[0]);
    std::vector<unsigned char> back(all.size());
    EXPECT_EQ(NcFBinFromHex(hex.c_str(), back.data()), 256);
    EXPECT_EQ(back, all);
}

TEST(HexCodec, DecodingAcceptsEitherCaseAndStopsAtBadDigits) {
    struct Case {
        const char* hex;
        int result;
        std::vector<unsigned char> bytes;  // what out holds for the pairs before a bad digit
    } cases[] = {
        {"", 0, {}},
        {"a5", 1, {0xA5}},
        {"A5ff00", 3, {0xA5, 0xFF, 0x00}},
        // An odd trailing digit has no partner: out is only len / 2 bytes long.
        {"ABC", 1, {0xAB}},
        {"0", 0, {}},
        {"12zz34", -1, {0x12}},
        {"g0", -1, {}},
        {"1 ", -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hex);
        size_t room = std::strlen(c.hex) / 2;
        // A guard byte right after the room the caller gives must stay untouched.
        std::vector<unsigned char> out(room + 1, 0xEE);
        EXPECT_EQ(NcFBinFromHex(c.hex, out.data()), c.result);
        EXPECT_EQ(out[room], 0xEE);
        for (size_t i = 0; i < c.bytes.size(); ++i) EXPECT_EQ(out[i], c.bytes[i]) << i;
    }
}

}  // namespace
