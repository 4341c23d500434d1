// CAttachDlg: the server attachments of a message as large icons in a small modal dialog;
// a double-click downloads one and opens it.
#pragma once

#include <string>
#include <vector>

#include "framework/ModalDialog.h"

class CNvAttCtrl;

class CAttachDlg final : public fw::ModalDialog {
public:
    explicit CAttachDlg(HWND parent);

    std::string m_strNames;       // attachlist: tab-separated names
    std::string m_strRecordKeys;  // recordkeylist: the download URLs
    std::string m_strSizes;       // attachSize: tab-separated byte counts
    CNvAttCtrl* m_pCtrl = nullptr;
    std::vector<std::string> m_tempFiles;  // downloads made for viewing; they stay on disk

protected:
    BOOL OnInitDialog() override;
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Inserts a row at index 0 labelled with the path's file name and the size text.
    int AddItem(const std::string& path, const std::string& sizeText);
    // Downloads the row's attachment (the record key of the row's index) and opens it.
    void OpenRow(int row);

    HWND m_list = nullptr;
};
