// A stand-in for the browser object that a page's client site offers its controls.
#include "tools/pagehost/HostBrowser.h"

const fw::InterfaceEntry CHostBrowser::kInterfaces[] = {
    FW_INTERFACE_ENTRY(CHostBrowser, IWebBrowser2),
    FW_INTERFACE_ENTRY(CHostBrowser, IDispatch),
    FW_INTERFACE_ENTRY(CHostBrowser, IWebBrowser),
    FW_INTERFACE_ENTRY(CHostBrowser, IWebBrowserApp),
    FW_INTERFACE_TABLE_END,
};

STDMETHODIMP CHostBrowser::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CHostBrowser::get_LocationURL(BSTR* url) {
    if (!url) return E_POINTER;
    *url = SysAllocStringLen(m_url.data(), static_cast<UINT>(m_url.size()));
    return *url ? S_OK : E_OUTOFMEMORY;
}
