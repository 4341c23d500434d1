// CNvAttCtrl: laying out the lists and rebuilding the attachment list from `attachlist`.
#include "control/NvAttCtrl.h"

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
    // Names are runs of non-tab characters; the n-th takes the n-th tab-terminated size.
    size_t sizePos = 0;
    bool sizesLeft = true;
    size_t pos = 0;
    const std::string& names = m_strAttachList;
    while (pos < names.size()) {
        if (names[pos] == '\t') {
            ++pos;
            continue;
        }
        size_t end = names.find('\t', pos);
        if (end == std::string::npos) end = names.size();
        std::string name = names.substr(pos, end - pos);
        pos = end;
        std::string suffix = "()";
        if (sizesLeft) {
            size_t tab = m_strAttachSize.find('\t', sizePos);
            if (tab == std::string::npos) {
                sizesLeft = false;
            } else {
                long bytes = strtol(m_strAttachSize.substr(sizePos, tab - sizePos).c_str(), nullptr, 10);
                long kb = (bytes + 1023) / 1024;
                std::string digits = std::to_string(kb), grouped;
                for (size_t i = 0; i < digits.size(); ++i) {
                    grouped += digits[i];
                    size_t left = digits.size() - 1 - i;
                    if (left > 0 && left % 3 == 0) grouped += ',';
                }
                suffix = "(" + grouped + "K)";
                sizePos = tab + 1;
            }
        }
        m_attachList.InsertAttach(" " + name + suffix, 0, 0);
    }
    m_attachList.SetAppliedAttachList(m_strAttachList);
}
