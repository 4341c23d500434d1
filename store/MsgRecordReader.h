// Reads the primitives of a record stream (32-bit values, counted strings, file data)
// from an untrusted byte source, never past the stream's size.
#pragma once

#include "store/MsgByteSource.h"
#include "store/MsgFileSink.h"

#include <cstdint>
#include <optional>
#include <string>

class CMsgRecordReader {
public:
    // File content moves through a buffer of this size, never as a whole.
    static constexpr uint32_t kChunkSize = 64 * 1024;

    CMsgRecordReader(CMsgByteSource& source, uint64_t streamSize)
        : m_source(source), m_size(streamSize) {}

    bool AtEnd() const { return m_consumed >= m_size; }
    uint64_t Remaining() const { return m_size - m_consumed; }
    uint64_t Consumed() const { return m_consumed; }

    // All of these return false when the stream ends before the value or payload does,
    // or when the source fails. A length is checked against what is left of the stream
    // before anything is allocated or read.
    [[nodiscard]] bool ReadDword(uint32_t& value);
    // A counted string. Length 0 gives no text (nullopt); otherwise the text runs up to
    // its first zero byte, as the writer's C strings did. Read as it arrives, in chunks.
    [[nodiscard]] bool ReadText(std::optional<std::string>& text);
    [[nodiscard]] bool SkipText();
    [[nodiscard]] bool Skip(uint32_t length);
    // Copies length bytes into the sink's open file, a chunk at a time. False only when the
    // stream fails; once the sink fails a write, the rest of the data is consumed without
    // it and written is false.
    [[nodiscard]] bool CopyTo(uint32_t length, CMsgFileSink& sink, bool& written);

private:
    [[nodiscard]] bool ReadRaw(void* buffer, uint32_t length);

    CMsgByteSource& m_source;
    uint64_t m_size;
    uint64_t m_consumed = 0;
};
