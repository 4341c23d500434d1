// Receives a control's events on its default source interface and hands each one,
// by name, to the page.
#include "tools/pagehost/EventSink.h"

#include <ocidl.h>
#include <olectl.h>

const fw::InterfaceEntry CEventSink::kInterfaces[] = {
    FW_INTERFACE_ENTRY(CEventSink, IDispatch),
    FW_INTERFACE_TABLE_END,
};

CEventSink* CEventSink::Connect(IUnknown* control, Handler handler) {
    fw::ComPtr<IProvideClassInfo2> classInfo;
    if (FAILED(control->QueryInterface(IID_IProvideClassInfo2, classInfo.put_void()))) return nullptr;
    fw::ComPtr<CEventSink> sink = fw::ComPtr<CEventSink>::Attach(new CEventSink(std::move(handler)));
    if (FAILED(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &sink->m_iid))) return nullptr;

    // The event names come from the control's own type information.
    fw::ComPtr<ITypeInfo> coclass;
    if (SUCCEEDED(classInfo->GetClassInfo(coclass.put()))) {
        fw::ComPtr<ITypeLib> lib;
        UINT index = 0;
        if (SUCCEEDED(coclass->GetContainingTypeLib(lib.put(), &index)))
            lib->GetTypeInfoOfGuid(sink->m_iid, sink->m_events.put());
    }

    fw::ComPtr<IConnectionPointContainer> container;
    if (FAILED(control->QueryInterface(IID_IConnectionPointContainer, container.put_void()))) return nullptr;
    if (FAILED(container->FindConnectionPoint(sink->m_iid, sink->m_point.put()))) return nullptr;
    if (FAILED(sink->m_point->Advise(static_cast<IDispatch*>(sink.get()), &sink->m_cookie))) return nullptr;
    return sink.detach();
}

void CEventSink::Disconnect() {
    if (m_point && m_cookie) m_point->Unadvise(m_cookie);
    m_point.reset();
    m_cookie = 0;
}

STDMETHODIMP CEventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP CEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO*, UINT*) {
    if (result) VariantInit(result);
    std::wstring name;
    if (id == DISPID_READYSTATECHANGE) {
        name = L"ReadyStateChange";
    } else if (m_events) {
        BSTR names[1] = {};
        UINT count = 0;
        if (SUCCEEDED(m_events->GetNames(id, names, 1, &count)) && count == 1) {
            name = names[0];
            SysFreeString(names[0]);
        }
    }
    if (name.empty()) name = L"Event" + std::to_wstring(id);
    m_handler(name, params);
    return S_OK;
}
