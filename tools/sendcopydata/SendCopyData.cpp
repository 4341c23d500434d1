// Stand-in for a companion program that hands the control an answer: sends one
// WM_COPYDATA, from a window of its own, to a window given by its handle.
//
//   SendCopyData.exe <window handle> <code> [text]
//
// The handle and the code are decimal (or 0x-prefixed hex). The text goes as its bytes in
// the system code page, without a terminating zero; without it the message carries no
// data. The exit code is the receiver's answer (the control answers 1 for a message it
// handled, 0 for one it passed on); 100 when the handle names no window, 101 for wrong
// arguments, 102 when the receiver did not answer within 10 seconds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool ParseNumber(const char* text, unsigned long long* value) {
    char* end = nullptr;
    *value = std::strtoull(text, &end, 0);
    return end != text && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
    unsigned long long handle = 0, code = 0;
    if (argc < 3 || argc > 4 || !ParseNumber(argv[1], &handle) || !ParseNumber(argv[2], &code)) {
        std::fprintf(stderr, "usage: SendCopyData <window handle> <code> [text]\n");
        return 101;
    }
    HWND target = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
    if (!IsWindow(target)) {
        std::fprintf(stderr, "SendCopyData: %s is not a window\n", argv[1]);
        return 100;
    }
    HWND self = CreateWindowExA(0, "STATIC", "SendCopyData", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    COPYDATASTRUCT data = {};
    data.dwData = static_cast<ULONG_PTR>(code);
    if (argc == 4 && argv[3][0]) {
        data.cbData = static_cast<DWORD>(std::strlen(argv[3]));
        data.lpData = argv[3];
    }
    DWORD_PTR answer = 0;
    BOOL sent = SendMessageTimeoutA(target, WM_COPYDATA, reinterpret_cast<WPARAM>(self),
                                    reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 10000, &answer);
    if (self) DestroyWindow(self);
    if (!sent) {
        std::fprintf(stderr, "SendCopyData: no answer (%lu)\n", GetLastError());
        return 102;
    }
    return static_cast<int>(answer);
}
