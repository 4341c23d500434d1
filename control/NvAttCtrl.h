// CNvAttCtrl: the attachment control that web-mail pages script.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "attach/AttachListCtrl.h"
#include "attach/FileListCtrl.h"
#include "attach/ListProperty.h"
#include "control/BusyDlg.h"
#include "control/SiteLock.h"
#include "submit/SubmitPlan.h"
#include "download/FileOpener.h"
#include "download/NotifyGet.h"
#include "framework/OleControl.h"
#include "transfer/HttpUpload.h"

class CMsgStorage;
class CPartFile;

class CNvAttCtrl final : public fw::COleControl {
public:
    static constexpr int kFileListMode = 3;
    static constexpr int kComposeMode = 1;
    // WM_COPYDATA code of the answer that names a signed document.
    static constexpr ULONG_PTR kCodeSignedDocument = 22;
    // WM_COPYDATA code of the answer that names an approval object's status.
    static constexpr ULONG_PTR kCodeStatusList = 14;

    static HRESULT Create(REFIID riid, void** ppv);
    static HRESULT RegisterClass();
    static HRESULT UnregisterClass();

    CNvAttCtrl();
    ~CNvAttCtrl() override;

    // Read by the lists and dialogs.
    int viewMode() const { return m_nViewMode; }
    short attachMode() const { return m_nAttachMode; }
    bool isLocalMessage() const { return m_bLocalMessage != 0; }
    const std::string& caption() const { return m_strCaption; }

    // Events of the script interface.
    void FireResolveComplete(const std::string& type);
    void FireShowAttach(short isShow);
    void FireDelFiles(const std::string& files);
    void FireClose();
    void FireEvClickSendFax(const std::string& param);
    void FireSetDBBody(const std::string& body, const std::string& to, const std::string& cc, short haveAttach);
    void FireEvCallConference(const std::string& caller, const std::string& callee, const std::string& path);

    // Lays out the attachment list after rows were added or removed; fires ShowAttach.
    void ShowAttachList();
    // The same for the file list.
    void ShowFileList();

protected:
    void* TableObject() override { return this; }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDraw(HDC hdc, const RECT& bounds) override;
    bool PreTranslateMessage(MSG* msg) override;
    // A page may script the control only from a site the administrator allows.
    HRESULT CheckCaller() override;

private:
    friend class CAttachListCtrl;
    friend class CFileListCtrl;
    friend class CAttachDlg;

    static const fw::ControlDescription kDescription;
    static const fw::DispMember kDispatch[];
    static const fw::PersistEntry kPersist[];

    // Window lifecycle
    int OnCreate();
    // Fetches the message file named by sqlfilepath and unpacks it into the list and
    // the SetDBBody event; non-zero fails the window's creation.
    int RestoreSavedMessage();
    void ApplyAttachList();
    // Inserts a row for every attachlist name and records which names got one; true when
    // any did.
    bool InsertServerRows(NoSizeSuffix noSize);
    // Makes m_httpGet the one running request, answered to the control's window as
    // WM_COPYDATA code, with the wait cursor up; the caller adds fields and submits.
    void ArmNotifyRequest(ULONG_PTR code);
    // WM_COPYDATA 22: the answer names the signed document to fetch and show.
    void OpenSignedDocument(const std::string& data);
    // WM_COPYDATA 14: the status library shows the answer over the control.
    void ShowStatusList(const std::string& answer);
    // The conference call's presence check of UserID and SenderID; *free when both may
    // start one, else the user was told why.
    HRESULT CheckConferencePresence(bool* free);
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    LRESULT OnCopyData(HWND from, const COPYDATASTRUCT& data);
    LRESULT OnNotify(const NMHDR& header);

    // Adding attachments
    void OnCommand(UINT id);
    void OnAttachFileCommand();
    void OnCancelAttachment();
    void OnPasswordToggle();
    void OnCancelSelectedFiles();
    void AddFilesFromDialog(bool fileList, DWORD flags);
    void OnDropFiles(HDROP drop);
    bool IsAlreadyAttached(bool fileList, const std::string& path) const;
    // The path a new local row gets: the file itself, or a copy when another program
    // keeps the file open.
    std::string OpenTestOrCopy(const std::string& path);
    // Inserts path + "()"; tells the user when the path is too long for a row.
    bool InsertLocalFile(bool fileList, const std::string& path);
    void LayOutList(bool fileList);
    // A message box with the control's caption.
    void ShowMessage(const std::string& text, UINT icon);

