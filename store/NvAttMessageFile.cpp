// CNvAttCtrl: the message file writer. It asks the server's download script for a
// message, then fetches its inline images and attachments one by one through the
// progress dialog, and stores what arrived in a new message file.
#include "control/NvAttCtrl.h"

#include "download/DownloadDlg.h"
#include "framework/ScratchFile.h"
#include "framework/TempFolder.h"
#include "res/Texts.h"
#include "store/MsgDownloadPlan.h"
#include "store/MsgFileStreamWriter.h"
#include "store/MsgPropertyStream.h"
#include "store/MsgRecordTags.h"
#include "store/MsgReply.h"
#include "store/MsgStorage.h"

namespace {

// Fetches item.url through the progress dialog into a new scratch file of folder and
// appends the file to the stream under item.name. A download that fails or is cancelled,
// an empty file and one the stream cannot take (4 GB, a full disk) are left out; the
// stream stays whole without them.
void StoreDownload(HWND parent, CMsgFileStreamWriter& stream, const std::string& folder, const MsgDownload& item) {
    fw::ScratchFile scratch;
    // Without a scratch file the item is left out: an empty save path would make the
    // dialog name a file after the server's name.
    if (!scratch.Create(folder, "NC")) return;
    {
        CDownloadDlg dialog(parent);
        dialog.m_strUrl = item.url;
        dialog.m_strFileName = item.name;
        dialog.m_strSizeHint = item.sizeHint;
        dialog.m_strSavePath = scratch.path();
        if (dialog.DoModal() < 0) return;
    }  // the dialog has closed the file
    (void)stream.AddFile(item.name, scratch.path().c_str());
}

}  // namespace

BOOL CNvAttCtrl::WriteMessageFile(const std::string& path, const std::string& displayName,
                                  const std::string& scratchFolder, const std::string& dataKey, bool* told) {
    CMsgStorage storage;
    if (!storage.Create(path.c_str())) return FALSE;
    BOOL written = WriteMessagePart(storage, displayName, dataKey, told) && WriteAttachPart(storage, scratchFolder);
    if (storage.m_pRoot) storage.Close();
    return written;
}

BOOL CNvAttCtrl::WriteMessagePart(CMsgStorage& storage, const std::string& displayName, const std::string& dataKey,
                                   bool* told) {
    const MsgLocation location = {m_strFormsURL, m_strType,      m_strObjDataURL,
                                  m_strObjClsURL, m_strObjPostURL, m_bBatchSave != 0};
    const std::string url = MessageDownloadUrl(location, dataKey);
    if (FAILED(CheckTargetUrl(url))) return FALSE;
    std::string text;
    {
        CDownloadDlg dialog(m_hWnd);
        dialog.m_strUrl = url;
        dialog.m_strFileName = displayName;
        dialog.m_bToMemory = TRUE;
        // A message that did not come (failed, cancelled) leaves the file without its
        // properties; its attachments still go in.
        if (dialog.DoModal() < 0) return TRUE;
        text = std::move(dialog.m_strData);
    }

    MsgReply reply;
    const MsgReplyOutcome outcome = ParseMsgReply(text, reply);
    if (reply.subject) m_strFormSubject = *reply.subject;
    if (outcome == MsgReplyOutcome::kEmpty || outcome == MsgReplyOutcome::kFieldMissing) return FALSE;
    // The members only: the list on screen stays as it is while a message is saved.
    if (reply.attachList) m_strAttachList = *reply.attachList;
    if (reply.recordKeyList) m_strRecordKeyList = *reply.recordKeyList;
    if (reply.inlineKeyList) m_strInlineKeyList = *reply.inlineKeyList;
    if (outcome == MsgReplyOutcome::kNotOk) {
        std::string shown = texts::kCantReceiveMessage;
        if (!reply.reason.empty()) shown += "\n" + reply.reason;
        ShowMessage(shown, MB_ICONSTOP);
        if (told) *told = true;
        return FALSE;
    }

    if (FAILED(WriteMsgPropertyStream(storage, reply.to, reply.cc, reply.records))) {
        storage.Close();
        return FALSE;
    }
    if (!reply.body) return TRUE;  // no body, no images

    CMsgFileStreamWriter images(storage);
    if (FAILED(images.Begin(kMsgInlineStream, MSGREC_INLINE))) {
        storage.Close();
        return FALSE;
    }
    const std::string temp = fw::TempFolder();
    for (const MsgDownload& image : PlanInlineImages(*reply.body, m_strInlineKeyList, m_strType)) {
        if (SUCCEEDED(CheckTargetUrl(image.url))) StoreDownload(m_hWnd, images, temp, image);
    }
    return SUCCEEDED(images.Finish());
}

BOOL CNvAttCtrl::WriteAttachPart(CMsgStorage& storage, const std::string& scratchFolder) {
    const std::vector<MsgDownload> attachments = PlanAttachDownloads(m_strAttachList, m_strRecordKeyList, m_strAttachSize);
    const std::string folder = scratchFolder.empty() ? fw::TempFolder() : scratchFolder;
    CMsgFileStreamWriter files(storage);
    if (FAILED(files.Begin(kMsgAttachStream, MSGREC_ATTACH))) return FALSE;
    for (const MsgDownload& attachment : attachments) {
        if (SUCCEEDED(CheckTargetUrl(attachment.url))) StoreDownload(m_hWnd, files, folder, attachment);
    }
    return SUCCEEDED(files.Finish());
}
