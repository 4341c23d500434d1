// The tab-separated list properties: attachlist, attachSize, recordkeylist, inlinekeylist.
#include "attach/ListProperty.h"

#include "attach/RowText.h"
#include "attach/SizeText.h"

namespace {

// One element of a tab-separated list and whether a tab follows it.
struct TabElement {
    std::string text;
    bool tabAfter;
};

std::vector<TabElement> TabElements(const std::string& list) {
    std::vector<TabElement> elements;
    std::size_t pos = 0;
    while (pos < list.size()) {
        if (list[pos] == '\t') {
            ++pos;
            continue;
        }
        std::size_t end = list.find('\t', pos);
        bool tab = end != std::string::npos;
        if (!tab) end = list.size();
        elements.push_back({list.substr(pos, end - pos), tab});
        pos = end;
    }
    return elements;
}

std::string JoinWithBars(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) out += item + "|";
    return out;
}

}  // namespace

std::vector<std::string> SplitTabList(const std::string& list) {
    std::vector<std::string> out;
    for (TabElement& element : TabElements(list)) out.push_back(std::move(element.text));
    return out;
}

std::vector<std::string> ServerRowTexts(const std::string& attachList,
                                        const std::string& attachSize, NoSizeSuffix noSize) {
    const std::vector<TabElement> counts = TabElements(attachSize);
    std::vector<std::string> rows;
    bool sizesEnded = false;
    std::size_t index = 0;
    for (const std::string& name : SplitTabList(attachList)) {
        if (index >= counts.size() || !counts[index].tabAfter) sizesEnded = true;
        std::string row = " " + name;
        if (!sizesEnded)
            row += "(" + FormatKBytes(counts[index].text) + ")";
        else if (noSize == NoSizeSuffix::kEmptyParens)
            row += "()";
        rows.push_back(std::move(row));
        ++index;
    }
    return rows;
}

std::vector<DialogRow> AttachDialogRows(const std::string& attachList, const std::string& attachSize) {
    std::vector<DialogRow> rows;
    std::string counts = attachSize;
    std::string sizeText;
    for (std::string& name : SplitTabList(attachList)) {
        if (!counts.empty()) {
            std::size_t tab = counts.find('\t');
            sizeText = tab == std::string::npos ? std::string() : "(" + FormatKBytes(counts.substr(0, tab)) + ")";
            if (tab != std::string::npos) counts.erase(0, tab + 1);
        }
        rows.push_back({std::move(name), sizeText});
    }
    return rows;
}

std::string RecordKeyForRow(const std::string& recordKeyList, long long rowIndex,
                            long long rowCount) {
    const std::vector<std::string> keys = SplitTabList(recordKeyList);
    const long long keyCount = static_cast<long long>(keys.size());
    long long k = rowIndex;
    if (rowCount > keyCount) k -= rowCount - keyCount;
    if (k < 0 || k >= keyCount) return {};
    return keys[static_cast<std::size_t>(k)];
}

std::string RemoveRecordKey(const std::string& recordKeyList, const std::string& key) {
    if (key.empty()) return recordKeyList;
    std::string out;
    std::size_t pos = 0;
    while (pos < recordKeyList.size()) {
        std::size_t end = recordKeyList.find('\t', pos);
        if (end == std::string::npos) {
            out.append(recordKeyList, pos, std::string::npos);
            break;
        }
        if (recordKeyList.compare(pos, end - pos, key) != 0)
            out.append(recordKeyList, pos, end + 1 - pos);
        pos = end + 1;
    }
    return out;
}

std::string GetAttachText(const std::vector<std::string>& rowNames) {
    std::string out;
    for (const std::string& name : rowNames)
        out += (!name.empty() && name[0] == ' ' ? name.substr(1) : name) + "|";
    return out;
}

std::vector<std::string> RemovedServerNames(const std::string& attachList,
                                            const std::vector<std::string>& rowNames) {
    std::vector<std::string> remaining;
    for (std::string& name : SplitTabList(attachList)) {
        bool onList = false;
        for (const std::string& row : rowNames)
            if (IsServerRowOf(row, name)) {
                onList = true;
                break;
            }
        if (!onList) remaining.push_back(std::move(name));
    }
    return remaining;
}

std::string GetDeleteAttachText(const std::string& attachList,
                                const std::vector<std::string>& rowNames) {
    return JoinWithBars(RemovedServerNames(attachList, rowNames));
}

std::vector<std::string> TabTerminatedNames(const std::string& list) {
    std::vector<std::string> names;
    std::size_t pos = 0;
    for (;;) {
        std::size_t end = list.find('\t', pos);
        if (end == std::string::npos) break;
        if (end > pos) names.push_back(list.substr(pos, end - pos));
        pos = end + 1;
    }
    return names;
}
