// Conversions between the control's ANSI text (the system code page) and UTF-16.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace fw {

std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const wchar_t* text, int length = -1);
inline std::string WideToAnsi(const std::wstring& text) {
    return WideToAnsi(text.c_str(), static_cast<int>(text.size()));
}
std::string BstrToAnsi(BSTR text);
// Null when out of memory; a null BSTR is the empty string to automation.
BSTR AnsiToBstr(const std::string& text);

// Owner of one BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : m_b(SysAllocString(text)) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(m_b); }
    BSTR get() const { return m_b; }
    BSTR* put() { SysFreeString(m_b); m_b = nullptr; return &m_b; }
    BSTR detach() { BSTR b = m_b; m_b = nullptr; return b; }

private:
    BSTR m_b = nullptr;
};

// Owner of one VARIANT.
class Variant : public VARIANT {
public:
    Variant() { VariantInit(this); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(this); }
    void Clear() { VariantClear(this); }
};

}  // namespace fw
