// A file on disk as the content of a file record: opened for reading, read in chunks.
#include "store/FileByteSource.h"

#include "framework/ErrorMacros.h"
#include "framework/Text.h"

HRESULT CFileByteSource::Open(const char* path) {
    std::wstring wide = fw::AnsiToWide(path ? path : "");
    m_file.reset(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    RETURN_IF_WIN32_BOOL_FALSE(m_file.valid());
    LARGE_INTEGER size{};
    RETURN_IF_WIN32_BOOL_FALSE(GetFileSizeEx(m_file.get(), &size));
    m_size = static_cast<ULONGLONG>(size.QuadPart);
    return S_OK;
}

bool CFileByteSource::Read(void* buffer, uint32_t length) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (length > 0) {
        DWORD read = 0;
        if (!ReadFile(m_file.get(), bytes, length, &read, nullptr) || read == 0) return false;
        bytes += read;
        length -= read;
    }
    return true;
}