    // Downloading, opening and saving attachments. Each modal loop runs under a reference
    // of its caller's (KeepAlive), and nothing touches the window after it once it is gone.
    struct AttachFetch {
        std::string url;  // passed through CheckTargetUrl
        std::string name;  // shown, and the generated file's name
        std::string sizeHint;
    };
    fw::ComPtr<CNvAttCtrl> KeepAlive() { return fw::ComPtr<CNvAttCtrl>(this); }
    // The download dialog owned by owner: its result (0: the whole body is in the file) and
    // the path it wrote. Bytes go to partPath when given.
    INT_PTR RunDownload(HWND owner, const AttachFetch& fetch, const std::string& savePath,
                        const std::string& partPath, std::string* written);
    // Downloads into a generated temporary file and opens it once finished; the file, or
    // empty when nothing finished.
    std::string FetchAndOpen(HWND owner, const AttachFetch& fetch, OpenRoute route);
    // Downloads to destination, replacing a file there only when the body is whole; a
    // failure (not a cancel) is shown. The download dialog's result.
    INT_PTR FetchAndSave(const AttachFetch& fetch, const std::string& destination);
    // The save-file dialog, owned by the control; false unless the user chose a path.
    bool AskSavePath(const std::string& initialName, const char* title, DWORD flags,
                     const std::string& initialFolder, std::string* path);
    // The fetch of the file m_strSignId names into path (bytes to partPath when given); a
    // refused fburl or a sign id that is no hex text fails before any request.
    HRESULT FetchSignedFile(const std::string& path, const std::string& partPath, INT_PTR* result);
    void ShowFailure(HWND owner, const char* format, const std::string& value);

    // The list operations behind double-clicks, menus and commands (row: list index).
    bool ServerRowFetch(int row, bool forView, AttachFetch* fetch);
    void OnAttachListDoubleClick();
    void OpenServerRow(int row, int mode);
    // False when the user cancelled (or the page took the control away): stop saving.
    bool SaveServerRowTo(int row, const std::string& folder);
    void ShowServerRow(int row);
    void OpenLocalRow(int row);
    void SaveLocalRow(int row);
    std::string DownloadRowToTemp(int row);
    void OpenFileRow(int row);
    void OnViewAttachment();
    void OnSaveAttachment();
    void ShowListMenu(bool fileList);

    // The rows of the active list as the upload reads them, first to last.
    std::vector<SubmitRow> SubmitRows() const;

    // Notify handlers of the script properties
    void OnModifiedProperty();
    void OnAttachListChanged();
    void OnAttachSizeChanged();
    void OnRecordKeyListChanged();

