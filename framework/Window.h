// A window owned by a C++ object: one window procedure per class, a switch on the message.
#pragma once

#include <windows.h>

namespace fw {

class CWindow {
public:
    CWindow() = default;
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;
    virtual ~CWindow();

    HWND hwnd() const { return m_hWnd; }
    // Registers className on first use (module instance, arrow cursor, no background:
    // the owner paints) and creates the window. Null on failure, as CreateWindowEx.
    HWND Create(const char* className, DWORD style, DWORD exStyle, const RECT& rect,
                HWND parent, UINT id, const char* title = "");
    void Destroy();

protected:
    // Unhandled messages go to DefWindowProc.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcA(m_hWnd, msg, wParam, lParam);
    }

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

}  // namespace fw
