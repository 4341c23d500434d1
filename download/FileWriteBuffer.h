// Gathers the small writes of a download into blocks: the dialogs drain the response in
// 1 KB reads, and a system call per kilobyte would cap a download far below what the
// line gives.
#pragma once

#include <windows.h>

#include <memory>

class CFileWriteBuffer {
public:
    static constexpr DWORD kBlockBytes = 256 * 1024;

    CFileWriteBuffer() = default;
    CFileWriteBuffer(const CFileWriteBuffer&) = delete;
    CFileWriteBuffer& operator=(const CFileWriteBuffer&) = delete;

    // Room for size more bytes at the end of the block (at most kBlockBytes), writing
    // the block to file first when it has less; the caller fills some and commits them.
    char* Room(HANDLE file, DWORD size);
    // Adds count bytes written into Room; a full block goes to the file. Write errors are
    // ignored, as for an unbuffered write whose result nobody looks at.
    void Commit(HANDLE file, DWORD count);
    // Writes what the block holds; before the file is closed.
    void Flush(HANDLE file);

private:
    std::unique_ptr<char[]> m_block;
    DWORD m_used = 0;
};
