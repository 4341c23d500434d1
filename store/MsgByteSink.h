// Where the record writer puts a stream's bytes (a storage stream, a memory buffer).
#pragma once

#include <cstdint>

class CMsgByteSink {
public:
    virtual ~CMsgByteSink() = default;
    // Writes exactly length bytes; a short write is a failure.
    [[nodiscard]] virtual bool Write(const void* buffer, uint32_t length) = 0;
};
