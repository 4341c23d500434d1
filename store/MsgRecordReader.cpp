// Reads the primitives of a record stream (32-bit values, counted strings, file data)
// from an untrusted byte source, never past the stream's size.
#include "store/MsgRecordReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

bool CMsgRecordReader::ReadRaw(void* buffer, uint32_t length) {
    if (length > Remaining()) return false;
    if (!m_source.Read(buffer, length)) return false;
    m_consumed += length;
    return true;
}

bool CMsgRecordReader::ReadDword(uint32_t& value) {
    unsigned char bytes[4];
    if (!ReadRaw(bytes, sizeof bytes)) return false;
    value = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
            uint32_t{bytes[3]} << 24;
    return true;
}

bool CMsgRecordReader::ReadText(std::optional<std::string>& text) {
    uint32_t length = 0;
    if (!ReadDword(length)) return false;
    text.reset();
    if (length == 0) return true;
    if (length > Remaining()) return false;
    // The stream's size is what the file claims, not what it holds: the text grows only
    // by what has arrived, so a claim of gigabytes fails at the first missing chunk.
    std::string bytes;
    std::vector<char> chunk(std::min(length, kChunkSize));
    bool ended = false;  // past the text's first zero byte: the rest is only consumed
    while (length > 0) {
        uint32_t n = std::min(length, kChunkSize);
        if (!ReadRaw(chunk.data(), n)) return false;
        if (!ended) {
            const char* zero = static_cast<const char*>(std::memchr(chunk.data(), 0, n));
            bytes.append(chunk.data(), zero ? static_cast<size_t>(zero - chunk.data()) : n);
            ended = zero != nullptr;
        }
        length -= n;
    }
    text = std::move(bytes);
    return true;
}

bool CMsgRecordReader::SkipText() {
    uint32_t length = 0;
    return ReadDword(length) && Skip(length);
}

bool CMsgRecordReader::Skip(uint32_t length) {
    if (length > Remaining()) return false;
    std::vector<unsigned char> chunk(std::min(length, kChunkSize));
    while (length > 0) {
        uint32_t n = std::min(length, kChunkSize);
        if (!ReadRaw(chunk.data(), n)) return false;
        length -= n;
    }
    return true;
}

bool CMsgRecordReader::CopyTo(uint32_t length, CMsgFileSink& sink, bool& written) {
    if (length > Remaining()) return false;
    written = true;
    std::vector<unsigned char> chunk(std::min(length, kChunkSize));
    while (length > 0) {
        uint32_t n = std::min(length, kChunkSize);
        if (!ReadRaw(chunk.data(), n)) return false;
        written = written && sink.Write(chunk.data(), n);
        length -= n;
    }
    return true;
}
