// Where the file readers put the files they extract (a folder on disk, memory in tests).
#pragma once

#include <cstdint>
#include <string>

// One file at a time: Create, any number of Write calls, then Finish or Discard. A file
// whose Create, Write or Finish fails is left out by the reader, which reads on.
class CMsgFileSink {
public:
    virtual ~CMsgFileSink() = default;
    // name is a bare file name that MakeSafeFileName accepted. An existing file of that
    // name is replaced.
    [[nodiscard]] virtual bool Create(const std::string& name) = 0;
    [[nodiscard]] virtual bool Write(const void* buffer, uint32_t length) = 0;
    // Completes the file. On failure the sink removes what it wrote.
    [[nodiscard]] virtual bool Finish() = 0;
    // Removes the file begun by Create; the reader calls it when the record cannot be
    // read to its end, so no half file is left that a list could point at.
    virtual void Discard() = 0;
};
