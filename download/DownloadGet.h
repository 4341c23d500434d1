// The request of the download dialog: puts the transfer on its screen and its bytes
// into the file or into memory.
#pragma once

#include "transfer/HttpGet.h"

class CDownloadDlg;

class CDownloadGet final : public CHttpGet {
public:
    CDownloadGet() = default;

    void OnProgress(ULONG progress, ULONG maximum, ULONG statusCode, const char* statusText) override;
    void OnDataAvailable(DWORD flags, DWORD size) override;
    void OnStopBinding(HRESULT result, const char* errorText) override;

    CDownloadDlg* m_pDlg = nullptr;  // the owning dialog
};
