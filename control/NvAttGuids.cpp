// Storage for the type library's GUIDs (class, interfaces, library) and the property page.
#include <initguid.h>

#include "control/NvAtt_h.h"
#include "control/NvAttIds.h"
