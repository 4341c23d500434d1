// Holds a slim reader/writer lock exclusively for a scope.
#pragma once

#include <windows.h>

namespace fw {

class SrwGuard {
public:
    explicit SrwGuard(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    ~SrwGuard() { ReleaseSRWLockExclusive(&m_lock); }
    SrwGuard(const SrwGuard&) = delete;
    SrwGuard& operator=(const SrwGuard&) = delete;

private:
    SRWLOCK& m_lock;
};

}  // namespace fw
