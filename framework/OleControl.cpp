// Base of an ActiveX control: embedding, in-place activation and automation.
#include "framework/OleControl.h"

#include <olectl.h>

#include <iterator>
#include <vector>

#include "framework/EnumConnectionPoints.h"
#include "framework/ErrorMacros.h"
#include "framework/ExceptionBoundary.h"
#include "framework/Registration.h"

namespace fw {

const InterfaceEntry COleControl::kInterfaces[] = {
    FW_INTERFACE_ENTRY(COleControl, IDispatch),
    FW_INTERFACE_ENTRY(COleControl, IOleObject),
    FW_INTERFACE_ENTRY_IID(COleControl, IID_IOleWindow, IOleInPlaceObject),
    FW_INTERFACE_ENTRY(COleControl, IOleInPlaceObject),
    FW_INTERFACE_ENTRY(COleControl, IOleInPlaceActiveObject),
    FW_INTERFACE_ENTRY(COleControl, IOleControl),
    FW_INTERFACE_ENTRY_IID(COleControl, IID_IViewObject, IViewObject2),
    FW_INTERFACE_ENTRY(COleControl, IViewObject2),
    FW_INTERFACE_ENTRY_IID(COleControl, IID_IPersist, IPersistStreamInit),
    FW_INTERFACE_ENTRY(COleControl, IPersistPropertyBag),
    FW_INTERFACE_ENTRY(COleControl, IPersistStreamInit),
    FW_INTERFACE_ENTRY_IID(COleControl, IID_IPersistStream, IPersistStreamInit),
    FW_INTERFACE_ENTRY(COleControl, IPersistStorage),
    FW_INTERFACE_ENTRY_IID(COleControl, IID_IProvideClassInfo, IProvideClassInfo2),
    FW_INTERFACE_ENTRY(COleControl, IProvideClassInfo2),
    FW_INTERFACE_ENTRY(COleControl, IConnectionPointContainer),
    FW_INTERFACE_ENTRY_IID(COleControl, IID_IObjectSafety, IObjectSafety),
    FW_INTERFACE_ENTRY(COleControl, ISpecifyPropertyPages),
    FW_INTERFACE_TABLE_END,
};

COleControl::COleControl(const ControlDescription& description)
    : m_desc(description),
      m_exchange(description.persist, description.version),
      m_events(this, *description.eventsIid, CConnectionPoint::kDispatchSinks),
      m_propertyNotify(this, IID_IPropertyNotifySink, CConnectionPoint::kInterfaceSinks) {
    // 120 x 30 pixels at 96 dpi, in HIMETRIC; containers set their own extent.
    m_extent.cx = 3175;
    m_extent.cy = 794;
}

COleControl::~COleControl() = default;

STDMETHODIMP COleControl::QueryInterface(REFIID riid, void** ppv) {
    if (ppv && IsEqualIID(riid, *m_desc.dispatchIid)) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    return QueryInterfaceFromTable(this, kInterfaces, riid, ppv);
}

STDMETHODIMP_(ULONG) COleControl::Release() {
    ULONG n = m_refs.Decrement();
    if (n == 0) {
        // The window procedure calls into the derived control: the window has to go
        // while the whole object still exists.
        m_refs.Increment();
        if (m_hWnd) DestroyWindow(m_hWnd);
        m_events.UnadviseAll();
        m_propertyNotify.UnadviseAll();
        m_clientSite.reset();
        m_inPlaceSite.reset();
        m_frame.reset();
        m_uiWindow.reset();
        delete this;
    }
    return n;
}

// IDispatch

STDMETHODIMP COleControl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP COleControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return GetModuleTypeInfo(*m_desc.dispatchIid, info);
}

STDMETHODIMP COleControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return DispGetIDsOfNames(m_desc.dispatch, names, count, ids);
}

