// Turns a file name stored in a message file into a bare name that stays inside the
// folder the files are extracted into.
#include "store/SafeFileName.h"

#include <cstring>

namespace {

// Names are code page 949 text. Its trail bytes are 0x41-0x5A, 0x61-0x7A and 0x81-0xFE,
// so none of the ASCII bytes looked at here can be the second half of a Korean
// character, and a byte-wise scan is safe.
bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

bool IsRefused(char c) {
    return static_cast<unsigned char>(c) < 0x20 || std::strchr("<>\"|?*", c) != nullptr;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows opens a device for these names with any extension and with blanks before it.
bool IsDeviceName(const std::string& name) {
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = Upper(c);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
        base == "CONOUT$")
        return true;
    if (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0) return false;
    std::string number = base.substr(3);
    // Newer Windows also takes the superscript digits one to three ("\xA9\xF6" and on
    // in code page 949).
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') ||
           (number.size() == 2 && number[0] == '\xA9' && number[1] >= '\xF6' && number[1] <= '\xF8');
}

}  // namespace

bool MakeSafeFileName(const std::string& stored, std::string& safe) {
    std::string name = stored.substr(0, stored.find('\0'));
    size_t start = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        if (IsSeparator(name[i])) start = i + 1;
    }
    name.erase(0, start);
    for (char& c : name) {
        if (IsRefused(c)) c = '_';
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (name.empty()) return false;
    if (IsDeviceName(name)) name.insert(0, "_");
    safe = std::move(name);
    return true;
}
