// One run of a GET: the WinInet request on a worker thread and the bounded queue of
// received blocks it fills, shared by the worker and the request object that hands the
// blocks out on its own thread.
#include "transfer/GetTransfer.h"

#include "transfer/HttpConnection.h"
#include "transfer/PinnedThread.h"

#include "framework/ErrorMacros.h"
#include "framework/ExceptionBoundary.h"
#include "framework/UniqueHandle.h"

#include <urlmon.h>

#include <algorithm>
#include <cstdio>
#include <new>

namespace {

const HRESULT kConnectionAborted = HRESULT_FROM_WIN32(ERROR_INTERNET_CONNECTION_ABORTED);
// How long one read may wait for a fuller block (see ReadBody).
const uint64_t kReadWaitMs = 50;
const ULONGLONG kWarmUpMs = 30;

bool IsHttpSuccess(DWORD status) { return status >= 200 && status < 300; }

std::string Describe(HRESULT hr) {
    char text[160];
    if (HRESULT_FACILITY(hr) == FACILITY_HTTP) {
        std::snprintf(text, sizeof(text), "the server answered with HTTP status %d", static_cast<int>(HRESULT_CODE(hr)));
        return text;
    }
    if (hr == E_ABORT) return "the download was cancelled";
    std::snprintf(text, sizeof(text), "the download failed (0x%08lX)", static_cast<unsigned long>(hr));
    return text;
}

bool ParseLength(const char* text, uint64_t* value) {
    if (!*text) return false;
    uint64_t v = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || v > (UINT64_MAX - 9) / 10) return false;
        v = v * 10 + static_cast<uint64_t>(*p - '0');
    }
    *value = v;
    return true;
}

}  // namespace

CGetTransfer::CGetTransfer(std::string url, DWORD requestFlags, GetTimeouts timeouts)
    : m_url(std::move(url)), m_requestFlags(requestFlags), m_timeouts(timeouts) {}

CGetTransfer::~CGetTransfer() = default;

HRESULT CGetTransfer::Start(const std::shared_ptr<CGetTransfer>& transfer, HWND window, UINT message,
                            WPARAM cookie) {
    {
        fw::SrwGuard guard(transfer->m_lock);
        transfer->m_window = window;
        transfer->m_message = message;
        transfer->m_cookie = cookie;
    }
    return StartPinnedThread([transfer] { transfer->Run(); });
}

void CGetTransfer::FailBeforeStart(HWND window, UINT message, WPARAM cookie, HRESULT result,
                                   const std::string& text) {
    {
        fw::SrwGuard guard(m_lock);
        m_window = window;
        m_message = message;
        m_cookie = cookie;
    }
    Finish(result, text);
}

void CGetTransfer::Cancel() {
    m_call.Cancel();
    fw::SrwGuard guard(m_lock);
    m_cancelled = true;  // for the queue: a worker waiting for room gives up
    m_window = nullptr;
    WakeAllConditionVariable(&m_room);
}

void CGetTransfer::Take(std::deque<GetBlock>* blocks, uint64_t heldBytes, GetUpdate* update) {
    fw::SrwGuard guard(m_lock);
    m_posted = false;
    m_nextLookAt = GetTickCount64() + kLookIntervalMs;
    update->statuses.swap(m_statuses);
    m_statuses.clear();
    update->blocksTaken = 0;
    update->bytesTaken = 0;
    while (!m_queue.empty() && heldBytes < kReaderLimitBytes) {
        heldBytes += m_queue.front().size;
        update->bytesTaken += m_queue.front().size;
        m_handedOut += m_queue.front().size;
        blocks->push_back(std::move(m_queue.front()));
        m_queue.pop_front();
        ++update->blocksTaken;
    }
    if (update->blocksTaken) WakeAllConditionVariable(&m_room);
    update->hasLength = m_hasLength;
    update->length = m_length;
    update->received = m_handedOut;
    update->finished = m_done && m_queue.empty() && !m_endTaken;
    if (update->finished) {
        m_endTaken = true;
        update->result = m_result;
        update->errorText = m_errorText;
    }
}

void CGetTransfer::ReturnBlock(GetBlock block) {
    fw::SrwGuard guard(m_lock);
    if (m_free.size() < kFreeBlocks && !m_done) m_free.push_back(std::move(block));
}

