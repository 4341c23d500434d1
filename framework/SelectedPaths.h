// What the file dialogs take and give as packed text: the filter and the selected paths.
#pragma once

#include <string>
#include <vector>

namespace fw {

// "a|b||" filter text with its bars turned into the zero bytes the dialog expects.
inline std::string DialogFilter(const char* barred) {
    std::string filter = barred ? barred : "";
    for (char& c : filter) {
        if (c == '|') c = '\0';
    }
    return filter;
}

// The buffer holds one full path, or a folder followed by names, each ending in a zero
// and the whole in a second zero; the paths come in the order the dialog gives them.
inline std::vector<std::string> SelectedPaths(const char* buffer) {
    std::vector<std::string> parts;
    for (const char* p = buffer; *p; p += parts.back().size() + 1) parts.emplace_back(p);
    if (parts.size() <= 1) return parts;
    std::string folder = parts[0];
    if (folder.back() != '\\') folder += '\\';
    std::vector<std::string> paths;
    for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
    return paths;
}

}  // namespace fw
