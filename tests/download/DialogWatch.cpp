// Watches the dialogs of this thread while a modal loop runs, as a user would.
#include "DialogWatch.h"

#include "DownloadTestSupport.h"

#include <commctrl.h>

namespace {

CDialogWatch* s_watch = nullptr;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    if (ClassOf(window) == "#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindThreadDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

DialogLook LookAt(HWND dialog) {
    DialogLook look;
    look.caption = WindowText949(dialog);
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(c);
        std::string cls = ClassOf(c);
        if (id == -1 || id == 0xFFFF) {
            if (_stricmp(cls.c_str(), "Static") == 0) look.labels.push_back(WindowText949(c));
            continue;
        }
        look.texts[id] = WindowText949(c);
        if (cls == PROGRESS_CLASSA && look.progress < 0)
            look.progress = static_cast<int>(SendMessageW(c, PBM_GETPOS, 0, 0));
    }
    return look;
}

CDialogWatch::CDialogWatch(std::function<void(HWND)> onTick, UINT intervalMs) : m_onTick(std::move(onTick)) {
    s_watch = this;
    if (m_onTick) m_timer = SetTimer(nullptr, 0, intervalMs, &CDialogWatch::OnTimer);
    m_hook = SetWindowsHookExW(WH_CBT, &CDialogWatch::OnCbt, nullptr, GetCurrentThreadId());
}

CDialogWatch::~CDialogWatch() {
    if (m_timer) KillTimer(nullptr, m_timer);
    if (m_hook) UnhookWindowsHookEx(m_hook);
    s_watch = nullptr;
}

void CALLBACK CDialogWatch::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!s_watch || !s_watch->m_onTick) return;
    if (HWND dialog = FindThreadDialog()) s_watch->m_onTick(dialog);
}

LRESULT CALLBACK CDialogWatch::OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_DESTROYWND && s_watch) {
        auto window = reinterpret_cast<HWND>(wParam);
        if (ClassOf(window) == "#32770") {
            s_watch->m_closed = LookAt(window);
            ++s_watch->m_closedCount;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void ClickButton(HWND dialog, int id) {
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PressKey(HWND dialog, UINT key) {
    // The key goes to the control that has the focus; the dialog's loop turns Esc into
    // its Cancel command.
    HWND focus = GetFocus();
    HWND target = focus && (focus == dialog || IsChild(dialog, focus)) ? focus : dialog;
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}
