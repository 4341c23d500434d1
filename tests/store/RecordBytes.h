// Hand-assembled record streams for the tests, built without the product's writer.
#pragma once

#include <cstdint>
#include <string>

class RecordBytes {
public:
    RecordBytes& Dword(uint32_t value) {
        for (int i = 0; i < 4; ++i) m_bytes += static_cast<char>(value >> (8 * i) & 0xFF);
        return *this;
    }
    RecordBytes& Raw(const std::string& bytes) {
        m_bytes += bytes;
        return *this;
    }
    // Tag, length and bytes.
    RecordBytes& Text(uint32_t tag, const std::string& text) {
        return Dword(tag).Dword(static_cast<uint32_t>(text.size())).Raw(text);
    }
    // Tag, counted name, length and content.
    RecordBytes& File(uint32_t tag, const std::string& name, const std::string& content) {
        return Text(tag, name).Dword(static_cast<uint32_t>(content.size())).Raw(content);
    }
    // Begin, version 0x10000.
    RecordBytes& Header() { return Dword(0).Dword(1).Dword(0x10000); }
    const std::string& str() const { return m_bytes; }

private:
    std::string m_bytes;
};
