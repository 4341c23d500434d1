// Row texts of the two attachment lists: names, labels, duplicates and copy names.
#include "attach/RowText.h"

#include "attach/Cp949Text.h"
#include "res/Texts.h"

#include <algorithm>
#include <cstdio>

namespace {

const char kEmptySuffix[] = "()";

bool FitsBuffer(const std::string& text, std::size_t bufferSize) {
    return text.size() < bufferSize && text.find('\0') == std::string::npos;
}

bool EndsWithEmptySuffix(const std::string& text) {
    return text.size() >= 2 && text.compare(text.size() - 2, 2, kEmptySuffix) == 0;
}

// The label as the list shows it: up to a zero byte, and cut to fit the row buffer.
std::string ShownLabel(std::string label) {
    label.resize(std::min(label.find('\0'), label.size()));
    if (label.size() < kRowTextBufferSize) return label;
    const char kEllipsis[] = "...";
    const std::size_t room = kRowTextBufferSize - sizeof kEllipsis;
    std::size_t end = 0;
    while (end < label.size() && end + Cp949CharLength(label, end) <= room) end += Cp949CharLength(label, end);
    label.resize(end);
    return label + kEllipsis;
}

// What the shell is asked for a row's icon: the text itself, or for a text too long for
// the row buffer a short stand-in with its extension (after the space of a server row).
std::string IconPath(const std::string& work) {
    if (FitsBuffer(work, kRowTextBufferSize)) return work;
    std::string name = RowLabel(work.substr(0, work.find('\0')));
    std::size_t dot = FindLastCp949Char(name, '.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    if (extension.size() >= kPathBufferSize / 2) extension.clear();
    return (work[0] == ' ' ? " x" : "x") + extension;
}

}  // namespace

std::size_t SizeSuffixStart(const std::string& text) {
    std::size_t open = FindLastCp949Char(text, '(');
    if (open == std::string::npos || text.back() != ')') return std::string::npos;
    std::string inner = text.substr(open + 1, text.size() - open - 2);
    if (inner.empty()) return open;
    std::size_t pos = inner[0] == '-' ? 1 : 0;
    if (inner.size() < pos + 2 || inner.back() != 'K') return std::string::npos;
    for (; pos + 1 < inner.size(); ++pos)
        if (!((inner[pos] >= '0' && inner[pos] <= '9') || inner[pos] == ',')) return std::string::npos;
    return open;
}

bool FitsRowText(const std::string& text) {
    return FitsBuffer(text, kRowTextBufferSize);
}

std::string RowLabel(const std::string& rowText) {
    std::size_t slash = FindLastCp949Char(rowText, '\\');
    std::size_t pos = slash == std::string::npos ? 0 : slash + 1;
    while (pos < rowText.size() && rowText[pos] == ' ') ++pos;
    return rowText.substr(pos);
}

ListRowText MakeAttachRow(const std::string& text, int viewMode) {
    std::string work = text;
    std::size_t open = FindLastCp949Char(work, '(');
    if (open != std::string::npos && work.compare(open, std::string::npos, kEmptySuffix) == 0)
        work.resize(open);
    ListRowText row;
    row.name = viewMode == 1 ? work : text;
    row.label = ShownLabel(RowLabel(row.name));
    row.iconPath = IconPath(work);
    return row;
}

ListRowText MakeFileRow(const std::string& text) {
    std::string work = text;
    std::size_t open = FindLastCp949Char(work, '(');
    if (open != std::string::npos) work.resize(open);
    ListRowText row;
    row.name = work;
    row.label = ShownLabel(RowLabel(work));
    row.iconPath = IconPath(work);
    return row;
}

bool IsSameFile(const std::string& rowName, const std::string& path) {
    if (EqualNoCaseCp949(rowName, path)) return true;
    return EndsWithEmptySuffix(rowName) &&
           EqualNoCaseCp949(rowName.substr(0, rowName.size() - 2), path);
}

bool IsServerRowOf(const std::string& rowName, const std::string& attachName) {
    if (rowName.empty() || rowName[0] != ' ') return false;
    std::string rest = rowName.substr(1);
    if (EqualNoCaseCp949(rest, attachName)) return true;
    std::size_t suffix = SizeSuffixStart(rest);
    return suffix != std::string::npos && EqualNoCaseCp949(rest.substr(0, suffix), attachName);
}

std::string LocalPathOfRow(const std::string& rowName, int viewMode) {
    if (viewMode == 1 || viewMode == 3 || !EndsWithEmptySuffix(rowName)) return rowName;
    return rowName.substr(0, rowName.size() - 2);
}

std::optional<std::string> CopyPathCandidate(const std::string& path, int attempt) {
    if (attempt < 1 || attempt > kCopyPathAttempts) return std::nullopt;
    std::size_t slash = FindLastCp949Char(path, '\\');
    std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (nameStart >= path.size()) return std::nullopt;
    std::string prefix = texts::kCopyPrefix;
    if (attempt > 1) {
        char buffer[64];
        int n = std::snprintf(buffer, sizeof buffer, texts::kCopyPrefixNumbered, attempt);
        prefix.assign(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    std::string candidate = path.substr(0, nameStart) + prefix + path.substr(nameStart);
    if (!FitsBuffer(candidate, kPathBufferSize)) return std::nullopt;
    return candidate;
}
