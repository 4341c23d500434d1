// A file sink that keeps extracted files in memory, for the tests and the fuzz target.
#pragma once

#include "store/MsgFileSink.h"

#include <map>
#include <string>
#include <vector>

class CMemoryFileSink : public CMsgFileSink {
public:
    bool Create(const std::string& name) override {
        if (name == m_failCreate) return false;
        m_open = name;
        m_data.clear();
        m_created.push_back(name);
        return true;
    }
    bool Write(const void* buffer, uint32_t length) override {
        m_data.append(static_cast<const char*>(buffer), length);
        return true;
    }
    bool Finish() override {
        m_files[m_open] = m_data;
        return true;
    }
    void Discard() override { m_discarded.push_back(m_open); }

    std::string m_failCreate;              // a name it cannot create
    std::vector<std::string> m_created;    // every Create, in order
    std::vector<std::string> m_discarded;  // every Discard, in order
    std::map<std::string, std::string> m_files;  // finished files by name

private:
    std::string m_open;
    std::string m_data;
};
