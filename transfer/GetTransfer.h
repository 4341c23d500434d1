// One run of a GET: the WinInet request on a worker thread and the bounded queue of
// received blocks it fills, shared by the worker and the request object that hands the
// blocks out on its own thread.
#pragma once

#include "transfer/CancellableRequest.h"

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

// Timeouts of one GET, in milliseconds.
struct GetTimeouts {
    DWORD connectMs = 30000;
    // A server that sends nothing for this long, before or inside the body, is given up.
    DWORD receiveMs = 60000;
};

// A block of received bytes. Blocks go back to the transfer once read, so a long
// download reuses a handful of them.
struct GetBlock {
    std::unique_ptr<char[]> bytes;
    DWORD size = 0;
};

// A status of the request before its data: connecting, sending, the type of the answer.
struct GetStatus {
    ULONG code;  // the URL-moniker numbering (BINDSTATUS_...)
    std::string text;
};

// What the reader's thread takes at one look.
struct GetUpdate {
    std::vector<GetStatus> statuses;
    bool hasLength = false;
    uint64_t length = 0;      // the server's Content-Length
    uint64_t received = 0;    // bytes handed out so far, those taken now included
    DWORD blocksTaken = 0;
    uint64_t bytesTaken = 0;
    bool finished = false;    // the run is over and every block has been handed out
    HRESULT result = S_OK;    // valid when finished
    std::string errorText;    // valid when finished and failed
};

class CGetTransfer {
public:
    // A quarter of a megabyte: a block the worker has just read is still in the cache
    // when the reader copies it out, and the queue holds a few megabytes at most.
    static constexpr DWORD kBlockBytes = 256 * 1024;
    // The worker reads ahead at most this many blocks, and the reader takes blocks while
    // it holds less than half of that. Blocks read through are kept for reuse, as many as
    // can be in use at once: freeing and allocating blocks of this size would map fresh
    // pages for every block of a download.
    static constexpr size_t kQueueBlocks = 16;
    static constexpr uint64_t kReaderLimitBytes = uint64_t{kBlockBytes} * kQueueBlocks / 2;
    static constexpr size_t kFreeBlocks = kQueueBlocks + kQueueBlocks / 2 + 1;
    // New blocks are announced at once when the reader has not looked for this long, or
    // when half the queue is full; in between they wait for the reader's next look, which
    // its own timer makes at this interval. A fast download then wakes the reader a few
    // hundred times per gigabyte, a slow one as its bytes come.
    static constexpr DWORD kLookIntervalMs = 50;

    // requestFlags: INTERNET_FLAG_... for the request (cache and certificate choices).
    CGetTransfer(std::string url, DWORD requestFlags, GetTimeouts timeouts);
    ~CGetTransfer();
    CGetTransfer(const CGetTransfer&) = delete;
    CGetTransfer& operator=(const CGetTransfer&) = delete;

    // Starts the worker. Whenever something new waits it posts `message` with wParam
    // `cookie` to window, one message at a time until the reader has looked. The thread
    // holds its own reference on the transfer and on the module, so the reader may drop
    // the transfer at any time.
    [[nodiscard]] static HRESULT Start(const std::shared_ptr<CGetTransfer>& transfer, HWND window,
                                       UINT message, WPARAM cookie);
    // Ends a run that never started with this result, announced like any other end.
    void FailBeforeStart(HWND window, UINT message, WPARAM cookie, HRESULT result, const std::string& text);
    // Any thread: the worker stops at its next step (a blocking read is cut where the
    // platform allows it) and nothing more is posted.
    void Cancel();

    // The reader's side, on the window's thread. Takes the statuses and, while the
    // reader holds fewer than kReaderLimitBytes (heldBytes), the waiting blocks.
    void Take(std::deque<GetBlock>* blocks, uint64_t heldBytes, GetUpdate* update);
    // A block the reader has read through; the worker fills it again.
    void ReturnBlock(GetBlock block);
    // Posts another message when the end waits, or blocks that are due (by the rule
    // above) and that the reader, holding heldBytes, may take; none if one is on its way.
    void RequestLook(uint64_t heldBytes);

private:
    void Run();
    HRESULT Transfer();
    HRESULT ReadBody(bool hasLength, uint64_t length);
    void Finish(HRESULT result, const std::string& text);
    void AddStatus(ULONG code, std::string text);
    void PostLocked();
    void SetTimeouts(HINTERNET handle) const;
    bool WaitForRoom();
    GetBlock NewBlock();

    void PublishRequest(HINTERNET request);
    void CloseRequest();

    const std::string m_url;
    const DWORD m_requestFlags;
    const GetTimeouts m_timeouts;
    std::string m_failureText;  // the worker's own words for its failure
    CCancellableRequest m_call;   // the request, which Cancel may close mid-call

    mutable SRWLOCK m_lock = SRWLOCK_INIT;  // guards everything below
    CONDITION_VARIABLE m_room = CONDITION_VARIABLE_INIT;
    HWND m_window = nullptr;
    UINT m_message = 0;
    WPARAM m_cookie = 0;
    bool m_posted = false;
    ULONGLONG m_nextLookAt = 0;  // before then, new blocks wait for the reader's timer
    bool m_cancelled = false;
    std::vector<GetStatus> m_statuses;
    std::deque<GetBlock> m_queue;
    std::vector<GetBlock> m_free;
    bool m_hasLength = false;
    uint64_t m_length = 0;
    uint64_t m_handedOut = 0;
    bool m_done = false;
    bool m_endTaken = false;
    HRESULT m_result = E_PENDING;
    std::string m_errorText;
};
