// Mouse clicks on a list view's row as a user's hand gives them.
#include "tools/pagehost/ListMouse.h"

#include <commctrl.h>

bool PostListClick(HWND list, int row, ListClick click) {
    RECT rect = {};
    if (row >= 0) {
        rect.left = LVIR_ICON;
        if (!SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect)))
            return false;
    } else {
        GetClientRect(list, &rect);
        rect.left = rect.right - 4;
        rect.top = rect.bottom - 4;
    }
    POINT at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    LPARAM where = MAKELPARAM(at.x, at.y);
    // A context menu opens where the cursor is.
    POINT screen = at;
    ClientToScreen(list, &screen);
    SetCursorPos(screen.x, screen.y);
    if (click == ListClick::kRight) {
        PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, where);
        PostMessageW(list, WM_RBUTTONUP, 0, where);
        return true;
    }
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(list, WM_LBUTTONUP, 0, where);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    PostMessageW(list, WM_LBUTTONUP, 0, where);
    return true;
}
