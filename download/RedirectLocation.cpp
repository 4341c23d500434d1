// The target of a redirect answer, read from the raw response headers.
#include "download/RedirectLocation.h"

std::string RedirectLocation(const std::string& rawHeaders, bool* found) {
    static const char kName[] = "Location: ";
    constexpr size_t kSkip = sizeof(kName) - 1;
    size_t at = rawHeaders.find(kName);
    *found = at != std::string::npos;
    // Not found reads as position -1, so the text starts kSkip - 1 characters in.
    size_t start = *found ? at + kSkip : kSkip - 1;
    if (start >= rawHeaders.size()) return {};
    std::string location = rawHeaders.substr(start);
    size_t lineFeed = location.find('\n', 1);
    if (lineFeed != std::string::npos) location.resize(lineFeed);
    return location;
}
