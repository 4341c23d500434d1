// Stand-in for the status library: records each call and shows the status list as a
// modeless window over the control (a list box of the object and the answer's lines).
#include <windows.h>

#include <string>

#include "CallRecord.h"

namespace {

struct Session {
    std::string answer;
    std::string fbUrl;
};

HINSTANCE g_instance = nullptr;

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
    return TRUE;
}

// The answer "fail" gives no handle.
__declspec(dllexport) void* CDInitialize(const char* answer, const char* fbUrl, HWND control) {
    RecordCall("CDInitialize|" + Text(answer) + "|" + Text(fbUrl) + "|" + Number(HandleToLong(control)));
    if (answer && std::string(answer) == "fail") return nullptr;
    return new Session{Text(answer), Text(fbUrl)};
}

__declspec(dllexport) int WDSetPostUrlProperties(void* handle, const char* submitUrl, const char* engineUrl, int a,
                                                 int b) {
    RecordCall("WDSetPostUrlProperties|" + std::string(handle ? "handle" : "null") + "|" + Text(submitUrl) + "|" +
               Text(engineUrl) + "|" + Number(a) + "|" + Number(b));
    return handle != nullptr;
}

__declspec(dllexport) int WDShowCurrrentStateList(void* handle, HWND control, const char* object) {
    RecordCall("WDShowCurrrentStateList|" + std::string(handle ? "handle" : "null") + "|" +
               Number(HandleToLong(control)) + "|" + Text(object));
    if (!handle) return 0;
    auto* session = static_cast<Session*>(handle);
    RECT rect = {};
    GetWindowRect(control, &rect);
    // Owned by the control's top-level window, so it goes with it.
    HWND list = CreateWindowExA(WS_EX_TOOLWINDOW, "LISTBOX", "결재 상태", WS_POPUP | WS_CAPTION | WS_VISIBLE | WS_VSCROLL,
                                rect.left, rect.top, 300, 200, GetAncestor(control, GA_ROOT), nullptr, g_instance,
                                nullptr);
    if (!list) return 0;
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text(object).c_str()));
    size_t start = 0;
    const std::string& answer = session->answer;
    while (start <= answer.size()) {
        size_t end = answer.find('\n', start);
        if (end == std::string::npos) end = answer.size();
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(answer.substr(start, end - start).c_str()));
        start = end + 1;
    }
    return 1;
}

__declspec(dllexport) void FDCleanup(void* handle) {
    RecordCall("FDCleanup|" + std::string(handle ? "handle" : "null"));
    delete static_cast<Session*>(handle);
}

}  // extern "C"
