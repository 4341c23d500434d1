// CFileListCtrl: the two-column report of local files shown in file-list mode.
#pragma once

#include <string>

#include "attach/AttachRowList.h"

class CNvAttCtrl;

class CFileListCtrl final : public CAttachRowList {
public:
    explicit CFileListCtrl(CNvAttCtrl* owner) : m_owner(owner) {}

    bool Create(HWND parent, UINT id);
    // Inserts one row at index 0 with the file's size in column 1; 1 when inserted.
    int InsertFile(const std::string& text, int size, int isLocal);
    bool RemoveFile(int index) { return RemoveRow(index); }

    LRESULT OnReflectedNotify(const NMHDR& header);

private:
    CNvAttCtrl* m_owner;
};
