// CFileListCtrl: the two-column report of local files shown in file-list mode.
#pragma once

#include <string>

#include "attach/AttachItem.h"
#include "framework/ListView.h"

class CNvAttCtrl;

class CFileListCtrl final : public fw::CListView {
public:
    explicit CFileListCtrl(CNvAttCtrl* owner) : m_owner(owner) {}

    bool Create(HWND parent, UINT id);
    // Inserts one row at index 0; returns 1.
    int InsertFile(const std::string& text, int size, int isLocal);
    bool RemoveFile(int index);
    AttachItem* GetAttachItem(int index) const;

    LRESULT OnReflectedNotify(const NMHDR& header);

protected:
    LRESULT ListProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void FreeRecords();

    CNvAttCtrl* m_owner;
    HIMAGELIST m_imageList = nullptr;  // the shell's; never destroyed here
};
