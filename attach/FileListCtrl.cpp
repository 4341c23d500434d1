// CFileListCtrl: the two-column report of local files shown in file-list mode.
#include "attach/FileListCtrl.h"

#include <shellapi.h>

#include <cstdint>
#include <optional>

#include "attach/SizeText.h"
#include "control/NvAttCtrl.h"
#include "res/Texts.h"

namespace {

constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                         LVS_SHAREIMAGELISTS;
constexpr int kNameColumnWidth = 220;
constexpr int kSizeColumnWidth = 125;

std::optional<std::int64_t> FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

bool CFileListCtrl::Create(HWND parent, UINT id) {
    if (!CreateListView(parent, id, kStyle)) return false;
    SetUpView(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP, false);
    if (!DeleteAllItems()) return false;
    while (DeleteColumn(0)) {
    }
    if (InsertColumn(0, texts::kFileNameColumn, kNameColumnWidth, LVCFMT_LEFT) < 0) return false;
    if (InsertColumn(1, texts::kFileSizeColumn, kSizeColumnWidth, LVCFMT_LEFT) < 0) return false;
    return true;
}

int CFileListCtrl::InsertFile(const std::string& text, int size, int isLocal) {
    ListRowText row = MakeFileRow(text);
    int index = InsertRow(row, SHGFI_SMALLICON, size, isLocal);
    if (index < 0) return 0;
    SetItemText(index, 1, FormatFileSize(FileSize(row.name)));
    return 1;
}

LRESULT CFileListCtrl::OnReflectedNotify(const NMHDR& header) {
    if (header.code == NM_DBLCLK) m_owner->OpenFileRow(GetNextItem(-1, LVNI_SELECTED));
    else if (header.code == NM_RCLICK) m_owner->ShowListMenu(true);
    return 0;
}
