// CNvAttCtrl: identity, script interface, persisted properties and painting.
#include "control/NvAttCtrl.h"

#include <objsafe.h>
#include <olectl.h>

#include <new>

#include "control/AboutDlg.h"
#include "control/NvAttIds.h"
#include "framework/Registration.h"
#include "res/resource.h"

namespace {

// Recompose on resize, can't link inside, inside-out, activate when visible, set
// client site first.
constexpr DWORD kMiscStatus = 0x20191;
// 1.0 in the high and low words.
constexpr DWORD kPropertyVersion = 0x10000;

}  // namespace

const fw::DispMember CNvAttCtrl::kDispatch[] = {
    FW_DISP_PROPERTY(1, "strURL", &CNvAttCtrl::m_strURL),
    FW_DISP_PROPERTY(2, "formsURL", &CNvAttCtrl::m_strFormsURL),
    FW_DISP_PROPERTY(3, "strobj", &CNvAttCtrl::m_strObj),
    FW_DISP_PROPERTY(4, "submitURL", &CNvAttCtrl::m_strSubmitURL),
    FW_DISP_PROPERTY(5, "style", &CNvAttCtrl::m_lStyle),
    FW_DISP_PROPERTY(6, "size", &CNvAttCtrl::m_lSize),
    FW_DISP_PROPERTY(7, "type", &CNvAttCtrl::m_strType),
    FW_DISP_PROPERTY(8, "sqlfilepath", &CNvAttCtrl::m_strSqlFilePath),
    FW_DISP_PROPERTY(9, "FolderName", &CNvAttCtrl::m_strFolderName),
    FW_DISP_PROPERTY(10, "UserID", &CNvAttCtrl::m_strUserID),
    FW_DISP_PROPERTY(11, "MailSaveSQLServerUrl", &CNvAttCtrl::m_strMailSaveSQLServerUrl),
    FW_DISP_PROPERTY(12, "signFile", &CNvAttCtrl::m_strSignFile),
    FW_DISP_PROPERTY(13, "SignSaveSQLServerUrl", &CNvAttCtrl::m_strSignSaveSQLServerUrl),
    FW_DISP_PROPERTY_NOTIFY(14, "SenderID", &CNvAttCtrl::m_strSenderID, &CNvAttCtrl::OnModifiedProperty),
    FW_DISP_PROPERTY_NOTIFY(15, "PostURL", &CNvAttCtrl::m_strPostURL, &CNvAttCtrl::OnModifiedProperty),
    FW_DISP_PROPERTY_NOTIFY(16, "Response", &CNvAttCtrl::m_strResponse, &CNvAttCtrl::OnModifiedProperty),
    FW_DISP_PROPERTY_NOTIFY(17, "RecpType", &CNvAttCtrl::m_strRecpType, &CNvAttCtrl::OnModifiedProperty),
    FW_DISP_PROPERTY_NOTIFY(18, "ComposeBody", &CNvAttCtrl::m_strComposeBody, &CNvAttCtrl::OnModifiedProperty),
    FW_DISP_PROPERTY_NOTIFY(19, "attachlist", &CNvAttCtrl::m_strAttachList, &CNvAttCtrl::OnAttachListChanged),
    FW_DISP_PROPERTY_NOTIFY(20, "attachSize", &CNvAttCtrl::m_strAttachSize, &CNvAttCtrl::OnAttachSizeChanged),
    FW_DISP_PROPERTY_NOTIFY(21, "recordkeylist", &CNvAttCtrl::m_strRecordKeyList, &CNvAttCtrl::OnRecordKeyListChanged),
    FW_DISP_PROPERTY_NOTIFY(22, "strMsgInfo", &CNvAttCtrl::m_strMsgInfo, &CNvAttCtrl::OnModifiedProperty),
    FW_DISP_PROPERTY_NOTIFY(23, "fburl", &CNvAttCtrl::m_strFbUrl, &CNvAttCtrl::OnModifiedProperty),
    FW_DISP_PROPERTY_NOTIFY(24, "objDataURL", &CNvAttCtrl::m_strObjDataURL, &CNvAttCtrl::OnModifiedProperty),
    FW_DISP_PROPERTY_NOTIFY(25, "inlinekeylist", &CNvAttCtrl::m_strInlineKeyList, &CNvAttCtrl::OnModifiedProperty),
    FW_DISP_PROPERTY_NOTIFY(26, "objPostURL", &CNvAttCtrl::m_strObjPostURL, &CNvAttCtrl::OnModifiedProperty),
    FW_DISP_PROPERTY_NOTIFY(27, "subject", &CNvAttCtrl::m_strSubject, &CNvAttCtrl::OnModifiedProperty),
    FW_DISP_PROPERTY_NOTIFY(28, "objClsURL", &CNvAttCtrl::m_strObjClsURL, &CNvAttCtrl::OnModifiedProperty),
    FW_DISP_METHOD(29, "DoAddAttach", &CNvAttCtrl::DoAddAttach),
    FW_DISP_METHOD(30, "DoAttachAdd", &CNvAttCtrl::DoAttachAdd),
    FW_DISP_METHOD(31, "DoAttachDirect", &CNvAttCtrl::DoAttachDirect),
    FW_DISP_METHOD(32, "DoClear", &CNvAttCtrl::DoClear),
    FW_DISP_METHOD(33, "DoSubmit", &CNvAttCtrl::DoSubmit),
    FW_DISP_METHOD(34, "DoField", &CNvAttCtrl::DoField),
    FW_DISP_METHOD(35, "DoVariant", &CNvAttCtrl::DoVariant),
    FW_DISP_METHOD(36, "SendClear", &CNvAttCtrl::SendClear),
    FW_DISP_METHOD(37, "SendSubmit", &CNvAttCtrl::SendSubmit),
    FW_DISP_METHOD(38, "SendField", &CNvAttCtrl::SendField),
    FW_DISP_METHOD(39, "DoFile", &CNvAttCtrl::DoFile),
    FW_DISP_METHOD(40, "DownLoadAttach", &CNvAttCtrl::DownLoadAttach),
    FW_DISP_METHOD(41, "DownLoadFile", &CNvAttCtrl::DownLoadFile),
    FW_DISP_METHOD(42, "DownLoadSignAttach", &CNvAttCtrl::DownLoadSignAttach),
    FW_DISP_METHOD(43, "DownLoadSignFile", &CNvAttCtrl::DownLoadSignFile),
    FW_DISP_METHOD(44, "DoAttachAddFile", &CNvAttCtrl::DoAttachAddFile),
    FW_DISP_METHOD(45, "LocalSave", &CNvAttCtrl::LocalSave),
    FW_DISP_METHOD(46, "LocalSaveCompose", &CNvAttCtrl::LocalSaveCompose),
    FW_DISP_METHOD(47, "DoSignStatus", &CNvAttCtrl::DoSignStatus),
    FW_DISP_METHOD(48, "DoSendNowFax", &CNvAttCtrl::DoSendNowFax),
    FW_DISP_METHOD(49, "DoInsertHTML", &CNvAttCtrl::DoInsertHTML),
    FW_DISP_METHOD(50, "DoExe", &CNvAttCtrl::DoExe),
    FW_DISP_METHOD(51, "DoSaveListMailDB", &CNvAttCtrl::DoSaveListMailDB),
    FW_DISP_METHOD(52, "DoSaveMsg", &CNvAttCtrl::DoSaveMsg),
    FW_DISP_METHOD(53, "DoSaveFileToServer", &CNvAttCtrl::DoSaveFileToServer),
    FW_DISP_METHOD(54, "DoGetAttach", &CNvAttCtrl::DoGetAttach),
    FW_DISP_METHOD(55, "DoGetDeleteAttach", &CNvAttCtrl::DoGetDeleteAttach),
    FW_DISP_METHOD(56, "DoSaveListSignDB", &CNvAttCtrl::DoSaveListSignDB),
    FW_DISP_METHOD(57, "DoOpenSaveSign", &CNvAttCtrl::DoOpenSaveSign),
    FW_DISP_METHOD(58, "DoSaveEDM", &CNvAttCtrl::DoSaveEDM),
    FW_DISP_METHOD(59, "DoEDM", &CNvAttCtrl::DoEDM),
    FW_DISP_METHOD(60, "DoSaveLocal", &CNvAttCtrl::DoSaveLocal),
    FW_DISP_METHOD(61, "DoCheckTCA", &CNvAttCtrl::DoCheckTCA),
    FW_DISP_METHOD(62, "DoCheckDTA", &CNvAttCtrl::DoCheckDTA),
    FW_DISP_METHOD(63, "DoChangeEDMProfile", &CNvAttCtrl::DoChangeEDMProfile),
    FW_DISP_METHOD(64, "DoCallMsg", &CNvAttCtrl::DoCallMsg),
    FW_DISP_METHOD(65, "DoCall", &CNvAttCtrl::DoCall),
    FW_DISP_METHOD(66, "DoEDMAttachObject", &CNvAttCtrl::DoEDMAttachObject),
    FW_DISP_METHOD(67, "DoShowDodud", &CNvAttCtrl::DoShowDodud),
    FW_DISP_METHOD(68, "DoSaveBatchMail", &CNvAttCtrl::DoSaveBatchMail),
    FW_DISP_METHOD(69, "DoSetLocalPath", &CNvAttCtrl::DoSetLocalPath),
    FW_DISP_METHOD(70, "UploadEMLToServer", &CNvAttCtrl::UploadEMLToServer),
    FW_DISP_METHOD(71, "DoSetProcess", &CNvAttCtrl::DoSetProcess),
    FW_DISP_METHOD(72, "DoDetachProcess", &CNvAttCtrl::DoDetachProcess),
    FW_DISP_METHOD(73, "DoSetLoginINI", &CNvAttCtrl::DoSetLoginINI),
    FW_DISP_METHOD(74, "DoShowAttDlg", &CNvAttCtrl::DoShowAttDlg),
    FW_DISP_METHOD(75, "LocalTempSave", &CNvAttCtrl::LocalTempSave),
    FW_DISP_METHOD(DISPID_ABOUTBOX, "AboutBox", &CNvAttCtrl::AboutBox),
    FW_DISP_TABLE_END,
};

