// Writes the records of the message file's streams into a byte sink.
#pragma once

#include "store/MsgByteSink.h"
#include "store/MsgByteSource.h"

#include <cstdint>
#include <string>
#include <vector>

// One name/value record of the server's message reply.
struct MsgReplyField {
    std::string name;
    std::string value;
};

class CMsgRecordWriter {
public:
    static constexpr uint32_t kChunkSize = 64 * 1024;

    explicit CMsgRecordWriter(CMsgByteSink& sink) : m_sink(sink) {}

    // MSGREC_BEGIN and MSGREC_VERSION with the current version: how every stream starts.
    [[nodiscard]] bool WriteHeader();
    [[nodiscard]] bool WriteEnd();
    [[nodiscard]] bool WriteDword(uint32_t value);
    // A tag and a counted string. Texts longer than a 32-bit length are refused.
    [[nodiscard]] bool WriteText(uint32_t tag, const std::string& text);
    // A tag, the counted name, the length and length bytes taken from content a chunk at
    // a time. An empty name is refused: the readers take it as the end of the record.
    [[nodiscard]] bool WriteFile(uint32_t tag, const std::string& name, uint32_t length,
                                 CMsgByteSource& content);
    // The whole property stream: header, To, Cc, a MSGREC_KEYWORDS or MSGREC_BODY for
    // each reply record so named (any case), MSGREC_FIELDS with every record when there
    // was one, end.
    [[nodiscard]] bool WriteProperties(const std::string& to, const std::string& cc,
                                       const std::vector<MsgReplyField>& fields);

private:
    CMsgByteSink& m_sink;
};
