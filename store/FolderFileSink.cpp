// Extracts the files of a message file into one folder on disk.
#include "store/FolderFileSink.h"

#include <new>

namespace {

bool ToWideStrict(const std::string& text, std::wstring& wide) {
    if (text.empty()) {
        wide.clear();
        return true;
    }
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                nullptr, 0);
    if (n <= 0) return false;
    wide.assign(static_cast<size_t>(n), L'\0');
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                               &wide[0], n) == n;
}

std::wstring FullPath(const std::wstring& path) {
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return {};
    std::wstring full(n, L'\0');
    DWORD got = GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
    if (got == 0 || got >= n) return {};
    full.resize(got);
    return full;
}

// The name was made safe byte by byte; this asks the platform itself where the path
// leads, so a rule of Windows path handling that the byte rules missed still cannot
// put the file anywhere but directly in the folder under exactly that name.
bool LandsInFolder(const std::wstring& folder, const std::wstring& name, const std::wstring& path) {
    for (wchar_t c : name) {
        if (c < 0x20 || c == L'\\' || c == L'/' || c == L':') return false;
    }
    std::wstring fullFolder = FullPath(folder.empty() ? L"\\" : folder);
    std::wstring fullPath = FullPath(path);
    if (fullFolder.empty() || fullPath.empty()) return false;
    while (!fullFolder.empty() && fullFolder.back() == L'\\') fullFolder.pop_back();
    std::wstring expected = fullFolder + L"\\" + name;
    return fullPath.size() == expected.size() &&
           CompareStringOrdinal(fullPath.c_str(), -1, expected.c_str(), -1, TRUE) == CSTR_EQUAL &&
           fullPath.compare(fullFolder.size() + 1, std::wstring::npos, name) == 0;
}

}  // namespace

bool CFolderFileSink::Fail() {
    try {
        m_failed += m_name + '\t';
    } catch (const std::bad_alloc&) {
    }
    return false;
}

bool CFolderFileSink::Create(const std::string& name) {
    Discard();
    std::wstring wideFolder, wideName;
    try {
        m_name = name;
        if (!ToWideStrict(m_folder, wideFolder) || !ToWideStrict(name, wideName)) return Fail();
        std::wstring path = wideFolder + L"\\" + wideName;
        if (!LandsInFolder(wideFolder, wideName, path)) return Fail();
        m_file.reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
        if (!m_file) return Fail();
        m_path = std::move(path);
    } catch (const std::bad_alloc&) {
        return Fail();
    }
    return true;
}

bool CFolderFileSink::Write(const void* buffer, uint32_t length) {
    auto* bytes = static_cast<const unsigned char*>(buffer);
    while (length > 0) {
        DWORD written = 0;
        if (!WriteFile(m_file.get(), bytes, length, &written, nullptr) || written == 0) return Fail();
        bytes += written;
        length -= written;
    }
    return true;
}

bool CFolderFileSink::Finish() {
    HANDLE file = m_file.release();
    if (CloseHandle(file)) {
        m_path.clear();
        return true;
    }
    DeleteFileW(m_path.c_str());
    m_path.clear();
    return Fail();
}

void CFolderFileSink::Discard() {
    if (!m_file) return;
    m_file.reset();
    DeleteFileW(m_path.c_str());
    m_path.clear();
}
