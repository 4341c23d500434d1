// A list view whose every row owns an AttachItem record: the part the attachment list
// and the file list share.
#pragma once

#include <string>
#include <vector>

#include "attach/AttachItem.h"
#include "attach/RowText.h"
#include "framework/ListView.h"

class CAttachRowList : public fw::CListView {
public:
    // The record of a row; null for an index without one.
    AttachItem* GetAttachItem(int index) const;
    // Every row's name, in row order.
    std::vector<std::string> RowNames() const;
    // Deletes the row and then its record; false when the row could not be deleted.
    bool RemoveRow(int index);
    // Frees every record and deletes every row.
    void RemoveAll();

protected:
    // Inserts the row at index 0 with the system icon the shell gives for its file (the
    // row's text with shellFlags), and a new record; the index, or -1.
    int InsertRow(const ListRowText& row, UINT shellFlags, int size, int isLocal);
    // Attaches the shell's system image list (never owned here) and the frame styles.
    void SetUpView(DWORD extendedStyle, bool largeIcons);
    // The records go before the window; derived lists add their own clean-up.
    LRESULT ListProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    virtual void OnDestroyList() {}

private:
    void FreeRecords();
};
