// PrintDlg.exe printers timeoutMs: shows the stand-in print dialog and prints the printer
// selected at OK (UTF-8, one line; empty at its time-out). Printers are separated by "|".
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/printdlg/PrintDialog.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fwprintf(stderr, L"usage: PrintDlg printer|printer... timeoutMs\n");
        return 2;
    }
    std::vector<std::wstring> printers;
    std::wstring list = argv[1];
    for (size_t start = 0; start <= list.size();) {
        size_t bar = list.find(L'|', start);
        if (bar == std::wstring::npos) bar = list.size();
        if (bar > start) printers.push_back(list.substr(start, bar - start));
        start = bar + 1;
    }
    std::wstring selected = RunPrintDialog(nullptr, printers, static_cast<DWORD>(_wtoi(argv[2])));
    int n = WideCharToMultiByte(CP_UTF8, 0, selected.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, selected.c_str(), -1, &text[0], n, nullptr, nullptr);
    printf("%s\n", text.c_str());
    return 0;
}
