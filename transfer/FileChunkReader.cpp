// Reads the files of an upload ahead of the sender, on a thread of its own, in chunks
// that never span two files; each chunk is checked for the boundary before it is handed on.
#include "transfer/FileChunkReader.h"

#include "framework/ErrorMacros.h"
#include "transfer/BoundaryScanner.h"

const HRESULT CFileChunkReader::kBoundaryInFile = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0201);

CFileChunkReader::CFileChunkReader(std::vector<Source> sources, std::string boundary, size_t chunkBytes)
    : m_sources(std::move(sources)), m_boundary(std::move(boundary)) {
    for (Slot& slot : m_slots) slot.buffer.resize(chunkBytes);
}

CFileChunkReader::~CFileChunkReader() {
    if (m_thread) {
        SetEvent(m_stop.get());
        WaitForSingleObject(m_thread.get(), INFINITE);
    }
}

HRESULT CFileChunkReader::Start() {
    m_free.reset(CreateSemaphoreW(nullptr, kDepth, kDepth, nullptr));
    m_filled.reset(CreateSemaphoreW(nullptr, 0, kDepth, nullptr));
    m_stop.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    RETURN_HR_IF(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()), !m_free || !m_filled || !m_stop);
    m_thread.reset(CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
    RETURN_HR_IF(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()), !m_thread);
    return S_OK;
}

HRESULT CFileChunkReader::Next(Chunk* chunk) {
    WaitForSingleObject(m_filled.get(), INFINITE);
    const Slot& slot = m_slots[m_readSlot];
    chunk->data = slot.buffer.data();
    chunk->size = slot.size;
    return slot.status;
}

void CFileChunkReader::Release() {
    m_readSlot = (m_readSlot + 1) % kDepth;
    ReleaseSemaphore(m_free.get(), 1, nullptr);
}

DWORD WINAPI CFileChunkReader::ThreadMain(void* self) {
    static_cast<CFileChunkReader*>(self)->ReadAll();
    return 0;
}

bool CFileChunkReader::WaitFree() {
    HANDLE waits[] = {m_stop.get(), m_free.get()};
    return WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

void CFileChunkReader::Publish(Slot& slot, DWORD size, HRESULT status) {
    slot.size = size;
    slot.status = status;
    m_writeSlot = (m_writeSlot + 1) % kDepth;
    ReleaseSemaphore(m_filled.get(), 1, nullptr);
}

void CFileChunkReader::ReadAll() {
    CBoundaryScanner scanner(m_boundary);
    for (const Source& source : m_sources) {
        scanner.Reset();
        uint64_t left = source.size;
        while (left > 0) {
            if (!WaitFree()) return;
            Slot& slot = m_slots[m_writeSlot];
            DWORD want = static_cast<DWORD>(left < slot.buffer.size() ? left : slot.buffer.size());
            DWORD got = 0;
            HRESULT status = S_OK;
            if (!ReadFile(source.file, slot.buffer.data(), want, &got, nullptr)) {
                status = HRESULT_FROM_WIN32_OR_FAIL(GetLastError());
            } else if (got == 0) {
                // The file shrank since its size went into Content-Length: the body
                // cannot be made whole.
                status = HRESULT_FROM_WIN32(ERROR_HANDLE_EOF);
            } else if (scanner.Feed(slot.buffer.data(), got)) {
                status = kBoundaryInFile;
            }
            Publish(slot, got, status);
            if (FAILED(status)) return;
            left -= got;
        }
    }
    if (WaitFree()) Publish(m_slots[m_writeSlot], 0, S_FALSE);
}
