// A progress bar control of a dialog.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace fw {

class CProgressCtrl {
public:
    // Has comctl32 register the progress bar's window class; a dialog that holds one calls
    // this before the dialog is created.
    static void EnsureClass() {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
    }

    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    HWND hwnd() const { return m_hWnd; }
    void SetRange(int lower, int upper) { SendMessageA(m_hWnd, PBM_SETRANGE32, lower, upper); }
    void SetPos(int position) { SendMessageA(m_hWnd, PBM_SETPOS, position, 0); }
    int GetPos() const { return static_cast<int>(SendMessageA(m_hWnd, PBM_GETPOS, 0, 0)); }

private:
    HWND m_hWnd = nullptr;
};

}  // namespace fw
