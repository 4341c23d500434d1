// A byte source over a buffer in memory (tests, fuzzing, a property stream built in memory).
#pragma once

#include "store/MsgByteSource.h"

#include <cstddef>
#include <cstring>

class CMemoryByteSource : public CMsgByteSource {
public:
    CMemoryByteSource(const void* data, size_t size)
        : m_data(static_cast<const unsigned char*>(data)), m_size(size) {}

    bool Read(void* buffer, uint32_t length) override {
        if (length > m_size - m_pos) return false;
        if (length) std::memcpy(buffer, m_data + m_pos, length);
        m_pos += length;
        return true;
    }
    size_t Position() const { return m_pos; }

private:
    const unsigned char* m_data;
    size_t m_size;
    size_t m_pos = 0;
};
