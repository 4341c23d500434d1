// The file a save writes beside its destination, which replaces the destination only once
// the whole body is in.
#include "download/PartFile.h"

#include "attach/Cp949Text.h"

CPartFile::~CPartFile() {
    if (!m_path.empty()) DeleteFileA(m_path.c_str());
}

DWORD CPartFile::Create(const std::string& destination) {
    std::size_t slash = FindLastCp949Char(destination, '\\');
    if (slash == std::string::npos) return ERROR_INVALID_NAME;
    char path[MAX_PATH];
    // The same folder, so the replacement is a rename on one volume.
    if (!GetTempFileNameA(destination.substr(0, slash + 1).c_str(), "nva", 0, path)) return GetLastError();
    m_destination = destination;
    m_path = path;
    return ERROR_SUCCESS;
}

DWORD CPartFile::Commit() {
    if (!MoveFileExA(m_path.c_str(), m_destination.c_str(), MOVEFILE_REPLACE_EXISTING)) return GetLastError();
    m_path.clear();
    return ERROR_SUCCESS;
}
