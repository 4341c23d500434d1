// CNvAttCtrl: the list commands that remove rows and mark a row for password protection.
#include "control/NvAttCtrl.h"

#include "attach/ListProperty.h"

void CNvAttCtrl::OnCancelAttachment() {
    std::string deleted;
    for (int row = m_attachList.GetNextItem(-1, LVNI_SELECTED); row != -1;
         row = m_attachList.GetNextItem(-1, LVNI_SELECTED)) {
        const AttachItem* item = m_attachList.GetAttachItem(row);
        std::string entry;
        if (item && item->isLocal == 1) {
            entry = item->name;
        } else {
            // Server rows are reported by their record key, which then leaves the list.
            entry = RecordKeyForRow(m_strRecordKeyList, row, m_attachList.GetItemCount());
            if (!entry.empty()) m_strRecordKeyList = RemoveRecordKey(m_strRecordKeyList, entry);
        }
        if (!m_attachList.RemoveAttach(row)) break;
        if (!entry.empty()) {
            if (!deleted.empty()) deleted += '|';
            deleted += entry;
            m_attachList.SetRecordKeyList(m_strRecordKeyList);
        }
    }
    FireDelFiles(deleted);
    ShowAttachList();
}

void CNvAttCtrl::OnPasswordToggle() {
    // The flag of the first selected row goes with its file in the upload's "encfilelist".
    int row = m_attachList.GetNextItem(-1, LVNI_SELECTED);
    if (AttachItem* item = row == -1 ? nullptr : m_attachList.GetAttachItem(row)) item->encrypt = !item->encrypt;
}

void CNvAttCtrl::OnCancelSelectedFiles() {
    for (int row = m_fileList.GetNextItem(-1, LVNI_SELECTED); row != -1;
         row = m_fileList.GetNextItem(-1, LVNI_SELECTED)) {
        if (!m_fileList.RemoveFile(row)) break;
    }
    ShowFileList();
}