// Persisted names and order are what pages' PARAM tags and saved containers hold.
const fw::PersistEntry CNvAttCtrl::kPersist[] = {
    FW_PERSIST_STRING("strURL", &CNvAttCtrl::m_strURL),
    FW_PERSIST_STRING("attachlist", &CNvAttCtrl::m_strAttachList),
    FW_PERSIST_STRING("recordkeylist", &CNvAttCtrl::m_strRecordKeyList),
    FW_PERSIST_STRING("attachSize", &CNvAttCtrl::m_strAttachSize),
    FW_PERSIST_STRING("inlinekeylist", &CNvAttCtrl::m_strInlineKeyList),
    FW_PERSIST_STRING("formsURL", &CNvAttCtrl::m_strFormsURL),
    FW_PERSIST_STRING("strobj", &CNvAttCtrl::m_strObj),
    FW_PERSIST_STRING("UploadURL", &CNvAttCtrl::m_strUploadURL),
    FW_PERSIST_STRING("Auth", &CNvAttCtrl::m_strAuth),
    FW_PERSIST_STRING("strMsgInfo", &CNvAttCtrl::m_strMsgInfo),
    FW_PERSIST_STRING("submitURL", &CNvAttCtrl::m_strSubmitURL),
    FW_PERSIST_LONG("style", &CNvAttCtrl::m_lStyle, 0),
    FW_PERSIST_LONG("size", &CNvAttCtrl::m_lSize, 0),
    FW_PERSIST_STRING("objDataURL", &CNvAttCtrl::m_strObjDataURL),
    FW_PERSIST_STRING("objPostURL", &CNvAttCtrl::m_strObjPostURL),
    FW_PERSIST_STRING("objClsURL", &CNvAttCtrl::m_strObjClsURL),
    FW_PERSIST_STRING("type", &CNvAttCtrl::m_strType),
    FW_PERSIST_STRING("fburl", &CNvAttCtrl::m_strFbUrl),
    FW_PERSIST_STRING("adurl", &CNvAttCtrl::m_strAdUrl),
    FW_PERSIST_STRING("subject", &CNvAttCtrl::m_strSubject),
    FW_PERSIST_STRING("sqlfilepath", &CNvAttCtrl::m_strSqlFilePath),
    FW_PERSIST_STRING("folderName", &CNvAttCtrl::m_strFolderName),
    FW_PERSIST_STRING("UserID", &CNvAttCtrl::m_strUserID),
    FW_PERSIST_STRING("UserPass", &CNvAttCtrl::m_strUserPass),
    FW_PERSIST_STRING("UserName", &CNvAttCtrl::m_strUserName),
    FW_PERSIST_STRING("UserDeptName", &CNvAttCtrl::m_strUserDeptName),
    FW_PERSIST_STRING("UserSabun", &CNvAttCtrl::m_strUserSabun),
    FW_PERSIST_STRING("UserIP", &CNvAttCtrl::m_strUserIP),
    FW_PERSIST_STRING("SenderID", &CNvAttCtrl::m_strSenderID),
    FW_PERSIST_STRING("MailSaveSQLServerUrl", &CNvAttCtrl::m_strMailSaveSQLServerUrl),
    FW_PERSIST_STRING("SignSaveSQLServerUrl", &CNvAttCtrl::m_strSignSaveSQLServerUrl),
    FW_PERSIST_STRING("BatchURL", &CNvAttCtrl::m_strBatchURL),
    FW_PERSIST_STRING("signFile", &CNvAttCtrl::m_strSignFile),
    FW_PERSIST_STRING("ComposeBody", &CNvAttCtrl::m_strComposeBody),
    FW_PERSIST_SHORT("aMode", &CNvAttCtrl::m_nAttachMode, 0),
    FW_PERSIST_STRING("CompanyName", &CNvAttCtrl::m_strCompanyName),
    FW_PERSIST_STRING("GroupAcl", &CNvAttCtrl::m_strGroupAcl),
    FW_PERSIST_STRING("EngineURL", &CNvAttCtrl::m_strEngineURL),
    FW_PERSIST_STRING("DocUploadUrl", &CNvAttCtrl::m_strDocUploadUrl),
    FW_PERSIST_STRING("VedUveIP", &CNvAttCtrl::m_strVedUveIP),
    FW_PERSIST_STRING("FileSvrIP", &CNvAttCtrl::m_strFileSvrIP),
    FW_PERSIST_STRING("EDMAttachDocLib", &CNvAttCtrl::m_strEdmAttachDocLib),
    FW_PERSIST_STRING("LocalDefaultDir", &CNvAttCtrl::m_strLocalDefaultDir),
    FW_PERSIST_STRING("CreateMailURL", &CNvAttCtrl::m_strCreateMailURL),
    FW_PERSIST_STRING("CkServer", &CNvAttCtrl::m_strCkServer),
    FW_PERSIST_SHORT("EncFile", &CNvAttCtrl::m_nEncFile, 0),
    FW_PERSIST_SHORT("SSL", &CNvAttCtrl::m_nSSL, 0),
    FW_PERSIST_TABLE_END,
};

