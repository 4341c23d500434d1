// Gathers the small writes of a download into blocks: the dialogs drain the response in
// 1 KB reads, and a system call per kilobyte would cap a download far below what the
// line gives.
#pragma once

#include <windows.h>

#include <memory>

class CFileWriteBuffer {
public:
    static constexpr DWORD kBlockBytes = 64 * 1024;

    CFileWriteBuffer() = default;
    CFileWriteBuffer(const CFileWriteBuffer&) = delete;
    CFileWriteBuffer& operator=(const CFileWriteBuffer&) = delete;

    // Appends to the block and writes the block to file when it is full. Write errors are
    // ignored, as for an unbuffered write whose result nobody looks at.
    void Write(HANDLE file, const void* bytes, DWORD size);
    // Writes what the block holds; before the file is closed.
    void Flush(HANDLE file);

private:
    std::unique_ptr<char[]> m_block;
    DWORD m_used = 0;
};
