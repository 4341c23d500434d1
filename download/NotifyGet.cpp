// The control's own request object: hands the whole answer to a window as one
// WM_COPYDATA message tagged with the request code.
#include "download/NotifyGet.h"

void CNotifyGet::OnStopBinding(HRESULT result, const char* errorText) {
    CHttpGet::OnStopBinding(result, errorText);
    COPYDATASTRUCT data = {};
    data.dwData = m_nRequestCode;
    if (SUCCEEDED(result) && GetBody() && GetBodySize() > 0 && IsWindow(m_hNotifyWnd)) {
        data.cbData = GetBodySize();
        data.lpData = const_cast<char*>(GetBody());
    }
    // The receiver runs inside this call and copies what it keeps: the body is freed below.
    SendMessageA(m_hNotifyWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    RemoveAll();
}

void CNotifyGet::RemoveAll() {
    CHttpGet::RemoveAll();
    m_hNotifyWnd = nullptr;
    m_nRequestCode = static_cast<DWORD>(-1);
}
