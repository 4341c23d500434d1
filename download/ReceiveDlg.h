// The modal dialog that copies one URL into a file the caller names, with the byte
// counts grouped by thousands.
#pragma once

#include "download/DownloadFile.h"
#include "download/ReceiveGet.h"
#include "framework/ModalDialog.h"
#include "framework/ProgressCtrl.h"

#include <string>

class CReceiveDlg final : public fw::ModalDialog {
public:
    explicit CReceiveDlg(HWND parent);
    ~CReceiveDlg() override;

    // DoModal returns as the download dialog's does: the transfer's HRESULT, E_ABORT (also
    // when torn down with its page), or the system error code of a destination that could
    // not be created.

    std::string m_strUrl;
    fw::CProgressCtrl m_progress;  // control 225, 0 to 100
    std::string m_strFileName;     // static 1001
    std::string m_strLocalPath;    // static 1003: the destination, which the caller gives
    std::string m_strPartPath;     // when set, the bytes go here and m_strLocalPath is only shown
    std::string m_strServer;       // static 1002
    std::string m_strStatus;       // static 1005, in the template but not visible
    std::string m_strTransferred;  // static 1004, "%s/%s바이트"
    CReceiveGet m_http;
    CDownloadFile m_hFile;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    INT_PTR EndedWithoutResult(HRESULT why) override;

private:
    friend class CReceiveGet;

    void PushFields();
};
