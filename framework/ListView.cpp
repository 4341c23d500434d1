// A common-controls list view owned by a C++ object, subclassed so the object sees
// the messages of its own window.
#include "framework/ListView.h"

#include <vector>

namespace fw {

CListView::~CListView() {
    if (IsWindow()) DestroyWindow(m_hWnd);
}

bool CListView::CreateListView(HWND parent, UINT id, DWORD style) {
    HWND hwnd = CreateWindowExA(0, WC_LISTVIEWA, "", style, 0, 0, 0, 0, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                                nullptr);
    if (!hwnd) return false;
    m_hWnd = hwnd;
    // The list view class is a Unicode class, so its procedure is taken and called as one.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_listViewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CListView::SubclassProc)));
    return true;
}

int CListView::InsertItem(int index, const std::string& label, int image, LPARAM data) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = index;
    item.pszText = const_cast<char*>(label.c_str());
    item.iImage = image;
    item.lParam = data;
    return static_cast<int>(SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

LPARAM CListView::GetItemData(int index) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return item.lParam;
}

bool CListView::SetItemText(int index, int subItem, const std::string& text) {
    LVITEMA item = {};
    item.iSubItem = subItem;
    item.pszText = const_cast<char*>(text.c_str());
    return SendMessageA(m_hWnd, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item)) != 0;
}

std::string CListView::GetItemText(int index, int subItem) const {
    std::vector<char> buffer(1024);
    for (;;) {
        LVITEMA item = {};
        item.iSubItem = subItem;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        LRESULT n = SendMessageA(m_hWnd, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
        if (n < static_cast<LRESULT>(buffer.size()) - 1) return std::string(buffer.data(), static_cast<size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

bool CListView::GetItemRect(int index, RECT* rect, int code) const {
    return ListView_GetItemRect(m_hWnd, index, rect, code) != FALSE;
}

int CListView::InsertColumn(int index, const std::string& text, int width, int format) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(text.c_str());
    column.iSubItem = index;
    return static_cast<int>(SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)));
}

LRESULT CListView::ListProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(msg, wParam, lParam);
}

LRESULT CListView::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(m_listViewProc, m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK CListView::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CListView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    try {
        result = self->ListProc(msg, wParam, lParam);
    } catch (...) {
        // No exception goes back into the system's frames; the message reads as done.
    }
    if (msg == WM_NCDESTROY) {
        // The window is gone; its procedure stays the list view's for any last call.
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_listViewProc));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
    }
    return result;
}

}  // namespace fw
