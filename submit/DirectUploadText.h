// The texts of the single-item uploads: the upload pages' answers, the file name a page
// is told, and the query of the workflow attachment fetch.
#pragma once

#include <string>

enum class UploadAnswer {
    kStopped,   // empty: the transfer broke off
    kAccepted,  // "OK;" and the result
    kRefused,   // anything else: no result
};

// The answer and, when it is accepted, the text after "OK;" in result.
UploadAnswer ReadUploadAnswer(const std::string& reply, std::string* result);

// The part of a path after its last backslash (a trail byte is never one).
std::string FileNameOfPath(const std::string& path);

// baseUrl + "WFAttach.asp?ID=" + idText + "&FileName=" + fileName, both values
// URL-encoded (UrlEncodeQueryValue).
std::string WFAttachUrl(const std::string& baseUrl, const std::string& idText, const std::string& fileName);
