// CSiteLock: the sites an administrator allows to script the control, read from the
// registry, and the verdict on a page's URL or on a URL the control would send to or
// fetch from.
#pragma once

#include <windows.h>

#include <string>

#include "control/OriginList.h"

class CSiteLock {
public:
    // Where the list lives. Under the machine key, "AllowedOrigins" (REG_MULTI_SZ) holds
    // the entries and "AllowUserOrigins" (REG_DWORD 1) lets the user key's
    // "AllowedOrigins" add its own.
    struct Keys {
        HKEY machineRoot;
        const wchar_t* machinePath;
        HKEY userRoot;
        const wchar_t* userPath;
    };
    // HKLM\SOFTWARE\NVATT and HKCU\Software\NVATT.
    static const Keys kInstalled;

    explicit CSiteLock(const Keys& keys = kInstalled) : m_keys(keys) {}

    // S_OK when a page at this URL may script the control; otherwise E_ACCESSDENIED and
    // refusal says why, naming the page's origin. A page without a URL is refused.
    [[nodiscard]] HRESULT CheckPage(const std::wstring& pageUrl, std::string* refusal);
    // The same for a URL the control sends to or fetches from: http or https on an
    // allowed origin.
    [[nodiscard]] HRESULT CheckTarget(const std::string& url, std::string* refusal);

private:
    // The list is read once, at the first check.
    const COriginList& List();
    // Why an origin (or a URL the cracker could not split) is refused, in reason.
    HRESULT Check(const Origin& origin, bool cracked, const std::string& url, std::string* reason);

    Keys m_keys;
    bool m_loaded = false;
    COriginList m_list;
};
