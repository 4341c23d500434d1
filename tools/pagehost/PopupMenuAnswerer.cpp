// Answers the control's context menus with the keyboard, as a user would, and records them.
#include "tools/pagehost/PopupMenuAnswerer.h"

#include <string>

namespace {

CPopupMenuAnswerer* s_menus = nullptr;
constexpr UINT kGetMenu = 0x01E1;  // MN_GETHMENU: the menu a popup menu window shows

void PostKey(HWND window, WPARAM key) { PostMessageW(window, WM_KEYDOWN, key, 0); }

}  // namespace

CPopupMenuAnswerer::~CPopupMenuAnswerer() {
    if (m_hook) UnhookWindowsHookEx(m_hook);
    if (s_menus == this) s_menus = nullptr;
}

bool CPopupMenuAnswerer::Install(HWND hostWindow) {
    m_hostWindow = hostWindow;
    s_menus = this;
    m_hook = SetWindowsHookExW(WH_CBT, &CPopupMenuAnswerer::CbtProc, nullptr, GetCurrentThreadId());
    return m_hook != nullptr;
}

LRESULT CALLBACK CPopupMenuAnswerer::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && s_menus) {
        wchar_t name[16] = {};
        GetClassNameW(reinterpret_cast<HWND>(wParam), name, 16);
        // The menu's loop dispatches other messages while it waits for input.
        if (std::wstring(name) == L"#32768") PostMessageW(s_menus->m_hostWindow, kMenuMessage, wParam, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CPopupMenuAnswerer::OnMenuMessage(WPARAM wParam) {
    auto window = reinterpret_cast<HWND>(wParam);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(window, kGetMenu, 0, 0));
    if (!IsWindow(window) || !menu) return;
    DialogRecord record;
    record.kind = L"menu";
    std::wstring action;
    bool answered = m_answers.Take(L"menu", &action);
    record.answer = answered ? action : L"Escape";
    // Items as "id text", with " (disabled)" for a grayed one; the keys that reach the
    // chosen item: one Down per item up to it.
    int downs = 0, chosenDowns = 0;
    bool chosenEnabled = false;
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (state & MF_SEPARATOR) continue;
        ++downs;
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        bool enabled = !(state & (MF_GRAYED | MF_DISABLED));
        if (!record.text.empty()) record.text += L"\n";
        record.text += std::to_wstring(GetMenuItemID(menu, i)) + L" " + text + (enabled ? L"" : L" (disabled)");
        if (action == text) {
            chosenDowns = downs;
            chosenEnabled = enabled;
        }
    }
    m_report.dialogs.push_back(record);
    if (!answered) {
        m_report.failures.push_back(L"host: a menu the page did not expect:\n" + record.text);
    } else if (action != L"Escape" && !chosenEnabled) {
        m_report.failures.push_back(L"host: the page chose " + action + L", which the menu does not offer:\n" +
                                    record.text);
    } else if (action != L"Escape") {
        for (int i = 0; i < chosenDowns; ++i) PostKey(window, VK_DOWN);
        PostKey(window, VK_RETURN);
        return;
    }
    PostKey(window, VK_ESCAPE);
}
