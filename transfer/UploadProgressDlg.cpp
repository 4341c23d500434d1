// The modal window an upload shows while it runs: bytes sent, percentage, Cancel.
#include "transfer/UploadProgressDlg.h"

#include "framework/ProgressCtrl.h"
#include "res/Texts.h"
#include "transfer/UploadTransfer.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

namespace {

const UINT kMsgTransferDone = WM_APP + 1;
const UINT_PTR kTimerId = 1;
const UINT kTimerMs = 100;
const int kProgressRange = 1000;
const INT_PTR kEndStartFailed = 0x100;
// The texts are compiled as CP949 whatever the system's code page is.
const UINT kTextCodePage = 949;

std::wstring Wide(const char* text) {
    int n = MultiByteToWideChar(kTextCodePage, 0, text, -1, nullptr, 0);
    if (n <= 1) return std::wstring();
    std::wstring out(n - 1, L'\0');
    MultiByteToWideChar(kTextCodePage, 0, text, -1, &out[0], n);
    return out;
}

std::string Grouped(uint64_t value) {
    std::string digits = std::to_string(value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

// A dialog template in memory: the transfer library carries no resources of its own.
class TemplateWriter {
public:
    void Header(DWORD style, WORD items, short cx, short cy, const std::wstring& caption) {
        Dword(style);
        Dword(0);  // extended style
        Word(items);
        Word(0); Word(0); Word(static_cast<WORD>(cx)); Word(static_cast<WORD>(cy));
        Word(0);  // no menu
        Word(0);  // the dialog class
        String(caption);
        Word(9);
        String(L"MS Shell Dlg");
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
              const wchar_t* className, const std::wstring& text) {
        Align();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(static_cast<WORD>(x)); Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx)); Word(static_cast<WORD>(cy));
        Word(id);
        if (className) {
            String(className);
        } else {
            Word(0xFFFF);
            Word(atom);
        }
        String(text);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void Word(WORD w) { m_words.push_back(w); }
    void Dword(DWORD d) { Word(LOWORD(d)); Word(HIWORD(d)); }
    void String(const std::wstring& s) {
        for (wchar_t c : s) Word(static_cast<WORD>(c));
        Word(0);
    }
    void Align() {
        if (m_words.size() % 2) Word(0);
    }
    std::vector<WORD> m_words;  // vector storage is aligned for DWORDs
};

const WORD kButtonAtom = 0x0080;
const WORD kStaticAtom = 0x0082;

}  // namespace

CUploadProgressDlg::CUploadProgressDlg(std::shared_ptr<CUploadTransfer> transfer, HWND owner)
    : m_transfer(std::move(transfer)), m_owner(owner) {}

std::string CUploadProgressDlg::FormatProgress(uint64_t sent, uint64_t total) {
    int percent = total ? static_cast<int>(sent * 100 / total) : 0;
    char line[128];
    std::snprintf(line, sizeof(line), texts::kUploadProgress, Grouped(sent).c_str(),
                  Grouped(total).c_str(), percent);
    return line;
}

HRESULT CUploadProgressDlg::DoModal() {
    fw::CProgressCtrl::EnsureClass();

    TemplateWriter dialog;
    dialog.Header(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU, 4,
                  240, 78, Wide(texts::kUploadCaption));
    dialog.Item(SS_LEFT, 10, 10, 220, 10, kIdStatus, kStaticAtom, nullptr, Wide(texts::kUploadSending));
    dialog.Item(SS_LEFT, 10, 24, 220, 10, kIdBytes, kStaticAtom, nullptr, std::wstring());
    dialog.Item(0, 10, 38, 220, 10, kIdProgress, 0, PROGRESS_CLASSW, std::wstring());
    dialog.Item(BS_PUSHBUTTON | WS_TABSTOP, 95, 56, 50, 14, IDCANCEL, kButtonAtom, nullptr,
                Wide(texts::kUploadCancel));

    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&CUploadProgressDlg::DialogProc), &module);
    INT_PTR end = DialogBoxIndirectParamW(module, dialog.Get(), m_owner, DialogProc,
                                          reinterpret_cast<LPARAM>(this));
    if (end == -1) return HRESULT_FROM_WIN32(GetLastError() ? GetLastError() : ERROR_CANNOT_MAKE);
    if (end == kEndStartFailed) return m_startResult;
    if (end == IDOK) return S_OK;
    // Cancelled, or gone without an end of ours: nothing waits for the answer any more.
    m_transfer->Cancel();
    return E_ABORT;
}

INT_PTR CALLBACK CUploadProgressDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may unwind through the system's frames; the texts allocate.
    try {
        return HandleMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

INT_PTR CUploadProgressDlg::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CUploadProgressDlg*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return self->OnInitDialog(hwnd);
    }
    auto* self = reinterpret_cast<CUploadProgressDlg*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
    case WM_TIMER:
        if (wParam != kTimerId) return FALSE;
        self->OnTimer();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL) return FALSE;
        self->OnCancel();
        return TRUE;
    case kMsgTransferDone:
        self->OnTransferDone();
        return TRUE;
    case WM_DESTROY:
        self->OnDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL CUploadProgressDlg::OnInitDialog(HWND hwnd) {
    m_hwnd = hwnd;
    SendDlgItemMessageW(hwnd, kIdProgress, PBM_SETRANGE32, 0, kProgressRange);
    OnTimer();
    // The worker tells this window when it ends; it starts only once the window exists.
    m_transfer->SetNotifyWindow(hwnd, kMsgTransferDone);
    m_startResult = CUploadTransfer::RunOnWorkerThread(m_transfer);
    if (FAILED(m_startResult)) {
        m_transfer->SetNotifyWindow(nullptr, 0);
        EndDialog(hwnd, kEndStartFailed);
        return TRUE;
    }
    SetTimer(hwnd, kTimerId, kTimerMs, nullptr);
    return TRUE;
}

void CUploadProgressDlg::OnTimer() {
    uint64_t sent = m_transfer->BytesSent(), total = m_transfer->BytesTotal();
    SetDlgItemTextW(m_hwnd, kIdBytes, Wide(FormatProgress(sent, total).c_str()).c_str());
    int position = total ? static_cast<int>(sent * kProgressRange / total) : 0;
    SendDlgItemMessageW(m_hwnd, kIdProgress, PBM_SETPOS, position, 0);
}

void CUploadProgressDlg::OnCancel() {
    m_transfer->Cancel();
    EndDialog(m_hwnd, IDCANCEL);
}

void CUploadProgressDlg::OnTransferDone() {
    OnTimer();
    EndDialog(m_hwnd, IDOK);
}

void CUploadProgressDlg::OnDestroy() {
    // A cancelled transfer may end after this window: it must not post to a handle that
    // another window may own by then.
    m_transfer->SetNotifyWindow(nullptr, 0);
    KillTimer(m_hwnd, kTimerId);
}
