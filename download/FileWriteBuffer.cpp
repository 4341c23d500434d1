// Gathers the small writes of a download into blocks.
#include "download/FileWriteBuffer.h"

#include <cstring>

void CFileWriteBuffer::Write(HANDLE file, const void* bytes, DWORD size) {
    if (!m_block) m_block.reset(new char[kBlockBytes]);
    const char* in = static_cast<const char*>(bytes);
    while (size > 0) {
        DWORD n = size < kBlockBytes - m_used ? size : kBlockBytes - m_used;
        std::memcpy(m_block.get() + m_used, in, n);
        m_used += n;
        in += n;
        size -= n;
        if (m_used == kBlockBytes) Flush(file);
    }
}

void CFileWriteBuffer::Flush(HANDLE file) {
    if (m_used == 0) return;
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE && file != nullptr) WriteFile(file, m_block.get(), m_used, &written, nullptr);
    m_used = 0;
}
