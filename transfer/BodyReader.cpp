// Assembles an upload's body ahead of the sender, on a thread of its own: part headers
// and file contents in order, in full chunks, each file checked for the boundary.
#include "transfer/BodyReader.h"

#include "framework/ErrorMacros.h"
#include "framework/ExceptionBoundary.h"
#include "transfer/BoundaryScanner.h"

#include <algorithm>
#include <cstring>

const HRESULT CBodyReader::kBoundaryInFile = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0201);

CBodyReader::CBodyReader(std::vector<Piece> pieces, std::string boundary, size_t chunkBytes)
    : m_pieces(std::move(pieces)), m_boundary(std::move(boundary)) {
    for (Slot& slot : m_slots) slot.buffer.resize(chunkBytes);
}

CBodyReader::~CBodyReader() {
    if (m_thread) {
        AcquireSRWLockExclusive(&m_lock);
        m_stop = true;
        ReleaseSRWLockExclusive(&m_lock);
        WakeAllConditionVariable(&m_changed);
        WaitForSingleObject(m_thread.get(), INFINITE);
    }
}

HRESULT CBodyReader::Start() {
    m_thread.reset(CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
    RETURN_HR_IF(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()), !m_thread);
    return S_OK;
}

HRESULT CBodyReader::Next(Chunk* chunk) {
    AcquireSRWLockExclusive(&m_lock);
    while (m_filled == 0) SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
    --m_filled;
    ReleaseSRWLockExclusive(&m_lock);
    const Slot& slot = m_slots[m_readSlot];
    chunk->data = slot.buffer.data();
    chunk->size = slot.size;
    return slot.status;
}

void CBodyReader::Release() {
    m_readSlot = (m_readSlot + 1) % kDepth;
    AcquireSRWLockExclusive(&m_lock);
    ++m_free;
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_changed);
}

DWORD WINAPI CBodyReader::ThreadMain(void* self) {
    auto* reader = static_cast<CBodyReader*>(self);
    // Nothing may leave the thread; the sender learns of the failure as of any other.
    HRESULT hr = fw::CallNoThrow([&] {
        reader->Assemble();
        return S_OK;
    });
    if (FAILED(hr)) reader->Publish(0, hr);
    return 0;
}

bool CBodyReader::Acquire() {
    AcquireSRWLockExclusive(&m_lock);
    while (!m_stop && m_free == 0) SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
    bool go = !m_stop;
    if (go) --m_free;
    ReleaseSRWLockExclusive(&m_lock);
    return go;
}

void CBodyReader::Publish(DWORD size, HRESULT status) {
    Slot& slot = m_slots[m_writeSlot];
    slot.size = size;
    slot.status = status;
    m_writeSlot = (m_writeSlot + 1) % kDepth;
    AcquireSRWLockExclusive(&m_lock);
    ++m_filled;
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_changed);
}

void CBodyReader::Assemble() {
    // Part headers and small files share chunks: every write to the network has a fixed
    // cost, which would dominate a form of many small files.
    if (!Acquire()) return;
    DWORD fill = 0;
    for (const Piece& piece : m_pieces) {
        if (piece.path) {
            HRESULT status = AddFile(piece, &fill);
            if (status == E_ABORT) return;
            if (FAILED(status)) {
                Publish(0, status);
                return;
            }
            continue;
        }
        for (uint64_t done = 0; done < piece.size;) {
            std::vector<char>& buffer = m_slots[m_writeSlot].buffer;
            size_t n = std::min<uint64_t>(piece.size - done, buffer.size() - fill);
            std::memcpy(buffer.data() + fill, piece.bytes->data() + done, n);
            fill += static_cast<DWORD>(n);
            done += n;
            if (fill == buffer.size()) {
                Publish(fill, S_OK);
                fill = 0;
                if (!Acquire()) return;
            }
        }
    }
    if (fill > 0) {
        Publish(fill, S_OK);
        if (!Acquire()) return;
    }
    Publish(0, S_FALSE);
}

HRESULT CBodyReader::AddFile(const Piece& piece, DWORD* fill) {
    // Others may keep writing or delete the file; what is sent is what it held now.
    fw::UniqueFile file(CreateFileA(piece.path->c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    RETURN_HR_IF(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()), !file);
    CBoundaryScanner scanner(m_boundary);
    for (uint64_t left = piece.size; left > 0;) {
        std::vector<char>& buffer = m_slots[m_writeSlot].buffer;
        DWORD room = static_cast<DWORD>(buffer.size() - *fill);
        DWORD want = static_cast<DWORD>(left < room ? left : room);
        DWORD got = 0;
        RETURN_IF_WIN32_BOOL_FALSE(ReadFile(file.get(), buffer.data() + *fill, want, &got, nullptr));
        // The file shrank since its size went into Content-Length: the body cannot be
        // made whole.
        RETURN_HR_IF(HRESULT_FROM_WIN32(ERROR_HANDLE_EOF), got == 0);
        RETURN_HR_IF(kBoundaryInFile, scanner.Feed(buffer.data() + *fill, got));
        *fill += got;
        left -= got;
        if (*fill == buffer.size()) {
            Publish(*fill, S_OK);
            *fill = 0;
            if (!Acquire()) return E_ABORT;
        }
    }
    return S_OK;
}
