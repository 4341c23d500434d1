// The user's folder for temporary files, in the ANSI form the file functions take.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// With its trailing backslash; empty when the system has none that fits MAX_PATH.
inline std::string TempFolder() {
    char path[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof(path), path);
    return std::string(path, n < sizeof(path) ? n : 0);
}

}  // namespace fw