    // Script methods. Each is implemented in the folder of its subsystem.
    HRESULT DoAddAttach(const std::string& filepath, std::string* result);
    HRESULT DoAttachAdd(long* result);
    HRESULT DoAttachDirect(const std::string& szPath, long* result);
    HRESULT DoClear();
    HRESULT DoSubmit();
    HRESULT DoField(const std::string& szName, const std::string& szVal);
    HRESULT DoVariant(const VARIANT& szName, const VARIANT& szVal);
    HRESULT SendClear();
    HRESULT SendSubmit();
    HRESULT SendField(const std::string& szName, const std::string& szVal);
    HRESULT DoFile(const std::string& szName, const std::string& szVal, short szPos);
    HRESULT DownLoadAttach(const std::string& strFileName, short cRecordKey);
    HRESULT DownLoadFile(const std::string& strFileName, short cRecordKey);
    HRESULT DownLoadSignAttach(const std::string& strFileName, const std::string& cRecordKey);
    HRESULT DownLoadSignFile(const std::string& strFileName, const std::string& cRecordKey);
    HRESULT DoAttachAddFile(long* result);
    HRESULT LocalSave(const std::string& strtitle);
    HRESULT LocalSaveCompose(const std::string& strtitle);
    HRESULT DoSignStatus(const std::string& status);
    HRESULT DoSendNowFax(const std::string& szFax);
    HRESULT DoInsertHTML(std::string* result);
    HRESULT DoExe(const std::string& szPath, bool* result);
    HRESULT DoSaveListMailDB(const std::string& strFolID);
    HRESULT DoSaveMsg(const std::string& strFilePath, std::string* result);
    HRESULT DoSaveFileToServer(const std::string& strFilePath, std::string* result);
    HRESULT DoGetAttach(std::string* result);
    HRESULT DoGetDeleteAttach(std::string* result);
    HRESULT DoSaveListSignDB(const std::string& strFolID);
    HRESULT DoOpenSaveSign(const std::string& szID);
    HRESULT DoSaveEDM(const std::string& szFileURL, const std::string& szWebURL,
                      const std::string& szMsgIDs, const std::string& szType, bool* result);
    HRESULT DoEDM(const std::string& szFileURL, const std::string& szWebURL, bool* result);
    HRESULT DoSaveLocal(const std::string& szMsgIDs, const std::string& szType, bool* result);
    HRESULT DoCheckTCA(const std::string& szETC, std::string* result);
    HRESULT DoCheckDTA(long* result);
    HRESULT DoChangeEDMProfile(const std::string& szDST, const std::string& szLibrary, bool fUpload,
                               const std::string& szReserved, bool* result);
    HRESULT DoCallMsg(bool* result);
    HRESULT DoCall(bool* result);
    HRESULT DoEDMAttachObject(const std::string& szLibName, const std::string& szDST, bool* result);
    HRESULT DoShowDodud();
    HRESULT DoSaveBatchMail(const std::string& szMsgIDs, const std::string& szType,
                            const std::string& szStart, const std::string& szEnd, bool* result);
    HRESULT DoSetLocalPath(const std::string& strPath, std::string* result);
    HRESULT UploadEMLToServer(const std::string& strPath, bool* result);
    HRESULT DoSetProcess();
    HRESULT DoDetachProcess();
    HRESULT DoSetLoginINI();
    HRESULT DoShowAttDlg();
    HRESULT LocalTempSave(const std::string& title, std::string* result);
    HRESULT AboutBox();

    // Every URL the control sends to or fetches from passes here first. In a page it
    // must be http or https on an allowed site; a refusal sets error info for script and,
    // when asked, hands over the text that says why. A desktop program is not limited.
    [[nodiscard]] HRESULT CheckTargetUrl(const std::string& url, std::string* refusal = nullptr);

    // Message file writer: the message of dataKey (objDataURL when empty) fetched from the
    // server with its inline images and attachments into a new message file at path. told,
    // when given, is set when the writer showed the user why it failed.
    BOOL WriteMessageFile(const std::string& path, const std::string& displayName,
                          const std::string& scratchFolder, const std::string& dataKey, bool* told = nullptr);
    BOOL WriteMessagePart(CMsgStorage& storage, const std::string& displayName, const std::string& dataKey,
                          bool* told);

    // Local save commands and body import.
    // The current message into a message file at path (empty: "_veladoc_.pcm" of the
    // temporary folder); a file there is replaced only by a whole one. told as above.
    BOOL SaveMessageForCall(const std::string& path = std::string(), bool* told = nullptr);
    // The server's page of the message into folder "\" name (the temporary folder when
    // folder is empty), with its inline images beside it; each failure is shown. True when
    // the page was written.
    bool SaveHtmlBody(const std::string& path, const std::string& name, const std::string& folder);
    bool DownloadHtmlBody(CPartFile& file, const std::string& name, const std::string& folder);
    // A message file's body with its images and attachments extracted into a fresh folder,
    // the attachments added as local rows; false when it cannot be read whole.
    bool ImportMessageBody(const std::string& path, std::string* body);
    BOOL WriteAttachPart(CMsgStorage& storage, const std::string& scratchFolder);

