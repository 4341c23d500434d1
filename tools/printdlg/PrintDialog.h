// Stand-in for the system's Korean print dialog, with the window tree the fax watcher
// looks for: a top-level "인쇄" window, its child "일반", in that the child 1001 holding
// the printer list (a list view, id 1), and an OK button (IDOK).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Shows the dialog modally over owner with the printers listed, the first selected. The
// printer selected when OK is pressed, or "" when the dialog times out after timeoutMs or
// is cancelled.
std::wstring RunPrintDialog(HWND owner, const std::vector<std::wstring>& printers, DWORD timeoutMs);
