// The record reader's byte source over an open storage stream.
#pragma once

#include "store/MsgByteSource.h"
#include "store/MsgStorage.h"

class CStreamByteSource : public CMsgByteSource {
public:
    CStreamByteSource(CMsgStorage& storage, IStream* stream) : m_storage(storage), m_stream(stream) {}

    bool Read(void* buffer, uint32_t length) override {
        return length == 0 || m_storage.ReadBytes(m_stream, buffer, length) == length;
    }

private:
    CMsgStorage& m_storage;
    IStream* m_stream;
};
