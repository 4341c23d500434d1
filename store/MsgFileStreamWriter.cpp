// Writes one file stream of a message file ("nc_local_inline" or "nc_local_attach"):
// header, one file record per non-empty file on disk, end.
#include "store/MsgFileStreamWriter.h"

#include "framework/ErrorMacros.h"
#include "store/FileByteSource.h"
#include "store/MsgRecordWriter.h"
#include "store/StreamByteSink.h"

#include <limits>
#include <new>

HRESULT CMsgFileStreamWriter::LastWriteStatus(HRESULT fallback) const {
    return FAILED(m_storage.m_hrLast) ? m_storage.m_hrLast : fallback;
}

HRESULT CMsgFileStreamWriter::Begin(const char* streamName, uint32_t tag) {
    m_stream = m_storage.CreateStream(streamName);
    RETURN_HR_IF(LastWriteStatus(E_FAIL), !m_stream);
    m_tag = tag;
    CStreamByteSink sink(m_storage, m_stream.get());
    CMsgRecordWriter writer(sink);
    RETURN_HR_IF(LastWriteStatus(STG_E_WRITEFAULT), !writer.WriteHeader());
    return S_OK;
}

HRESULT CMsgFileStreamWriter::AddFile(const std::string& name, const char* path) {
    RETURN_HR_IF(E_UNEXPECTED, !m_stream);
    RETURN_HR_IF(E_INVALIDARG, name.empty());
    CFileByteSource content;
    RETURN_IF_FAILED(content.Open(path));
    if (content.Size() == 0) return S_FALSE;
    RETURN_HR_IF(HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE), content.Size() > std::numeric_limits<uint32_t>::max());
    return AddContent(name, static_cast<uint32_t>(content.Size()), content);
}

HRESULT CMsgFileStreamWriter::AddContent(const std::string& name, uint32_t length, CMsgByteSource& content) {
    RETURN_HR_IF(E_UNEXPECTED, !m_stream);
    RETURN_HR_IF(E_INVALIDARG, name.empty() || name.size() > std::numeric_limits<uint32_t>::max());
    if (length == 0) return S_FALSE;

    ULARGE_INTEGER start{};
    RETURN_IF_FAILED(m_stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &start));
    // Growing the stream once to the record's full size spares the storage from
    // extending its sector chain on every chunk, and finds a full disk before any of
    // the record is written.
    ULARGE_INTEGER end{};
    end.QuadPart = start.QuadPart + 12 + name.size() + length;
    HRESULT hr = m_stream->SetSize(end);
    if (SUCCEEDED(hr)) {
        CStreamByteSink sink(m_storage, m_stream.get());
        CMsgRecordWriter writer(sink);
        bool written = false;
        try {
            written = writer.WriteFile(m_tag, name, length, content);
        } catch (const std::bad_alloc&) {
        }
        if (written) return S_OK;
        // The content ended early or could not be read, or the storage refused a write.
        hr = LastWriteStatus(HRESULT_FROM_WIN32(ERROR_READ_FAULT));
    }
    LARGE_INTEGER back{};
    back.QuadPart = static_cast<LONGLONG>(start.QuadPart);
    if (FAILED(m_stream->SetSize(start)) || FAILED(m_stream->Seek(back, STREAM_SEEK_SET, nullptr))) {
        // The stream can no longer be trusted to hold whole records.
        m_stream.reset();
    }
    return hr;
}

HRESULT CMsgFileStreamWriter::Finish() {
    RETURN_HR_IF(E_UNEXPECTED, !m_stream);
    CStreamByteSink sink(m_storage, m_stream.get());
    CMsgRecordWriter writer(sink);
    bool written = writer.WriteEnd();
    HRESULT hr = LastWriteStatus(STG_E_WRITEFAULT);
    m_stream.reset();
    RETURN_HR_IF(hr, !written);
    return S_OK;
}
