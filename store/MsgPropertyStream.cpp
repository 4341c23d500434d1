// Writes the property stream of a message file from the message's addresses and the
// name/value records of the server's reply.
#include "store/MsgPropertyStream.h"

#include "framework/ErrorMacros.h"
#include "store/MsgRecordTags.h"
#include "store/StreamByteSink.h"

#include <new>

HRESULT WriteMsgPropertyStream(CMsgStorage& storage, const std::string& to, const std::string& cc,
                               const std::vector<MsgReplyField>& fields) {
    fw::ComPtr<IStream> stream = storage.CreateStream(kMsgPropertyStream);
    RETURN_HR_IF(FAILED(storage.m_hrLast) ? storage.m_hrLast : E_FAIL, !stream);
    CStreamByteSink sink(storage, stream.get());
    CMsgRecordWriter writer(sink);
    bool written = false;
    try {
        written = writer.WriteProperties(to, cc, fields);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    RETURN_HR_IF(FAILED(storage.m_hrLast) ? storage.m_hrLast : STG_E_WRITEFAULT, !written);
    return S_OK;
}
