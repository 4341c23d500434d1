// Records what the control asks of the system's open-file and save-file dialogs (filter,
// flags, the name and folder they start with), which the dialog's window does not show:
// the control module's imports of GetOpenFileNameA and GetSaveFileNameA are pointed at
// recorders that then call the system's functions.
#pragma once

#include <windows.h>

#include <string>

class CFileDialogRecorder {
public:
    struct Call {
        std::wstring filter;  // the filter's zero-separated texts joined by "|", ending in "||"
        DWORD flags = 0;
        std::wstring initialName;    // what the file name box starts with
        std::wstring initialFolder;
    };

    // Redirects the module's imports of comdlg32's two file dialogs; false when the module
    // imports neither.
    static bool Install(HMODULE module);
    // The call whose dialog is up now, or null outside such a call.
    static const Call* Current();
};
