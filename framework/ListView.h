// A common-controls list view owned by a C++ object, subclassed so the object sees
// the messages of its own window. The subclass replaces the window procedure and keeps
// the object in GWLP_USERDATA: comctl32's SetWindowSubclass looks its data up in a
// window property on every message, which Wine answers through its server, about a
// hundred times slower than the message itself.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace fw {

class CListView {
public:
    CListView() = default;
    CListView(const CListView&) = delete;
    CListView& operator=(const CListView&) = delete;
    virtual ~CListView();

    HWND hwnd() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

    // A child list view with an empty rectangle; false when the window is not created.
    bool CreateListView(HWND parent, UINT id, DWORD style);

    int GetItemCount() const { return static_cast<int>(ListView_GetItemCount(m_hWnd)); }
    int InsertItem(int index, const std::string& label, int image, LPARAM data);
    bool DeleteItem(int index) { return ListView_DeleteItem(m_hWnd, index) != FALSE; }
    bool DeleteAllItems() { return ListView_DeleteAllItems(m_hWnd) != FALSE; }
    LPARAM GetItemData(int index) const;
    bool SetItemText(int index, int subItem, const std::string& text);
    std::string GetItemText(int index, int subItem) const;
    int GetNextItem(int start, UINT flags) const { return ListView_GetNextItem(m_hWnd, start, flags); }
    UINT GetSelectedCount() const { return ListView_GetSelectedCount(m_hWnd); }
    bool GetItemRect(int index, RECT* rect, int code) const;
    void SetItemState(int index, UINT state, UINT mask) { ListView_SetItemState(m_hWnd, index, state, mask); }
    void SetExtendedStyle(DWORD mask, DWORD style) { ListView_SetExtendedListViewStyleEx(m_hWnd, mask, style); }
    HIMAGELIST SetImageList(HIMAGELIST list, int kind) { return ListView_SetImageList(m_hWnd, list, kind); }
    int InsertColumn(int index, const std::string& text, int width, int format);
    bool DeleteColumn(int index) { return ListView_DeleteColumn(m_hWnd, index) != FALSE; }

protected:
    // Messages of the list's own window; unhandled ones go to the list view.
    virtual LRESULT ListProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    WNDPROC m_listViewProc = nullptr;  // the list view's own procedure
};

}  // namespace fw
