// Records what the control asks of the system's open-file dialog (its filter and flags),
// which the dialog's window does not show: the control module's import of
// GetOpenFileNameA is pointed at a recorder that then calls the system's function.
#pragma once

#include <windows.h>

#include <string>

class CFileDialogRecorder {
public:
    struct Call {
        std::wstring filter;  // the filter's zero-separated texts joined by "|", ending in "||"
        DWORD flags = 0;
    };

    // Redirects the module's import of comdlg32's GetOpenFileNameA; false when the module
    // does not import it.
    static bool Install(HMODULE module);
    // The call whose dialog is up now, or null outside such a call.
    static const Call* Current();
};
