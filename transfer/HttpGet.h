// The asynchronous GET request behind the download dialogs: answers come back on the
// thread that submitted it, from its message loop, through the virtual callbacks below,
// in this slot order.
#pragma once

#include "transfer/GetTransfer.h"

#include <windows.h>
#include <urlmon.h>

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CGetCallbackWindow;

class CHttpGet {
public:
    // The base collects at most this much of a body; a longer one fails the request.
    static constexpr DWORD kMaxBodyBytes = 16 * 1024 * 1024;

    CHttpGet();
    CHttpGet(const CHttpGet&) = delete;
    CHttpGet& operator=(const CHttpGet&) = delete;

    // Aborts the transfer, at any moment, also from inside a callback: no callback of
    // that transfer follows, OnStopBinding included. What was not read is dropped.
    virtual void Close();
    // Closes a running transfer without waiting for its worker, which ends on its own.
    // The object belongs to the thread that submits; it may be deleted from inside its
    // own callbacks.
    virtual ~CHttpGet();
    // statusCode uses the URL-moniker numbering: 1, 2, 11, 13 while the request is made
    // (finding the server, connecting, sending, the answer's type), then 4, 5, 6 (begin,
    // continue, end of data) with the bytes received so far and the server's length
    // (0 when it gave none, or one that does not fit).
    virtual void OnProgress(ULONG progress, ULONG maximum, ULONG statusCode, const char* statusText);
    // Data waits: Read it. flags are BSCF_... (first, intermediate, last notification),
    // size the bytes received so far. Unless overridden, the bytes are collected into
    // the body.
    virtual void OnDataAvailable(DWORD flags, DWORD size);
    // Once at the end, unless Close came first: S_OK when the whole body arrived; a
    // negative result when it did not (the connection failed or broke, a body shorter
    // than the server's length, an HTTP status other than 2xx, whose page is not handed
    // out); errorText says what failed (null on success).
    virtual void OnStopBinding(HRESULT result, const char* errorText);
    // Asked once by Submit, on the calling thread. The base asks for the newest version,
    // not written to the cache. Honoured: BINDF_GETNEWESTVERSION, BINDF_NOWRITECACHE,
    // BINDF_IGNORESECURITYPROBLEM; the verb must be BINDVERB_GET. A failure fails Submit.
    virtual HRESULT GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo);

    // The query: name=value pairs appended to the URL, values percent-encoded.
    void AddField(const std::string& name, const std::string& value);
    // Forgets the fields, the collected body and unread bytes; a running transfer goes on.
    void RemoveAll();
    // Starts the GET of url and returns at once; the callbacks come later from the
    // calling thread's message loop, and OnStopBinding comes also when the start itself
    // failed (the result says so too). A transfer still running is closed first. owner is
    // not needed: the callbacks always go to the submitting thread.
    HRESULT Submit(const std::string& url, HWND owner);
    // Copies up to size received bytes into buffer; 0 when none wait. What waits is what
    // was announced: bytes that arrive meanwhile come with the next notification, so a
    // drain loop in OnDataAvailable ends and the message loop goes on.
    DWORD Read(void* buffer, DWORD size);
    // The body the base collected (OnDataAvailable not overridden).
    const char* GetBody() const { return m_body.empty() ? nullptr : m_body.data(); }
    DWORD GetBodySize() const { return static_cast<DWORD>(m_body.size()); }

    // For the next Submit.
    void SetTimeouts(const GetTimeouts& timeouts) { m_timeouts = timeouts; }
    bool IsRunning() const { return m_transfer != nullptr; }

protected:
    std::vector<std::pair<std::string, std::string>> m_fields;
    std::string m_body;

private:
    friend class CGetCallbackWindow;

    // The transfer's message to the callback window; cookie names the transfer it was
    // posted for, so a message of a transfer since closed is ignored.
    void OnTransferMessage(WPARAM cookie);
    void OnLookTimer();
    // The transfer is over for this object: no more looks.
    void EndTransfer();
    void Dispatch(WPARAM cookie);
    HRESULT EnsureWindow();
    void ReleaseBlocks();

    std::unique_ptr<CGetCallbackWindow> m_window;
    std::shared_ptr<CGetTransfer> m_transfer;
    WPARAM m_cookie = 0;
    GetTimeouts m_timeouts;
    std::string m_url;
    bool m_begun = false;       // BEGINDOWNLOADDATA was reported
    HRESULT m_abort = S_OK;     // a failure of our own that ends the transfer
    std::deque<GetBlock> m_blocks;
    DWORD m_readOffset = 0;     // into m_blocks.front()
    uint64_t m_heldBytes = 0;
    // Expires with the object: a dispatch that outlives a callback checks it before it
    // touches the object again.
    std::shared_ptr<char> m_life;
};
