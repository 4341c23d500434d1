// The fetch of a workflow attachment into a local file through the receive dialog.
#include "submit/ReceiveWFAttach.h"

#include "download/ReceiveDlg.h"
#include "submit/DirectUploadText.h"
#include "transfer/HexCodec.h"

INT_PTR ReceiveWFAttach(HWND parent, const std::string& baseUrl, const std::string& id, bool idIsText,
                        const std::string& fileName, const std::string& localPath, const std::string& partPath) {
    std::string idText = id;
    if (!idIsText) {
        idText.assign(2 * id.size() + 1, '\0');
        NcHexFromBin(reinterpret_cast<const unsigned char*>(id.data()), id.size(), &idText[0]);
        idText.pop_back();
    }
    CReceiveDlg dialog(parent);
    dialog.m_strUrl = WFAttachUrl(baseUrl, idText, fileName);
    dialog.m_strServer = baseUrl;
    dialog.m_strFileName = fileName;
    dialog.m_strLocalPath = localPath;
    dialog.m_strPartPath = partPath;
    return dialog.DoModal();
}
