// One outgoing interface of an object: the sinks that advised it and event firing.
#pragma once

#include <ocidl.h>

#include <vector>

#include "framework/ComPtr.h"

namespace fw {

// Lives inside its container object and shares the container's reference count.
class CConnectionPoint final : public IConnectionPoint {
public:
    // Which sinks Advise takes: those that answer for the point's interface, or, for a
    // dispinterface, also those that answer only IDispatch (as script engines' do).
    enum SinkKind { kInterfaceSinks, kDispatchSinks };

    CConnectionPoint(IConnectionPointContainer* container, const IID& iid, SinkKind accepts)
        : m_container(container), m_iid(iid), m_accepts(accepts) {}
    CConnectionPoint(const CConnectionPoint&) = delete;
    CConnectionPoint& operator=(const CConnectionPoint&) = delete;

    const IID& iid() const { return m_iid; }
    bool HasSinks() const { return !m_sinks.empty(); }
    void UnadviseAll() { m_sinks.clear(); }

    // Invokes `id` on every dispatch sink; args are given left to right.
    void FireDispatch(DISPID id, VARIANTARG* args, UINT count);
    // Calls `fn` with every sink's interface of this point's IID.
    template <class Fn>
    void ForEachSink(Fn fn) {
        // A sink may unadvise while it handles the event: walk a copy.
        std::vector<ComPtr<IUnknown>> sinks;
        for (auto& s : m_sinks) sinks.push_back(s.sink.Copy());
        for (auto& s : sinks) fn(s.get());
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return m_container->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_container->Release(); }

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

private:
    struct Sink {
        DWORD cookie;
        ComPtr<IUnknown> sink;  // the interface of m_iid (or IDispatch), as the sink gave it
    };
    IConnectionPointContainer* m_container;
    IID m_iid;
    SinkKind m_accepts;
    std::vector<Sink> m_sinks;
    DWORD m_nextCookie = 1;
};

}  // namespace fw
