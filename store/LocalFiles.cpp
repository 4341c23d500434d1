// The files of the local save commands and the body import.
#include "store/LocalFiles.h"

#include "framework/SelectedPaths.h"
#include "framework/UniqueHandle.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace {

constexpr DWORD kPathBuffer = 1024;
constexpr std::size_t kIoChunk = 1 << 20;

// The page's process keeps the folder it had: a later relative path of the host's, or an
// emptying of "the current folder", would otherwise land in the user's chosen one.
class CurrentFolderKeeper {
public:
    CurrentFolderKeeper() {
        DWORD n = GetCurrentDirectoryW(0, nullptr);
        m_folder.resize(n);
        if (n == 0 || GetCurrentDirectoryW(n, &m_folder[0]) + 1 != n) m_folder.clear();
    }
    ~CurrentFolderKeeper() {
        if (!m_folder.empty()) SetCurrentDirectoryW(m_folder.c_str());
    }

private:
    std::wstring m_folder;
};

}  // namespace

bool AskLocalFile(HWND owner, const LocalFileDialog& dialog, bool save, std::string* path) {
    std::string filter = fw::DialogFilter(dialog.filter);
    filter += '\0';
    std::vector<char> buffer(kPathBuffer, '\0');
    dialog.initialName.copy(buffer.data(), kPathBuffer - 1);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = kPathBuffer;
    ofn.lpstrTitle = dialog.title;
    ofn.lpstrInitialDir = dialog.initialFolder.empty() ? nullptr : dialog.initialFolder.c_str();
    ofn.lpstrDefExt = dialog.defaultExt;
    ofn.Flags = dialog.flags;
    CurrentFolderKeeper keep;
    if (!(save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn))) return false;
    *path = buffer.data();
    return true;
}

DWORD WriteWholeFile(const std::string& path, const std::string& bytes) {
    fw::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError();
    for (std::size_t done = 0; done < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - done, kIoChunk));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr)) return GetLastError();
        done += written;
    }
    return ERROR_SUCCESS;
}

DWORD ReadWholeFile(const std::string& path, unsigned long long maxBytes, std::string* bytes) {
    fw::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) return GetLastError();
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) return ERROR_FILE_TOO_LARGE;
    bytes->resize(static_cast<std::size_t>(size.QuadPart));
    for (std::size_t done = 0; done < bytes->size();) {
        const DWORD chunk = static_cast<DWORD>(std::min(bytes->size() - done, kIoChunk));
        DWORD got = 0;
        if (!ReadFile(file.get(), &(*bytes)[done], chunk, &got, nullptr)) return GetLastError();
        if (got == 0) {
            bytes->resize(done);  // it shrank under us: what is there
            break;
        }
        done += got;
    }
    return ERROR_SUCCESS;
}
