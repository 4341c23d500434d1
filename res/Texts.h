// The control's user texts. Sources are UTF-8; the compiler writes them as CP949.
#pragma once

namespace texts {

// lists and submission
inline constexpr char kCopyPrefix[] = "사본 - ";
inline constexpr char kCopyPrefixNumbered[] = "사본 (%d) - ";
inline constexpr char kTransferredFormat[] = "%s/%s바이트";
inline constexpr char kFileSizeUnknown[] = "알 수 없음";
inline constexpr char kSizeLimitExceeded[] = "첨부 문서의 크기가 제한 용량[%s KB]를 초과했읍니다.";
inline constexpr char kTransferStopped[] = "전송 중단";
// caption of the single-item uploads' message
inline constexpr char kGroupwareCaption[] = "그룹웨어";

// the file list's columns
inline constexpr char kFileNameColumn[] = "파일명";
inline constexpr char kFileSizeColumn[] = "크기";

// adding attachments
inline constexpr char kAllDocumentsFilter[] = "모든 문서(*.*)|*.*||";
inline constexpr char kDuplicateAttachment[] = "같은 이름의 파일이 이미 첨부되어 있습니다.";
inline constexpr char kFolderNotAllowed[] = "폴더는 첨부할 수 없습니다.";
inline constexpr char kPathTooLong[] = "경로가 너무 길어 첨부할 수 없습니다.\n";
inline constexpr char kTooManyFiles[] = "한 번에 선택한 파일이 너무 많습니다. 나누어 첨부하십시오.";

// upload progress window of the transfer library
inline constexpr char kUploadCaption[] = "파일 전송";
inline constexpr char kUploadSending[] = "서버로 보내는 중입니다...";
inline constexpr char kUploadProgress[] = "%s / %s 바이트 (%d%%)";
inline constexpr char kUploadCancel[] = "취소";

// form staging
inline constexpr char kCannotSaveAttachFile[] = "hr: Can not save attach file(%d)";

// message file writer: the server refused the message (the reason follows on a line of its own)
inline constexpr char kCantReceiveMessage[] = "IDS_CANT_RCVMSG_FROM_SERVER";

// window lifecycle
inline constexpr char kSignedPathWrong[] = "파일 경로가 정확하지 않습니다.";

// download dialogs and the internet request client
inline constexpr char kDownloadTitle[] = "문서를 다운로드하는 중...";
inline constexpr char kReceiveTransferring[] = "전송중 ....";
inline constexpr char kInternetAccessError[] = "인터넷 접근 에러발생";

}  // namespace texts
