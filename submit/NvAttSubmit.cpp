// CNvAttCtrl: sending the composed message with its new attachments as one upload.
#include "control/NvAttCtrl.h"

#include <cstdint>

#include "framework/ErrorMacros.h"
#include "res/Texts.h"
#include "submit/ServerReply.h"
#include "submit/SubmitPlan.h"

namespace {

std::int64_t FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;  // adds nothing
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
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
    // Before anything is staged: a refused target leaves the message as it was.
    RETURN_IF_FAILED(CheckTargetUrl(m_strSubmitURL));
    m_msgUpload.SetAuthorization(m_strAuth);
    SubmitPlan plan = PlanSubmit(m_strAttachList, SubmitRows(), m_nViewMode, m_lSize);

    // The two computed entries join the staged fields, and every entry becomes a text
    // part; they stay staged when the message does not go out.
    m_fieldList.push_back(AttachDeleteListEntry(plan));
    m_fieldList.push_back(EncFileListEntry(plan));
    for (const std::string& entry : m_fieldList) {
        auto field = SplitFieldEntry(entry);
        m_msgUpload.AddField(field.first, field.second);
    }

    std::int64_t fileBytes = 0;
    for (const std::string& path : plan.localFiles) fileBytes += FileBytes(path);
    std::int64_t totalKb = TotalKBytes(fileBytes, plan.rowSizeSum);
    if (ExceedsLimit(totalKb, m_lSize)) {
        ShowMessage(SizeLimitMessage(m_lSize), MB_ICONEXCLAMATION);
        return S_OK;
    }

    m_msgUpload.AddField("TOTALSIZE", std::to_string(totalKb));
    for (size_t i = 0; i < plan.localFiles.size(); ++i) m_msgUpload.AddFile(LocalFilePartName(i + 1), plan.localFiles[i]);
    m_msgUpload.AddField("FILECOUNTER", std::to_string(plan.localFiles.size()));

    m_msgUpload.SetOwnerWindow(m_hWnd);
    m_msgUpload.Submit(m_strSubmitURL);
    std::string reply = m_msgUpload.GetReply();

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
