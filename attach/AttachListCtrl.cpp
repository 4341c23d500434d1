// CAttachListCtrl: the list view of a message's attachments (server and local rows).
#include "attach/AttachListCtrl.h"

#include <shellapi.h>

#include "attach/RowText.h"
#include "control/NvAttCtrl.h"

namespace {

constexpr DWORD kIconStyle = WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE |
                             LVS_ALIGNLEFT;
constexpr DWORD kSmallIconStyle = WS_CHILD | WS_VISIBLE | LVS_SMALLICON | LVS_SHOWSELALWAYS |
                                  LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE | LVS_NOCOLUMNHEADER;

}  // namespace

CAttachListCtrl::~CAttachListCtrl() {
    for (const std::string& path : m_tempFiles) DeleteFileA(path.c_str());
}

bool CAttachListCtrl::Create(HWND parent, UINT id) {
    bool largeIcons = m_owner->attachMode() == 0;
    if (!CreateListView(parent, id, largeIcons ? kIconStyle : kSmallIconStyle)) return false;
    SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    SetExtendedStyle(LVS_EX_INFOTIP, LVS_EX_INFOTIP);
    SHFILEINFOA info = {};
    auto images = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(
        "C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | (largeIcons ? SHGFI_LARGEICON : SHGFI_SMALLICON)));
    SetImageList(images, largeIcons ? LVSIL_NORMAL : LVSIL_SMALL);
    return true;
}

AttachItem* CAttachListCtrl::GetAttachItem(int index) const {
    return reinterpret_cast<AttachItem*>(GetItemData(index));
}

std::vector<std::string> CAttachListCtrl::RowNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < GetItemCount(); ++i) {
        if (const AttachItem* item = GetAttachItem(i)) names.push_back(item->name);
    }
    return names;
}

bool CAttachListCtrl::RemoveAttach(int index) {
    AttachItem* item = GetAttachItem(index);
    if (!DeleteItem(index)) return false;
    delete item;
    return true;
}

void CAttachListCtrl::RemoveAll() {
    FreeRecords();
    DeleteAllItems();
}

void CAttachListCtrl::FreeRecords() {
    if (!m_hWnd) return;
    for (int i = GetNextItem(-1, LVNI_ALL); i != -1; i = GetNextItem(i, LVNI_ALL)) {
        delete GetAttachItem(i);
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        item.lParam = 0;
        SendMessageA(m_hWnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

LRESULT CAttachListCtrl::OnReflectedNotify(const NMHDR&) { return 0; }

LRESULT CAttachListCtrl::ListProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) FreeRecords();
    return DefaultProc(msg, wParam, lParam);
}

int CAttachListCtrl::InsertAttach(const std::string& text, int size, int isLocal) {
    std::optional<ListRowText> row = MakeAttachRow(text, m_owner->viewMode());
    if (!row) return -1;  // longer than a row text can be: refused, never cut
    SHFILEINFOA info = {};
    bool serverRow = !row->iconPath.empty() && row->iconPath[0] == ' ';
    UINT flags = serverRow ? SHGFI_SYSICONINDEX | SHGFI_LINKOVERLAY | SHGFI_USEFILEATTRIBUTES : SHGFI_SYSICONINDEX;
    if (m_owner->attachMode() != 0) flags |= SHGFI_SMALLICON;
    SHGetFileInfoA(row->iconPath.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags);

    auto* item = new AttachItem;  // owned by the row from here on
    item->name = row->name;
    item->size = size;
    item->isLocal = isLocal;
    int index = InsertItem(0, row->label, info.iIcon, reinterpret_cast<LPARAM>(item));
    if (index < 0) delete item;
    return index;
}
