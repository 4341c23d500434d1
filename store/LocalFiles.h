// The files of the local save commands and the body import: their open and save dialogs,
// and whole files read and written.
#pragma once

#include <windows.h>

#include <string>

struct LocalFileDialog {
    const char* filter = nullptr;      // "text|pattern|...|", bars as in the user texts
    const char* defaultExt = nullptr;  // null: none
    const char* title = nullptr;       // null: the system's
    DWORD flags = 0;
    std::string initialName;
    std::string initialFolder;  // empty: the system's
};

// Runs the dialog owned by owner; false unless the user chose a path. The process's
// current folder, which the system dialog moves to the chosen one, is put back.
bool AskLocalFile(HWND owner, const LocalFileDialog& dialog, bool save, std::string* path);

// Writes bytes as the whole of the file at path (made or truncated); ERROR_SUCCESS or the
// system's error.
DWORD WriteWholeFile(const std::string& path, const std::string& bytes);
// Reads the whole file at path, opened for reading only, into bytes; a file larger than
// maxBytes is ERROR_FILE_TOO_LARGE. ERROR_SUCCESS or the system's error.
DWORD ReadWholeFile(const std::string& path, unsigned long long maxBytes, std::string* bytes);
