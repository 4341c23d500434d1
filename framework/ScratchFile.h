// A file with a unique name that the platform makes (empty) in a folder, deleted when
// its owner goes unless the owner hands it on.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace fw {

class ScratchFile {
public:
    ScratchFile() = default;
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile() { Delete(); }

    // Makes the file in folder with the given three-letter prefix. False when the
    // platform cannot: the folder is missing or too long, or no unique name is left.
    bool Create(const std::string& folder, const char* prefix) {
        Delete();
        char path[MAX_PATH];
        if (!GetTempFileNameA(folder.c_str(), prefix, 0, path)) return false;
        m_path = path;
        return true;
    }
    const std::string& path() const { return m_path; }
    // The file is no longer deleted here; the caller records where it goes.
    std::string Release() { return std::exchange(m_path, std::string()); }
    void Delete() {
        if (!m_path.empty()) DeleteFileA(m_path.c_str());
        m_path.clear();
    }

private:
    std::string m_path;
};

}  // namespace fw
