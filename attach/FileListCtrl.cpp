// CFileListCtrl: the two-column report of local files shown in file-list mode.
#include "attach/FileListCtrl.h"

#include <shellapi.h>

#include "control/NvAttCtrl.h"

namespace {
constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                         LVS_SHAREIMAGELISTS;
}

bool CFileListCtrl::Create(HWND parent, UINT id) {
    if (!CreateListView(parent, id, kStyle)) return false;
    SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    SHFILEINFOA info = {};
    m_imageList = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    SetImageList(m_imageList, LVSIL_SMALL);
    if (!DeleteAllItems()) return false;
    while (DeleteColumn(0)) {
    }
    if (InsertColumn(0, "파일명", 220, LVCFMT_LEFT) < 0) return false;
    if (InsertColumn(1, "크기", 125, LVCFMT_LEFT) < 0) return false;
    return true;
}

AttachItem* CFileListCtrl::GetAttachItem(int index) const {
    return reinterpret_cast<AttachItem*>(GetItemData(index));
}

bool CFileListCtrl::RemoveFile(int index) {
    AttachItem* item = GetAttachItem(index);
    if (!DeleteItem(index)) return false;
    delete item;
    return true;
}

void CFileListCtrl::FreeRecords() {
    for (int i = GetNextItem(-1, LVNI_ALL); i != -1; i = GetNextItem(i, LVNI_ALL)) delete GetAttachItem(i);
}

LRESULT CFileListCtrl::OnReflectedNotify(const NMHDR&) { return 0; }

LRESULT CFileListCtrl::ListProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        FreeRecords();
        m_imageList = nullptr;  // the shell owns it
    }
    return DefaultProc(msg, wParam, lParam);
}

int CFileListCtrl::InsertFile(const std::string& text, int size, int isLocal) {
    if (text.size() > 511) return 0;
    std::string work = text;
    size_t paren = work.rfind('(');
    if (paren != std::string::npos) work.resize(paren);
    size_t slash = work.rfind('\\');
    std::string label = slash == std::string::npos ? work : work.substr(slash + 1);
    size_t first = label.find_first_not_of(' ');
    label.erase(0, first == std::string::npos ? label.size() : first);

    SHFILEINFOA info = {};
    UINT flags = !work.empty() && work[0] == ' '
                     ? SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_LINKOVERLAY | SHGFI_USEFILEATTRIBUTES
                     : SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    SHGetFileInfoA(work.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags);

    auto* item = new AttachItem;
    item->name = work;
    item->size = size;
    item->isLocal = isLocal;
    int index = InsertItem(0, label, info.iIcon, reinterpret_cast<LPARAM>(item));
    if (index < 0) {
        delete item;
        return 0;
    }
    return 1;
}
