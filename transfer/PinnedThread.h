// A detached worker thread that keeps this module loaded until its work is done.
#pragma once

#include <windows.h>

#include <functional>

// Runs work on a new thread. The thread holds a reference on the module that contains
// this code, so a host that unloads the control while a transfer is still winding down
// (a cancel the platform cannot abort at once) does not pull the code from under it.
[[nodiscard]] HRESULT StartPinnedThread(std::function<void()> work);
