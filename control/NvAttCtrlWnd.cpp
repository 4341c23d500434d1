// CNvAttCtrl's window: creation with the start-up restore, sizing, destruction and the
// WM_COPYDATA entry through which request results and companion programs reach it.
#include "control/NvAttCtrl.h"

#include <shellapi.h>

#include "archive/ArchiveRules.h"
#include "attach/ListProperty.h"
#include "fax/FaxWatcher.h"
#include "res/resource.h"

namespace {

constexpr UINT kAttachListId = 5;
constexpr UINT kFileListId = 6;

// WM_COPYDATA codes.
constexpr ULONG_PTR kCodeResolved = 18;
constexpr ULONG_PTR kCodeCompanionIdle = 20;

}  // namespace

LRESULT CNvAttCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!data) return DefaultProc(msg, wParam, lParam);
        return OnCopyData(reinterpret_cast<HWND>(wParam), *data);
    }
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_COMMAND: {
        // Commands and list notifications may run modal loops, under which the page could
        // let the control go.
        auto keep = KeepAlive();
        if (lParam == 0) OnCommand(LOWORD(wParam));  // menu commands, not child notifications
        return 0;
    }
    case WM_NOTIFY: {
        auto keep = KeepAlive();
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    }
    default:
        return fw::COleControl::WindowProc(msg, wParam, lParam);
    }
}

int CNvAttCtrl::OnCreate() {
    m_nViewMode = static_cast<int>(m_lStyle);
    m_strCaption = m_strMsgInfo;
    // A new window starts a new message: parts staged before it are not sent with it.
    m_msgUpload.RemoveAll();
    DragAcceptFiles(m_hWnd, TRUE);
    m_hWaitCursor = LoadCursor(nullptr, IDC_APPSTARTING);
    m_busyDlg.SetOwner(m_hWnd);
    CreateDirectoryA("C:\\VelaWare\\", nullptr);  // an existing folder is fine

    if (m_nViewMode == kFileListMode) {
        if (!m_fileList.Create(m_hWnd, kFileListId)) return -1;
    } else {
        if (!m_attachList.Create(m_hWnd, kAttachListId)) return -1;
        if (!m_strSqlFilePath.empty()) {
            if (RestoreSavedMessage() != 0) return -1;
        } else {
            ApplyAttachList();
        }
    }

    if (!m_strSignFile.empty()) {
        if (m_nViewMode == kFileListMode) {
            m_fileList.InsertFile(m_strSignFile + "()", 0, 1);
            ShowFileList();
        } else if (m_nViewMode == 1) {
            m_attachList.InsertAttach(m_strSignFile + "()", 0, 1);
            ShowAttachList();
        }
    }

    if (readyState() != READYSTATE_COMPLETE) SetReadyState(READYSTATE_COMPLETE);
    return 0;
}

void CNvAttCtrl::OnCommand(UINT id) {
    switch (id) {
    case ID_ATTACH_FILE:
        OnAttachFileCommand();
        break;
    case ID_CANCEL_ATTACHMENT:
        if (m_attachList.IsWindow()) OnCancelAttachment();
        break;
    case ID_PASSWORD_TOGGLE:
        if (m_attachList.IsWindow()) OnPasswordToggle();
        break;
    case ID_CANCEL_SELECTED_FILES:
        if (m_fileList.IsWindow()) OnCancelSelectedFiles();
        break;
    case ID_VIEW_ATTACHMENT:
        if (m_attachList.IsWindow()) OnViewAttachment();
        break;
    case ID_SAVE_ATTACHMENT:
        if (m_attachList.IsWindow()) OnSaveAttachment();
        break;
    case ID_VIEW_SELECTED_FILE:
        if (m_fileList.IsWindow()) OpenFileRow(m_fileList.GetNextItem(-1, LVNI_SELECTED));
        break;
    default:
        break;
    }
}

