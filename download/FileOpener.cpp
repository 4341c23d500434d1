// Opening a file the way the desktop does, with the companion viewer for the system's
// message files.
#include "download/FileOpener.h"

#include <shellapi.h>

#include "attach/Cp949Text.h"
#include "download/OpenRules.h"
#include "res/Texts.h"

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string ShortForm(const std::string& path) {
    char buffer[MAX_PATH];
    DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : std::string();
}

// The program the desktop opens path with; empty when it has none.
std::string AssociatedProgram(const std::string& path) {
    char program[MAX_PATH] = "";
    auto found = reinterpret_cast<INT_PTR>(FindExecutableA(path.c_str(), nullptr, program));
    return found > 32 ? std::string(program) : std::string();
}

bool IsHostProgram(const std::string& program) {
    char host[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, host, MAX_PATH);
    if (program.empty() || n == 0 || n >= MAX_PATH) return false;
    std::string hostPath(host, n);
    if (EqualNoCaseCp949(hostPath, program)) return true;
    std::string hostShort = ShortForm(hostPath), programShort = ShortForm(program);
    return !hostShort.empty() && !programShort.empty() && EqualNoCaseCp949(hostShort, programShort);
}

}  // namespace

std::string FillIn(const char* format, const std::string& value) {
    std::string text = format;
    std::size_t at = text.find('%');
    if (at != std::string::npos && at + 1 < text.size()) text.replace(at, 2, value);
    return text;
}

void LaunchViewer(const std::string& path) {
    char system[MAX_PATH];
    UINT n = GetSystemDirectoryA(system, MAX_PATH);
    std::string viewer = std::string(system, n < MAX_PATH ? n : 0) + "\\VelaV2.exe";
    ShellExecuteA(nullptr, "open", viewer.c_str(), Quoted(path).c_str(), nullptr, SW_SHOWNORMAL);
}

void ShellOpenFile(const std::string& path, HWND owner, const std::string& caption) {
    std::string program = AssociatedProgram(path);
    // A browser that hosts the control and opens this type itself would get the file in
    // the running instance; a new one is started with it instead.
    HINSTANCE launched = IsHostProgram(program)
        ? ShellExecuteA(owner, "open", program.c_str(), Quoted(path).c_str(), nullptr, SW_SHOW)
        : ShellExecuteA(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(launched) <= 32)
        MessageBoxA(owner, FillIn(texts::kCannotRun, path).c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
}

void OpenFile(const std::string& path, OpenRoute route, bool askFirst, HWND owner, const std::string& caption) {
    std::string extension = LowerExtension(path);
    if (route != OpenRoute::kShell && IsMessageFileExtension(extension)) {
        LaunchViewer(path);
        return;
    }
    if (route == OpenRoute::kViewerOrBrowser && IsWebPageExtension(extension)) {
        std::string program = AssociatedProgram(path);
        if (!program.empty()) {
            WinExec((Quoted(program) + " " + Quoted(path)).c_str(), SW_SHOW);
            return;
        }
    }
    // Mail programs ask before they run what a message brought; No opens nothing.
    if (askFirst && RunsCode(extension) &&
        MessageBoxA(owner, FillIn(texts::kRunsCodeQuestion, path).c_str(), caption.c_str(),
                    MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
        return;
    ShellOpenFile(path, owner, caption);
}
