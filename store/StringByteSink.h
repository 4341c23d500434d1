// A byte sink that appends to a string (a property stream built in memory, tests).
#pragma once

#include "store/MsgByteSink.h"

#include <string>

class CStringByteSink : public CMsgByteSink {
public:
    bool Write(const void* buffer, uint32_t length) override {
        m_bytes.append(static_cast<const char*>(buffer), length);
        return true;
    }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};
