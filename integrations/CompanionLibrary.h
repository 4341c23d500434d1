// The closed libraries of the companion programs, loaded by full path only: from the
// control's own folder, else from the system folder. A bare name would also search the
// current folder, where a page's downloads may have put a file of that name.
#pragma once

#include "framework/UniqueHandle.h"

// Empty when neither folder holds the library or it does not load.
fw::UniqueHModule LoadCompanionLibrary(const char* fileName);
