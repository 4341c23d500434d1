// CNvAttCtrl: laying out the lists and rebuilding the attachment list from `attachlist`.
#include "control/NvAttCtrl.h"

#include "attach/ListProperty.h"

void CNvAttCtrl::ShowAttachList() {
    bool hasRows = m_attachList.GetItemCount() > 0;
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    int height = 0;
    RECT row = {};
    if (hasRows && m_attachList.GetItemRect(0, &row, LVIR_BOUNDS))
        height = row.bottom - row.top + 2 * GetSystemMetrics(SM_CYDLGFRAME);
    if (hasRows) {
        if (client.right < 0) client.right = 0;
        ShowWindow(m_attachList.hwnd(), SW_SHOW);
        if (m_nAttachMode == 0) MoveWindow(m_attachList.hwnd(), 0, client.top, client.right, height, TRUE);
        FireShowAttach(1);
    } else {
        ShowWindow(m_attachList.hwnd(), SW_HIDE);
        FireShowAttach(0);
    }
}

void CNvAttCtrl::ShowFileList() {
    if (m_fileList.GetItemCount() > 0) {
        ShowWindow(m_fileList.hwnd(), SW_SHOW);
        FireShowAttach(1);
    } else {
        FireShowAttach(0);  // the empty file list stays visible
    }
}

void CNvAttCtrl::OnAttachListChanged() {
    SetModifiedFlag();
    if (!m_hWnd || !m_attachList.IsWindow()) return;  // creation applies the persisted value
    m_attachList.RemoveAll();
    InsertServerRows(NoSizeSuffix::kEmptyParens);
}

bool CNvAttCtrl::InsertServerRows(NoSizeSuffix noSize) {
    const std::vector<std::string> names = SplitTabList(m_strAttachList);
    const std::vector<std::string> rows = ServerRowTexts(m_strAttachList, m_strAttachSize, noSize);
    std::string applied;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (m_attachList.InsertAttach(rows[i], 0, 0) >= 0) applied += names[i] + '\t';
    }
    m_attachList.SetAppliedAttachList(applied);
    return !applied.empty();
}
