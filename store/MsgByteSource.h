// Where the record reader takes a stream's bytes from (a storage stream, a memory buffer).
#pragma once

#include <cstdint>

class CMsgByteSource {
public:
    virtual ~CMsgByteSource() = default;
    // Reads exactly length bytes; a short read is a failure.
    [[nodiscard]] virtual bool Read(void* buffer, uint32_t length) = 0;
};
