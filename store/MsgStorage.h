// The message file on disk: one compound file whose root storage holds the record
// streams. Every writer and reader of message files goes through it.
#pragma once

#include "framework/ComPtr.h"

#include <objbase.h>

#include <string>

class CMsgStorage {
public:
    // m_hrLast when a name does not convert to UTF-16, and when a stream operation finds
    // no open file.
    static constexpr HRESULT kNameNotConverted = 1;
    static constexpr HRESULT kNoOpenFile = 2;

    CMsgStorage() = default;
    CMsgStorage(const CMsgStorage&) = delete;
    CMsgStorage& operator=(const CMsgStorage&) = delete;
    ~CMsgStorage();

    // Create replaces an existing file (exclusive, read/write, direct); Open reads one
    // (read only, deny write). Both close a file held before; status in m_hrLast.
    BOOL Create(const char* path);
    BOOL Open(const char* path);
    // Returns the remaining use count; the file is released when it was 1.
    int Close();

    // The caller owns the stream and releases it when done. Null on failure.
    fw::ComPtr<IStream> CreateStream(const char* name);
    fw::ComPtr<IStream> OpenStream(const char* name);

    // A transfer succeeds only when it moved exactly the requested bytes.
    BOOL WriteDword(IStream* stream, const DWORD* value);
    BOOL WriteText(IStream* stream, const char* text);
    BOOL WriteBytes(IStream* stream, const void* buffer, ULONG length);
    ULONG ReadDword(IStream* stream, DWORD* value);
    ULONG ReadBytes(IStream* stream, void* buffer, ULONG length);

    // The name in the system ANSI code page as UTF-16. Returns its length with the
    // terminator, or 0 with m_hrLast set (kNameNotConverted, or STG_E_INSUFFICIENTMEMORY).
    int ToWide(const char* name, std::wstring& wide);

    fw::ComPtr<IStorage> m_pRoot;
    HRESULT m_hrLast = S_OK;
    LONG m_nUse = 1;
};
