// Gathers the small writes of a download into blocks.
#include "download/FileWriteBuffer.h"

char* CFileWriteBuffer::Room(HANDLE file, DWORD size) {
    if (!m_block) m_block.reset(new char[kBlockBytes]);
    if (kBlockBytes - m_used < size) Flush(file);
    return m_block.get() + m_used;
}

void CFileWriteBuffer::Commit(HANDLE file, DWORD count) {
    m_used += count;
    if (m_used == kBlockBytes) Flush(file);
}

void CFileWriteBuffer::Flush(HANDLE file) {
    if (m_used == 0) return;
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE && file != nullptr) WriteFile(file, m_block.get(), m_used, &written, nullptr);
    m_used = 0;
}
