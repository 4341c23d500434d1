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

}  // namespace texts