STDMETHODIMP COleControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    // The stock ready state is read by browsers without being part of the interface.
    if (id == DISPID_READYSTATE && (flags & DISPATCH_PROPERTYGET)) {
        if (!result) return S_OK;
        VariantInit(result);
        V_VT(result) = VT_I4;
        V_I4(result) = m_readyState;
        return S_OK;
    }
    // A page the container may not trust gets nothing but the ready state.
    HRESULT refused = CallNoThrow([this] { return CheckCaller(); });
    if (FAILED(refused)) return DispRaise(refused, result, excepInfo);
    return DispInvoke(TableObject(), m_desc.dispatch, id, flags, params, result, excepInfo, argErr);
}

// Events

void COleControl::FireEvent(DISPID id, std::initializer_list<VARIANTARG> args) {
    if (m_freezeEvents > 0) return;
    // Keep the control alive while script handlers run: a handler may release it.
    AddRef();
    // An event that cannot be raised is lost; the operation that raised it goes on.
    (void)CallNoThrow([&] {
        std::vector<VARIANTARG> list(args);
        m_events.FireDispatch(id, list.data(), static_cast<UINT>(list.size()));
        return S_OK;
    });
    Release();
}

void COleControl::SetReadyState(long state) {
    m_readyState = state;
    VARIANTARG arg;
    V_VT(&arg) = VT_I4;
    V_I4(&arg) = state;
    FireEvent(DISPID_READYSTATECHANGE, {arg});
    (void)CallNoThrow([&] {
        m_propertyNotify.ForEachSink([](IUnknown* sink) {
            static_cast<IPropertyNotifySink*>(sink)->OnChanged(DISPID_READYSTATE);
        });
        return S_OK;
    });
}

// IOleObject

STDMETHODIMP COleControl::SetClientSite(IOleClientSite* site) {
    if (!site && m_hWnd) InPlaceDeactivate();
    m_clientSite.reset(site);
    if (site) site->AddRef();
    return S_OK;
}

STDMETHODIMP COleControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    return m_clientSite.CopyTo(site);
}

STDMETHODIMP COleControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP COleControl::Close(DWORD saveOption) {
    // A control has nothing to prompt with: asked to prompt, it saves what changed.
    bool save = saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE;
    if (save && m_bModified && m_clientSite) {
        // A save that failed leaves the control open: the container decides what next.
        RETURN_IF_FAILED(m_clientSite->SaveObject());
        if (m_oleAdvise) m_oleAdvise->SendOnSave();
    }
    if (m_inPlaceActive || m_hWnd) InPlaceDeactivate();
    if (m_oleAdvise) m_oleAdvise->SendOnClose();
    return S_OK;
}

STDMETHODIMP COleControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP COleControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP COleControl::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT) {
    if (site && !m_clientSite) SetClientSite(site);
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
        return InPlaceActivate();
    case OLEIVERB_UIACTIVATE:
        return UIActivate();
    case OLEIVERB_HIDE:
        if (m_hWnd) ShowWindow(m_hWnd, SW_HIDE);
        return S_OK;
    case OLEIVERB_PROPERTIES:
        return ShowPropertyPages(parent);
    default:
        return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
    }
}

STDMETHODIMP COleControl::EnumVerbs(IEnumOLEVERB** verbs) {
    return OleRegEnumVerbs(*m_desc.clsid, verbs);
}

STDMETHODIMP COleControl::Update() { return S_OK; }
STDMETHODIMP COleControl::IsUpToDate() { return S_OK; }

STDMETHODIMP COleControl::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = *m_desc.clsid;
    return S_OK;
}

STDMETHODIMP COleControl::GetUserType(DWORD form, LPOLESTR* type) {
    return OleRegGetUserType(*m_desc.clsid, form, type);
}

STDMETHODIMP COleControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    m_extent = *size;
    return S_OK;
}

STDMETHODIMP COleControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = m_extent;
    return S_OK;
}

STDMETHODIMP COleControl::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!m_oleAdvise) RETURN_IF_FAILED(CreateOleAdviseHolder(m_oleAdvise.put()));
    return m_oleAdvise->Advise(sink, connection);
}

