// Loading the companion programs' libraries by full path.
#include "integrations/CompanionLibrary.h"

#include <string>

#include "framework/Module.h"
#include "framework/Text.h"

namespace {

std::string ControlFolder() {
    std::string path = fw::WideToAnsi(fw::ModulePath());
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string SystemFolder() {
    char folder[MAX_PATH];
    UINT n = GetSystemDirectoryA(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    std::string text(folder, n);
    if (text.back() != '\\') text += '\\';
    return text;
}

}  // namespace

fw::UniqueHModule LoadCompanionLibrary(const char* fileName) {
    for (const std::string& folder : {ControlFolder(), SystemFolder()}) {
        if (folder.empty()) continue;
        std::string path = folder + fileName;
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        // Its own dependencies are looked for beside it, not in the current folder.
        fw::UniqueHModule library(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
        if (library) return library;
    }
    return fw::UniqueHModule();
}
