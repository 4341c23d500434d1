// The print-dialog watcher of fax sending.
#include "fax/FaxWatcher.h"

#include <commctrl.h>

#include <atomic>
#include <string>

#include "framework/Module.h"

namespace fax {
namespace {

constexpr DWORD kPollMs = 1000;
constexpr DWORD kSettleMs = 1000;  // the dialog fills its printer list after it shows
constexpr int kGeneralPageListHolderId = 1001;
constexpr int kPrinterListId = 1;

// Shared between the host thread and the watcher: whether one runs and for which window.
// The stop event lives as long as the process, so a late Stop never signals a closed handle.
std::atomic<HWND> s_owner{nullptr};
std::atomic<bool> s_running{false};

HANDLE StopEvent() {
    static HANDLE s_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return s_stop;
}

struct WatchJob {
    HWND owner;
    HANDLE stop;
    DWORD timeoutMs;
    HMODULE module;  // our reference, released as the thread ends
};

std::wstring WindowText(HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

BOOL CALLBACK FindDialogProc(HWND window, LPARAM param) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && WindowText(window) == L"인쇄") {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

// True when stopped (or the owner is gone) during the wait.
bool WaitStopped(const WatchJob& job, DWORD ms) {
    return WaitForSingleObject(job.stop, ms) != WAIT_TIMEOUT || !IsWindow(job.owner);
}

DWORD WINAPI WatchThread(void* param) {
    WatchJob job = *static_cast<WatchJob*>(param);
    delete static_cast<WatchJob*>(param);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < job.timeoutMs && !WaitStopped(job, kPollMs)) {
        HWND dialog = FindOwnPrintDialog();
        if (!dialog) continue;
        if (!WaitStopped(job, kSettleMs)) SendPrintDialogToFax(dialog);
        break;
    }
    s_owner.store(nullptr);
    s_running.store(false);
    FreeLibraryAndExitThread(job.module, 0);
}

}  // namespace

HWND FindOwnPrintDialog() {
    HWND found = nullptr;
    EnumWindows(&FindDialogProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool SendPrintDialogToFax(HWND printDialog) {
    HWND general = FindWindowExW(printDialog, nullptr, nullptr, L"일반");
    HWND holder = general ? GetDlgItem(general, kGeneralPageListHolderId) : nullptr;
    HWND list = holder ? GetDlgItem(holder, kPrinterListId) : nullptr;
    if (!list) return false;
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const std::wstring prefix = kFaxPrinterPrefix;
    for (int i = 0; i < count; ++i) {
        wchar_t text[260] = {};
        LVITEMW item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = 260;
        SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
        if (std::wstring(text).compare(0, prefix.size(), prefix) != 0) continue;
        LVITEMW state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&state));
        // OK only once the fax printer is the selected one, never for the current printer.
        PostMessageW(printDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(printDialog, IDOK)));
        return true;
    }
    return false;
}

bool StartWatcher(HWND owner, DWORD timeoutMs) {
    bool idle = false;
    if (!s_running.compare_exchange_strong(idle, true)) return true;  // the running one serves
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&WatchThread),
                            &module)) {
        s_running.store(false);
        return false;
    }
    HANDLE stop = StopEvent();
    if (stop) ResetEvent(stop);
    auto* job = new WatchJob{owner, stop, timeoutMs, module};
    s_owner.store(owner);
    HANDLE thread = stop ? CreateThread(nullptr, 0, &WatchThread, job, CREATE_SUSPENDED, nullptr) : nullptr;
    if (!thread) {
        delete job;
        s_owner.store(nullptr);
        FreeLibrary(module);
        s_running.store(false);
        return false;
    }
    SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
    ResumeThread(thread);
    CloseHandle(thread);
    return true;
}

void StopWatcher(HWND owner) {
    if (owner && s_owner.load() == owner) SetEvent(StopEvent());
}

bool WatcherRunning() { return s_running.load(); }

}  // namespace fax
