// The container side of one embedded control.
#include "tools/pagehost/HostSite.h"

#include <olectl.h>
#include <shlguid.h>

const fw::InterfaceEntry CHostSite::kInterfaces[] = {
    FW_INTERFACE_ENTRY(CHostSite, IOleClientSite),
    FW_INTERFACE_ENTRY_IID(CHostSite, IID_IOleWindow, IOleInPlaceSite),
    FW_INTERFACE_ENTRY(CHostSite, IOleInPlaceSite),
    FW_INTERFACE_ENTRY_IID(CHostSite, IID_IOleInPlaceUIWindow, IOleInPlaceFrame),
    FW_INTERFACE_ENTRY(CHostSite, IOleInPlaceFrame),
    FW_INTERFACE_ENTRY(CHostSite, IOleControlSite),
    FW_INTERFACE_ENTRY(CHostSite, IDispatch),
    FW_INTERFACE_ENTRY(CHostSite, IServiceProvider),
    FW_INTERFACE_TABLE_END,
};

STDMETHODIMP CHostSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CHostSite::GetContainer(IOleContainer** container) {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CHostSite::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = m_frame;
    return S_OK;
}

STDMETHODIMP CHostSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                         LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *doc = nullptr;
    *pos = m_rect;
    *clip = m_rect;
    info->fMDIApp = FALSE;
    info->hwndFrame = m_frame;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP CHostSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    m_activeObject.reset(object);
    if (object) object->AddRef();
    return S_OK;
}

STDMETHODIMP CHostSite::GetExtendedControl(IDispatch** disp) {
    if (disp) *disp = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CHostSite::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CHostSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CHostSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP CHostSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                               EXCEPINFO*, UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = VARIANT_TRUE;  // the page runs, it is not being designed
        return S_OK;
    case DISPID_AMBIENT_LOCALEID:
        V_VT(result) = VT_I4;
        V_I4(result) = static_cast<LONG>(GetUserDefaultLCID());
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

STDMETHODIMP CHostSite::QueryService(REFGUID service, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!m_browser || !IsEqualGUID(service, SID_SWebBrowserApp)) return E_NOINTERFACE;  // SVC_E_UNKNOWNSERVICE is not in these headers
    return m_browser->QueryInterface(riid, ppv);
}
