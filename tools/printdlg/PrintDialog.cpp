// Stand-in for the system's Korean print dialog.
#include "tools/printdlg/PrintDialog.h"

#include <commctrl.h>

namespace {

const wchar_t kClass[] = L"NvTestPrintDialog";
const wchar_t kPageClass[] = L"NvTestPrintPage";
constexpr UINT_PTR kTimeoutTimer = 1;

struct DialogState {
    bool done = false;
    std::wstring selected;
    HWND list = nullptr;
};

std::wstring SelectedPrinter(HWND list) {
    int row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row < 0) return L"";
    wchar_t text[260] = {};
    LVITEMW item = {};
    item.pszText = text;
    item.cchTextMax = 260;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

LRESULT CALLBACK DialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        break;
    case WM_COMMAND:
        if (state && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
            state->selected = LOWORD(wParam) == IDOK ? SelectedPrinter(state->list) : L"";
            state->done = true;
            return 0;
        }
        break;
    case WM_TIMER:
        if (state && wParam == kTimeoutTimer) {
            state->done = true;
            return 0;
        }
        break;
    case WM_CLOSE:
        if (state) state->done = true;
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSW dialog = {};
    dialog.lpfnWndProc = &DialogProc;
    dialog.hInstance = instance;
    dialog.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    dialog.lpszClassName = kClass;
    RegisterClassW(&dialog);
    WNDCLASSW page = {};
    page.lpfnWndProc = &DefWindowProcW;
    page.hInstance = instance;
    page.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    page.lpszClassName = kPageClass;
    RegisterClassW(&page);
}

}  // namespace

std::wstring RunPrintDialog(HWND owner, const std::vector<std::wstring>& printers, DWORD timeoutMs) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterClasses(instance);
    DialogState state;
    HWND dialog = CreateWindowExW(WS_EX_DLGMODALFRAME, kClass, L"인쇄", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                  100, 100, 420, 300, owner, nullptr, instance, &state);
    if (!dialog) return L"";
    HWND general = CreateWindowExW(0, kPageClass, L"일반", WS_CHILD | WS_VISIBLE, 10, 10, 390, 200, dialog, nullptr,
                                   instance, nullptr);
    HWND holder = CreateWindowExW(0, kPageClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 390, 200, general,
                                  reinterpret_cast<HMENU>(1001), instance, nullptr);
    state.list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_LIST | LVS_SINGLESEL |
                                 LVS_SHOWSELALWAYS, 0, 0, 390, 200, holder, reinterpret_cast<HMENU>(1), instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"확인", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 230, 220, 80, 26, dialog,
                    reinterpret_cast<HMENU>(IDOK), instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"취소", WS_CHILD | WS_VISIBLE, 320, 220, 80, 26, dialog,
                    reinterpret_cast<HMENU>(IDCANCEL), instance, nullptr);
    for (size_t i = 0; i < printers.size(); ++i) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(printers[i].c_str());
        SendMessageW(state.list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    if (!printers.empty()) {
        LVITEMW selected = {};
        selected.stateMask = selected.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(state.list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
    }
    SetTimer(dialog, kTimeoutTimer, timeoutMs, nullptr);
    // Modal: the owner takes no input until the dialog ends.
    bool ownerEnabled = owner && IsWindowEnabled(owner);
    if (ownerEnabled) EnableWindow(owner, FALSE);
    MSG msg;
    while (!state.done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (ownerEnabled) EnableWindow(owner, TRUE);
    KillTimer(dialog, kTimeoutTimer);
    DestroyWindow(dialog);
    return state.selected;
}
