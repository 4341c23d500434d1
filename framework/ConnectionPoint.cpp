// One outgoing interface of an object: the sinks that advised it and event firing.
#include "framework/ConnectionPoint.h"

#include <olectl.h>

#include <algorithm>

#include "framework/ExceptionBoundary.h"

namespace fw {

STDMETHODIMP CConnectionPoint::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPoint)) {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = m_iid;
    return S_OK;
}

STDMETHODIMP CConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    *container = m_container;
    m_container->AddRef();
    return S_OK;
}

STDMETHODIMP CConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    ComPtr<IUnknown> itf;
    // The point calls its sinks through what they give here: a sink of another kind
    // would be called through the wrong table.
    if (FAILED(sink->QueryInterface(m_iid, itf.put_void())) &&
        (m_accepts != kDispatchSinks || FAILED(sink->QueryInterface(IID_IDispatch, itf.put_void()))))
        return CONNECT_E_CANNOTCONNECT;
    return CallNoThrow([&] {
        m_sinks.push_back({m_nextCookie, std::move(itf)});
        *cookie = m_nextCookie++;
        return S_OK;
    });
}

STDMETHODIMP CConnectionPoint::Unadvise(DWORD cookie) {
    auto it = std::find_if(m_sinks.begin(), m_sinks.end(),
                           [cookie](const Sink& s) { return s.cookie == cookie; });
    if (it == m_sinks.end()) return CONNECT_E_NOCONNECTION;
    m_sinks.erase(it);
    return S_OK;
}

STDMETHODIMP CConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}

void CConnectionPoint::FireDispatch(DISPID id, VARIANTARG* args, UINT count) {
    std::vector<VARIANTARG> reversed(args, args + count);
    std::reverse(reversed.begin(), reversed.end());
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, count, 0};
    ForEachSink([&](IUnknown* sink) {
        auto* disp = static_cast<IDispatch*>(sink);
        disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                     nullptr, nullptr);
    });
}

}  // namespace fw
