// Hex text of byte strings, as the groupware server's ids are written.
#include "transfer/HexCodec.h"

#include <cstring>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

void NcHexFromBin(const unsigned char* bytes, size_t n, char* out) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (size_t i = 0; i < n; ++i) {
        out[2 * i] = kDigits[bytes[i] >> 4];
        out[2 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
    out[2 * n] = '\0';
}

int NcFBinFromHex(const char* hex, unsigned char* out) {
    // An odd trailing digit has no partner and is dropped: out holds only len / 2 bytes.
    size_t pairs = std::strlen(hex) / 2;
    for (size_t i = 0; i < pairs; ++i) {
        int hi = HexValue(hex[2 * i]);
        int lo = HexValue(hex[2 * i + 1]);
        if (hi < 0 || lo < 0) return -1;
        out[i] = static_cast<unsigned char>(hi << 4 | lo);
    }
    return static_cast<int>(pairs);
}
