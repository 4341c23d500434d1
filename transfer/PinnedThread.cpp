// A detached worker thread that keeps this module loaded until its work is done.
#include "transfer/PinnedThread.h"

#include <new>

#include "framework/ErrorMacros.h"
#include "framework/UniqueHandle.h"

namespace {

struct Start {
    std::function<void()> work;
    HMODULE pinned;
};

DWORD WINAPI ThreadMain(void* param) {
    auto* start = static_cast<Start*>(param);
    HMODULE pinned = start->pinned;
    // The work reports its own failures; whatever escapes it must not end the process.
    try {
        start->work();
    } catch (...) {
    }
    // The work may hold the last owners of code in this module: they go before the pin.
    delete start;
    FreeLibraryAndExitThread(pinned, 0);
}

}  // namespace

HRESULT StartPinnedThread(std::function<void()> work) {
    HMODULE pinned = nullptr;
    RETURN_IF_WIN32_BOOL_FALSE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                                  reinterpret_cast<LPCWSTR>(&ThreadMain), &pinned));
    auto* start = new (std::nothrow) Start{std::move(work), pinned};
    if (!start) {
        FreeLibrary(pinned);
        return E_OUTOFMEMORY;
    }
    fw::UniqueKernelHandle thread(CreateThread(nullptr, 0, ThreadMain, start, 0, nullptr));
    if (!thread) {
        DWORD err = GetLastError();
        delete start;
        FreeLibrary(pinned);
        return HRESULT_FROM_WIN32_OR_FAIL(err);
    }
    return S_OK;
}
