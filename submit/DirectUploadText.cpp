// The texts of the single-item uploads.
#include "submit/DirectUploadText.h"

#include "attach/Cp949Text.h"
#include "transfer/UrlCoding.h"

UploadAnswer ReadUploadAnswer(const std::string& reply, std::string* result) {
    if (reply.empty()) return UploadAnswer::kStopped;
    if (reply.compare(0, 3, "OK;") != 0) return UploadAnswer::kRefused;
    *result = reply.substr(3);
    return UploadAnswer::kAccepted;
}

std::string FileNameOfPath(const std::string& path) {
    size_t slash = FindLastCp949Char(path, '\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WFAttachUrl(const std::string& baseUrl, const std::string& idText, const std::string& fileName) {
    return baseUrl + "WFAttach.asp?ID=" + UrlEncodeQueryValue(idText) + "&FileName=" + UrlEncodeQueryValue(fileName);
}