void CNvAttCtrl::ApplyAttachList() {
    // Rows without a known size end in "()" only in compose mode; they are neither laid
    // out nor announced with ShowAttach here.
    NoSizeSuffix noSize = m_nViewMode == 1 ? NoSizeSuffix::kEmptyParens : NoSizeSuffix::kNone;
    if (InsertServerRows(noSize)) {
        m_attachList.SetRecordKeyList(m_strRecordKeyList);
        m_attachList.SetSizeList(m_strAttachSize);
    }
}

void CNvAttCtrl::OnSize(UINT type, int cx, int cy) {
    if (type == SIZE_MINIMIZED) return;
    HWND list = m_nViewMode == kFileListMode ? m_fileList.hwnd() : m_attachList.hwnd();
    if (list) MoveWindow(list, 0, 0, cx, cy, TRUE);
}

void CNvAttCtrl::OnDestroy() {
    fax::StopWatcher(m_hWnd);  // a print job this window started ends with it
    // A request whose answer would come to this window ends with it.
    if (m_bRequestBusy) {
        m_httpGet.Close();
        m_bRequestBusy = 0;
        SetCursor(m_hPrevCursor);
    }
    // A list command waiting behind the busy popup stops waiting. The popup belongs to the
    // page's top window, not to this one, so it does not go with it by itself.
    m_nRegisterCode = 0;
    if (m_bBusyShown && m_busyDlg.hwnd()) DestroyWindow(m_busyDlg.hwnd());
    for (const std::string& path : m_tempCopies) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) DeleteFileA(path.c_str());
    }
    m_tempCopies.clear();
}

void CNvAttCtrl::ArmNotifyRequest(ULONG_PTR code) {
    m_bRequestBusy = 1;
    m_hPrevCursor = SetCursor(m_hWaitCursor);
    m_httpGet.RemoveAll();
    m_httpGet.m_hNotifyWnd = m_hWnd;
    m_httpGet.m_nRequestCode = static_cast<DWORD>(code);
}

LRESULT CNvAttCtrl::OnCopyData(HWND, const COPYDATASTRUCT& data) {
    const bool empty = data.cbData == 0 || !data.lpData;
    // A registration's answer comes from the control's own request, on this thread, while
    // that registration runs; an empty one says the request failed. The same codes at any
    // other time, or from another program, are not answers of ours.
    if ((data.dwData == kCodeMailRegistered || data.dwData == kCodeSignRegistered) &&
        data.dwData == m_nRegisterCode && !InSendMessage()) {
        OnRegisterAnswer(m_nRegisterCode, empty ? std::string() : std::string(static_cast<const char*>(data.lpData), data.cbData));
        return 1;
    }
    // The same holds for the answers of the status and path requests.
    const bool ownAnswer = m_bRequestBusy && data.dwData == m_httpGet.m_nRequestCode && !InSendMessage() &&
                           (data.dwData == kCodeStatusList || data.dwData == kCodeSignedDocument);
    if (empty) {
        if (!ownAnswer) return DefaultProc(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
        // A failed request ends: the next one may go out.
        SetCursor(m_hPrevCursor);
        m_bRequestBusy = 0;
        return 1;
    }
    std::string text(static_cast<const char*>(data.lpData), data.cbData);
    switch (data.dwData) {
    case kCodeResolved: {
        m_strResponse = text;
        SetCursor(m_hPrevCursor);
        m_bRequestBusy = 0;
        FireResolveComplete(m_strRecpType);
        return 1;
    }
    case kCodeCompanionIdle:
        return 1;
    case kCodeSignedDocument:
        OpenSignedDocument(text);
        return 1;
    case kCodeStatusList:
        if (!ownAnswer) return DefaultProc(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
        ShowStatusList(text);
        return 1;
    default:
        return DefaultProc(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
}

LRESULT CNvAttCtrl::OnNotify(const NMHDR& header) {
    // A list that takes the focus (a click, a tab) makes the control the one the
    // container routes keys through.
    if (header.code == NM_SETFOCUS) UIActivate();
    if (header.idFrom == kAttachListId && header.hwndFrom == m_attachList.hwnd())
        return m_attachList.OnReflectedNotify(header);
    if (header.idFrom == kFileListId && header.hwndFrom == m_fileList.hwnd())
        return m_fileList.OnReflectedNotify(header);
    return 0;
}
