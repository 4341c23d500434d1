// CAttachListCtrl: the list view of a message's attachments (server and local rows).
#include "attach/AttachListCtrl.h"

#include <shellapi.h>

#include "control/NvAttCtrl.h"

namespace {

constexpr DWORD kIconStyle = WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE |
                             LVS_ALIGNLEFT;
constexpr DWORD kSmallIconStyle = WS_CHILD | WS_VISIBLE | LVS_SMALLICON | LVS_SHOWSELALWAYS |
                                  LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE | LVS_NOCOLUMNHEADER;

}  // namespace

CAttachListCtrl::~CAttachListCtrl() {
    for (const std::string& path : m_tempFiles) DeleteFileA(path.c_str());
}

bool CAttachListCtrl::Create(HWND parent, UINT id) {
    bool largeIcons = m_owner->attachMode() == 0;
    m_strAttachList.clear();  // a new window has no rows yet
    if (!CreateListView(parent, id, largeIcons ? kIconStyle : kSmallIconStyle)) return false;
    SetUpView(LVS_EX_INFOTIP, largeIcons);
    return true;
}

int CAttachListCtrl::InsertAttach(const std::string& text, int size, int isLocal) {
    return InsertRow(MakeAttachRow(text, m_owner->viewMode()), 0, size, isLocal);
}

LRESULT CAttachListCtrl::OnReflectedNotify(const NMHDR& header) {
    if (header.code == NM_DBLCLK) m_owner->OnAttachListDoubleClick();
    else if (header.code == NM_RCLICK) m_owner->ShowListMenu(false);
    return 0;
}