void CGetTransfer::RequestLook(uint64_t heldBytes) {
    fw::SrwGuard guard(m_lock);
    bool blocksDue = !m_queue.empty() && heldBytes < kReaderLimitBytes &&
                     (m_queue.size() >= kQueueBlocks / 2 || GetTickCount64() >= m_nextLookAt);
    bool endDue = m_done && m_queue.empty() && !m_endTaken;
    if (blocksDue || endDue) PostLocked();
}

void CGetTransfer::PostLocked() {
    if (m_posted || !m_window) return;
    if (PostMessageW(m_window, m_message, m_cookie, 0)) m_posted = true;
}

void CGetTransfer::AddStatus(ULONG code, std::string text) {
    fw::SrwGuard guard(m_lock);
    m_statuses.push_back({code, std::move(text)});
    PostLocked();
}

void CGetTransfer::Finish(HRESULT result, const std::string& text) {
    fw::SrwGuard guard(m_lock);
    m_done = true;
    m_result = result;
    m_errorText = SUCCEEDED(result) ? std::string() : (text.empty() ? Describe(result) : text);
    m_free.clear();
    PostLocked();
}

void CGetTransfer::Run() {
    // Nothing may leave the worker's own thread: it would end the whole process.
    HRESULT hr = fw::CallNoThrow([&] { return Transfer(); });
    {
        fw::SrwGuard guard(m_lock);
        if (m_cancelled) hr = E_ABORT;
    }
    Finish(hr, m_failureText);
}

void CGetTransfer::PublishRequest(HINTERNET request) { m_call.Publish(request); }

void CGetTransfer::CloseRequest() { m_call.Close(); }

void CGetTransfer::SetTimeouts(HINTERNET handle) const {
    SetInternetTimeouts(handle, m_timeouts.connectMs, m_timeouts.receiveMs, m_timeouts.receiveMs);
}

HRESULT CGetTransfer::Transfer() {
    HttpTarget target;
    RETURN_IF_FAILED(CrackHttpUrl(m_url, &target));
    // A fragment names a place in the page; it is not sent.
    const std::string objectPath = target.objectPath.substr(0, target.objectPath.find('#'));

    AddStatus(BINDSTATUS_FINDINGRESOURCE, target.host);
    HttpConnection http;
    RETURN_IF_FAILED(OpenHttpConnection(target, m_timeouts.connectMs, m_timeouts.receiveMs, m_timeouts.receiveMs,
                                        &http));
    AddStatus(BINDSTATUS_CONNECTING, target.host);

    static const char* const kAccept[] = {"*/*", nullptr};
    DWORD flags = m_requestFlags | INTERNET_FLAG_NO_UI | (target.secure ? INTERNET_FLAG_SECURE : 0);
    HINTERNET request = HttpOpenRequestA(http.connection.get(), "GET", objectPath.c_str(), nullptr, nullptr,
                                         const_cast<const char**>(kAccept), flags, 0);
    RETURN_HR_IF(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()), !request);
    // The request handle goes before its connection: closing a parent ends its children,
    // and a second close of a dead handle could hit a new one that reuses its value.
    PublishRequest(request);
    struct RequestCloser {
        CGetTransfer* transfer;
        ~RequestCloser() { transfer->CloseRequest(); }
    } requestCloser{this};
    SetTimeouts(request);
    // The connection ends with this answer. A server that sent more than it announced, or
    // a request cut short, would leave bytes in a kept connection that the next request
    // to the server takes for its answer (Wine's WinInet reads them as a headerless
    // answer). Downloads are few and large: a connect each costs nothing, and the
    // connections that the rest of the browser keeps are left alone.
    static const char kConnectionClose[] = "Connection: close\r\n";
    HttpAddRequestHeadersA(request, kConnectionClose, static_cast<DWORD>(-1),
                           HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);

    AddStatus(BINDSTATUS_SENDINGREQUEST, objectPath);
    RETURN_IF_FAILED(m_call.Call([](HINTERNET r) { return HttpSendRequestA(r, nullptr, 0, nullptr, 0); }));
    DWORD status = 0, size = sizeof(status);
    HRESULT hr = m_call.Call([&](HINTERNET r) {
        return HttpQueryInfoA(r, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
    });
    if (hr == E_ABORT) return hr;
    // Some WinInet versions end a request whose connection died without an error,
    // leaving no status: that is no answer.
    RETURN_HR_IF(kConnectionAborted, FAILED(hr) || status == 0);

    char type[256] = {};
    size = sizeof(type) - 1;
    if (SUCCEEDED(m_call.Call([&](HINTERNET r) {
            return HttpQueryInfoA(r, HTTP_QUERY_CONTENT_TYPE, type, &size, nullptr);
        }))) {
        AddStatus(BINDSTATUS_MIMETYPEAVAILABLE, type);
    }
    // An error page is not the document that was asked for: it is not handed out.
    RETURN_HR_IF(MAKE_HRESULT(SEVERITY_ERROR, FACILITY_HTTP, status), !IsHttpSuccess(status));

    char lengthText[32] = {};
    size = sizeof(lengthText) - 1;
    uint64_t length = 0;
    bool hasLength = SUCCEEDED(m_call.Call([&](HINTERNET r) {
                         return HttpQueryInfoA(r, HTTP_QUERY_CONTENT_LENGTH, lengthText, &size, nullptr);
                     })) && ParseLength(lengthText, &length);
    char encoding[64] = {};
    size = sizeof(encoding) - 1;
    // A chunked body carries its own framing; a length beside it means nothing.
    if (SUCCEEDED(m_call.Call([&](HINTERNET r) {
            return HttpQueryInfoA(r, HTTP_QUERY_TRANSFER_ENCODING, encoding, &size, nullptr);
        })) && _stricmp(encoding, "identity") != 0) {
        hasLength = false;
    }
    {
        fw::SrwGuard guard(m_lock);
        m_hasLength = hasLength;
        m_length = length;
    }
    return ReadBody(hasLength, length);
}

