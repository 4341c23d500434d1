// Base of an ActiveX control: the OLE embedding, in-place activation, persistence and
// automation interfaces a browser uses, delegating to the derived control's tables.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <objsafe.h>

#include <initializer_list>
#include <string>

#include "framework/ComObject.h"
#include "framework/ComPtr.h"
#include "framework/ConnectionPoint.h"
#include "framework/Dispatch.h"
#include "framework/PropertyExchange.h"
#include "framework/Window.h"

namespace fw {

// What a derived control tells the base about itself.
struct ControlDescription {
    const CLSID* clsid;
    const IID* dispatchIid;
    const IID* eventsIid;
    const CLSID* propertyPage;  // shown by the properties verb; may be null
    DWORD miscStatus;
    const char* windowClass;
    const DispMember* dispatch;
    const PersistEntry* persist;
    DWORD version;  // layout version of the persisted properties
};

class COleControl : public IDispatch,
                    public IOleObject,
                    public IOleInPlaceObject,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IViewObject2,
                    public IPersistPropertyBag,
                    public IPersistStreamInit,
                    public IPersistStorage,
                    public IProvideClassInfo2,
                    public IConnectionPointContainer,
                    public IObjectSafety,
                    public ISpecifyPropertyPages,
                    public CWindow {
public:
    explicit COleControl(const ControlDescription& description);
    ~COleControl() override;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return m_refs.Increment(); }
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR obj) override;
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT posRect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
    STDMETHODIMP Unadvise(DWORD connection) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    STDMETHODIMP GetWindow(HWND* hwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT posRect, LPCRECT clipRect) override;
    STDMETHODIMP ReactivateAndUndo() override;
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG* msg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IViewObject, IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                      HDC targetDevice, HDC hdc, LPCRECTL bounds, LPCRECTL wBounds,
                      BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR), ULONG_PTR contArg) override;
    STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                             HDC targetDevice, LOGPALETTE** colors) override;
    STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
    STDMETHODIMP Unfreeze(DWORD freeze) override;
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

    // IPersist and its three kinds used by hosts
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(IStream* stream) override;
    STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew(IStorage* storage) override;
    STDMETHODIMP Load(IStorage* storage) override;
    STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
    STDMETHODIMP SaveCompleted(IStorage* storage) override;
    STDMETHODIMP HandsOffStorage() override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

    // IObjectSafety
    STDMETHODIMP GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) override;
    STDMETHODIMP SetInterfaceSafetyOptions(REFIID riid, DWORD mask, DWORD enabled) override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    long readyState() const { return m_readyState; }
    bool isModified() const { return m_bModified; }

protected:
    // Fires an event of the control's event interface; args from left to right.
    // Events are dropped while the container has them frozen.
    void FireEvent(DISPID id, std::initializer_list<VARIANTARG> args = {});
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }
    // Sets the ready state and tells the container (event and property notification).
    void SetReadyState(long state);

    // The control's window: messages not handled by the derived control end here.
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    virtual void OnDraw(HDC hdc, const RECT& bounds) = 0;
    // Keyboard messages for the control and its children before the container sees them.
    virtual bool PreTranslateMessage(MSG* msg) { (void)msg; return false; }
    // Called with the loaded or reset properties, before any window exists.
    virtual void OnPropertiesLoaded() {}
    // Whether the control's container may script it and hand it data: asked before every
    // script call (the stock ready state aside), every load of persisted properties and
    // every request for safety. A refusal sets error info for script (ReportError).
    virtual HRESULT CheckCaller() { return S_OK; }
    // A container asked for the control to be safe for untrusted callers or data, as a
    // browser does before it scripts or initialises a control of a page.
    bool safetyRequested() const { return m_safetyRequested; }
    // The URL of the page holding the control, as the container knows it: the browser's
    // location through the client site's services, else the container's moniker. Empty
    // when the container names none.
    std::wstring PageUrl() const;
    // Makes the control the container's UI-active object, whose TranslateAccelerator sees
    // the keys first: when the control or one of its children is clicked or takes the focus.
    HRESULT UIActivate();

    IOleClientSite* clientSite() const { return m_clientSite.get(); }
    // The derived object as its tables see it (`return this;` in the derived class).
    virtual void* TableObject() = 0;

private:
    static const InterfaceEntry kInterfaces[];

    HRESULT InPlaceActivate();
    HRESULT ShowPropertyPages(HWND parent);
    void ResetProperties();

    const ControlDescription& m_desc;
    RefCount m_refs;
    PropertyExchange m_exchange;
    CConnectionPoint m_events;
    CConnectionPoint m_propertyNotify;
    ComPtr<IOleClientSite> m_clientSite;
    ComPtr<IOleInPlaceSite> m_inPlaceSite;
    ComPtr<IOleInPlaceFrame> m_frame;          // while in-place active
    ComPtr<IOleInPlaceUIWindow> m_uiWindow;    // the document window, if the container has one
    ComPtr<IOleAdviseHolder> m_oleAdvise;
    ComPtr<IAdviseSink> m_viewAdvise;
    DWORD m_viewAdviseAspects = 0;
    DWORD m_viewAdviseFlags = 0;
    SIZEL m_extent;  // HIMETRIC
    DWORD m_safetyEnabled = 0;  // INTERFACESAFE_FOR_* options a container set
    bool m_safetyRequested = false;
    long m_readyState = READYSTATE_LOADING;
    int m_freezeEvents = 0;
    bool m_bModified = false;
    bool m_inPlaceActive = false;
    bool m_uiActive = false;
};

}  // namespace fw
