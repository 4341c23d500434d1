// One run of an upload: the WinInet POST that carries a form to a URL, shared by the
// thread that runs it and the thread that waits for it.
#include "transfer/UploadTransfer.h"

#include "transfer/HttpConnection.h"
#include "transfer/PinnedThread.h"

#include "framework/ErrorMacros.h"
#include "transfer/BodyReader.h"

#include <ntsecapi.h>

#include <new>

namespace {

// The boundary is 128 random bits, so a file holds it only when made to; a few fresh
// tries settle even that.
const int kBoundaryTries = 3;
const HRESULT kNoAnswer = HRESULT_FROM_WIN32(ERROR_INTERNET_CONNECTION_ABORTED);

bool IsHttpStatusSuccess(DWORD status) { return status >= 200 && status < 300; }

}  // namespace

CUploadTransfer::CUploadTransfer(CMultipartForm form, std::string url, std::string authorization,
                                 UploadTimeouts timeouts, BoundaryRandomSource random)
    : m_form(std::move(form)),
      m_url(std::move(url)),
      m_authorization(std::move(authorization)),
      m_timeouts(timeouts),
      m_random(std::move(random)),
      m_done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CUploadTransfer::~CUploadTransfer() = default;

HRESULT CUploadTransfer::Run() {
    HRESULT hr;
    try {
        hr = Transfer();
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    } catch (...) {
        // Nothing may unwind into the thread's start or a caller's COM method.
        hr = E_UNEXPECTED;
    }
    if (FAILED(hr)) m_reply.clear();
    m_result = hr;
    fw::SrwGuard guard(m_lock);
    if (m_done) SetEvent(m_done.get());
    if (m_notifyWindow) PostMessageW(m_notifyWindow, m_notifyMessage, 0, 0);
    return hr;
}

HRESULT CUploadTransfer::RunOnWorkerThread(const std::shared_ptr<CUploadTransfer>& transfer) {
    // The thread may outlive the caller's wait (a cancel that the platform cannot abort),
    // so it holds its own reference on the transfer.
    return StartPinnedThread([transfer] { transfer->Run(); });
}

void CUploadTransfer::Cancel() { m_call.Cancel(); }

void CUploadTransfer::SetNotifyWindow(HWND window, UINT message) {
    fw::SrwGuard guard(m_lock);
    m_notifyWindow = window;
    m_notifyMessage = message;
}

bool CUploadTransfer::WaitDone(DWORD ms) const {
    return m_done && WaitForSingleObject(m_done.get(), ms) == WAIT_OBJECT_0;
}

void CUploadTransfer::PublishRequest(HINTERNET request) {
    m_call.Publish(request);
    m_requestOpen = true;
    m_answerRead = false;
}

void CUploadTransfer::CloseRequest() {
    m_call.Close();
    bool cut = m_requestOpen && !m_answerRead;
    m_requestOpen = false;
    // Some WinInet versions (Wine's) put a reused connection back into their pool even
    // when its request was cut mid-body or its answer never came; the next request to
    // the server would then continue the cut body or read the late answer. Dropping the
    // pool's idle connections closes it. Only failed uploads pay for this, and it is asked
    // of our own session: the browser's connections are not ours to drop.
    if (cut && m_session) InternetSetOptionA(m_session, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
}

void CUploadTransfer::SetTimeouts(HINTERNET handle) const {
    SetInternetTimeouts(handle, m_timeouts.connectMs, m_timeouts.sendMs, m_timeouts.receiveMs);
}

HRESULT CUploadTransfer::FileSizes(std::vector<uint64_t>* sizes) const {
    // Sizes only: the body reader opens each file when its turn comes, so opening many
    // files overlaps the network instead of delaying the first byte.
    const std::vector<FormPart>& parts = m_form.Parts();
    sizes->assign(parts.size(), 0);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!parts[i].isFile) continue;
        WIN32_FILE_ATTRIBUTE_DATA data;
        RETURN_IF_WIN32_BOOL_FALSE(GetFileAttributesExA(parts[i].value.c_str(), GetFileExInfoStandard, &data));
        // Opening a folder for reading fails the same way.
        RETURN_HR_IF(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED),
                     data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        (*sizes)[i] = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return S_OK;
}

HRESULT CUploadTransfer::Transfer() {
    // A header line cannot carry a line break; the server would read a second header.
    RETURN_HR_IF(E_INVALIDARG, m_authorization.find_first_of("\r\n") != std::string::npos);

    HttpTarget target;
    RETURN_IF_FAILED(CrackHttpUrl(m_url, &target));

    std::vector<uint64_t> sizes;
    RETURN_IF_FAILED(FileSizes(&sizes));
    m_buffer.resize(kReplyChunkBytes);

    HttpConnection http;
    RETURN_IF_FAILED(
        OpenHttpConnection(target, m_timeouts.connectMs, m_timeouts.sendMs, m_timeouts.receiveMs, &http));
    m_session = http.session.get();
    // The request handle goes before its connection: closing a parent ends its children,
    // and a second close of a dead handle could hit a new one that reuses its value.
    struct RequestCloser {
        CUploadTransfer* transfer;
        ~RequestCloser() {
            transfer->CloseRequest();
            transfer->m_session = nullptr;
        }
    } requestCloser{this};

    for (int attempt = 0; attempt < kBoundaryTries; ++attempt) {
        uint8_t random[CMultipartForm::kBoundaryRandomBytes];
        bool filled = m_random ? m_random(random, sizeof(random)) : RtlGenRandom(random, sizeof(random));
        RETURN_HR_IF(E_FAIL, !filled);
        std::string boundary = CMultipartForm::MakeBoundary(random);
        std::vector<BodySegment> segments;
        if (!m_form.Layout(boundary, sizes, &segments)) continue;
        HRESULT hr = SendOnce(http.connection.get(), target.objectPath, target.secure, boundary, segments);
        if (hr != CBodyReader::kBoundaryInFile) return hr;
        // The request was cut short; the server drops an upload whose body never completed.
        CloseRequest();
    }
    return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
}

