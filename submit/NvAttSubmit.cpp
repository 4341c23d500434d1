// CNvAttCtrl: sending the composed message with its new attachments as one upload.
#include "control/NvAttCtrl.h"

#include <algorithm>
#include <cstdint>

#include "framework/Dispatch.h"
#include "framework/ErrorMacros.h"
#include "framework/UniqueHandle.h"
#include "res/Texts.h"
#include "submit/ServerReply.h"
#include "submit/SubmitPlan.h"

namespace {

std::int64_t FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;  // adds nothing
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The files of the form that cannot be opened for reading the way the upload opens them
// (deleted after staging, a wrong DoFile path), each once.
std::vector<std::string> UnreadableFiles(const CMultipartForm& form) {
    std::vector<std::string> unreadable;
    for (const FormPart& part : form.Parts()) {
        if (!part.isFile || std::find(unreadable.begin(), unreadable.end(), part.value) != unreadable.end())
            continue;
        fw::UniqueFile file(CreateFileA(part.value.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) unreadable.push_back(part.value);
    }
    return unreadable;
}

}  // namespace

std::vector<SubmitRow> CNvAttCtrl::SubmitRows() const {
    const CAttachRowList& list = m_nViewMode == kFileListMode ? static_cast<const CAttachRowList&>(m_fileList)
                                                             : m_attachList;
    std::vector<SubmitRow> rows;
    if (!list.IsWindow()) return rows;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        if (const AttachItem* item = list.GetAttachItem(i))
            rows.push_back({item->name, item->size, item->isLocal != 0, item->encrypt != 0});
    }
    return rows;
}

HRESULT CNvAttCtrl::DoSubmit() {
    // The progress window's message loop lets a page call in while the message goes out;
    // a second send beside it would post the message twice.
    if (m_bSending)
        return fw::ReportError(HRESULT_FROM_WIN32(ERROR_BUSY), L"NVATT.NvAttCtrl.1",
                               L"DoSubmit: a message is already being sent");
    RETURN_IF_FAILED(CheckTargetUrl(m_strSubmitURL));
    SubmitPlan plan = PlanSubmit(m_attachList.appliedAttachList(), SubmitRows(), m_nViewMode, m_lSize);

    // The message is assembled beside what is staged, which changes only once the server
    // took it: a send that did not go out leaves the staged fields and parts as they were,
    // and a retry sends the message as it then stands.
    CHttpUpload message(m_hWnd);
    message.SetAuthorization(m_strAuth);
    for (const FormPart& part : m_msgUpload.GetForm().Parts()) {
        if (part.isFile) message.AddFile(part.name, part.value);
        else message.AddField(part.name, part.value);
    }
    std::vector<std::string> entries = m_fieldList;
    entries.push_back(AttachDeleteListEntry(plan));
    entries.push_back(EncFileListEntry(plan));
    for (const std::string& entry : entries) {
        auto field = SplitFieldEntry(entry);
        message.AddField(field.first, field.second);
    }

    std::int64_t fileBytes = 0;
    for (const std::string& path : plan.localFiles) fileBytes += FileBytes(path);
    std::int64_t totalKb = TotalKBytes(fileBytes, plan.rowSizeSum);
    if (ExceedsLimit(totalKb, m_lSize)) {
        ShowMessage(SizeLimitMessage(m_lSize), MB_ICONEXCLAMATION);
        return S_OK;
    }

    message.AddField("TOTALSIZE", std::to_string(totalKb));
    for (size_t i = 0; i < plan.localFiles.size(); ++i) message.AddFile(LocalFilePartName(i + 1), plan.localFiles[i]);
    message.AddField("FILECOUNTER", std::to_string(plan.localFiles.size()));

    // Otherwise the upload would break off at that file and say only "전송 중단".
    std::vector<std::string> unreadable = UnreadableFiles(message.GetForm());
    if (!unreadable.empty()) {
        std::string text = texts::kUnreadableFiles;
        for (const std::string& path : unreadable) text += "\n" + path;
        ShowMessage(text, MB_ICONEXCLAMATION);
        return S_OK;
    }

    m_bSending = true;
    message.Submit(m_strSubmitURL);
    m_bSending = false;
    std::string reply = message.GetReply();

    ServerReply answer = ClassifyServerReply(reply);
    if (answer.kind == ServerReply::Kind::kStopped) {
        ShowMessage(answer.shownText, MB_ICONEXCLAMATION);
        return S_OK;
    }
    m_strResponse = reply;
    ShowMessage(answer.shownText, MB_ICONINFORMATION);
    if (answer.kind == ServerReply::Kind::kRefused) return S_OK;

    FireClose();
    m_fieldList.clear();
    m_msgUpload.RemoveAll();
    return S_OK;
}
