// CAttachListCtrl: the list view of a message's attachments (server and local rows).
#pragma once

#include <string>
#include <vector>

#include "attach/AttachRowList.h"

class CNvAttCtrl;

class CAttachListCtrl final : public CAttachRowList {
public:
    explicit CAttachListCtrl(CNvAttCtrl* owner) : m_owner(owner) {}
    ~CAttachListCtrl() override;

    // Creates the list as the owner's visible child with an empty rectangle.
    bool Create(HWND parent, UINT id);

    // Inserts one row at index 0 and returns its index, or -1.
    int InsertAttach(const std::string& text, int size, int isLocal);
    bool RemoveAttach(int index) { return RemoveRow(index); }

    const std::string& recordKeyList() const { return m_strRecordKeyList; }
    const std::string& sizeList() const { return m_strSizeList; }
    void SetRecordKeyList(const std::string& keys) { m_strRecordKeyList = keys; }
    void SetSizeList(const std::string& sizes) { m_strSizeList = sizes; }
    // The attachlist names that got a row, each followed by a tab: only these can the
    // user remove, so only these can be named for deletion on the server.
    const std::string& appliedAttachList() const { return m_strAttachList; }
    void SetAppliedAttachList(const std::string& list) { m_strAttachList = list; }

    // Files written for viewing; deleted from disk when the list object dies.
    void AddTempFile(const std::string& path) { m_tempFiles.push_back(path); }

    LRESULT OnReflectedNotify(const NMHDR& header);

private:
    CNvAttCtrl* m_owner;
    std::string m_strRecordKeyList;
    std::string m_strSizeList;
    std::string m_strAttachList;
    std::vector<std::string> m_tempFiles;
};
