// Identities of the module: the GUIDs from the type library and the property page class.
#pragma once

#include <windows.h>

#include "control/NvAtt_h.h"

// {2C0D3B41-2F19-4CAC-BDB6-DCA4A9737E9F}
DEFINE_GUID(CLSID_NvAttPropPage, 0x2c0d3b41, 0x2f19, 0x4cac, 0xbd, 0xb6, 0xdc, 0xa4, 0xa9, 0x73, 0x7e, 0x9f);

constexpr WORD kNvAttLibMajor = 1;
constexpr WORD kNvAttLibMinor = 0;