    // Archive and server registration. A list command writes one item at a time into its
    // scratch file, registers it and waits behind the busy popup until the answer has been
    // handled (the file uploaded, or the refusal shown).
    HRESULT ArchiveMailList(const std::string& ids);
    // Shows the busy popup until the running registration has been handled; a popup that
    // the user closed (or that went with the window) ends the registration unanswered.
    void WaitForRegistration();
    // An automation error while an archive runs (or, with requestToo, a request of m_httpGet).
    HRESULT RefuseWhileBusy(bool requestToo);
    // Starts the registration request; S_FALSE (nothing sent) while another request of
    // m_httpGet runs, a failure when fburl is refused.
    HRESULT RegisterMail(const std::string& id, uint64_t size);
    HRESULT RegisterSign(const std::string& id, uint64_t size, short folderType);
    HRESULT Register(unsigned code, const char* page, const std::string& id, uint64_t size, short folderType);
    // The answer of the running registration: the upload, or the message of a refusal or of
    // a failed request (empty answer); then the registration ends.
    void OnRegisterAnswer(unsigned code, const std::string& answer);
    // Restores the cursor, clears the busy flag and ends the busy popup with 1.
    void EndRegistration();
    void UploadMailFile();
    void UploadSignFile();
    void UploadSavedFile(const char* idField, const std::string& id, const std::string& path, const std::string& url);
    // A message box with the module's title as caption and the exclamation icon.
    void ShowApplicationMessage(const std::string& text);
    // The busy popup while it is up (what the user looks at), else the control.
    HWND MessageOwner() const;

    // Members, in the order the rest of the control refers to them.
    CAttachListCtrl m_attachList;  // child window 5
    CFileListCtrl m_fileList;      // child window 6
    CNotifyGet m_httpGet;          // status and registration requests, answered by WM_COPYDATA
    std::string m_strUploadURL;
    CHttpUpload m_msgUpload;   // the message form: DoField, DoVariant, DoFile, DoSubmit
    CHttpUpload m_sendUpload;  // the plain send form: SendField, SendSubmit
    short m_nSSL = 0;
    int m_bRequestBusy = 0;
    bool m_bSending = false;  // DoSubmit's message is on its way
    HCURSOR m_hWaitCursor = nullptr;
    HCURSOR m_hPrevCursor = nullptr;
    std::string m_strCaption;
    std::string m_strURL;
    std::string m_strSubmitURL;
    std::string m_strAuth;
    std::vector<std::string> m_fieldList;
    std::vector<std::string> m_sendFieldList;
    std::vector<std::string> m_tempCopies;
    std::string m_strComposeBody;
    short m_nAttachMode = 0;
    std::string m_strCompanyName;
    std::string m_strGroupAcl;
    std::string m_strEdmProfile;
    std::string m_strFormSubject;
    std::string m_strUserName;
    std::string m_strUserPass;
    std::string m_strUserDeptName;
    std::string m_strUserSabun;
    std::string m_strUserIP;
    std::string m_strEngineURL;
    std::string m_strVedUveIP;
    std::string m_strFileSvrIP;
    int m_bBatchSave = 0;
    std::string m_strLocalDefaultDir;
    std::string m_strCreateMailURL;
    std::string m_strCkServer;
    short m_nEncFile = 0;
    std::string m_strStatusObj;
    int m_bLocalMessage = 0;
    std::string m_strMailId;
    std::string m_strMailFile;
    CBusyDlg m_busyDlg;
    int m_bBusyShown = 0;
    unsigned m_nRegisterCode = 0;  // code of the registration whose answer is awaited; 0: none
    bool m_bArchiving = false;     // a list command or a batch save runs
    CHttpUpload m_fileUpload;      // the registered item's file; m_msgUpload keeps the page's form
    std::string m_strSignDocId;
    std::string m_strSignId;
    std::string m_strSavedFile;
    std::string m_strDocUploadUrl;
    int m_nViewMode = 0;
    std::string m_strFormsURL;
    std::string m_strObj;
    std::string m_strAdUrl;
    long m_lStyle = 0;
    long m_lSize = 0;
    std::string m_strType;
    std::string m_strSqlFilePath;
    std::string m_strFolderName;
    std::string m_strUserID;
    std::string m_strSenderID;
    std::string m_strMailSaveSQLServerUrl;
    std::string m_strBatchURL;
    std::string m_strSignFile;
    std::string m_strSignSaveSQLServerUrl;
    std::string m_strPostURL;
    std::string m_strResponse;
    std::string m_strRecpType;
    std::string m_strAttachList;
    std::string m_strAttachSize;
    std::string m_strRecordKeyList;
    std::string m_strMsgInfo;
    std::string m_strFbUrl;
    std::string m_strObjDataURL;
    std::string m_strInlineKeyList;
    std::string m_strObjPostURL;
    std::string m_strSubject;
    std::string m_strEdmAttachDocLib;
    std::string m_strObjClsURL;
    CSiteLock m_siteLock;
};
