// A window owned by a C++ object: one window procedure per class, a switch on the message.
#include "framework/Window.h"

#include "framework/ExceptionBoundary.h"
#include "framework/Module.h"

namespace fw {

CWindow::~CWindow() { Destroy(); }

void CWindow::Destroy() {
    if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

HWND CWindow::Create(const char* className, DWORD style, DWORD exStyle, const RECT& rect,
                     HWND parent, UINT id, const char* title) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExA(ModuleInstance(), className, &wc)) {
        wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CWindow::StaticWindowProc;
        wc.hInstance = ModuleInstance();
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = className;
        if (!RegisterClassExA(&wc)) return nullptr;
    }
    HMENU menuOrId = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    return CreateWindowExA(exStyle, className, title, style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent, menuOrId,
                           ModuleInstance(), this);
}

LRESULT CWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(msg, wParam, lParam);
}

LRESULT CALLBACK CWindow::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        self = static_cast<CWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->m_hWnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    LRESULT result;
    try {
        result = self->WindowProc(msg, wParam, lParam);
    } catch (...) {
        // The message was not handled through: a window being made fails, any other
        // message reads as done with nothing.
        result = msg == WM_CREATE ? -1 : 0;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
    }
    return result;
}

}  // namespace fw
