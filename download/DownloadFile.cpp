// The destination file of a download dialog, written in blocks.
#include "download/DownloadFile.h"

DWORD CDownloadFile::Create(const std::string& path) {
    Close();
    m_writeError = ERROR_SUCCESS;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    m_file.reset(file);
    return ERROR_SUCCESS;
}

char* CDownloadFile::Room(DWORD size) {
    if (!m_block) m_block.reset(new char[kBlockBytes]);
    if (kBlockBytes - m_used < size) Flush();
    return m_block.get() + m_used;
}

void CDownloadFile::Commit(DWORD count) {
    m_used += count;
    if (m_used == kBlockBytes) Flush();
}

void CDownloadFile::Close() {
    if (!m_file) return;
    Flush();
    m_file.reset();
}

void CDownloadFile::Flush() {
    if (m_used == 0) return;
    DWORD written = 0;
    if (m_file) {
        BOOL ok = WriteFile(m_file.get(), m_block.get(), m_used, &written, nullptr);
        if ((!ok || written != m_used) && m_writeError == ERROR_SUCCESS)
            m_writeError = ok ? ERROR_WRITE_FAULT : GetLastError();
    }
    m_used = 0;
}
