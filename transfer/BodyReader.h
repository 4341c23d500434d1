// Assembles an upload's body ahead of the sender, on a thread of its own: part headers
// and file contents in order, in full chunks, each file checked for the boundary.
#pragma once

#include "framework/UniqueHandle.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CBodyReader {
public:
    // Literal bytes, or the first size bytes of the file at path.
    struct Piece {
        const std::string* bytes;
        const std::string* path;
        uint64_t size;
    };
    struct Chunk {
        const char* data = nullptr;
        DWORD size = 0;
    };
    // The boundary was met in a file: the body under way cannot be finished.
    static const HRESULT kBoundaryInFile;

    CBodyReader(std::vector<Piece> pieces, std::string boundary, size_t chunkBytes);
    // Stops the thread and waits for it.
    ~CBodyReader();
    CBodyReader(const CBodyReader&) = delete;
    CBodyReader& operator=(const CBodyReader&) = delete;

    [[nodiscard]] HRESULT Start();
    // The next chunk of the body: S_OK with a chunk (full ones but the last), S_FALSE
    // once the body is complete, or the failure (a file that cannot be opened or read, a
    // file shorter than its size, kBoundaryInFile). After anything but S_OK, Next must not be called again.
    // The chunk stays valid until Release.
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
    void Assemble();
    // Adds one file to the chunks; the failure that ends the body, or S_OK.
    HRESULT AddFile(const Piece& piece, DWORD* fill);
    // Takes the next free slot; false when asked to stop.
    bool Acquire();
    void Publish(DWORD size, HRESULT status);

    const std::vector<Piece> m_pieces;
    const std::string m_boundary;
    Slot m_slots[kDepth];
    int m_writeSlot = 0;
    int m_readSlot = 0;
    // A lock and a condition variable rather than semaphores: they stay in user space,
    // and they change hands twice per chunk.
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_changed = CONDITION_VARIABLE_INIT;
    int m_free = kDepth;  // slots the thread may fill
    int m_filled = 0;     // slots the sender may take
    bool m_stop = false;
    fw::UniqueKernelHandle m_thread;
};
