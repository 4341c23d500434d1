// The modal dialog that downloads one URL into a file or into memory, with the sizes in
// KB and a percentage bar.
#pragma once

#include "download/DownloadFile.h"
#include "download/DownloadGet.h"
#include "framework/ModalDialog.h"
#include "framework/ProgressCtrl.h"

#include <string>

class CDownloadDlg final : public fw::ModalDialog {
public:
    // A body kept in memory may grow this large; a larger one ends the download with
    // HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE).
    static constexpr size_t kMaxMemoryBytes = 64 * 1024 * 1024;

    explicit CDownloadDlg(HWND parent);
    ~CDownloadDlg() override;

    // DoModal (of the base) returns the transfer's HRESULT (0 or more: the body arrived),
    // E_ABORT when the user cancelled or the dialog was torn down with its page, or the
    // system error code of a destination that could not be created (a positive number).

    std::string m_strUrl;
    // A decimal byte count the caller knows: the total when the server gives none.
    std::string m_strSizeHint;
    fw::CProgressCtrl m_progress;  // control 210, 0 to 100
    std::string m_strFileSize;     // static 214, "%d KB"
    std::string m_strFileName;     // static 213, the name shown; it yields the generated name
    std::string m_strTransferred;  // static 202, "%d KB"
    // Static 1015. Empty at start: a path in the temporary folder is generated. After
    // DoModal, the path written.
    std::string m_strSavePath;
    // When set, the bytes go here instead and m_strSavePath is only shown: a save that
    // replaces the destination once the whole body is in.
    std::string m_strPartPath;
    std::string m_strTitle;        // the caption, set at initialisation
    BOOL m_bToMemory = FALSE;      // TRUE: the body goes to m_strData, no file is made
    std::string m_strData;
    CDownloadGet m_http;
    CDownloadFile m_hFile;         // the destination, while it is open

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    INT_PTR EndedWithoutResult(HRESULT why) override;

private:
    friend class CDownloadGet;

    // Pushes the four display strings to their statics.
    void PushFields();
};
