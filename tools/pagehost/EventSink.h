// Receives a control's events on its default source interface and hands each one,
// by name, to the page.
#pragma once

#include <ocidl.h>

#include <functional>
#include <string>

#include "framework/ComObject.h"
#include "framework/ComPtr.h"

class CEventSink final : public IDispatch {
public:
    using Handler = std::function<void(const std::wstring& name, DISPPARAMS* params)>;

    // Connects to the control's default source interface; null on failure.
    static CEventSink* Connect(IUnknown* control, Handler handler);
    void Disconnect();

    FW_IMPLEMENT_IUNKNOWN()

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override;

private:
    CEventSink(Handler handler) : m_handler(std::move(handler)) {}

    static const fw::InterfaceEntry kInterfaces[];
    fw::RefCount m_refs;
    Handler m_handler;
    IID m_iid = IID_NULL;
    fw::ComPtr<ITypeInfo> m_events;
    fw::ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};
