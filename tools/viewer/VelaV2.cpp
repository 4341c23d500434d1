// Stand-in for the document viewer that the control starts on message files and signed
// documents, and (copied elsewhere) for the programs associated with test file types:
// appends the command line it was started with to a record file and exits.
//
// The record file is the one NVATT_CALLS_FILE names, else C:\VelaWare\viewer-calls.txt;
// one UTF-8 line per start.
#include <windows.h>

#include <string>

int main() {
    const wchar_t* commandLine = GetCommandLineW();
    int n = WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, nullptr, 0, nullptr, nullptr);
    std::string line(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, &line[0], n, nullptr, nullptr);
    line += "\n";
    CreateDirectoryW(L"C:\\VelaWare", nullptr);
    wchar_t path[MAX_PATH] = L"C:\\VelaWare\\viewer-calls.txt";
    DWORD length = GetEnvironmentVariableW(L"NVATT_CALLS_FILE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) lstrcpyW(path, L"C:\\VelaWare\\viewer-calls.txt");
    HANDLE record = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (record == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(record, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(record);
    return 0;
}
