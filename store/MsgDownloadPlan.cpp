// Which files the message file writer downloads for a message.
#include "store/MsgDownloadPlan.h"

#include "attach/Cp949Text.h"
#include "attach/ListProperty.h"

#include <set>
#include <string_view>

namespace {

// The first needle that starts on a character of text: a trail byte that looks like the
// needle's first letter is not a start.
size_t FindOnCharacter(std::string_view text, std::string_view needle) {
    std::string buffer(text);
    for (size_t pos = 0; pos + needle.size() <= text.size(); pos += Cp949CharLength(buffer, pos)) {
        if (text.compare(pos, needle.size(), needle) == 0) return pos;
    }
    return std::string_view::npos;
}

// Start of the character that ends just before end.
size_t CharacterBefore(const std::string& text, size_t end) {
    size_t start = 0;
    for (size_t pos = 0; pos < end; pos += Cp949CharLength(text, pos)) start = pos;
    return start;
}

struct KeyItem {
    std::string name;  // lowered
    std::string url;
};

KeyItem ReadKeyItem(const std::string& item, bool colonRule) {
    size_t colon = item.find(':');
    if (colonRule && colon != std::string::npos)
        return {LowerAsciiCp949(item.substr(0, colon)), item.substr(colon + 1)};
    size_t slash = item.rfind('/');
    return {LowerAsciiCp949(slash == std::string::npos ? item : item.substr(slash + 1)), item};
}

// An item of a tab-separated list taken from its front or its back: one tab at that end
// is dropped, the item runs to the next tab, and the list keeps what lies beyond it.
std::string TakeFront(std::string_view& list) {
    if (!list.empty() && list.front() == '\t') list.remove_prefix(1);
    size_t tab = list.find('\t');
    std::string item(list.substr(0, tab));
    list = tab == std::string_view::npos ? std::string_view() : list.substr(tab + 1);
    return item;
}

std::string TakeBack(std::string_view& list) {
    if (!list.empty() && list.back() == '\t') list.remove_suffix(1);
    size_t tab = list.rfind('\t');
    std::string item(tab == std::string_view::npos ? list : list.substr(tab + 1));
    list = tab == std::string_view::npos ? std::string_view() : list.substr(0, tab);
    return item;
}

}  // namespace

std::vector<std::string> InlineImageSources(const std::string& body) {
    static constexpr std::string_view kSrc = "src=";
    // '<', '>', blanks and backspaces are never trail bytes, so plain byte searches find
    // them only where they are characters of their own.
    const std::string lower = LowerAsciiCp949(body);
    std::vector<std::string> sources;
    for (size_t pos = lower.find("<img"); pos != std::string::npos; pos = lower.find("<img", pos)) {
        size_t close = lower.find('>', pos);
        if (close == std::string::npos) break;
        std::string_view tag(lower.data() + pos, close - pos);
        pos = close + 1;
        size_t src = FindOnCharacter(tag, kSrc);
        if (src == std::string_view::npos || src + kSrc.size() + 1 > tag.size()) continue;
        std::string source(tag.substr(src + kSrc.size() + 1));
        size_t cut = source.find_first_of(" \x08");
        if (cut != std::string::npos) source.erase(cut == 0 ? 0 : CharacterBefore(source, cut));
        if (!source.empty()) sources.push_back(std::move(source));
    }
    return sources;
}

std::vector<MsgDownload> PlanInlineImages(const std::string& body, const std::string& inlineKeyList,
                                          const std::string& type) {
    const bool colonRule = type.empty() || type == "bbs";
    std::vector<KeyItem> items;
    for (const std::string& item : SplitTabList(inlineKeyList)) {
        KeyItem key = ReadKeyItem(item, colonRule);
        if (!key.name.empty()) items.push_back(std::move(key));
    }
    std::vector<MsgDownload> images;
    if (items.empty()) return images;
    // A body shows the same image many times; the file keeps it once, and the restore
    // would point a name stored twice at its own replacement.
    std::set<std::string> stored;
    for (const std::string& source : InlineImageSources(body)) {
        for (const KeyItem& item : items) {
            if (source.find(item.name) == std::string::npos) continue;
            if (stored.insert(item.name).second) images.push_back({item.url, item.name, {}});
            break;
        }
    }
    return images;
}

std::vector<MsgDownload> PlanAttachDownloads(const std::string& attachList, const std::string& recordKeyList,
                                             const std::string& attachSize) {
    std::string_view names(attachList), keys(recordKeyList), sizes(attachSize);
    std::vector<MsgDownload> attachments;
    std::string size;
    while (!names.empty() && !keys.empty()) {
        std::string name = TakeFront(names);
        if (!sizes.empty()) size = TakeFront(sizes);
        std::string key = TakeBack(keys);
        if (!name.empty() && !key.empty()) attachments.push_back({std::move(key), std::move(name), size});
    }
    return attachments;
}
