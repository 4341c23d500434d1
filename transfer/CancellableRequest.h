// A WinInet request handle that another thread may cancel while a transfer uses it.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "framework/ErrorMacros.h"
#include "framework/SrwGuard.h"

class CCancellableRequest {
public:
    CCancellableRequest() = default;
    CCancellableRequest(const CCancellableRequest&) = delete;
    CCancellableRequest& operator=(const CCancellableRequest&) = delete;

    // The transfer's request from now on; the transfer still closes it with Close.
    void Publish(HINTERNET request);
    void Close();
    // Any thread. Closing the handle is the platform's way to cut a blocking call short,
    // so it is closed here only while the transfer is inside a call: otherwise it would
    // close a handle value that WinInet may already have given to someone else.
    void Cancel();
    bool Cancelled() const;

    // Calls into WinInet with the request: the cancel flag is checked before the call,
    // and the call's outcome is dropped (E_ABORT) when a cancel came meanwhile.
    template <class CallFn>
    HRESULT Call(CallFn call) {
        HINTERNET request;
        {
            fw::SrwGuard guard(m_lock);
            if (m_cancelled || !m_request) return E_ABORT;
            m_inCall = true;
            request = m_request;
        }
        BOOL ok = call(request);
        DWORD err = ok ? ERROR_SUCCESS : GetLastError();
        fw::SrwGuard guard(m_lock);
        m_inCall = false;
        if (m_cancelled) return E_ABORT;
        return ok ? S_OK : HRESULT_FROM_WIN32_OR_FAIL(err);
    }

private:
    mutable SRWLOCK m_lock = SRWLOCK_INIT;
    bool m_cancelled = false;
    bool m_inCall = false;
    HINTERNET m_request = nullptr;
};

// Sets the time-outs on one handle. Some WinInet versions (Wine's) do not pass a session's
// values down to its connections and requests, so every handle gets them.
void SetInternetTimeouts(HINTERNET handle, DWORD connectMs, DWORD sendMs, DWORD receiveMs);
