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
inline constexpr char kUnreadableFiles[] =
    "다음 파일을 읽을 수 없어 메일을 보내지 않았습니다.\n"
    "파일이 있는지 확인하거나 첨부에서 빼고 다시 보내십시오.\n";
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
inline constexpr char kFilesNotRestored[] =
    "다음 파일을 임시 폴더에 만들 수 없어 빼고 열었습니다.\n"
    "같은 이름의 파일을 다른 프로그램이 열고 있으면 닫은 뒤 다시 여십시오.\n";

// opening and saving attachments
inline constexpr char kCannotRun[] = "%s 을 실행 할수 없습니다.";
inline constexpr char kErrorOccurred[] = "에러가 발생하였습니다.(%d)";
inline constexpr char kRunsCodeQuestion[] =
    "%s\n\n이 파일은 열면 프로그램으로 실행됩니다. 믿을 수 있는 보낸 사람의 파일이 아니면 열지 마십시오.\n"
    "지금 여시겠습니까?";
inline constexpr char kSaveFolderTitle[] = "파일저장 위치선택";
inline constexpr char kSaveFolderName[] = "파일저장";
inline constexpr char kPasswordApply[] = "암호 적용";
inline constexpr char kPasswordCancel[] = "암호 취소";

// download dialogs and the internet request client
inline constexpr char kDownloadTitle[] = "문서를 다운로드하는 중...";
inline constexpr char kReceiveTransferring[] = "전송중 ....";
inline constexpr char kInternetAccessError[] = "인터넷 접근 에러발생";

// the site lock: pages of sites the administrator did not allow, and URLs outside them
inline constexpr char kPageRefused[] = "접근이 거부되었습니다: %s";
inline constexpr char kTargetRefused[] = "%s 주소로는 보내거나 받을 수 없습니다: %s";
inline constexpr char kOriginNotAllowed[] = "%s은(는) 허용된 사이트가 아닙니다.";
inline constexpr char kNotWebAddress[] = "%s은(는) http 또는 https 주소가 아닙니다.";
inline constexpr char kNoAllowedSites[] =
    "관리자가 허용한 사이트가 없습니다(HKLM\\SOFTWARE\\NVATT의 AllowedOrigins).";
inline constexpr char kNoPageAddress[] = "컨트롤이 놓인 페이지의 주소를 알 수 없습니다.";

// companion programs
inline constexpr char kExeNoResources[] = "메모리나 자원이 부족합니다.";
inline constexpr char kExeNotFound[] = "실행 파일이 없습니다.";
inline constexpr char kExePathNotFound[] = "실행 파일의 경로가 정확하지 않습니다.";
inline constexpr char kExeBadFormat[] = "Window System에서 실행할 수 없는 프로그램 입니다.";

// fax sending
inline constexpr char kFaxInstallDriver[] = "팩스 드라이버를 설치하세요.";
inline constexpr char kFaxInstallCaption[] = "팩스드라이버 설치";

// conference call
inline constexpr char kConferenceRequestCaption[] = "화상회의 요청";
inline constexpr char kConferenceCallerNotFree[] = "현재 사용자의 화상회의 상태를 확인후 요청하시기 바랍니다.";
inline constexpr char kConferenceCalleeInConference[] =
    "호출 대상자가 화상회의 중입니다. 화상회의를 시작 할 수 없습니다.";
inline constexpr char kConferenceCalleeOnCall[] = "호출 대상자가 통화 중입니다. 화상회의를 시작 할 수 없습니다.";
inline constexpr char kConferenceCalleeAway[] = "호출 대상자가 오프라인이거나 Busy, Away상태 입니다.";
inline constexpr char kConferenceErrorCaption[] = "화상회의 오류";
inline constexpr char kConferenceDocumentFailed[] = "문서를 만드는데 실패했습니다. 화상회의를 시작 할 수 없습니다.";

// archive and server registration
inline constexpr char kArchiveDone[] = "완료 되었습니다.";
inline constexpr char kItemsNotArchived[] = "다음 항목은 저장하지 못해 서버에 등록하지 않았습니다.\n";
inline constexpr char kStorageQuotaExceeded[] = "서버에 저장 용량이 초과하였습니다. 저장된 메일을 일부 삭제 하세요";
inline constexpr char kDbInsertFailed[] = "DB Insert 실패.";
inline constexpr char kUnknownError[] = "알수 없는 오류.";
inline constexpr char kNetworkUpdateFailed[] = "네트워크 문제로 수정하지 못했습니다.";
inline constexpr char kUpdateCaption[] = "수정";
inline constexpr char kBatchSaveDone[] = "일괄 로컬저장이 완료 되었습니다.";
inline constexpr char kLocalFolderTitle[] = "문서를 만들어 저장할 로컬 Folder 위치지정:";

// local save commands and body import
inline constexpr char kLocalSaveFilter[] = "eml files (.eml)|*.eml|로컬 저장 파일(*.pcm)|*.pcm|html files (.htm;.html)|*.htm;*.html|";
inline constexpr char kComposeSaveFilter[] = "html files (.htm;.html)|*.htm;*.html|";
inline constexpr char kPcmSaveFilter[] = "로컬 저장 파일(*.pcm)|*.pcm|";
inline constexpr char kNcfSaveFilter[] = "로컬 저장 파일(*.ncf)|*.ncf|";
inline constexpr char kInsertBodyFilter[] =
    "html files (.htm;.html)|*.htm;*.html|로컬 저장 파일(*.pcm)|*.pcm|텍스트 파일(*.txt)|*.txt|";
inline constexpr char kLocalSaveTitle[] = "로컬저장 위치선택";
inline constexpr char kLocalSaveName[] = "로컬저장";
inline constexpr char kLocalSaveDone[] = "완료 하였습니다.";
inline constexpr char kLocalSaveFailed[] = "저장하지 못했습니다. 저장할 위치와 디스크 공간을 확인하십시오.\n%s";
inline constexpr char kCannotImportBody[] = "본문으로 가져올 수 없는 파일입니다(읽을 수 없거나, 손상되었거나, 너무 큽니다).\n%s";

}  // namespace texts
