// The watcher that sends the print dialog a page opens after EvClickSendFax to the fax
// printer: it selects the fax driver's printer in the dialog and presses OK.
#pragma once

#include <windows.h>

namespace fax {

// The printer the watcher selects: the first whose name begins with this.
inline constexpr wchar_t kFaxPrinterPrefix[] = L"TELFAX NT Printer Driver";

// Starts the watcher for owner's print job unless one already waits (one at a time: it
// serves the next print dialog of this process either way). It ends after handling one
// print dialog, after timeoutMs, or when owner's window is destroyed (Stop). The watcher
// holds a reference on the module, so a host that lets the control go does not unload
// the code it runs. False when no thread could be started.
bool StartWatcher(HWND owner, DWORD timeoutMs);

// Ends the watcher started for owner, if any.
void StopWatcher(HWND owner);

// True while a watcher runs (tests).
bool WatcherRunning();

// One look at this process's print dialogs: in the first top-level window titled "인쇄"
// of this process, the list view id 1 in child 1001 of its child "일반": the fax
// printer's row is selected and OK posted. False, and nothing touched, when the tree or
// the row is missing. Runs on the watcher thread; also used by tests.
bool SendPrintDialogToFax(HWND printDialog);

// The first top-level window titled "인쇄" that belongs to this process, or null.
HWND FindOwnPrintDialog();

}  // namespace fax
