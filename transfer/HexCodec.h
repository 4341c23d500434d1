// Hex text of byte strings, as the groupware server's ids are written.
#pragma once

#include <cstddef>

// Writes two hex digits per byte (upper case) and a terminating zero; out holds 2n + 1 bytes.
void NcHexFromBin(const unsigned char* bytes, size_t n, char* out);
// Converts hex text back into out, which holds strlen(hex) / 2 bytes. Returns the number
// of bytes written, or -1 when a digit is not hex (out then holds the bytes before it).
int NcFBinFromHex(const char* hex, unsigned char* out);