HRESULT CUploadTransfer::SendOnce(HINTERNET connection, const std::string& objectPath, bool secure,
                                  const std::string& boundary,
                                  const std::vector<BodySegment>& segments) {
    const uint64_t total = CMultipartForm::ContentLength(segments);
    m_total = total;
    m_sent = 0;

    static const char* const kAccept[] = {"*/*", nullptr};
    // Redirects are not followed: after a redirect WinInet would send a GET without the
    // body, and the page that answers would not be the upload page.
    DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI |
                  INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_AUTO_REDIRECT |
                  INTERNET_FLAG_PRAGMA_NOCACHE | (secure ? INTERNET_FLAG_SECURE : 0);
    HINTERNET request = HttpOpenRequestA(connection, "POST", objectPath.c_str(), nullptr, nullptr,
                                         const_cast<const char**>(kAccept), flags, 0);
    RETURN_HR_IF(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()), !request);
    PublishRequest(request);
    SetTimeouts(request);

    // Content-Length goes in as a header of our own: the length field of
    // HttpSendRequestEx holds only 32 bits.
    std::string headers = "Content-Type: " + CMultipartForm::ContentType(boundary) + "\r\n" +
                          "Content-Length: " + std::to_string(total) + "\r\n";
    if (!m_authorization.empty()) headers += "Authorization: " + m_authorization + "\r\n";
    RETURN_IF_FAILED(m_call.Call([&](HINTERNET r) {
        return HttpAddRequestHeadersA(r, headers.c_str(), static_cast<DWORD>(headers.size()),
                                      HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
    }));
    INTERNET_BUFFERSA buffers = {};
    buffers.dwStructSize = sizeof(buffers);
    buffers.dwBufferTotal = total <= MAXDWORD ? static_cast<DWORD>(total) : 0;
    RETURN_IF_FAILED(m_call.Call([&](HINTERNET r) { return HttpSendRequestExA(r, &buffers, nullptr, 0, 0); }));

    // The body is assembled ahead while earlier chunks are on the wire.
    std::vector<CBodyReader::Piece> pieces;
    for (const BodySegment& segment : segments) {
        if (segment.filePart >= 0) {
            pieces.push_back({nullptr, &m_form.Parts()[segment.filePart].value, segment.fileSize});
        } else {
            pieces.push_back({&segment.bytes, nullptr, segment.bytes.size()});
        }
    }
    CBodyReader reader(std::move(pieces), boundary, kChunkBytes);
    RETURN_IF_FAILED(reader.Start());
    for (;;) {
        CBodyReader::Chunk chunk;
        HRESULT hr = reader.Next(&chunk);
        if (hr == S_FALSE) break;
        RETURN_IF_FAILED(hr);
        RETURN_IF_FAILED(Write(chunk.data, chunk.size));
        reader.Release();
    }
    RETURN_HR_IF(E_UNEXPECTED, m_sent != total);
    RETURN_IF_FAILED(m_call.Call([](HINTERNET r) { return HttpEndRequestA(r, nullptr, 0, 0); }));

    DWORD status = 0, length = sizeof(status);
    HRESULT hr = m_call.Call([&](HINTERNET r) {
        return HttpQueryInfoA(r, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr);
    });
    if (hr == E_ABORT) return hr;
    // Some WinInet versions end a request whose connection died or timed out without an
    // error, leaving no status: that is no answer, not an empty one.
    RETURN_HR_IF(kNoAnswer, FAILED(hr) || status == 0);
    m_status = status;
    RETURN_HR_IF(MAKE_HRESULT(SEVERITY_ERROR, FACILITY_HTTP, status), !IsHttpStatusSuccess(status));
    RETURN_IF_FAILED(ReadReply());
    m_answerRead = true;
    return S_OK;
}

HRESULT CUploadTransfer::Write(const char* data, size_t size) {
    while (size > 0) {
        DWORD chunk = static_cast<DWORD>(size < kChunkBytes ? size : kChunkBytes);
        DWORD written = 0;
        RETURN_IF_FAILED(m_call.Call([&](HINTERNET r) { return InternetWriteFile(r, data, chunk, &written); }));
        RETURN_HR_IF(kNoAnswer, written == 0);
        data += written;
        size -= written;
        m_sent += written;
    }
    return S_OK;
}

HRESULT CUploadTransfer::ReadReply() {
    m_reply.clear();
    char lengthText[32] = {};
    DWORD lengthSize = sizeof(lengthText) - 1;
    bool hasLength = SUCCEEDED(m_call.Call([&](HINTERNET r) {
        return HttpQueryInfoA(r, HTTP_QUERY_CONTENT_LENGTH, lengthText, &lengthSize, nullptr);
    }));
    for (;;) {
        DWORD got = 0;
        RETURN_IF_FAILED(m_call.Call([&](HINTERNET r) {
            return InternetReadFile(r, m_buffer.data(), static_cast<DWORD>(m_buffer.size()), &got);
        }));
        if (got == 0) break;
        RETURN_HR_IF(HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), m_reply.size() + got > kMaxReplyBytes);
        m_reply.append(m_buffer.data(), got);
    }
    // A connection that dies inside the answer can look like its end; the length tells.
    RETURN_HR_IF(kNoAnswer, hasLength && std::to_string(m_reply.size()) != lengthText);
    return S_OK;
}
