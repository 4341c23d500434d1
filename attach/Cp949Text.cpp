// Character-wise scanning and comparison of CP949 (Korean ANSI) byte strings.
#include "attach/Cp949Text.h"

bool IsCp949LeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

bool IsCp949TrailByte(unsigned char byte) {
    return (byte >= 0x41 && byte <= 0x5A) || (byte >= 0x61 && byte <= 0x7A) ||
           (byte >= 0x81 && byte <= 0xFE);
}

std::size_t Cp949CharLength(const std::string& text, std::size_t pos) {
    if (pos + 1 < text.size() && IsCp949LeadByte(static_cast<unsigned char>(text[pos])) &&
        IsCp949TrailByte(static_cast<unsigned char>(text[pos + 1])))
        return 2;
    return 1;
}

std::size_t FindLastCp949Char(const std::string& text, char ch) {
    std::size_t found = std::string::npos;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t len = Cp949CharLength(text, pos);
        if (len == 1 && text[pos] == ch) found = pos;
        pos += len;
    }
    return found;
}

namespace {

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualNoCaseCp949(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t pos = 0; pos < a.size();) {
        std::size_t len = Cp949CharLength(a, pos);
        if (len != Cp949CharLength(b, pos)) return false;
        if (len == 2) {
            if (a[pos] != b[pos] || a[pos + 1] != b[pos + 1]) return false;
        } else if (FoldAscii(a[pos]) != FoldAscii(b[pos])) {
            return false;
        }
        pos += len;
    }
    return true;
}

std::string LowerAsciiCp949(const std::string& text) {
    std::string lower = text;
    for (std::size_t pos = 0; pos < lower.size();) {
        std::size_t len = Cp949CharLength(lower, pos);
        if (len == 1) lower[pos] = FoldAscii(lower[pos]);
        pos += len;
    }
    return lower;
}
