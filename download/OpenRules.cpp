// The rules that decide what an attachment download fetches, what the file is called and
// how it is opened.
#include "download/OpenRules.h"

#include "attach/Cp949Text.h"
#include "attach/ListProperty.h"
#include "attach/RowText.h"
#include "store/SafeFileName.h"

#include <algorithm>
#include <vector>

namespace {

// Blanks are ASCII, never the trail byte of a double-byte character.
std::string TrimBlanks(const std::string& text) {
    const char kBlanks[] = " \t\r\n";
    std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsOneOf(const std::string& text, std::initializer_list<const char*> list) {
    return std::any_of(list.begin(), list.end(), [&](const char* item) { return text == item; });
}

}  // namespace

bool ListElement(const std::string& list, long long index, std::string* element) {
    std::vector<std::string> elements = SplitTabList(list);
    if (index < 0 || index >= static_cast<long long>(elements.size())) return false;
    *element = elements[static_cast<std::size_t>(index)];
    return true;
}

std::string PrepareServerName(const std::string& name) {
    std::string trimmed = TrimBlanks(name);
    std::size_t suffix = SizeSuffixStart(trimmed);
    return suffix == std::string::npos ? trimmed : TrimBlanks(trimmed.substr(0, suffix));
}

std::string SpaceAfterTildes(const std::string& url) {
    std::string out;
    for (char c : url) {
        out += c;
        if (c == '~') out += ' ';
    }
    return out;
}

std::string LowerExtension(const std::string& path) {
    std::size_t slash = FindLastCp949Char(path, '\\');
    std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = FindLastCp949Char(leaf, '.');
    return dot == std::string::npos ? std::string() : LowerAsciiCp949(leaf.substr(dot + 1));
}

bool IsMessageFileExtension(const std::string& ext) { return IsOneOf(ext, {"ncf", "nvs", "pm_", "pcm"}); }

bool IsWebPageExtension(const std::string& ext) { return IsOneOf(ext, {"htm", "html"}); }

bool RunsCode(const std::string& ext) {
    return IsOneOf(ext, {"exe", "com", "bat", "cmd", "scr", "pif", "lnk", "js", "jse", "vbs", "vbe", "wsf",
                         "wsh", "hta", "msi", "ps1", "reg"});
}

std::string SafeLeafName(const std::string& name) {
    std::string safe;
    return MakeSafeFileName(name, safe) ? safe : std::string();
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

long FailureNumber(long long result) {
    if (result >= 0) return static_cast<long>(result);
    auto hr = static_cast<unsigned long>(result);
    unsigned facility = (hr >> 16) & 0x1FFF;
    // Win32 errors and HTTP statuses carry their own number in the low word.
    if (facility == 7 || facility == 25) return static_cast<long>(hr & 0xFFFF);
    return static_cast<long>(result);
}