STDMETHODIMP COleControl::Unadvise(DWORD connection) {
    return m_oleAdvise ? m_oleAdvise->Unadvise(connection) : OLE_E_NOCONNECTION;
}

STDMETHODIMP COleControl::EnumAdvise(IEnumSTATDATA** advise) {
    if (!advise) return E_POINTER;
    *advise = nullptr;
    return m_oleAdvise ? m_oleAdvise->EnumAdvise(advise) : E_FAIL;
}

STDMETHODIMP COleControl::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = m_desc.miscStatus;
    return S_OK;
}

STDMETHODIMP COleControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// In-place activation

HRESULT COleControl::InPlaceActivate() {
    if (!m_clientSite) return E_UNEXPECTED;
    if (!m_inPlaceActive) {
        ComPtr<IOleInPlaceSite> site;
        RETURN_IF_FAILED(m_clientSite.As(&site));
        RETURN_HR_IF(E_FAIL, site->CanInPlaceActivate() != S_OK);
        RETURN_IF_FAILED(site->OnInPlaceActivate());
        m_inPlaceSite = std::move(site);
        m_inPlaceActive = true;

        HWND parent = nullptr;
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> doc;
        RECT pos = {}, clip = {};
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof(frameInfo);
        HRESULT hr = m_inPlaceSite->GetWindow(&parent);
        if (SUCCEEDED(hr)) hr = m_inPlaceSite->GetWindowContext(frame.put(), doc.put(), &pos, &clip, &frameInfo);
        m_frame = std::move(frame);
        m_uiWindow = std::move(doc);
        if (SUCCEEDED(hr) && !m_hWnd) {
            // WM_CREATE runs the derived control's creation; -1 from it fails here.
            if (!Create(m_desc.windowClass, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                        0, pos, parent, 0))
                hr = E_FAIL;
        }
        if (FAILED(hr)) {
            m_inPlaceActive = false;
            m_inPlaceSite->OnInPlaceDeactivate();
            m_inPlaceSite.reset();
            m_frame.reset();
            m_uiWindow.reset();
            return hr;
        }
    }
    if (m_hWnd) ShowWindow(m_hWnd, SW_SHOW);
    return S_OK;
}

HRESULT COleControl::UIActivate() {
    if (m_uiActive) return S_OK;
    RETURN_IF_FAILED(InPlaceActivate());
    // Set first: the focus taken below comes back here as WM_SETFOCUS.
    m_uiActive = true;
    m_inPlaceSite->OnUIActivate();
    if (m_frame) m_frame->SetActiveObject(this, nullptr);
    if (m_uiWindow) m_uiWindow->SetActiveObject(this, nullptr);
    HWND focus = GetFocus();
    if (m_hWnd && focus != m_hWnd && !IsChild(m_hWnd, focus)) SetFocus(m_hWnd);
    return S_OK;
}

HRESULT COleControl::ShowPropertyPages(HWND parent) {
    if (!m_desc.propertyPage) return E_NOTIMPL;
    IUnknown* objects[] = {static_cast<IDispatch*>(this)};
    CLSID pages[] = {*m_desc.propertyPage};
    return OleCreatePropertyFrame(parent, 0, 0, L"", 1, objects, 1, pages, LOCALE_USER_DEFAULT, 0, nullptr);
}

STDMETHODIMP COleControl::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = m_hWnd;
    return m_hWnd ? S_OK : E_FAIL;
}

STDMETHODIMP COleControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP COleControl::InPlaceDeactivate() {
    UIDeactivate();
    if (m_hWnd) DestroyWindow(m_hWnd);
    if (m_inPlaceActive) {
        m_inPlaceActive = false;
        if (m_inPlaceSite) m_inPlaceSite->OnInPlaceDeactivate();
        m_inPlaceSite.reset();
        m_frame.reset();
        m_uiWindow.reset();
    }
    return S_OK;
}

