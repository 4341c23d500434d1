// CNvAttCtrl: what a double-click, the context menus and their view and save commands,
// and the attachment dialog do with the rows of the two lists.
#include "control/NvAttCtrl.h"

#include <commdlg.h>

#include <vector>

#include "attach/AttachDlg.h"
#include "attach/Cp949Text.h"
#include "attach/ListProperty.h"
#include "attach/RowText.h"
#include "download/OpenRules.h"
#include "download/PartFile.h"
#include "framework/Module.h"
#include "framework/TempFolder.h"
#include "res/Texts.h"
#include "res/resource.h"

namespace {

constexpr DWORD kSaveFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
constexpr DWORD kFolderSaveFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;

}  // namespace

bool CNvAttCtrl::ServerRowFetch(int row, bool forView, AttachFetch* fetch) {
    if (!m_attachList.GetAttachItem(row)) return false;
    std::string key;
    // Viewing in compose style counts from the last row: the user's own files sit above
    // the server rows there.
    if (forView) key = RecordKeyForRow(m_attachList.recordKeyList(), row, m_attachList.GetItemCount());
    else ListElement(m_attachList.recordKeyList(), row, &key);
    if (key.empty()) return false;
    fetch->url = forView ? SpaceAfterTildes(key) : key;
    fetch->name = PrepareServerName(m_attachList.GetItemText(row, 0));
    fetch->sizeHint.clear();
    if (!forView) ListElement(m_attachList.sizeList(), row, &fetch->sizeHint);
    std::string refusal;
    if (SUCCEEDED(CheckTargetUrl(fetch->url, &refusal))) return true;
    ShowMessage(refusal, MB_ICONSTOP);  // no script waits for this answer
    return false;
}

void CNvAttCtrl::OnAttachListDoubleClick() {
    int row = m_attachList.GetNextItem(-1, LVNI_SELECTED);
    if (m_bLocalMessage) {
        OpenLocalRow(row);
        return;
    }
    const AttachItem* item = row == -1 ? nullptr : m_attachList.GetAttachItem(row);
    if (!item) return;
    if (m_nViewMode != kComposeMode) OpenServerRow(row, 1);
    else if (item->isLocal == 0) ShowServerRow(row);
    else if (item->isLocal == 1) OpenLocalRow(row);
}

void CNvAttCtrl::OpenServerRow(int row, int mode) {
    AttachFetch fetch;
    if (!ServerRowFetch(row, false, &fetch)) return;
    if (mode == 2) {
        std::string destination;
        if (AskSavePath(SafeLeafName(fetch.name), nullptr, kSaveFlags, std::string(), &destination))
            FetchAndSave(fetch, destination);
        return;
    }
    std::string file = FetchAndOpen(m_hWnd, fetch, OpenRoute::kViewerOrBrowser);
    if (!file.empty()) m_attachList.AddTempFile(file);
}

bool CNvAttCtrl::SaveServerRowTo(int row, const std::string& folder) {
    AttachFetch fetch;
    if (!ServerRowFetch(row, false, &fetch)) return true;
    std::string name = SafeLeafName(fetch.name);
    if (name.empty()) {
        ShowFailure(m_hWnd, texts::kErrorOccurred, std::to_string(ERROR_INVALID_NAME));  // nothing is written
        return true;
    }
    return FetchAndSave(fetch, JoinFolder(folder, name)) != E_ABORT;
}

void CNvAttCtrl::ShowServerRow(int row) {
    AttachFetch fetch;
    if (!ServerRowFetch(row, true, &fetch)) return;
    std::string file = FetchAndOpen(m_hWnd, fetch, OpenRoute::kShell);
    if (!file.empty()) m_attachList.AddTempFile(file);
}

void CNvAttCtrl::OpenLocalRow(int row) {
    const AttachItem* item = row < 0 ? nullptr : m_attachList.GetAttachItem(row);
    if (!item) return;
    // A restored message's files came from its sender: those that run code are asked about.
    OpenFile(LocalPathOfRow(item->name, m_nViewMode), OpenRoute::kViewer, m_bLocalMessage != 0, m_hWnd,
             m_strCaption);
}

void CNvAttCtrl::SaveLocalRow(int row) {
    const AttachItem* item = m_attachList.GetAttachItem(row);
    if (!item) return;
    std::string source = LocalPathOfRow(item->name, m_nViewMode);
    std::string destination;
    if (!AskSavePath(SafeLeafName(RowLabel(source)), nullptr, kSaveFlags, std::string(), &destination)) return;
    CPartFile part;
    DWORD error = part.Create(destination);
    if (error == ERROR_SUCCESS && !CopyFileA(source.c_str(), part.path().c_str(), FALSE)) error = GetLastError();
    if (error == ERROR_SUCCESS) error = part.Commit();
    if (error != ERROR_SUCCESS) ShowFailure(m_hWnd, texts::kErrorOccurred, std::to_string(error));
}

