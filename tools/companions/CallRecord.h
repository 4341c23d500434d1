// The stand-in libraries' record: one line per call, its name and arguments joined by
// "|", appended to C:\VelaWare\companion-calls.txt in the system code page.
#pragma once

#include <windows.h>

#include <string>

inline void RecordCall(const std::string& line) {
    CreateDirectoryA("C:\\VelaWare", nullptr);
    HANDLE file = CreateFileA("C:\\VelaWare\\companion-calls.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

inline std::string Text(const char* s) { return s ? s : "(null)"; }
inline std::string Number(long long n) { return std::to_string(n); }
