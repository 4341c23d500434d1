// The names and numbers the download dialogs show and write.
#include "download/DownloadText.h"

#include "attach/SizeText.h"

#include <cstdio>

std::string GeneratedSaveName(const std::string& fileName, int year, int month, int day) {
    std::string leaf = fileName.substr(fileName.rfind('/') + 1);
    leaf = leaf.substr(leaf.rfind('\\') + 1);
    size_t leafDot = leaf.rfind('.');
    std::string extension = leafDot == std::string::npos ? std::string() : leaf.substr(leafDot);
    size_t dot = fileName.rfind('.');
    std::string stem = dot == std::string::npos ? std::string() : fileName.substr(0, dot);
    size_t separator = stem.find_last_of("\\/:");
    if (separator != std::string::npos) stem.erase(0, separator + 1);
    // The extension comes from the last component, so it holds no separator; a ":" in it
    // would still name a stream of the file.
    if (extension.find(':') != std::string::npos) extension.clear();
    char date[40];
    std::snprintf(date, sizeof(date), "-%d%d%d", year, month, day);
    return stem + date + extension;
}

std::uint32_t DownloadTotal(std::uint32_t maximum, const std::string& sizeHint) {
    std::uint32_t total = maximum;
    if (total == 0 && !sizeHint.empty()) total = static_cast<std::uint32_t>(ParseByteCount(sizeHint));
    return total != 0 ? total : 0x7FFFFFFFu;
}

std::string KiloBytesText(std::uint32_t bytes) {
    char text[32];
    std::snprintf(text, sizeof(text), "%d KB", static_cast<int>(bytes >> 10));
    return text;
}
