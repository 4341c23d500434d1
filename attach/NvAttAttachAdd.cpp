// CNvAttCtrl: adding attachments by file dialog, shell drop and script, with the
// duplicate test and the copy of files that another program keeps open.
#include "control/NvAttCtrl.h"

#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "attach/ListProperty.h"
#include "attach/RowText.h"
#include "framework/SelectedPaths.h"
#include "framework/UniqueHandle.h"
#include "res/Texts.h"

namespace {

// The dialog lists many files in one buffer: the folder and the names, each ended by a
// zero byte.
constexpr DWORD kFileNameBufferSize = 10000;
constexpr DWORD kAttachCommandFlags = OFN_ENABLESIZING | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
constexpr DWORD kFileListFlags = OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;

}  // namespace

void CNvAttCtrl::ShowMessage(const std::string& text, UINT icon) {
    MessageBoxA(m_hWnd, text.c_str(), m_strCaption.c_str(), MB_OK | icon);
}

void CNvAttCtrl::LayOutList(bool fileList) {
    if (fileList) ShowFileList();
    else ShowAttachList();
}

bool CNvAttCtrl::IsAlreadyAttached(bool fileList, const std::string& path) const {
    const CAttachRowList& list = fileList ? static_cast<const CAttachRowList&>(m_fileList) : m_attachList;
    for (const std::string& name : list.RowNames()) {
        if (IsSameFile(name, path)) return true;
    }
    return false;
}

std::string CNvAttCtrl::OpenTestOrCopy(const std::string& path) {
    // Opening for reading without sharing fails while another program has the file open;
    // the row then points at a copy of it, made in the file's own folder.
    fw::UniqueFile probe(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (probe) return path;
    for (int attempt = 1; attempt <= kCopyPathAttempts; ++attempt) {
        std::optional<std::string> copy = CopyPathCandidate(path, attempt);
        if (!copy) break;
        if (CopyFileA(path.c_str(), copy->c_str(), TRUE)) {
            m_tempCopies.push_back(*copy);  // deleted when the window is destroyed
            return *copy;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return path;  // not even a copy could be made: the row keeps the file itself
}

bool CNvAttCtrl::InsertLocalFile(bool fileList, const std::string& path) {
    if (!FitsRowText(path + "()")) {
        ShowMessage(texts::kPathTooLong + path, MB_ICONSTOP);
        return false;
    }
    return fileList ? m_fileList.InsertFile(path + "()", 0, 1) == 1
                    : m_attachList.InsertAttach(path + "()", 0, 1) >= 0;
}

void CNvAttCtrl::AddFilesFromDialog(bool fileList, DWORD flags) {
    const CAttachRowList& list = fileList ? static_cast<const CAttachRowList&>(m_fileList) : m_attachList;
    if (!list.IsWindow()) return;  // this view mode has no such list

    std::vector<char> buffer(kFileNameBufferSize, '\0');
    std::string filter = fw::DialogFilter(texts::kAllDocumentsFilter);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = kFileNameBufferSize;
    ofn.Flags = flags | OFN_EXPLORER;
    if (!GetOpenFileNameA(&ofn)) {
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) ShowMessage(texts::kTooManyFiles, MB_ICONSTOP);
        return;
    }

    for (const std::string& path : fw::SelectedPaths(buffer.data())) {
        if (IsAlreadyAttached(fileList, path)) {
            ShowMessage(texts::kDuplicateAttachment, MB_ICONSTOP);
            LayOutList(fileList);
            return;  // this and the later paths are not added; earlier ones stay
        }
        if (!InsertLocalFile(fileList, OpenTestOrCopy(path))) break;
    }
    LayOutList(fileList);
}

void CNvAttCtrl::OnAttachFileCommand() { AddFilesFromDialog(false, kAttachCommandFlags); }

HRESULT CNvAttCtrl::DoAttachAdd(long* result) {
    OnAttachFileCommand();
    *result = 0;
    return S_OK;
}

HRESULT CNvAttCtrl::DoAttachAddFile(long* result) {
    AddFilesFromDialog(true, kFileListFlags);
    *result = 0;
    return S_OK;
}

HRESULT CNvAttCtrl::DoAttachDirect(const std::string& szPath, long* result) {
    *result = 0;
    WIN32_FIND_DATAA found;
    fw::UniqueFindHandle search(FindFirstFileA(szPath.c_str(), &found));
    // Only a file can be attached: a folder is treated as not found, as a drop would refuse it.
    if (!search || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return S_OK;
    if (!m_attachList.IsWindow()) return S_OK;
    if (IsAlreadyAttached(false, szPath)) {
        ShowMessage(texts::kDuplicateAttachment, MB_ICONSTOP);
        ShowAttachList();
        return S_OK;
    }
    bool inserted = InsertLocalFile(false, szPath);
    ShowAttachList();
    *result = inserted ? 1 : 0;
    return S_OK;
}

void CNvAttCtrl::OnDropFiles(HDROP handle) {
    fw::UniqueHDrop drop(handle);
    bool fileList = m_nViewMode == kFileListMode;
    UINT count = DragQueryFileA(drop.get(), 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT length = DragQueryFileA(drop.get(), i, nullptr, 0);
        std::string path(length + 1, '\0');
        path.resize(DragQueryFileA(drop.get(), i, &path[0], length + 1));
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ShowMessage(texts::kFolderNotAllowed, MB_ICONSTOP);
            return;  // the later files of the drop are not added
        }
        bool inserted = InsertLocalFile(fileList, OpenTestOrCopy(path));
        LayOutList(fileList);
        if (!inserted) return;
    }
}

HRESULT CNvAttCtrl::DoGetAttach(std::string* result) {
    result->clear();
    if (!m_attachList.IsWindow()) return S_OK;
    *result = GetAttachText(m_attachList.RowNames());
    return S_OK;
}

HRESULT CNvAttCtrl::DoGetDeleteAttach(std::string* result) {
    std::vector<std::string> rows;
    if (m_attachList.IsWindow()) rows = m_attachList.RowNames();
    *result = GetDeleteAttachText(m_attachList.appliedAttachList(), rows);
    return S_OK;
}
