// Base of an ActiveX control: IObjectSafety, answered by the derived control's verdict
// on its container, and the URL of the page that holds the control.
#include "framework/OleControl.h"

#include <exdisp.h>
#include <shlguid.h>

#include "framework/ErrorMacros.h"
#include "framework/ExceptionBoundary.h"
#include "framework/Text.h"

namespace fw {
namespace {

// What an interface can be made safe for: script calls through the dispatch interface,
// data through the two persistence interfaces that browsers load PARAM tags and data
// streams with. Nothing else is offered to untrusted pages.
DWORD SafetyFor(REFIID riid, const IID& dispatchIid) {
    if (IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, dispatchIid)) return INTERFACESAFE_FOR_UNTRUSTED_CALLER;
    if (IsEqualIID(riid, IID_IPersistPropertyBag) || IsEqualIID(riid, IID_IPersistStreamInit))
        return INTERFACESAFE_FOR_UNTRUSTED_DATA;
    return 0;
}

}  // namespace

STDMETHODIMP COleControl::GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) {
    if (!supported || !enabled) return E_POINTER;
    *supported = *enabled = 0;
    ComPtr<IUnknown> itf;
    RETURN_HR_IF(E_NOINTERFACE, FAILED(QueryInterface(riid, itf.put_void())));
    *supported = SafetyFor(riid, *m_desc.dispatchIid);
    *enabled = *supported & m_safetyEnabled;
    return S_OK;
}

STDMETHODIMP COleControl::SetInterfaceSafetyOptions(REFIID riid, DWORD mask, DWORD enabled) {
    ComPtr<IUnknown> itf;
    RETURN_HR_IF(E_NOINTERFACE, FAILED(QueryInterface(riid, itf.put_void())));
    DWORD wanted = mask & enabled;
    RETURN_HR_IF(E_FAIL, wanted & ~SafetyFor(riid, *m_desc.dispatchIid));
    if (wanted) {
        // Once asked, the control stays in a page's hands: a container that goes on
        // after a refusal is refused again at every call.
        m_safetyRequested = true;
        RETURN_IF_FAILED(CallNoThrow([this] { return CheckCaller(); }));
    }
    m_safetyEnabled = (m_safetyEnabled & ~mask) | wanted;
    return S_OK;
}

std::wstring COleControl::PageUrl() const {
    if (!m_clientSite) return {};
    // The browser's own location: script in the page cannot change it.
    ComPtr<IServiceProvider> services;
    ComPtr<IWebBrowser2> browser;
    if (SUCCEEDED(m_clientSite.As(&services)) &&
        SUCCEEDED(services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, browser.put_void())) && browser) {
        Bstr url;
        if (SUCCEEDED(browser->get_LocationURL(url.put())) && SysStringLen(url.get()) > 0)
            return std::wstring(url.get(), SysStringLen(url.get()));
    }
    ComPtr<IMoniker> moniker;
    ComPtr<IBindCtx> bind;
    LPOLESTR name = nullptr;
    if (SUCCEEDED(m_clientSite->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_CONTAINER, moniker.put())) &&
        moniker && SUCCEEDED(CreateBindCtx(0, bind.put())) &&
        SUCCEEDED(moniker->GetDisplayName(bind.get(), nullptr, &name)) && name) {
        std::wstring url(name);
        CoTaskMemFree(name);
        return url;
    }
    return {};
}

}  // namespace fw
