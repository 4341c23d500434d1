// The control's user texts. Sources are UTF-8; the compiler writes them as CP949.
#pragma once

namespace texts {

// upload progress window of the transfer library
inline constexpr char kUploadCaption[] = "파일 전송";
inline constexpr char kUploadSending[] = "서버로 보내는 중입니다...";
inline constexpr char kUploadProgress[] = "%s / %s 바이트 (%d%%)";
inline constexpr char kUploadCancel[] = "취소";

}  // namespace texts