bool CGetTransfer::WaitForRoom() {
    fw::SrwGuard guard(m_lock);
    while (!m_cancelled && m_queue.size() >= kQueueBlocks) SleepConditionVariableSRW(&m_room, &m_lock, INFINITE, 0);
    return !m_cancelled;
}

GetBlock CGetTransfer::NewBlock() {
    {
        fw::SrwGuard guard(m_lock);
        if (!m_free.empty()) {
            GetBlock block = std::move(m_free.back());
            m_free.pop_back();
            block.size = 0;
            return block;
        }
    }
    GetBlock block;
    block.bytes.reset(new char[kBlockBytes]);
    return block;
}

HRESULT CGetTransfer::ReadBody(bool hasLength, uint64_t length) {
    uint64_t received = 0;
    ULONGLONG firstAt = 0;
    // How much more than what is already there a read waits for. A synchronous read
    // waits until its buffer is full, so it grows with the rate the server sends at: a
    // fast server fills whole blocks, a slow one is handed out as its bytes come. Bytes
    // that are there at once tell nothing of the rate, so the first moments read only
    // what is there.
    uint64_t extra = 0;
    for (;;) {
        if (!WaitForRoom()) return E_ABORT;
        ULONGLONG start = GetTickCount64();
        DWORD available = kBlockBytes;
        // A server that fills whole blocks is simply read; otherwise the read waits only
        // for what is there, after waiting for something to be there at all.
        if (extra < kBlockBytes) {
            RETURN_IF_FAILED(m_call.Call([&](HINTERNET r) { return InternetQueryDataAvailable(r, &available, 0, 0); }));
            if (available == 0) break;
        }
        GetBlock block = NewBlock();
        DWORD want = static_cast<DWORD>(std::min<uint64_t>(std::max<uint64_t>(available, extra), kBlockBytes));
        DWORD got = 0;
        RETURN_IF_FAILED(m_call.Call([&](HINTERNET r) { return InternetReadFile(r, block.bytes.get(), want, &got); }));
        if (got == 0) break;
        received += got;
        ULONGLONG now = GetTickCount64();
        if (firstAt == 0) firstAt = now;
        if (now - firstAt >= kWarmUpMs) {
            uint64_t overall = received / (now - firstAt);
            uint64_t recent = got / std::max<ULONGLONG>(now - start, 1);
            extra = std::min<uint64_t>(std::min(overall, recent) * kReadWaitMs, kBlockBytes);
        }
        block.size = got;
        fw::SrwGuard guard(m_lock);
        m_queue.push_back(std::move(block));
        if (m_queue.size() >= kQueueBlocks / 2 || now >= m_nextLookAt) PostLocked();
    }
    // A connection that dies inside the body can look like its end; the length tells.
    if (hasLength && received != length) {
        char text[128];
        std::snprintf(text, sizeof(text), "the connection ended after %llu of %llu bytes",
                      static_cast<unsigned long long>(received), static_cast<unsigned long long>(length));
        m_failureText = text;
        return kConnectionAborted;
    }
    return S_OK;
}
