// The asynchronous POST request object the control keeps beside its GET request. The
// control constructs and destroys it but sends nothing through it.
//
// Only the interface exists; Submit fails with E_NOTIMPL through OnStopBinding.
#pragma once

#include "transfer/InternetSessionEx.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class CHttpPost : public CInternetSessionEx {
public:
    void OnCallback(DWORD_PTR context, DWORD status, void* info, DWORD infoLength) override {
        OnStatusCallback(context, status, info, infoLength);
    }
    void Close() override {}
    ~CHttpPost() override = default;
    virtual void OnStatusCallback(DWORD_PTR context, DWORD status, void* info, DWORD infoLength) {
        (void)context; (void)status; (void)info; (void)infoLength;
    }
    virtual void OnRequestComplete(DWORD_PTR result, DWORD error) {
        (void)result; (void)error;
    }
    // A negative result is a failure; errorText says what failed.
    virtual void OnStopBinding(HRESULT result, const char* errorText) {
        (void)result; (void)errorText;
    }

    void AddField(const std::string& name, const std::string& value) { m_fields.emplace_back(name, value); }
    void RemoveAll() {
        m_fields.clear();
        m_body.clear();
    }
    HRESULT Submit(const std::string& url, HWND owner) {
        (void)url; (void)owner;
        OnStopBinding(E_NOTIMPL, "the POST transport is not built yet");
        return E_NOTIMPL;
    }
    const char* GetBody() const { return m_body.empty() ? nullptr : m_body.data(); }
    DWORD GetBodySize() const { return static_cast<DWORD>(m_body.size()); }

protected:
    std::vector<std::pair<std::string, std::string>> m_fields;
    std::string m_body;
};
