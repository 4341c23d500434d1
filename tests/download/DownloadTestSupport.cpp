// What the download tests share: generated bodies, message loops, texts, files.
#include "DownloadTestSupport.h"

#include <cstdio>
#include <vector>

std::string GeneratedBytes(uint64_t offset, size_t n) {
    const uint64_t kBlock = 65521;
    std::string out(n, '\0');
    for (size_t k = 0; k < n; ++k) {
        uint64_t i = offset + k;
        uint64_t j = i % kBlock;
        out[k] = static_cast<char>(((7 * j + (j >> 8)) + i / kBlock) & 0xFF);
    }
    return out;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (done()) return true;
        }
        if (done()) return true;
        ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

std::string Narrow949(const std::wstring& text) {
    int n = WideCharToMultiByte(949, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(949, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::string WindowText949(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return Narrow949(text);
}

std::string ItemText949(HWND dialog, int id) {
    return WindowText949(GetDlgItem(dialog, id));
}

std::string TempFolder() {
    char path[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof(path), path);
    return std::string(path, n);
}

std::string ReadWholeFile(const std::string& path, bool* exists) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (exists) *exists = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string out;
    std::vector<char> buffer(1 << 20);
    for (DWORD got; ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0;)
        out.append(buffer.data(), got);
    CloseHandle(file);
    return out;
}

bool FileIsClosed(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

std::string TodayStamp() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof(text), "%d%d%d", now.wYear, now.wMonth, now.wDay);
    return text;
}
