// The message file on disk: one compound file whose root storage holds the record
// streams. Every writer and reader of message files goes through it.
#include "store/MsgStorage.h"

#include <new>

namespace {

constexpr DWORD kCreateFileMode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;  // 0x1012
constexpr DWORD kOpenFileMode = STGM_READ | STGM_SHARE_DENY_WRITE;                    // 0x20
constexpr DWORD kCreateStreamMode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;  // 0x1012
constexpr DWORD kOpenStreamMode = STGM_READ | STGM_SHARE_EXCLUSIVE;                   // 0x10

}  // namespace

CMsgStorage::~CMsgStorage() {
    if (m_pRoot) Close();
}

int CMsgStorage::ToWide(const char* name, std::wstring& wide) {
    if (!name) {
        m_hrLast = kNameNotConverted;
        return 0;
    }
    // A byte sequence that is not text of the code page is refused rather than turned
    // into replacement characters, so a name never reaches the platform altered.
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, nullptr, 0);
    if (n <= 0) {
        m_hrLast = kNameNotConverted;
        return 0;
    }
    try {
        wide.assign(static_cast<size_t>(n), L'\0');
    } catch (const std::bad_alloc&) {
        m_hrLast = STG_E_INSUFFICIENTMEMORY;
        return 0;
    }
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, &wide[0], n) != n) {
        m_hrLast = kNameNotConverted;
        return 0;
    }
    wide.pop_back();  // the std::wstring keeps its own terminator
    return n;
}

// A storage used again for a second file starts that file with a use count of 1, so one
// Close releases it as it would a first file.
BOOL CMsgStorage::Create(const char* path) {
    if (m_pRoot) Close();
    m_pRoot.reset();
    std::wstring wide;
    if (!ToWide(path, wide)) return FALSE;
    m_hrLast = StgCreateDocfile(wide.c_str(), kCreateFileMode, 0, m_pRoot.put());
    if (FAILED(m_hrLast)) {
        m_pRoot.reset();
        return FALSE;
    }
    m_nUse = 1;
    return TRUE;
}

BOOL CMsgStorage::Open(const char* path) {
    if (m_pRoot) Close();
    m_pRoot.reset();
    std::wstring wide;
    if (!ToWide(path, wide)) return FALSE;
    m_hrLast = StgOpenStorage(wide.c_str(), nullptr, kOpenFileMode, nullptr, 0, m_pRoot.put());
    if (FAILED(m_hrLast)) {
        m_pRoot.reset();
        return FALSE;
    }
    m_nUse = 1;
    return TRUE;
}

int CMsgStorage::Close() {
    if (m_nUse-- == 1) m_pRoot.reset();
    return m_nUse;
}

fw::ComPtr<IStream> CMsgStorage::CreateStream(const char* name) {
    fw::ComPtr<IStream> stream;
    if (!m_pRoot) {
        m_hrLast = kNoOpenFile;
        return stream;
    }
    std::wstring wide;
    if (!ToWide(name, wide)) return stream;
    m_hrLast = m_pRoot->CreateStream(wide.c_str(), kCreateStreamMode, 0, 0, stream.put());
    if (FAILED(m_hrLast)) stream.reset();
    return stream;
}

fw::ComPtr<IStream> CMsgStorage::OpenStream(const char* name) {
    fw::ComPtr<IStream> stream;
    if (!m_pRoot) {
        m_hrLast = kNoOpenFile;
        return stream;
    }
    std::wstring wide;
    if (!ToWide(name, wide)) return stream;
    m_hrLast = m_pRoot->OpenStream(wide.c_str(), nullptr, kOpenStreamMode, 0, stream.put());
    if (FAILED(m_hrLast)) stream.reset();
    return stream;
}

BOOL CMsgStorage::WriteBytes(IStream* stream, const void* buffer, ULONG length) {
    if (!stream) {
        m_hrLast = E_POINTER;
        return FALSE;
    }
    ULONG written = 0;
    m_hrLast = stream->Write(buffer, length, &written);
    return SUCCEEDED(m_hrLast) && written == length;
}

BOOL CMsgStorage::WriteDword(IStream* stream, const DWORD* value) {
    // The file is little-endian, as is every Windows target.
    return WriteBytes(stream, value, sizeof(DWORD));
}

BOOL CMsgStorage::WriteText(IStream* stream, const char* text) {
    return WriteBytes(stream, text, static_cast<ULONG>(lstrlenA(text)));
}

ULONG CMsgStorage::ReadBytes(IStream* stream, void* buffer, ULONG length) {
    if (!stream) {
        m_hrLast = E_POINTER;
        return 0;
    }
    ULONG read = 0;
    m_hrLast = stream->Read(buffer, length, &read);
    return SUCCEEDED(m_hrLast) && read == length ? length : 0;
}

ULONG CMsgStorage::ReadDword(IStream* stream, DWORD* value) {
    return ReadBytes(stream, value, sizeof(DWORD));
}
