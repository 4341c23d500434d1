// The destination file of a download dialog. The dialogs drain the response in 1 KB
// reads, and a system call per kilobyte would cap a download far below what the line
// gives, so the reads gather in blocks that go to the file whole.
#pragma once

#include "framework/UniqueHandle.h"

#include <windows.h>

#include <memory>
#include <string>

class CDownloadFile {
public:
    static constexpr DWORD kBlockBytes = 256 * 1024;

    CDownloadFile() = default;
    CDownloadFile(const CDownloadFile&) = delete;
    CDownloadFile& operator=(const CDownloadFile&) = delete;
    ~CDownloadFile() { Close(); }

    // Creates the file, or empties the one there; ERROR_SUCCESS or the system's error.
    DWORD Create(const std::string& path);
    // True while the file is open.
    bool valid() const { return m_file.valid(); }

    // Room for size more bytes at the end of the block (at most kBlockBytes), writing
    // the block to the file first when it has less; the caller fills some and commits them.
    char* Room(DWORD size);
    // Adds count bytes written into Room; a full block goes to the file.
    void Commit(DWORD count);
    // Writes what the block holds and closes the file; nothing when none is open.
    void Close();
    // The system's error of the first write that did not take every byte (a full disk), or
    // ERROR_SUCCESS: a file missing bytes is no finished download.
    DWORD writeError() const { return m_writeError; }

private:
    void Flush();

    fw::UniqueFile m_file;
    std::unique_ptr<char[]> m_block;
    DWORD m_used = 0;
    DWORD m_writeError = ERROR_SUCCESS;
};
