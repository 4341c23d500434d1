// The request of the receive dialog: byte counts on its screen, the bytes into its file.
#pragma once

#include "transfer/HttpGet.h"

class CReceiveDlg;

class CReceiveGet final : public CHttpGet {
public:
    CReceiveGet() = default;

    void OnProgress(ULONG progress, ULONG maximum, ULONG statusCode, const char* statusText) override;
    void OnDataAvailable(DWORD flags, DWORD size) override;
    void OnStopBinding(HRESULT result, const char* errorText) override;

    CReceiveDlg* m_pDlg = nullptr;  // the owning dialog
};
