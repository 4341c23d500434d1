// Where our code returns into the platform's (a COM method, a window or dialog procedure,
// a thread of our own): a C++ exception stops there and becomes an HRESULT.
#pragma once

#include <windows.h>

#include <new>
#include <stdexcept>

namespace fw {

// The HRESULT of the exception being handled; call it only inside a catch block.
inline HRESULT CaughtExceptionResult() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::length_error&) {
        return E_OUTOFMEMORY;  // more than a string or an array can hold
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// What script is told about such an HRESULT.
inline const wchar_t* CaughtExceptionText(HRESULT hr) noexcept {
    return hr == E_OUTOFMEMORY ? L"not enough memory" : L"an unexpected internal error";
}

// Runs fn, which returns an HRESULT; an exception comes back as its HRESULT.
template <class Fn>
HRESULT CallNoThrow(Fn&& fn) noexcept {
    try {
        return fn();
    } catch (...) {
        return CaughtExceptionResult();
    }
}

}  // namespace fw
