// CAttachDlg: the server attachments of a message as large icons; a double-click
// downloads one and opens it.
#include "attach/AttachDlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include "attach/Cp949Text.h"
#include "attach/ListProperty.h"
#include "control/NvAttCtrl.h"
#include "download/OpenRules.h"
#include "res/resource.h"

CAttachDlg::CAttachDlg(HWND parent) : fw::ModalDialog(IDD_ATTACH_DLG, parent) {}

BOOL CAttachDlg::OnInitDialog() {
    m_list = GetDlgItem(m_hWnd, IDC_ATTACH_DLG_LIST);
    SHFILEINFOA info = {};
    auto images = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("", 0, &info, sizeof(info), SHGFI_SYSICONINDEX));
    ListView_SetImageList(m_list, images, LVSIL_NORMAL);  // the system's list: never ours to destroy
    for (const DialogRow& row : AttachDialogRows(m_strNames, m_strSizes)) AddItem(row.name, row.sizeText);
    return TRUE;
}

int CAttachDlg::AddItem(const std::string& path, const std::string& sizeText) {
    std::size_t slash = FindLastCp949Char(path, '\\');
    std::string label = (slash == std::string::npos ? path : path.substr(slash + 1)) + " " + sizeText;
    SHFILEINFOA info = {};
    SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.pszText = const_cast<char*>(label.c_str());
    item.iImage = info.iIcon;
    return static_cast<int>(SendMessageA(m_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

INT_PTR CAttachDlg::DialogProc(UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_NOTIFY) return FALSE;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom != IDC_ATTACH_DLG_LIST || header->code != NM_DBLCLK) return FALSE;
    int row = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
    if (row != -1) OpenRow(row);
    SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, 0);
    return TRUE;
}

void CAttachDlg::OpenRow(int row) {
    char text[1024] = "";
    ListView_GetItemText(m_list, row, 0, text, sizeof(text));
    // A row's index picks its record key and size, as the attachment list's rows do.
    CNvAttCtrl::AttachFetch fetch = {std::string(), PrepareServerName(text), std::string()};
    if (!ListElement(m_strRecordKeys, row, &fetch.url)) return;
    ListElement(m_strSizes, row, &fetch.sizeHint);
    std::string refusal;
    if (FAILED(m_pCtrl->CheckTargetUrl(fetch.url, &refusal))) {
        MessageBoxA(m_hWnd, refusal.c_str(), m_pCtrl->caption().c_str(), MB_OK | MB_ICONSTOP);
        return;
    }
    // Web pages get no treatment of their own here.
    std::string file = m_pCtrl->FetchAndOpen(m_hWnd, fetch, OpenRoute::kViewer);
    if (!file.empty()) m_tempFiles.push_back(file);
}
