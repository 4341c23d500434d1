// The asynchronous GET request behind the download dialogs: answers come back on the
// host's thread through the virtual callbacks below, in this slot order.
//
// Only the interface exists so far. Submit fails with E_NOTIMPL and reports that through
// OnStopBinding, so every caller sees a failed download, never a false success.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

class CHttpGet {
public:
    CHttpGet() = default;
    CHttpGet(const CHttpGet&) = delete;
    CHttpGet& operator=(const CHttpGet&) = delete;

    // Aborts the transfer; nothing runs yet.
    virtual void Close() {}
    virtual ~CHttpGet() = default;
    // statusCode uses the URL-moniker numbering (4, 5, 6: begin, continue, end of data).
    virtual void OnProgress(ULONG progress, ULONG maximum, ULONG statusCode, const char* statusText) {
        (void)progress; (void)maximum; (void)statusCode; (void)statusText;
    }
    // Unless overridden, the received bytes are collected into the body.
    virtual void OnDataAvailable(DWORD flags, DWORD size) {
        (void)flags; (void)size;
        char buffer[1024];
        for (DWORD n; (n = Read(buffer, sizeof(buffer))) > 0;) m_body.append(buffer, n);
    }
    // A negative result is a failure; errorText says what failed.
    virtual void OnStopBinding(HRESULT result, const char* errorText) {
        (void)result; (void)errorText;
    }
    virtual HRESULT GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) {
        (void)bindFlags; (void)bindInfo;
        return E_NOTIMPL;
    }

    // The query: name=value pairs appended to the URL.
    void AddField(const std::string& name, const std::string& value) { m_fields.emplace_back(name, value); }
    void RemoveAll() {
        m_fields.clear();
        m_body.clear();
        m_pending.clear();
    }
    // Starts the GET of url and returns at once; owner is the window whose thread gets
    // the callbacks (null from the dialogs).
    HRESULT Submit(const std::string& url, HWND owner) {
        (void)url; (void)owner;
        OnStopBinding(E_NOTIMPL, "the download transport is not built yet");
        return E_NOTIMPL;
    }
    // Copies up to size received bytes into buffer; 0 when none wait.
    DWORD Read(void* buffer, DWORD size) {
        DWORD n = static_cast<DWORD>(m_pending.size() < size ? m_pending.size() : size);
        if (n) std::memcpy(buffer, m_pending.data(), n);
        m_pending.erase(0, n);
        return n;
    }
    // The body the base collected (OnDataAvailable not overridden).
    const char* GetBody() const { return m_body.empty() ? nullptr : m_body.data(); }
    DWORD GetBodySize() const { return static_cast<DWORD>(m_body.size()); }

protected:
    std::vector<std::pair<std::string, std::string>> m_fields;
    std::string m_pending;  // received, not yet read
    std::string m_body;
};
