// The fetch of a workflow attachment into a local file through the receive dialog.
#pragma once

#include <windows.h>

#include <string>

// Fetches baseUrl + "WFAttach.asp?ID=...&FileName=..." into localPath through a modal
// CReceiveDlg owned by parent, and returns its DoModal result (negative: failed or
// cancelled). id is the attachment's identifier: sent as it is when idIsText, else as
// the hex text of its bytes. With partPath the bytes go there and localPath is only shown.
INT_PTR ReceiveWFAttach(HWND parent, const std::string& baseUrl, const std::string& id, bool idIsText,
                        const std::string& fileName, const std::string& localPath,
                        const std::string& partPath = std::string());