const fw::ControlDescription CNvAttCtrl::kDescription = {
    &CLSID_NvAtt,
    &DIID__DNvAtt,
    &DIID__DNvAttEvents,
    &CLSID_NvAttPropPage,
    kMiscStatus,
    "NvAttCtrlWnd",
    CNvAttCtrl::kDispatch,
    CNvAttCtrl::kPersist,
    kPropertyVersion,
};

HRESULT CNvAttCtrl::Create(REFIID riid, void** ppv) {
    auto* control = new (std::nothrow) CNvAttCtrl();
    if (!control) return E_OUTOFMEMORY;
    HRESULT hr = control->QueryInterface(riid, ppv);
    control->Release();
    return hr;
}

HRESULT CNvAttCtrl::RegisterClass() {
    const fw::ControlClassInfo info = {
        &CLSID_NvAtt, L"NVATT.NvAttCtrl.1", IDS_NVATT, IDB_NVATT, kMiscStatus,
        &LIBID_NVATTLib, kNvAttLibMajor, kNvAttLibMinor,
    };
    HRESULT hr = fw::RegisterControlClass(info);
    if (FAILED(hr)) return hr;
    // Browsers read these to let pages script and initialise the control; a missing
    // category manager does not fail the registration.
    (void)fw::RegisterImplementedCategory(CLSID_NvAtt, CATID_SafeForScripting,
                                          L"Controls that are safely scriptable");
    (void)fw::RegisterImplementedCategory(CLSID_NvAtt, CATID_SafeForInitializing,
                                          L"Controls safely initializable from persistent data");
    return S_OK;
}

