// Reads the files of an upload ahead of the sender, on a thread of its own, in chunks
// that never span two files; each chunk is checked for the boundary before it is handed on.
#pragma once

#include "framework/UniqueHandle.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CFileChunkReader {
public:
    struct Source {
        HANDLE file;  // positioned at its start; not owned
        uint64_t size;
    };
    struct Chunk {
        const char* data = nullptr;
        DWORD size = 0;
    };
    // The boundary was met in a file: the body under way cannot be finished.
    static const HRESULT kBoundaryInFile;

    CFileChunkReader(std::vector<Source> sources, std::string boundary, size_t chunkBytes);
    // Stops the thread and waits for it.
    ~CFileChunkReader();
    CFileChunkReader(const CFileChunkReader&) = delete;
    CFileChunkReader& operator=(const CFileChunkReader&) = delete;

    [[nodiscard]] HRESULT Start();
    // The next chunk of the files, in order: S_OK with a chunk, S_FALSE after the last
    // byte of the last file, or the failure (a read error, a file shorter than its size,
    // kBoundaryInFile). The chunk stays valid until Release.
    [[nodiscard]] HRESULT Next(Chunk* chunk);
    void Release();

private:
    static constexpr int kDepth = 3;
    struct Slot {
        std::vector<char> buffer;
        DWORD size = 0;
        HRESULT status = S_OK;
    };

    static DWORD WINAPI ThreadMain(void* self);
    void ReadAll();
    // Waits for a free slot; false when asked to stop.
    bool WaitFree();
    void Publish(Slot& slot, DWORD size, HRESULT status);

    const std::vector<Source> m_sources;
    const std::string m_boundary;
    Slot m_slots[kDepth];
    int m_writeSlot = 0;
    int m_readSlot = 0;
    fw::UniqueKernelHandle m_free;    // semaphore: slots the thread may fill
    fw::UniqueKernelHandle m_filled;  // semaphore: slots the sender may take
    fw::UniqueKernelHandle m_stop;    // event
    fw::UniqueKernelHandle m_thread;
};
