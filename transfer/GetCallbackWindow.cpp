// The hidden message-only window through which a GET's worker wakes the thread that
// submitted it.
#include "transfer/GetCallbackWindow.h"

#include "framework/ErrorMacros.h"
#include "transfer/HttpGet.h"

HRESULT CGetCallbackWindow::Create() {
    RECT none = {};
    RETURN_HR_IF(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()),
                 !fw::CWindow::Create("NvAttGetCallback", 0, 0, none, HWND_MESSAGE, 0));
    return S_OK;
}

LRESULT CGetCallbackWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case kTransferMessage:
        // The owner may be deleted from inside its callbacks: nothing here touches this
        // object after the call.
        m_owner->OnTransferMessage(wParam);
        return 0;
    case WM_TIMER:
        if (wParam != kLookTimer) break;
        m_owner->OnLookTimer();
        return 0;
    default:
        break;
    }
    return DefaultProc(msg, wParam, lParam);
}
