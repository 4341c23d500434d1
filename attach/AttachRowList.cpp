// A list view whose every row owns an AttachItem record.
#include "attach/AttachRowList.h"

#include <shellapi.h>

AttachItem* CAttachRowList::GetAttachItem(int index) const {
    return reinterpret_cast<AttachItem*>(GetItemData(index));
}

std::vector<std::string> CAttachRowList::RowNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < GetItemCount(); ++i) {
        if (const AttachItem* item = GetAttachItem(i)) names.push_back(item->name);
    }
    return names;
}

bool CAttachRowList::RemoveRow(int index) {
    AttachItem* item = GetAttachItem(index);
    if (!DeleteItem(index)) return false;
    delete item;
    return true;
}

void CAttachRowList::RemoveAll() {
    FreeRecords();
    DeleteAllItems();
}

int CAttachRowList::InsertRow(const ListRowText& row, UINT shellFlags, int size, int isLocal) {
    // A server row names no file on this computer: its icon comes from the name alone,
    // with the shortcut overlay.
    bool serverRow = !row.iconPath.empty() && row.iconPath[0] == ' ';
    UINT flags = SHGFI_SYSICONINDEX | shellFlags | (serverRow ? SHGFI_LINKOVERLAY | SHGFI_USEFILEATTRIBUTES : 0);
    SHFILEINFOA info = {};  // a failed lookup leaves icon 0
    SHGetFileInfoA(row.iconPath.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags);

    auto* item = new AttachItem;  // owned by the row from here on
    item->name = row.name;
    item->size = size;
    item->isLocal = isLocal;
    int index = InsertItem(0, row.label, info.iIcon, reinterpret_cast<LPARAM>(item));
    if (index < 0) delete item;
    return index;
}

void CAttachRowList::SetUpView(DWORD extendedStyle, bool largeIcons) {
    SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    SetExtendedStyle(extendedStyle, extendedStyle);
    SHFILEINFOA info = {};
    auto images = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(
        "C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | (largeIcons ? SHGFI_LARGEICON : SHGFI_SMALLICON)));
    SetImageList(images, largeIcons ? LVSIL_NORMAL : LVSIL_SMALL);
}

void CAttachRowList::FreeRecords() {
    if (!m_hWnd) return;
    for (int i = GetNextItem(-1, LVNI_ALL); i != -1; i = GetNextItem(i, LVNI_ALL)) {
        delete GetAttachItem(i);
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        SendMessageA(m_hWnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

LRESULT CAttachRowList::ListProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        FreeRecords();
        OnDestroyList();
    }
    return DefaultProc(msg, wParam, lParam);
}