std::string CNvAttCtrl::DownloadRowToTemp(int row) {
    AttachFetch fetch;
    if (!ServerRowFetch(row, false, &fetch)) return std::string();
    fetch.sizeHint.clear();
    std::string name = SafeLeafName(fetch.name);
    std::string written;
    if (name.empty() || RunDownload(m_hWnd, fetch, fw::TempFolder() + name, std::string(), &written) != 0)
        return std::string();
    return written;
}

void CNvAttCtrl::OpenFileRow(int row) {
    const AttachItem* item = row < 0 ? nullptr : m_fileList.GetAttachItem(row);
    if (item) ShellOpenFile(item->name, m_hWnd, m_strCaption);
}

void CNvAttCtrl::OnViewAttachment() {
    int row = m_attachList.GetNextItem(-1, LVNI_SELECTED);
    const AttachItem* item = row == -1 ? nullptr : m_attachList.GetAttachItem(row);
    if (!item) return;
    if (m_nViewMode != kComposeMode) {
        if (m_bLocalMessage) OpenLocalRow(row);
        else OpenServerRow(row, 1);
    } else if (m_strRecordKeyList.empty() || item->isLocal == 1) {
        OpenLocalRow(row);
    } else if (item->isLocal == 0) {
        ShowServerRow(row);
    }
}

void CNvAttCtrl::OnSaveAttachment() {
    std::vector<int> rows;
    for (int row = m_attachList.GetNextItem(-1, LVNI_SELECTED); row != -1;
         row = m_attachList.GetNextItem(row, LVNI_SELECTED))
        rows.push_back(row);
    if (rows.empty()) return;
    std::string folder;
    if (rows.size() > 1 && !m_bLocalMessage) {
        // One question for all: the folder of the path chosen; the name typed is not used.
        std::string chosen;
        if (!AskSavePath(texts::kSaveFolderName, texts::kSaveFolderTitle, kFolderSaveFlags, m_strLocalDefaultDir,
                         &chosen))
            return;
        folder = chosen.substr(0, FindLastCp949Char(chosen, '\\'));
    }
    for (int row : rows) {
        if (!m_attachList.IsWindow()) return;
        if (m_bLocalMessage) SaveLocalRow(row);
        else if (rows.size() == 1) OpenServerRow(row, 2);
        else if (!SaveServerRowTo(row, folder)) return;
    }
}

void CNvAttCtrl::ShowListMenu(bool fileList) {
    UINT id = fileList ? IDR_MENU_FILES
              : m_nViewMode != kComposeMode ? IDR_MENU_READ
              : m_nEncFile ? IDR_MENU_COMPOSE_PASSWORD : IDR_MENU_COMPOSE;
    HMENU menu = LoadMenuA(fw::ModuleInstance(), MAKEINTRESOURCEA(id));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    if (id == IDR_MENU_COMPOSE_PASSWORD) {
        // Only one local file at a time can be marked; the item says which way it goes.
        int row = m_attachList.GetNextItem(-1, LVNI_SELECTED);
        const AttachItem* item = m_attachList.GetSelectedCount() == 1 ? m_attachList.GetAttachItem(row) : nullptr;
        bool local = item && item->isLocal == 1;
        ModifyMenuA(popup, ID_PASSWORD_TOGGLE, MF_BYCOMMAND | MF_STRING | (local ? MF_ENABLED : MF_GRAYED),
                    ID_PASSWORD_TOGGLE, local && item->encrypt ? texts::kPasswordCancel : texts::kPasswordApply);
    }
    POINT at = {};
    GetCursorPos(&at);
    // The chosen command comes back to the control as WM_COMMAND.
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    DestroyMenu(menu);
}

HRESULT CNvAttCtrl::DoShowAttDlg() {
    auto keep = KeepAlive();
    CAttachDlg dialog(m_hWnd);
    dialog.m_pCtrl = this;
    if (!SplitTabList(m_strAttachList).empty()) {
        dialog.m_strNames = m_strAttachList;
        dialog.m_strRecordKeys = m_strRecordKeyList;
        dialog.m_strSizes = m_strAttachSize;
    }
    dialog.DoModal();
    return S_OK;
}
