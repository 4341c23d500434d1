// CNvAttCtrl: the hooks of the companion desktop programs: the process register of the
// relay program, its login file, the two client programs' checks and starting a program.
#include "control/NvAttCtrl.h"

#include "framework/ErrorMacros.h"
#include "framework/TempFolder.h"
#include "framework/UniqueHandle.h"
#include "integrations/CompanionErrors.h"
#include "integrations/CompanionRules.h"
#include "res/Texts.h"

namespace {

const char kDtaProgram[] = "C:\\DOD_Ezuvar\\NStartup.exe";
const char kDtaFolder[] = "C:\\DOD_Ezuvar\\";
const char kTcaKey[] = "SYSTEM\\CurrentControlSet\\Services\\Eventlog\\Application\\ZEdadozOzizude\\";
const char kTcaValue[] = "EventMessageFile";
const char kWriteFolder[] = "C:\\VelaWare\\";  // the control's own files
constexpr DWORD kRegisterWaitMs = 2000;
constexpr DWORD kRegisterMaxBytes = 1024 * 1024;

std::string WindowsFolder() {
    char folder[MAX_PATH];
    UINT n = GetWindowsDirectoryA(folder, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::string() : std::string(folder, n);
}

// "C:\Program Files\LinkRelay" on the Windows folder's drive (text up to its first ":").
std::string RelayFolder() {
    std::string windows = WindowsFolder();
    size_t colon = windows.find(':');
    if (colon == std::string::npos) return std::string();
    return windows.substr(0, colon + 1) + "\\Program Files\\LinkRelay";
}

bool IsFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The second client program's file as its registry value names it (quotes removed), or
// empty. Read-only: full access fails for users who are not administrators.
std::string FindTcaProgram() {
    fw::UniqueHKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTcaKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return {};
    char value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), kTcaValue, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    std::string path = WithoutQuotes(std::string(value, strnlen(value, size)));
    if (type == REG_EXPAND_SZ) {
        char expanded[MAX_PATH];
        DWORD n = ExpandEnvironmentStringsA(path.c_str(), expanded, MAX_PATH);
        if (n == 0 || n > MAX_PATH) return {};
        path = expanded;
    }
    return IsFile(path) ? path : std::string();
}

// Folders whose programs DoExe may start; none the control writes into.
std::vector<std::string> CompanionFolders() {
    std::vector<std::string> folders = {kDtaFolder};
    std::string relay = RelayFolder();
    if (!relay.empty()) folders.push_back(relay + "\\");
    std::string tca = FolderOfPath(FindTcaProgram());
    std::string temp = fw::TempFolder();
    if (!tca.empty() && !IsWithinFolder(tca, kWriteFolder) && !IsWithinFolder(tca, temp)) folders.push_back(tca);
    return folders;
}

// The register under one exclusive open: another host that edits it at the same time
// waits its turn (up to 2 s).
fw::UniqueFile OpenRegister(const std::string& path, DWORD disposition) {
    DWORD waited = 0;
    for (;;) {
        fw::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_SHARING_VIOLATION || waited >= kRegisterWaitMs) return file;
        Sleep(50);
        waited += 50;
    }
}

HRESULT ReadWhole(HANDLE file, std::string* content) {
    LARGE_INTEGER size = {};
    RETURN_IF_WIN32_BOOL_FALSE(GetFileSizeEx(file, &size));
    RETURN_HR_IF(HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE), size.QuadPart > kRegisterMaxBytes);
    content->assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!content->empty()) RETURN_IF_WIN32_BOOL_FALSE(ReadFile(file, &(*content)[0], static_cast<DWORD>(content->size()), &read, nullptr));
    content->resize(read);
    return S_OK;
}

HRESULT Rewrite(HANDLE file, const std::string& content) {
    RETURN_HR_IF(HRESULT_FROM_WIN32(GetLastError()), SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER);
    DWORD written = 0;
    if (!content.empty()) RETURN_IF_WIN32_BOOL_FALSE(WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    RETURN_IF_WIN32_BOOL_FALSE(SetEndOfFile(file));
    return S_OK;
}

HRESULT ReportRegisterFailure(HRESULT hr) {
    return fw::ReportError(hr, L"NVATT.NvAttCtrl.1", L"the process register of the relay program cannot be updated");
}

}  // namespace

