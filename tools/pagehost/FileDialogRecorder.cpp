// Records the filter and flags the control passes to the system's open-file dialog.
#include "tools/pagehost/FileDialogRecorder.h"

#include <commdlg.h>

#include <cstring>

namespace {

using OpenFn = BOOL(WINAPI*)(OPENFILENAMEA*);

OpenFn s_systemOpen = nullptr;
OpenFn s_systemSave = nullptr;
CFileDialogRecorder::Call s_call;
bool s_inCall = false;

std::wstring Wide(const char* text) {
    if (!text) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], n);
    wide.resize(wide.size() - 1);
    return wide;
}

std::wstring FilterText(const char* filter) {
    std::string joined;
    if (filter) {
        // Texts follow each other, each ended by a zero byte; an empty text ends the list.
        for (const char* p = filter; *p; p += strlen(p) + 1) joined += std::string(p) + "|";
        joined += "|";
    }
    int n = MultiByteToWideChar(CP_ACP, 0, joined.data(), static_cast<int>(joined.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, joined.data(), static_cast<int>(joined.size()), &wide[0], n);
    return wide;
}

BOOL Record(OpenFn system, OPENFILENAMEA* ofn) {
    s_call.filter = FilterText(ofn ? ofn->lpstrFilter : nullptr);
    s_call.flags = ofn ? ofn->Flags : 0;
    s_call.initialName = Wide(ofn ? ofn->lpstrFile : nullptr);
    s_call.initialFolder = Wide(ofn ? ofn->lpstrInitialDir : nullptr);
    s_inCall = true;
    BOOL result = system(ofn);
    s_inCall = false;
    return result;
}

BOOL WINAPI RecordingOpen(OPENFILENAMEA* ofn) { return Record(s_systemOpen, ofn); }
BOOL WINAPI RecordingSave(OPENFILENAMEA* ofn) { return Record(s_systemSave, ofn); }

template <class Fn>
Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

bool CFileDialogRecorder::Install(HMODULE module) {
    HMODULE comdlg = LoadLibraryW(L"comdlg32.dll");
    auto open = Export<OpenFn>(comdlg, "GetOpenFileNameA");
    auto save = Export<OpenFn>(comdlg, "GetSaveFileNameA");
    if (!module || !open || !save) return false;
    bool any = false;
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return false;
    // The loader filled the import address table with the system's addresses: the entry
    // that holds GetOpenFileNameA's is the one to redirect.
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
        for (auto* slot = reinterpret_cast<ULONG_PTR*>(base + imp->FirstThunk); *slot; ++slot) {
            bool isOpen = *slot == reinterpret_cast<ULONG_PTR>(open);
            if (!isOpen && *slot != reinterpret_cast<ULONG_PTR>(save)) continue;
            DWORD old = 0;
            if (!VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old)) return false;
            (isOpen ? s_systemOpen : s_systemSave) = isOpen ? open : save;
            *slot = reinterpret_cast<ULONG_PTR>(isOpen ? &RecordingOpen : &RecordingSave);
            VirtualProtect(slot, sizeof(*slot), old, &old);
            any = true;
        }
    }
    return any;
}

const CFileDialogRecorder::Call* CFileDialogRecorder::Current() { return s_inCall ? &s_call : nullptr; }
