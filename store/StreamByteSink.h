// The record writer's byte sink over a storage stream being written.
#pragma once

#include "store/MsgByteSink.h"
#include "store/MsgStorage.h"

class CStreamByteSink : public CMsgByteSink {
public:
    CStreamByteSink(CMsgStorage& storage, IStream* stream) : m_storage(storage), m_stream(stream) {}

    bool Write(const void* buffer, uint32_t length) override {
        return length == 0 || m_storage.WriteBytes(m_stream, buffer, length);
    }

private:
    CMsgStorage& m_storage;
    IStream* m_stream;
};