STDMETHODIMP COleControl::UIDeactivate() {
    if (!m_uiActive) return S_OK;
    m_uiActive = false;
    if (m_uiWindow) m_uiWindow->SetActiveObject(nullptr, nullptr);
    if (m_frame) m_frame->SetActiveObject(nullptr, nullptr);
    if (m_inPlaceSite) m_inPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP COleControl::SetObjectRects(LPCRECT posRect, LPCRECT) {
    if (!posRect) return E_POINTER;
    if (m_hWnd)
        SetWindowPos(m_hWnd, nullptr, posRect->left, posRect->top, posRect->right - posRect->left,
                     posRect->bottom - posRect->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

STDMETHODIMP COleControl::ReactivateAndUndo() { return E_NOTIMPL; }

STDMETHODIMP COleControl::TranslateAccelerator(LPMSG msg) {
    if (!msg) return E_POINTER;
    return PreTranslateMessage(msg) ? S_OK : S_FALSE;
}

STDMETHODIMP COleControl::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP COleControl::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP COleControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
STDMETHODIMP COleControl::EnableModeless(BOOL) { return S_OK; }

// IOleControl

STDMETHODIMP COleControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP COleControl::OnMnemonic(MSG*) { return E_NOTIMPL; }
STDMETHODIMP COleControl::OnAmbientPropertyChange(DISPID) { return S_OK; }

STDMETHODIMP COleControl::FreezeEvents(BOOL freeze) {
    if (freeze) ++m_freezeEvents;
    else if (m_freezeEvents > 0) --m_freezeEvents;
    return S_OK;
}

// IViewObject2

STDMETHODIMP COleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC hdc, LPCRECTL bounds,
                               LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!hdc || !bounds) return E_INVALIDARG;
    RECT rect = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    OnDraw(hdc, rect);
    return S_OK;
}

STDMETHODIMP COleControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
    if (colors) *colors = nullptr;
    return S_FALSE;
}

STDMETHODIMP COleControl::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
STDMETHODIMP COleControl::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP COleControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    m_viewAdvise.reset(sink);
    if (sink) sink->AddRef();
    m_viewAdviseAspects = aspects;
    m_viewAdviseFlags = flags;
    return S_OK;
}

STDMETHODIMP COleControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = m_viewAdviseAspects;
    if (flags) *flags = m_viewAdviseFlags;
    if (sink) m_viewAdvise.CopyTo(sink);
    return S_OK;
}

STDMETHODIMP COleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

// IProvideClassInfo2

STDMETHODIMP COleControl::GetClassInfo(ITypeInfo** info) {
    return GetModuleTypeInfo(*m_desc.clsid, info);
}

STDMETHODIMP COleControl::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = *m_desc.eventsIid;
    return S_OK;
}

// IConnectionPointContainer

STDMETHODIMP COleControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (!points) return E_POINTER;
    *points = nullptr;
    IConnectionPoint* all[] = {&m_events, &m_propertyNotify};
    return CallNoThrow([&] { return CEnumConnectionPoints::Create(all, std::size(all), 0, points); });
}

STDMETHODIMP COleControl::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (IsEqualIID(riid, m_events.iid())) *point = &m_events;
    else if (IsEqualIID(riid, m_propertyNotify.iid())) *point = &m_propertyNotify;
    else return CONNECT_E_NOCONNECTION;
    (*point)->AddRef();
    return S_OK;
}

// ISpecifyPropertyPages

STDMETHODIMP COleControl::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = nullptr;
    if (!m_desc.propertyPage) return S_OK;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) return E_OUTOFMEMORY;
    pages->pElems[0] = *m_desc.propertyPage;
    pages->cElems = 1;
    return S_OK;
}

// The control's window

LRESULT COleControl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(m_hWnd, &ps);
        RECT client;
        GetClientRect(m_hWnd, &client);
        OnDraw(hdc, client);
        EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;  // OnDraw paints every pixel
    case WM_MOUSEACTIVATE:
        // A click on the control or on one of its children.
        UIActivate();
        return DefaultProc(msg, wParam, lParam);
    case WM_SETFOCUS:
        UIActivate();
        return 0;
    default:
        return DefaultProc(msg, wParam, lParam);
    }
}

}  // namespace fw
