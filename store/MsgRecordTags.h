// Record tags and stream names of the local message file (.pcm, .pcm2).
#pragma once

#include <cstdint>

// Current generation, written by the message file writer.
constexpr uint32_t MSGREC_BEGIN = 0;
constexpr uint32_t MSGREC_VERSION = 1;
constexpr uint32_t MSGREC_FIELDS = 2;
constexpr uint32_t MSGREC_KEYWORDS = 3;
constexpr uint32_t MSGREC_BODY = 5;
constexpr uint32_t MSGREC_ATTACH = 6;
constexpr uint32_t MSGREC_INLINE = 7;
constexpr uint32_t MSGREC_END = 8;
constexpr uint32_t MSGREC_TO = 0x800000;
constexpr uint32_t MSGREC_CC = 0x1000000;

constexpr uint32_t kMsgFileVersion = 0x10000;

constexpr const char kMsgPropertyStream[] = "nc_local_property";
constexpr const char kMsgInlineStream[] = "nc_local_inline";
constexpr const char kMsgAttachStream[] = "nc_local_attach";

// Legacy generation: only read, never written. The tags the readers drop carry data
// of the older client that nothing uses any more.
constexpr uint32_t kLegacyBegin = 0;
constexpr uint32_t kLegacyVersion = 1;
constexpr uint32_t kLegacyBody = 0x8000;
constexpr uint32_t kLegacyAttach = 0x40000;
constexpr uint32_t kLegacyTo = 0x800000;
constexpr uint32_t kLegacyCc = 0x1000000;
constexpr uint32_t kLegacyEnd = 0x80000000;
constexpr uint32_t kLegacyDroppedTexts[] = {0x20, 0x100, 0x20000, 0x80000, 0x100000, 0x200000, 0x400000};

constexpr const char kLegacyPropertyStream[] = "_vxLocalproperty";
constexpr const char kLegacyAttachStream[] = "_vxLocalAttach";
