// CSiteLock: the administrator's allow-list and the verdict on a page's or a target's URL.
#include "control/SiteLock.h"

#include <wininet.h>

#include <initializer_list>
#include <vector>

#include "framework/Text.h"
#include "framework/UniqueHandle.h"
#include "res/Texts.h"

namespace {

const wchar_t kAllowedOrigins[] = L"AllowedOrigins";
const wchar_t kAllowUserOrigins[] = L"AllowUserOrigins";

// Each "%s" of format in turn takes the next value.
std::string Fill(const char* format, std::initializer_list<std::string> values) {
    std::string text(format);
    size_t at = 0;
    for (const std::string& value : values) {
        at = text.find("%s", at);
        if (at == std::string::npos) break;
        text.replace(at, 2, value);
        at += value.size();
    }
    return text;
}

// ASCII only, so that no code page maps a look-alike character onto a listed host.
bool ToAscii(const wchar_t* text, size_t length, std::string* out) {
    out->clear();
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < 0x20 || text[i] > 0x7E) return false;
        out->push_back(static_cast<char>(text[i]));
    }
    return true;
}

template <class Char>
bool HasControlCharacter(const std::basic_string<Char>& url) {
    for (Char c : url) {
        if (static_cast<unsigned>(c) < 0x20 || c == 0x7F) return true;
    }
    return false;
}

// The 64-bit view, so that the 32-bit and the 64-bit control read the same list.
fw::UniqueHKey OpenKey(HKEY root, const wchar_t* path) {
    fw::UniqueHKey key;
    if (RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put()) != ERROR_SUCCESS) key.reset();
    return key;
}

// The strings of a REG_MULTI_SZ value; nothing when the value is missing or of another type.
std::vector<std::wstring> ReadMultiString(HKEY key, const wchar_t* name) {
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_MULTI_SZ)
        return {};
    // Two spare terminators: the stored value need not end with its own.
    std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ)
        return {};
    std::vector<std::wstring> strings;
    size_t end = bytes / sizeof(wchar_t);
    for (size_t at = 0; at < end;) {
        std::wstring s(&data[at]);
        at += s.size() + 1;
        if (!s.empty()) strings.push_back(std::move(s));
    }
    return strings;
}

bool ReadFlag(HKEY key, const wchar_t* name) {
    DWORD type = 0, value = 0, bytes = sizeof(value);
    return RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) == ERROR_SUCCESS &&
           type == REG_DWORD && value == 1;
}

void AddEntries(HKEY key, COriginList* list) {
    for (const std::wstring& entry : ReadMultiString(key, kAllowedOrigins)) {
        std::string ascii;
        if (ToAscii(entry.c_str(), entry.size(), &ascii)) list->Add(ascii);
    }
}

const char* SchemeName(INTERNET_SCHEME scheme) {
    return scheme == INTERNET_SCHEME_HTTP ? "http" : scheme == INTERNET_SCHEME_HTTPS ? "https" : nullptr;
}

// The origin as WinInet, which the transfers use too, splits the URL.
bool CrackOrigin(const std::string& url, Origin* origin) {
    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    char scheme[INTERNET_MAX_SCHEME_LENGTH + 1] = {};
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof(host);
    parts.lpszScheme = scheme;
    parts.dwSchemeLength = sizeof(scheme);
    if (url.empty() || HasControlCharacter(url) ||
        !InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts))
        return false;
    const char* known = SchemeName(parts.nScheme);
    origin->scheme = known ? known : scheme;
    origin->host = host;
    origin->port = parts.nPort;
    return true;
}

bool CrackOrigin(const std::wstring& url, Origin* origin) {
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    wchar_t scheme[INTERNET_MAX_SCHEME_LENGTH + 1] = {};
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH + 1;
    parts.lpszScheme = scheme;
    parts.dwSchemeLength = INTERNET_MAX_SCHEME_LENGTH + 1;
    if (url.empty() || HasControlCharacter(url) ||
        !InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts))
        return false;
    const char* known = SchemeName(parts.nScheme);
    origin->scheme = known ? known : fw::WideToAnsi(scheme);
    // A host beyond ASCII is named as the browser gave it and matches no entry.
    if (!ToAscii(host, wcslen(host), &origin->host)) origin->host = fw::WideToAnsi(host);
    origin->port = parts.nPort;
    return true;
}

}  // namespace

const CSiteLock::Keys CSiteLock::kInstalled = {
    HKEY_LOCAL_MACHINE, L"SOFTWARE\\NVATT", HKEY_CURRENT_USER, L"Software\\NVATT",
};

const COriginList& CSiteLock::List() {
    if (m_loaded) return m_list;
    m_loaded = true;
    fw::UniqueHKey machine = OpenKey(m_keys.machineRoot, m_keys.machinePath);
    if (!machine) return m_list;
    AddEntries(machine.get(), &m_list);
    if (ReadFlag(machine.get(), kAllowUserOrigins)) {
        fw::UniqueHKey user = OpenKey(m_keys.userRoot, m_keys.userPath);
        if (user) AddEntries(user.get(), &m_list);
    }
    return m_list;
}

HRESULT CSiteLock::Check(const Origin& origin, bool cracked, const std::string& url, std::string* reason) {
    if (!cracked || (origin.scheme != "http" && origin.scheme != "https")) {
        *reason = Fill(texts::kNotWebAddress, {url});
        return E_ACCESSDENIED;
    }
    const COriginList& list = List();
    if (list.Allows(origin)) return S_OK;
    *reason = Fill(texts::kOriginNotAllowed, {OriginText(origin)});
    if (list.empty()) *reason += std::string(" ") + texts::kNoAllowedSites;
    return E_ACCESSDENIED;
}

HRESULT CSiteLock::CheckPage(const std::wstring& pageUrl, std::string* refusal) {
    if (pageUrl.empty()) {
        *refusal = Fill(texts::kPageRefused, {texts::kNoPageAddress});
        return E_ACCESSDENIED;
    }
    Origin origin;
    bool cracked = CrackOrigin(pageUrl, &origin);
    std::string reason;
    HRESULT hr = Check(origin, cracked, fw::WideToAnsi(pageUrl), &reason);
    if (FAILED(hr)) *refusal = Fill(texts::kPageRefused, {reason});
    return hr;
}

HRESULT CSiteLock::CheckTarget(const std::string& url, std::string* refusal) {
    Origin origin;
    bool cracked = CrackOrigin(url, &origin);
    std::string reason;
    HRESULT hr = Check(origin, cracked, url, &reason);
    if (FAILED(hr)) *refusal = Fill(texts::kTargetRefused, {url, reason});
    return hr;
}
