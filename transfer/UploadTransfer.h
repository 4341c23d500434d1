// One run of an upload: the WinInet POST that carries a form to a URL, shared by the
// thread that runs it and the thread that waits for it.
#pragma once

#include "framework/UniqueHandle.h"
#include "transfer/CancellableRequest.h"
#include "transfer/MultipartForm.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Timeouts of one upload, in milliseconds.
struct UploadTimeouts {
    DWORD connectMs = 30000;
    // One write of a chunk; a server that reads nothing for this long is given up.
    DWORD sendMs = 60000;
    // The wait for the answer after the last byte: the page stores the attachments first.
    DWORD receiveMs = 120000;
};

// Fills a buffer with the random bytes of a boundary; false when it cannot.
using BoundaryRandomSource = std::function<bool(uint8_t* bytes, size_t count)>;

class CUploadTransfer {
public:
    // Writes of 1 MB keep the per-call cost of WinInet small; three are assembled ahead.
    static constexpr size_t kChunkBytes = 1024 * 1024;
    static constexpr size_t kReplyChunkBytes = 64 * 1024;
    // Answers are texts for a message box; a longer one is not an answer of the upload pages.
    static constexpr size_t kMaxReplyBytes = 16 * 1024 * 1024;

    // random: where boundaries come from; empty for the system's random generator.
    CUploadTransfer(CMultipartForm form, std::string url, std::string authorization,
                    UploadTimeouts timeouts, BoundaryRandomSource random = {});
    ~CUploadTransfer();
    CUploadTransfer(const CUploadTransfer&) = delete;
    CUploadTransfer& operator=(const CUploadTransfer&) = delete;

    // Runs the whole upload on the calling thread; the result is also kept in Result().
    HRESULT Run();
    // Runs the upload on a new thread that keeps the module loaded until it ends.
    [[nodiscard]] static HRESULT RunOnWorkerThread(const std::shared_ptr<CUploadTransfer>& transfer);

    // Asks a running upload to stop; any thread. A blocking call is aborted where the
    // platform allows it (closing the request handle); otherwise the run stops at the next
    // call and ends within the timeouts.
    void Cancel();
    // Posts message to window once the run has ended (null: nobody), any thread.
    void SetNotifyWindow(HWND window, UINT message);
    // Waits up to ms for the run to end; true when it has.
    bool WaitDone(DWORD ms) const;

    uint64_t BytesSent() const { return m_sent.load(); }
    uint64_t BytesTotal() const { return m_total.load(); }
    // Valid once the run has ended.
    HRESULT Result() const { return m_result; }
    DWORD StatusCode() const { return m_status; }
    const std::string& Reply() const { return m_reply; }

private:
    HRESULT Transfer();
    HRESULT FileSizes(std::vector<uint64_t>* sizes) const;
    HRESULT SendOnce(HINTERNET connection, const std::string& objectPath, bool secure,
                     const std::string& boundary, const std::vector<BodySegment>& segments);
    HRESULT Write(const char* data, size_t size);
    HRESULT ReadReply();
    void SetTimeouts(HINTERNET handle) const;
    void PublishRequest(HINTERNET request);
    void CloseRequest();

    const CMultipartForm m_form;
    const std::string m_url;
    const std::string m_authorization;
    const UploadTimeouts m_timeouts;
    const BoundaryRandomSource m_random;

    std::atomic<uint64_t> m_sent{0};
    std::atomic<uint64_t> m_total{0};
    std::vector<char> m_buffer;  // for the answer

    CCancellableRequest m_call;
    // The run's own: the request it opened and not yet closed, and whether its answer was
    // read to the end.
    bool m_requestOpen = false;
    bool m_answerRead = false;
    HINTERNET m_session = nullptr;  // our own session, while Transfer holds it open
    mutable SRWLOCK m_lock = SRWLOCK_INIT;  // guards the notification
    HWND m_notifyWindow = nullptr;
    UINT m_notifyMessage = 0;

    fw::UniqueKernelHandle m_done;  // manual-reset event, set when the run has ended
    HRESULT m_result = E_PENDING;
    DWORD m_status = 0;
    std::string m_reply;
};
