// The control's own request object: shows nothing, and hands the whole answer to a
// window as one WM_COPYDATA message tagged with the request code.
#pragma once

#include "transfer/HttpGet.h"

class CNotifyGet final : public CHttpGet {
public:
    CNotifyGet() = default;

    // Calls the base, then sends the body (or, on failure or an empty body, no data) to
    // m_hNotifyWnd and goes idle again.
    void OnStopBinding(HRESULT result, const char* errorText) override;

    // The base's RemoveAll, and idle: no window, code -1.
    void RemoveAll();

    DWORD m_nRequestCode = static_cast<DWORD>(-1);  // dwData of the message; -1 when idle
    HWND m_hNotifyWnd = nullptr;                     // receives the result; 0 when idle
};
