// The automation error of a companion hook that refuses what the page handed it.
#pragma once

#include <string>

#include "framework/Dispatch.h"
#include "framework/Text.h"

inline HRESULT RefuseCompanionInput(const std::string& why) {
    return fw::ReportError(E_INVALIDARG, L"NVATT.NvAttCtrl.1", fw::AnsiToWide(why));
}

// UserID and SenderID become folders, page titles, script strings and register lines.
inline HRESULT RefuseUnsafeId(const char* property) {
    return RefuseCompanionInput(std::string(property) +
                                " must be 1 to 64 of A-Z a-z 0-9 . _ - @ and must not begin with \".\"");
}
