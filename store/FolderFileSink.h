// Extracts the files of a message file into one folder on disk.
#pragma once

#include "framework/UniqueHandle.h"
#include "store/MsgFileSink.h"

#include <windows.h>

#include <string>

class CFolderFileSink : public CMsgFileSink {
public:
    // folder is ANSI; a file lands at folder + "\" + name, joined as they are (a folder
    // ending in a backslash gives a doubled one, which the file system accepts).
    explicit CFolderFileSink(std::string folder) : m_folder(std::move(folder)) {}
    ~CFolderFileSink() override { Discard(); }

    bool Create(const std::string& name) override;
    bool Write(const void* buffer, uint32_t length) override;
    bool Finish() override;
    void Discard() override;

    // The names of the files it could not create or write, each followed by a tab.
    const std::string& Failed() const { return m_failed; }

private:
    bool Fail();

    std::string m_folder;
    std::string m_name;   // of the open file
    std::wstring m_path;  // of the open file
    fw::UniqueFile m_file;
    std::string m_failed;
};
