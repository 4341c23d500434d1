// The names the local save commands offer and write.
#include "store/LocalSaveNames.h"

#include "attach/Cp949Text.h"

#include <cstring>

namespace {

constexpr std::size_t kTitleBytes = 128;
// None of these is ever a CP949 trail byte, so removing them byte by byte is safe.
const char kRemoved[] = "?<|>/\\:*\"'";

}  // namespace

std::string CleanTitle(const std::string& title) {
    std::size_t end = 0;
    while (end < title.size() && end + Cp949CharLength(title, end) <= kTitleBytes) end += Cp949CharLength(title, end);
    std::string clean;
    for (std::size_t i = 0; i < end; ++i) {
        if (std::strchr(kRemoved, title[i]) == nullptr) clean += title[i];  // a zero byte goes too
    }
    return clean;
}

std::vector<std::string> SplitMessageIds(const std::string& ids) {
    std::vector<std::string> items;
    for (std::size_t start = 0; start <= ids.size();) {
        std::size_t semicolon = ids.find(';', start);
        if (semicolon == std::string::npos) semicolon = ids.size();
        if (semicolon > start) items.push_back(ids.substr(start, semicolon - start));
        start = semicolon + 1;
    }
    return items;
}

bool IsLettersOnly(const std::string& type) {
    if (type.empty()) return false;
    for (char c : type) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
    }
    return true;
}

std::string NumberedFileName(const std::string& name, unsigned n) {
    if (n == 0) return name;
    std::size_t dot = FindLastCp949Char(name, '.');
    if (dot == std::string::npos) dot = name.size();
    return name.substr(0, dot) + "-" + std::to_string(n) + name.substr(dot);
}
