// A file on disk as the content of a file record: opened for reading, read in chunks.
#pragma once

#include "framework/UniqueHandle.h"
#include "store/MsgByteSource.h"

#include <windows.h>

class CFileByteSource : public CMsgByteSource {
public:
    // Opens path (ANSI) for reading; other readers may have it open too.
    [[nodiscard]] HRESULT Open(const char* path);
    // The file's size when it was opened.
    ULONGLONG Size() const { return m_size; }
    bool Read(void* buffer, uint32_t length) override;

private:
    fw::UniqueFile m_file;
    ULONGLONG m_size = 0;
};
