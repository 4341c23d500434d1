// Conversions between the control's ANSI text (the system code page) and UTF-16.
#include "framework/Text.h"

namespace fw {

std::wstring AnsiToWide(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string WideToAnsi(const wchar_t* text, int length) {
    if (!text || length == 0) return {};
    if (length < 0) length = static_cast<int>(wcslen(text));
    if (length == 0) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], n, nullptr, nullptr);
    return out;
}

std::string BstrToAnsi(BSTR text) {
    return text ? WideToAnsi(text, static_cast<int>(SysStringLen(text))) : std::string();
}

BSTR AnsiToBstr(const std::string& text) {
    // Converted straight into the BSTR: no allocation here can throw.
    if (text.empty()) return SysAllocStringLen(nullptr, 0);
    int size = static_cast<int>(text.size());
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (n <= 0) return SysAllocStringLen(nullptr, 0);
    BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (out) MultiByteToWideChar(CP_ACP, 0, text.data(), size, out, n);
    return out;
}

}  // namespace fw
