// Persisted properties from one table: property bags (PARAM tags), streams and defaults.
#include "framework/PropertyExchange.h"

#include <memory>

#include "framework/ComPtr.h"
#include "framework/ErrorMacros.h"

namespace fw {
namespace {

// Longest text a stream entry may claim: far above any URL or list the control keeps,
// small enough that a corrupt count cannot make the control allocate gigabytes.
constexpr ULONG kMaxStreamChars = 8u << 20;

size_t EntryCount(const PersistEntry* table) {
    size_t n = 0;
    while (table[n].name) ++n;
    return n;
}

HRESULT ReadExact(IStream* stream, void* buffer, ULONG size) {
    ULONG read = 0;
    HRESULT hr = stream->Read(buffer, size, &read);
    if (FAILED(hr)) return hr;
    return read == size ? S_OK : STG_E_READFAULT;
}

HRESULT WriteExact(IStream* stream, const void* buffer, ULONG size) {
    ULONG written = 0;
    HRESULT hr = stream->Write(buffer, size, &written);
    if (FAILED(hr)) return hr;
    return written == size ? S_OK : STG_E_WRITEFAULT;
}

}  // namespace

void PropertyExchange::Reset(void* self) const {
    for (const PersistEntry* e = m_table; e->name; ++e) e->load(self, nullptr);
}

HRESULT PropertyExchange::Load(void* self, IPropertyBag* bag, IErrorLog* log,
                               DWORD* loadedVersion) const {
    RETURN_HR_IF(E_POINTER, !bag);
    Variant version;
    V_VT(&version) = VT_I4;
    DWORD loaded = m_version;
    if (SUCCEEDED(bag->Read(L"_Version", &version, log)) &&
        SUCCEEDED(VariantChangeType(&version, &version, 0, VT_I4)))
        loaded = static_cast<DWORD>(V_I4(&version));
    if (loadedVersion) *loadedVersion = loaded;

    // A bag names its values, so a bag of another version still loads what it names.
    // A value missing or not convertible to the entry's type takes the default, as
    // pages with hand-written PARAM tags expect.
    for (const PersistEntry* e = m_table; e->name; ++e) {
        Variant value;
        V_VT(&value) = e->vt;
        bool ok = SUCCEEDED(bag->Read(e->name, &value, log)) &&
                  SUCCEEDED(VariantChangeType(&value, &value, 0, e->vt));
        e->load(self, ok ? &value : nullptr);
    }
    return S_OK;
}

HRESULT PropertyExchange::Save(const void* self, IPropertyBag* bag) const {
    RETURN_HR_IF(E_POINTER, !bag);
    Variant version;
    V_VT(&version) = VT_I4;
    V_I4(&version) = static_cast<LONG>(m_version);
    RETURN_IF_FAILED(bag->Write(L"_Version", &version));
    for (const PersistEntry* e = m_table; e->name; ++e) {
        Variant value;
        e->save(self, &value);
        RETURN_IF_FAILED(bag->Write(e->name, &value));
    }
    return S_OK;
}

HRESULT PropertyExchange::Read(void* self, IStream* stream) const {
    RETURN_HR_IF(E_POINTER, !stream);
    DWORD version = 0;
    RETURN_IF_FAILED(ReadExact(stream, &version, sizeof(version)));
    // Stream entries are positional: a layout of another major version cannot be read.
    RETURN_HR_IF(STG_E_OLDFORMAT, HIWORD(version) != HIWORD(m_version));

    size_t n = EntryCount(m_table);
    std::unique_ptr<Variant[]> values(new (std::nothrow) Variant[n]);
    RETURN_HR_IF(E_OUTOFMEMORY, !values);
    for (size_t i = 0; i < n; ++i) {
        const PersistEntry& e = m_table[i];
        VARIANT* v = &values[i];
        if (e.vt == VT_BSTR) {
            ULONG chars = 0;
            RETURN_IF_FAILED(ReadExact(stream, &chars, sizeof(chars)));
            RETURN_HR_IF(STG_E_DOCFILECORRUPT, chars > kMaxStreamChars);
            BSTR text = SysAllocStringLen(nullptr, chars);
            RETURN_HR_IF(E_OUTOFMEMORY, !text);
            V_VT(v) = VT_BSTR;
            V_BSTR(v) = text;
            RETURN_IF_FAILED(ReadExact(stream, text, chars * sizeof(wchar_t)));
        } else if (e.vt == VT_I4) {
            V_VT(v) = VT_I4;
            RETURN_IF_FAILED(ReadExact(stream, &V_I4(v), sizeof(LONG)));
        } else {
            V_VT(v) = VT_I2;
            RETURN_IF_FAILED(ReadExact(stream, &V_I2(v), sizeof(SHORT)));
        }
    }
    for (size_t i = 0; i < n; ++i) m_table[i].load(self, &values[i]);
    return S_OK;
}

HRESULT PropertyExchange::Write(const void* self, IStream* stream) const {
    RETURN_HR_IF(E_POINTER, !stream);
    RETURN_IF_FAILED(WriteExact(stream, &m_version, sizeof(m_version)));
    for (const PersistEntry* e = m_table; e->name; ++e) {
        Variant value;
        e->save(self, &value);
        if (e->vt == VT_BSTR) {
            ULONG chars = SysStringLen(V_BSTR(&value));
            RETURN_IF_FAILED(WriteExact(stream, &chars, sizeof(chars)));
            RETURN_IF_FAILED(WriteExact(stream, V_BSTR(&value), chars * sizeof(wchar_t)));
        } else if (e->vt == VT_I4) {
            RETURN_IF_FAILED(WriteExact(stream, &V_I4(&value), sizeof(LONG)));
        } else {
            RETURN_IF_FAILED(WriteExact(stream, &V_I2(&value), sizeof(SHORT)));
        }
    }
    return S_OK;
}

ULONG PropertyExchange::MaxStreamSize(const void* self) const {
    ULONG size = sizeof(DWORD);
    for (const PersistEntry* e = m_table; e->name; ++e) {
        Variant value;
        e->save(self, &value);
        if (e->vt == VT_BSTR) size += sizeof(ULONG) + SysStringLen(V_BSTR(&value)) * sizeof(wchar_t);
        else size += e->vt == VT_I4 ? sizeof(LONG) : sizeof(SHORT);
    }
    return size;
}

}  // namespace fw
