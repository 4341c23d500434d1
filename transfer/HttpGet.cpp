// The asynchronous GET request behind the download dialogs: a worker thread does the
// WinInet request in large blocks, and the callbacks run on the submitting thread.
#include "transfer/HttpGet.h"

#include "framework/ErrorMacros.h"
#include "framework/ExceptionBoundary.h"
#include "transfer/GetCallbackWindow.h"
#include "transfer/UrlCoding.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

const HRESULT kBodyTooLarge = HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
// The limit is there to stop a server that would fill the browser's memory.
const char kBodyTooLargeText[] = "the server's answer is longer than the 16 MB that a request keeps";

// Names one transfer of one object for its messages; never 0, the "none" value.
WPARAM NextCookie() {
    static volatile LONG s_next = 0;
    LONG n;
    while ((n = InterlockedIncrement(&s_next)) == 0) {
    }
    return static_cast<WPARAM>(static_cast<ULONG>(n));
}

ULONG Clamp32(uint64_t value) {
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFul : static_cast<ULONG>(value);
}

std::string WithQuery(const std::string& url, const std::vector<std::pair<std::string, std::string>>& fields) {
    if (fields.empty()) return url;
    size_t hash = url.find('#');
    std::string base = url.substr(0, hash);
    std::string fragment = hash == std::string::npos ? std::string() : url.substr(hash);
    std::string query;
    for (const auto& [name, value] : fields) {
        if (!query.empty()) query += '&';
        query += name + "=" + UrlEncodeQueryValue(value);
    }
    char last = base.empty() ? '\0' : base.back();
    if (base.find('?') == std::string::npos) base += '?';
    else if (last != '?' && last != '&') base += '&';
    return base + query + fragment;
}

}  // namespace

CHttpGet::CHttpGet() : m_life(std::make_shared<char>(0)) {}

CHttpGet::~CHttpGet() {
    // The worker holds only the shared transfer: cancelled, it ends on its own and posts
    // nothing more, and the window below goes with this object.
    if (m_transfer) m_transfer->Cancel();
}

void CHttpGet::Close() {
    if (m_transfer) m_transfer->Cancel();
    EndTransfer();
    ReleaseBlocks();
}

void CHttpGet::EndTransfer() {
    m_transfer.reset();
    m_cookie = 0;
    if (m_window && m_window->hwnd()) KillTimer(m_window->hwnd(), CGetCallbackWindow::kLookTimer);
}

void CHttpGet::OnLookTimer() {
    if (m_transfer) m_transfer->RequestLook(m_heldBytes);
}

void CHttpGet::OnProgress(ULONG, ULONG, ULONG, const char*) {}

void CHttpGet::OnDataAvailable(DWORD, DWORD) {
    char buffer[16384];
    for (DWORD n; (n = Read(buffer, sizeof(buffer))) > 0;) {
        if (m_body.size() + n > kMaxBodyBytes) {
            m_abort = kBodyTooLarge;
            return;
        }
        m_body.append(buffer, n);
    }
}

void CHttpGet::OnStopBinding(HRESULT, const char*) {}

HRESULT CHttpGet::GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) {
    // Attachments change on the server under the same URL, and a cached copy of a large
    // download would only double the disk traffic.
    *bindFlags = BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA | BINDF_GETNEWESTVERSION |
                 BINDF_NOWRITECACHE;
    bindInfo->dwBindVerb = BINDVERB_GET;
    return S_OK;
}

void CHttpGet::AddField(const std::string& name, const std::string& value) {
    m_fields.emplace_back(name, value);
}

void CHttpGet::RemoveAll() {
    m_fields.clear();
    m_body.clear();
    ReleaseBlocks();
}

void CHttpGet::ReleaseBlocks() {
    for (GetBlock& block : m_blocks) {
        if (m_transfer) m_transfer->ReturnBlock(std::move(block));
    }
    m_blocks.clear();
    m_readOffset = 0;
    m_heldBytes = 0;
}

HRESULT CHttpGet::EnsureWindow() {
    if (m_window && m_window->hwnd()) return S_OK;
    auto window = std::make_unique<CGetCallbackWindow>(this);
    RETURN_IF_FAILED(window->Create());
    m_window = std::move(window);
    return S_OK;
}

