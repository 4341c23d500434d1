// Early-return helpers for functions that report an HRESULT.
#pragma once

#include <windows.h>

#define RETURN_IF_FAILED(expr)                         \
    do {                                               \
        HRESULT hr_ = (expr);                          \
        if (FAILED(hr_)) return hr_;                   \
    } while (0)

#define RETURN_HR_IF(hr, cond)                         \
    do {                                               \
        if (cond) return (hr);                         \
    } while (0)

#define RETURN_HR_IF_NULL(hr, ptr) RETURN_HR_IF((hr), (ptr) == nullptr)

#define RETURN_LAST_ERROR() return HRESULT_FROM_WIN32_OR_FAIL(GetLastError())

#define RETURN_IF_WIN32_BOOL_FALSE(call)               \
    do {                                               \
        if (!(call)) RETURN_LAST_ERROR();              \
    } while (0)

#define RETURN_IF_WIN32_ERROR(expr)                    \
    do {                                               \
        LONG err_ = (expr);                            \
        if (err_ != ERROR_SUCCESS) return HRESULT_FROM_WIN32(err_); \
    } while (0)

// A zero error code after a failed call would read as success.
inline HRESULT HRESULT_FROM_WIN32_OR_FAIL(DWORD err) {
    return err ? HRESULT_FROM_WIN32(err) : E_FAIL;
}
