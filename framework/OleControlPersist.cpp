// Base of an ActiveX control: the persistence interfaces over the property table.
#include "framework/OleControl.h"

#include "framework/ErrorMacros.h"
#include "framework/ExceptionBoundary.h"

namespace fw {
namespace {

// IPersistStorage keeps the properties in one stream of this name.
const wchar_t kContentsStream[] = L"Contents";

HRESULT ReadLong(IPropertyBag* bag, const wchar_t* name, IErrorLog* log, LONG* value) {
    Variant v;
    V_VT(&v) = VT_I4;
    if (FAILED(bag->Read(name, &v, log)) || FAILED(VariantChangeType(&v, &v, 0, VT_I4))) return E_FAIL;
    *value = V_I4(&v);
    return S_OK;
}

HRESULT WriteLong(IPropertyBag* bag, const wchar_t* name, LONG value) {
    Variant v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return bag->Write(name, &v);
}

}  // namespace

void COleControl::ResetProperties() {
    m_exchange.Reset(TableObject());
    m_bModified = false;
    OnPropertiesLoaded();
}

STDMETHODIMP COleControl::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = *m_desc.clsid;
    return S_OK;
}

STDMETHODIMP COleControl::InitNew() {
    return CallNoThrow([&] {
        ResetProperties();
        return S_OK;
    });
}

STDMETHODIMP COleControl::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    RETURN_IF_FAILED(CallNoThrow([this] { return CheckCaller(); }));
    return CallNoThrow([&] {
        // The extent and the stock-property mask come first, as the PARAM tags that
        // control containers write carry them.
        LONG cx = 0, cy = 0;
        if (SUCCEEDED(ReadLong(bag, L"_ExtentX", log, &cx)) && SUCCEEDED(ReadLong(bag, L"_ExtentY", log, &cy)) &&
            cx > 0 && cy > 0) {
            m_extent.cx = cx;
            m_extent.cy = cy;
        }
        RETURN_IF_FAILED(m_exchange.Load(TableObject(), bag, log, nullptr));
        m_bModified = false;
        OnPropertiesLoaded();
        return S_OK;
    });
}

STDMETHODIMP COleControl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
    if (!bag) return E_POINTER;
    return CallNoThrow([&] {
        RETURN_IF_FAILED(WriteLong(bag, L"_ExtentX", m_extent.cx));
        RETURN_IF_FAILED(WriteLong(bag, L"_ExtentY", m_extent.cy));
        RETURN_IF_FAILED(WriteLong(bag, L"_StockProps", 0));  // no stock properties are used
        RETURN_IF_FAILED(m_exchange.Save(TableObject(), bag));
        if (clearDirty) m_bModified = false;
        return S_OK;
    });
}

STDMETHODIMP COleControl::IsDirty() { return m_bModified ? S_OK : S_FALSE; }

STDMETHODIMP COleControl::Load(IStream* stream) {
    if (!stream) return E_POINTER;
    RETURN_IF_FAILED(CallNoThrow([this] { return CheckCaller(); }));
    return CallNoThrow([&] {
        RETURN_IF_FAILED(m_exchange.Read(TableObject(), stream));
        m_bModified = false;
        OnPropertiesLoaded();
        return S_OK;
    });
}

STDMETHODIMP COleControl::Save(IStream* stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    return CallNoThrow([&] {
        RETURN_IF_FAILED(m_exchange.Write(TableObject(), stream));
        if (clearDirty) m_bModified = false;
        return S_OK;
    });
}

STDMETHODIMP COleControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    return CallNoThrow([&] {
        size->QuadPart = m_exchange.MaxStreamSize(TableObject());
        return S_OK;
    });
}

STDMETHODIMP COleControl::InitNew(IStorage* storage) {
    if (!storage) return E_POINTER;
    return InitNew();
}

STDMETHODIMP COleControl::Load(IStorage* storage) {
    if (!storage) return E_POINTER;
    ComPtr<IStream> stream;
    RETURN_IF_FAILED(storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                         stream.put()));
    return Load(stream.get());
}

STDMETHODIMP COleControl::Save(IStorage* storage, BOOL) {
    if (!storage) return E_POINTER;
    ComPtr<IStream> stream;
    RETURN_IF_FAILED(storage->CreateStream(kContentsStream,
                                           STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                           stream.put()));
    return Save(stream.get(), TRUE);
}

STDMETHODIMP COleControl::SaveCompleted(IStorage*) { return S_OK; }
STDMETHODIMP COleControl::HandsOffStorage() { return S_OK; }

}  // namespace fw