HRESULT CHttpGet::Submit(const std::string& url, HWND) {
    Close();
    m_body.clear();
    m_begun = false;
    m_abort = S_OK;
    const WPARAM cookie = NextCookie();
    m_cookie = cookie;
    std::shared_ptr<CGetTransfer> transfer;
    HRESULT hr;
    try {
        m_url = WithQuery(url, m_fields);
        hr = EnsureWindow();
        if (FAILED(hr)) {
            // Nowhere to send the answer later: it comes now.
            m_cookie = 0;
            OnStopBinding(hr, "no window for the answer");
            return hr;
        }
        DWORD bindFlags = 0;
        BINDINFO info = {};
        info.cbSize = sizeof(info);
        std::weak_ptr<char> life = m_life;
        hr = GetBindInfo(&bindFlags, &info);
        DWORD verb = info.dwBindVerb;
        ReleaseBindInfo(&info);
        // Closed, submitted again or deleted from inside GetBindInfo: this start is over.
        if (life.expired() || m_cookie != cookie) return E_ABORT;
        if (SUCCEEDED(hr) && verb != BINDVERB_GET) hr = E_INVALIDARG;

        DWORD flags = 0;
        if (bindFlags & BINDF_GETNEWESTVERSION) flags |= INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE;
        if (bindFlags & BINDF_NOWRITECACHE) flags |= INTERNET_FLAG_NO_CACHE_WRITE;
        if (bindFlags & BINDF_IGNORESECURITYPROBLEM)
            flags |= INTERNET_FLAG_IGNORE_CERT_CN_INVALID | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID;
        transfer = std::make_shared<CGetTransfer>(m_url, flags, m_timeouts);
        m_transfer = transfer;
    } catch (...) {
        hr = fw::CaughtExceptionResult();
        m_transfer.reset();
        m_cookie = 0;
        OnStopBinding(hr, "the download could not start");
        return hr;
    }
    HWND window = m_window->hwnd();
    if (SUCCEEDED(hr)) hr = CGetTransfer::Start(transfer, window, CGetCallbackWindow::kTransferMessage, cookie);
    if (SUCCEEDED(hr)) SetTimer(window, CGetCallbackWindow::kLookTimer, CGetTransfer::kLookIntervalMs, nullptr);
    if (FAILED(hr)) {
        transfer->FailBeforeStart(window, CGetCallbackWindow::kTransferMessage, cookie, hr,
                                  "the download could not start");
    }
    return hr;
}

DWORD CHttpGet::Read(void* buffer, DWORD size) {
    char* out = static_cast<char*>(buffer);
    DWORD copied = 0;
    while (copied < size && !m_blocks.empty()) {
        GetBlock& front = m_blocks.front();
        DWORD n = std::min(size - copied, front.size - m_readOffset);
        std::memcpy(out + copied, front.bytes.get() + m_readOffset, n);
        copied += n;
        m_readOffset += n;
        m_heldBytes -= n;
        if (m_readOffset == front.size) {
            GetBlock done = std::move(front);
            m_blocks.pop_front();
            m_readOffset = 0;
            if (m_transfer) m_transfer->ReturnBlock(std::move(done));
        }
    }
    return copied;
}

void CHttpGet::OnTransferMessage(WPARAM cookie) {
    if (!m_transfer || cookie != m_cookie) return;  // a message of a closed transfer
    Dispatch(cookie);
}

void CHttpGet::Dispatch(WPARAM cookie) {
    std::shared_ptr<CGetTransfer> transfer = m_transfer;
    std::weak_ptr<char> life = m_life;
    // Runs one callback; false when this transfer is no longer the object's to report:
    // closed, submitted again, or the object deleted meanwhile. No exception goes back
    // into the message loop; one from a callback ends the transfer.
    auto call = [&](auto&& callback) {
        try {
            callback();
        } catch (const std::bad_alloc&) {
            if (!life.expired() && SUCCEEDED(m_abort)) m_abort = E_OUTOFMEMORY;
        } catch (...) {
            if (!life.expired() && SUCCEEDED(m_abort)) m_abort = E_UNEXPECTED;
        }
        return !life.expired() && m_cookie == cookie;
    };

    GetUpdate update;
    try {
        const std::string url = m_url;
        transfer->Take(&m_blocks, m_heldBytes, &update);
        m_heldBytes += update.bytesTaken;
        const ULONG maximum = update.hasLength ? (update.length <= 0xFFFFFFFFull ? static_cast<ULONG>(update.length) : 0) : 0;
        const ULONG received = Clamp32(update.received);

        for (const GetStatus& status : update.statuses) {
            if (!call([&] { OnProgress(0, maximum, status.code, status.text.c_str()); })) return;
        }
        const bool ending = update.finished && SUCCEEDED(update.result) && SUCCEEDED(m_abort);
        if ((update.blocksTaken > 0 || ending) && SUCCEEDED(m_abort)) {
            DWORD flags = 0;
            if (!m_begun) {
                m_begun = true;
                flags |= BSCF_FIRSTDATANOTIFICATION;
                if (!call([&] { OnProgress(received, maximum, BINDSTATUS_BEGINDOWNLOADDATA, url.c_str()); })) return;
            }
            if (ending) {
                flags |= BSCF_LASTDATANOTIFICATION;
                if (!call([&] { OnProgress(received, maximum, BINDSTATUS_ENDDOWNLOADDATA, url.c_str()); })) return;
            } else if (!(flags & BSCF_FIRSTDATANOTIFICATION)) {
                flags |= BSCF_INTERMEDIATEDATANOTIFICATION;
                if (!call([&] { OnProgress(received, maximum, BINDSTATUS_DOWNLOADINGDATA, url.c_str()); })) return;
            }
            if (!call([&] { OnDataAvailable(flags, received); })) return;
        }
    } catch (...) {
        if (life.expired()) return;
        if (SUCCEEDED(m_abort)) m_abort = fw::CaughtExceptionResult();
    }

    if (FAILED(m_abort)) {
        // Our own failure (a body too large to collect, a callback that threw) ends the
        // transfer here, and the worker is stopped.
        HRESULT hr = m_abort;
        transfer->Cancel();
        EndTransfer();
        call([&] { OnStopBinding(hr, hr == kBodyTooLarge ? kBodyTooLargeText : "the download failed"); });
        return;
    }
    if (update.finished) {
        EndTransfer();
        call([&] { OnStopBinding(update.result, FAILED(update.result) ? update.errorText.c_str() : nullptr); });
        return;
    }
    transfer->RequestLook(m_heldBytes);
}
