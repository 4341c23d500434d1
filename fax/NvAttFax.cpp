// CNvAttCtrl: DoSendNowFax, which fetches a message's attachments, tells the page which
// of them the fax printer can print (EvClickSendFax) and starts the print-dialog watcher.
#include "control/NvAttCtrl.h"

#include <winspool.h>

#include <vector>

#include "fax/FaxEventText.h"
#include "fax/FaxWatcher.h"
#include "res/Texts.h"
#include "transfer/UrlCoding.h"

namespace {

constexpr DWORD kWatchLimitMs = 60 * 1000;
constexpr size_t kRowTextChars = 100;

// The fax driver is installed when the spooler lists a driver of exactly this name. The
// buffer is sized from the need the first call reports.
bool FaxDriverInstalled() {
    DWORD needed = 0, returned = 0;
    EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &returned);
    if (needed == 0) return false;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed, &returned)) return false;
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        if (drivers[i].pName && lstrcmpA(drivers[i].pName, "TELFAX NT Printer Driver") == 0) return true;
    }
    return false;
}

}  // namespace

HRESULT CNvAttCtrl::DoSendNowFax(const std::string&) {
    // Only the NT family is served: the older family's driver entries, folders and
    // restart are not this control's to make.
    if (!FaxDriverInstalled()) {
        MessageBoxA(m_hWnd, texts::kFaxInstallDriver, texts::kFaxInstallCaption, MB_OK | MB_ICONINFORMATION);
        return S_OK;
    }
    auto keep = KeepAlive();  // the downloads run modal loops
    std::vector<FaxRow> rows;
    int count = m_attachList.IsWindow() ? m_attachList.GetItemCount() : 0;
    for (int row = 0; row < count && m_attachList.IsWindow(); ++row) {
        const AttachItem* item = m_attachList.GetAttachItem(row);
        FaxRow fax;
        if (item && item->isLocal == 1) fax.path = item->name;  // already on this computer
        else fax.path = DownloadRowToTemp(row);
        rows.push_back(fax);
    }
    if (!m_attachList.IsWindow() && count > 0) return S_OK;  // the page took the control away
    int rowsNow = m_attachList.IsWindow() ? m_attachList.GetItemCount() : 0;
    for (int row = 0; row < static_cast<int>(rows.size()) && row < rowsNow; ++row)
        rows[row].text = m_attachList.GetItemText(row, 0).substr(0, kRowTextChars);
    std::string text = BuildFaxEventText(UrlEncodeQueryValue(m_strSubject), rows);
    if (m_hWnd) fax::StartWatcher(m_hWnd, kWatchLimitMs);
    FireEvClickSendFax(text);
    return S_OK;
}
