// A property bag of named values, as a browser builds from a page's PARAM tags.
#include "tools/pagehost/PropertyBag.h"

const fw::InterfaceEntry CPropertyBag::kInterfaces[] = {
    FW_INTERFACE_ENTRY(CPropertyBag, IPropertyBag),
    FW_INTERFACE_TABLE_END,
};

CPropertyBag::~CPropertyBag() {
    for (Entry& e : m_values) VariantClear(&e.value);
}

CPropertyBag::Entry* CPropertyBag::Find(LPCOLESTR name) {
    for (Entry& e : m_values) {
        if (_wcsicmp(e.name.c_str(), name) == 0) return &e;
    }
    return nullptr;
}

STDMETHODIMP CPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    if (!name || !value) return E_POINTER;
    Entry* e = Find(name);
    if (!e) return E_INVALIDARG;
    VARTYPE wanted = V_VT(value);
    VariantInit(value);
    HRESULT hr = VariantCopy(value, &e->value);
    if (SUCCEEDED(hr) && wanted != VT_EMPTY && wanted != V_VT(value))
        hr = VariantChangeType(value, value, 0, wanted);
    return hr;
}

STDMETHODIMP CPropertyBag::Write(LPCOLESTR name, VARIANT* value) {
    if (!name || !value) return E_POINTER;
    Entry* e = Find(name);
    if (!e) {
        m_values.push_back({name, {}});
        e = &m_values.back();
        VariantInit(&e->value);
    }
    VariantClear(&e->value);
    return VariantCopy(&e->value, value);
}

void CPropertyBag::SetText(const std::wstring& name, const std::wstring& value) {
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    Write(name.c_str(), &v);
    VariantClear(&v);
}

void CPropertyBag::ParseLines(const std::wstring& text) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        size_t eq = line.find(L'=');
        if (line.empty() || eq == std::wstring::npos) continue;
        std::wstring value;
        for (size_t i = eq + 1; i < line.size(); ++i) {
            if (line[i] == L'\\' && i + 1 < line.size()) {
                wchar_t c = line[++i];
                value += c == L't' ? L'\t' : c == L'n' ? L'\n' : c == L'r' ? L'\r' : c;
            } else {
                value += line[i];
            }
        }
        SetText(line.substr(0, eq), value);
    }
}

std::wstring CPropertyBag::ToLines() const {
    std::wstring out;
    for (const Entry& e : m_values) {
        VARIANT text;
        VariantInit(&text);
        if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&e.value), 0, VT_BSTR))) continue;
        out += e.name + L"=";
        for (const wchar_t* p = V_BSTR(&text); p && *p; ++p) {
            switch (*p) {
            case L'\t': out += L"\\t"; break;
            case L'\n': out += L"\\n"; break;
            case L'\r': out += L"\\r"; break;
            case L'\\': out += L"\\\\"; break;
            default: out += *p;
            }
        }
        out += L"\n";
        VariantClear(&text);
    }
    return out;
}
