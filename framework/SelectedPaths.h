// The paths a multiple-selection file dialog returns in its buffer.
#pragma once

#include <string>
#include <vector>

namespace fw {

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
