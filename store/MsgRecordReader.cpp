// Reads the primitives of a record stream (32-bit values, counted strings, file data)
// from an untrusted byte source, never past the stream's size.
#include "store/MsgRecordReader.h"

#include <algorithm>
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
    std::string bytes(length, '\0');
    if (!ReadRaw(&bytes[0], length)) return false;
    size_t zero = bytes.find('\0');
    if (zero != std::string::npos) bytes.resize(zero);
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

bool CMsgRecordReader::CopyTo(uint32_t length, CMsgFileSink& sink) {
    if (length > Remaining()) return false;
    std::vector<unsigned char> chunk(std::min(length, kChunkSize));
    while (length > 0) {
        uint32_t n = std::min(length, kChunkSize);
        if (!ReadRaw(chunk.data(), n) || !sink.Write(chunk.data(), n)) return false;
        length -= n;
    }
    return true;
}
