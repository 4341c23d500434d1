// The file a save writes beside its destination: an existing file of that name stays as
// it was until the whole body is in, and only then is replaced.
#pragma once

#include <windows.h>

#include <string>

class CPartFile {
public:
    CPartFile() = default;
    CPartFile(const CPartFile&) = delete;
    CPartFile& operator=(const CPartFile&) = delete;
    // A part never committed is deleted.
    ~CPartFile();

    // Makes an empty part file of a new name in the destination's folder; ERROR_SUCCESS or
    // the system's error.
    DWORD Create(const std::string& destination);
    const std::string& path() const { return m_path; }
    // Puts the part in the destination's place; ERROR_SUCCESS or the system's error.
    DWORD Commit();

private:
    std::string m_destination;
    std::string m_path;
};
