// Writes one file stream of a message file ("nc_local_inline" or "nc_local_attach"):
// header, one file record per non-empty file on disk, end.
#pragma once

#include "store/MsgByteSource.h"
#include "store/MsgStorage.h"

#include <cstdint>
#include <string>

class CMsgFileStreamWriter {
public:
    explicit CMsgFileStreamWriter(CMsgStorage& storage) : m_storage(storage) {}
    CMsgFileStreamWriter(const CMsgFileStreamWriter&) = delete;
    CMsgFileStreamWriter& operator=(const CMsgFileStreamWriter&) = delete;

    // Creates the stream (replacing one of that name) and writes its header. tag is
    // MSGREC_INLINE or MSGREC_ATTACH, the record every file of the stream gets.
    [[nodiscard]] HRESULT Begin(const char* streamName, uint32_t tag);
    // Appends the file at path (ANSI) under name, copied in chunks. S_FALSE, and nothing
    // written, for an empty file. On failure the stream is cut back to where the record
    // began, so it stays readable without that file. An empty name is E_INVALIDARG (the
    // readers would take it as the end of the record); a file of 4 GB or more does not
    // fit the record's length.
    [[nodiscard]] HRESULT AddFile(const std::string& name, const char* path);
    // The same for content from any source that delivers length bytes (a file already
    // open, a download in memory).
    [[nodiscard]] HRESULT AddContent(const std::string& name, uint32_t length, CMsgByteSource& content);
    // Writes the end record and releases the stream.
    [[nodiscard]] HRESULT Finish();

private:
    [[nodiscard]] HRESULT LastWriteStatus(HRESULT fallback) const;

    CMsgStorage& m_storage;
    fw::ComPtr<IStream> m_stream;
    uint32_t m_tag = 0;
};