HRESULT CNvAttCtrl::DoSetProcess() {
    if (!IsSafeUserId(m_strUserID)) return RefuseUnsafeId("UserID");
    std::string folder = RelayFolder();
    if (folder.empty() || !IsFolder(folder)) return S_OK;  // the relay program is not installed
    fw::UniqueFile file = OpenRegister(folder + "\\Pname.inf", OPEN_ALWAYS);
    if (!file) return ReportRegisterFailure(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()));
    std::string content;
    HRESULT hr = ReadWhole(file.get(), &content);
    if (SUCCEEDED(hr) && AddRegisterLine(&content, m_strUserID + ":" + std::to_string(GetCurrentProcessId()) + "\r\n"))
        hr = Rewrite(file.get(), content);
    return FAILED(hr) ? ReportRegisterFailure(hr) : S_OK;
}

HRESULT CNvAttCtrl::DoDetachProcess() {
    if (!IsSafeUserId(m_strUserID)) return RefuseUnsafeId("UserID");
    std::string folder = RelayFolder();
    if (folder.empty() || !IsFile(folder + "\\Pname.inf")) return S_OK;
    fw::UniqueFile file = OpenRegister(folder + "\\Pname.inf", OPEN_EXISTING);
    if (!file) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return S_OK;
        return ReportRegisterFailure(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()));
    }
    std::string content;
    HRESULT hr = ReadWhole(file.get(), &content);
    if (SUCCEEDED(hr) && RemoveRegisterLine(&content, m_strUserID + ":" + std::to_string(GetCurrentProcessId()) + "\r\n"))
        hr = Rewrite(file.get(), content);
    return FAILED(hr) ? ReportRegisterFailure(hr) : S_OK;
}

HRESULT CNvAttCtrl::DoSetLoginINI() {
    // A line break in a value would write keys and sections of the page's choosing.
    if (HasControlCharacter(m_strUserSabun)) return RefuseCompanionInput("UserSabun must not contain control characters");
    if (HasControlCharacter(m_strUserIP)) return RefuseCompanionInput("UserIP must not contain control characters");
    std::string windows = WindowsFolder();
    if (windows.empty()) return S_OK;
    std::string path = windows + "\\KOT_LoginUser.ini";
    WritePrivateProfileStringA("userinfo", "sabun", m_strUserSabun.c_str(), path.c_str());
    WritePrivateProfileStringA("userinfo", "ip", m_strUserIP.c_str(), path.c_str());
    return S_OK;
}

HRESULT CNvAttCtrl::DoCheckDTA(long* result) {
    *result = IsFile(kDtaProgram) ? 0 : 1;
    return S_OK;
}

HRESULT CNvAttCtrl::DoCheckTCA(const std::string&, std::string* result) {
    *result = FindTcaProgram();
    return S_OK;
}

HRESULT CNvAttCtrl::DoExe(const std::string& szPath, bool* result) {
    ExeCommand command;
    ExeRule rule = CheckExeCommand(szPath, CompanionFolders(), &command);
    if (rule != ExeRule::kOk) return RefuseCompanionInput(std::string("DoExe: ") + ExeRuleText(rule));
    // The program is the application name: no search along the path, no shell.
    std::string commandLine = "\"" + command.program + "\"";
    if (!command.arguments.empty()) commandLine += " " + command.arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    std::string folder = FolderOfPath(command.program);
    if (CreateProcessA(command.program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       folder.c_str(), &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        const char* text = nullptr;
        switch (GetLastError()) {
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: text = texts::kExeNoResources; break;
        case ERROR_FILE_NOT_FOUND: text = texts::kExeNotFound; break;
        // A missing companion folder is a wrong path to the program.
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DIRECTORY: text = texts::kExePathNotFound; break;
        case ERROR_BAD_EXE_FORMAT: text = texts::kExeBadFormat; break;
        default: break;
        }
        if (text) ShowMessage(text, MB_ICONEXCLAMATION);
    }
    *result = true;
    return S_OK;
}