HRESULT CNvAttCtrl::UnregisterClass() {
    return fw::UnregisterClass(CLSID_NvAtt, L"NVATT.NvAttCtrl.1");
}

CNvAttCtrl::CNvAttCtrl() : fw::COleControl(kDescription), m_attachList(this), m_fileList(this) {}

CNvAttCtrl::~CNvAttCtrl() = default;

void CNvAttCtrl::OnModifiedProperty() { SetModifiedFlag(); }

void CNvAttCtrl::OnAttachSizeChanged() {
    m_attachList.SetSizeList(m_strAttachSize);
    SetModifiedFlag();
}

void CNvAttCtrl::OnRecordKeyListChanged() {
    m_attachList.SetRecordKeyList(m_strRecordKeyList);
    SetModifiedFlag();
}

void CNvAttCtrl::OnDraw(HDC hdc, const RECT& bounds) {
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    HBRUSH brush = CreateSolidBrush(face);
    HPEN pen = CreatePen(PS_SOLID, 1, face);
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    Rectangle(hdc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

bool CNvAttCtrl::PreTranslateMessage(MSG* msg) {
    // Escape would end the page's modal state in some containers; the control eats it.
    bool ours = m_hWnd && (msg->hwnd == m_hWnd || IsChild(m_hWnd, msg->hwnd));
    return ours && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE;
}

HRESULT CNvAttCtrl::DoEDM(const std::string&, const std::string&, bool* result) {
    *result = true;
    return S_OK;
}

HRESULT CNvAttCtrl::DoEDMAttachObject(const std::string&, const std::string&, bool* result) {
    *result = true;
    return S_OK;
}

HRESULT CNvAttCtrl::DoShowDodud() { return S_OK; }

HRESULT CNvAttCtrl::AboutBox() {
    CAboutDlg dlg(m_hWnd);
    dlg.DoModal();
    return S_OK;
}
