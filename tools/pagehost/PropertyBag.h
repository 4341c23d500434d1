// A property bag of named values, as a browser builds from a page's PARAM tags.
#pragma once

#include <ocidl.h>

#include <string>
#include <vector>

#include "framework/ComObject.h"

class CPropertyBag final : public IPropertyBag {
public:
    static CPropertyBag* Create() { return new CPropertyBag(); }

    FW_IMPLEMENT_IUNKNOWN()

    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

    void SetText(const std::wstring& name, const std::wstring& value);
    // "name=value" lines; in values \t, \n, \r and \\ stand for tab, line feed,
    // carriage return and backslash.
    void ParseLines(const std::wstring& text);
    std::wstring ToLines() const;
    size_t size() const { return m_values.size(); }

private:
    CPropertyBag() = default;
    ~CPropertyBag();

    struct Entry {
        std::wstring name;
        VARIANT value;
    };
    Entry* Find(LPCOLESTR name);

    static const fw::InterfaceEntry kInterfaces[];
    fw::RefCount m_refs;
    std::vector<Entry> m_values;
};
