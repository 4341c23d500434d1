// CFileListCtrl: the two-column report of local files shown in file-list mode.
#include "attach/FileListCtrl.h"

#include <shellapi.h>

#include "attach/RowText.h"
#include "attach/SizeText.h"
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
    std::optional<ListRowText> row = MakeFileRow(text);
    if (!row) return 0;
    SHFILEINFOA info = {};
    bool serverRow = !row->iconPath.empty() && row->iconPath[0] == ' ';
    UINT flags = serverRow ? SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_LINKOVERLAY | SHGFI_USEFILEATTRIBUTES
                           : SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    SHGetFileInfoA(row->iconPath.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags);

    auto* item = new AttachItem;  // owned by the row from here on
    item->name = row->name;
    item->size = size;
    item->isLocal = isLocal;
    int index = InsertItem(0, row->label, info.iIcon, reinterpret_cast<LPARAM>(item));
    if (index < 0) {
        delete item;
        return 0;
    }
    std::optional<std::int64_t> bytes;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(row->name.c_str(), GetFileExInfoStandard, &data))
        bytes = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    SetItemText(index, 1, FormatFileSize(bytes));
    return 1;
}
