// attachlist, attachSize and recordkeylist as script sets them, through every list reader.
// Input: the three strings separated by zero bytes.
#include "attach/ListProperty.h"
#include "attach/RowText.h"
#include "attach/SizeText.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string NextPart(const std::string& data, std::size_t& pos) {
    std::size_t end = data.find('\0', pos);
    if (end == std::string::npos) end = data.size();
    std::string part = data.substr(pos, end - pos);
    pos = end < data.size() ? end + 1 : end;
    return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string data(reinterpret_cast<const char*>(bytes), size);
    std::size_t pos = 0;
    const std::string names = NextPart(data, pos);
    const std::string sizes = NextPart(data, pos);
    const std::string keys = NextPart(data, pos);

    const std::vector<std::string> elements = SplitTabList(names);
    for (NoSizeSuffix noSize : {NoSizeSuffix::kEmptyParens, NoSizeSuffix::kNone}) {
        const std::vector<std::string> rows = ServerRowTexts(names, sizes, noSize);
        Check(rows.size() == elements.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            Check(rows[i].compare(0, elements[i].size() + 1, " " + elements[i]) == 0);
            Check(IsServerRowOf(rows[i], elements[i]));
            for (int viewMode : {0, 1}) {
                ListRowText row = MakeAttachRow(rows[i], viewMode);
                Check(row.name == rows[i] || (viewMode == 1 && row.name + "()" == rows[i]));
                Check(row.label.size() < kRowTextBufferSize && row.iconPath.size() < kRowTextBufferSize);
            }
        }
        // Every name of the list has its row, so none of them reads as removed.
        Check(RemovedServerNames(names, rows).empty());
        Check(GetDeleteAttachText(names, rows).empty());
        Check(GetAttachText(rows).size() == [&] {
            std::size_t n = 0;
            for (const std::string& row : rows) n += row.size();
            return n;
        }());
    }

    const std::vector<std::string> keyElements = SplitTabList(keys);
    const long long rowCount = static_cast<long long>(elements.size());
    for (long long row = -1; row <= rowCount && row < 64; ++row) {
        const std::string key = RecordKeyForRow(keys, row, rowCount);
        if (key.empty()) continue;
        bool known = false;
        for (const std::string& element : keyElements) known = known || element == key;
        Check(known);
        const std::string left = RemoveRecordKey(keys, key);
        Check(left.size() <= keys.size());
        for (const std::string& name : TabTerminatedNames(left)) Check(name != key);
    }

    for (const std::string& name : TabTerminatedNames(names)) Check(!name.empty());
    for (const std::string& count : SplitTabList(sizes)) {
        const std::string text = FormatKBytes(count);
        Check(!text.empty() && text.back() == 'K');
    }
    for (std::int64_t attempt : {1, 2}) {
        auto copy = CopyPathCandidate(names, static_cast<int>(attempt));
        if (copy) Check(copy->size() < kPathBufferSize);
    }
    return 0;
}
