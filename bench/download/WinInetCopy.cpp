// Reference for the download benchmark: the same URL copied into a file by WinInet on one
// thread, 1 MB reads written as they come, with no dialog and no hand-over between
// threads. It tells what the platform's WinInet costs under Wine, apart from ours.
// Usage: wininet_copy <url> <save path>
#include "framework/UniqueHandle.h"

#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: wininet_copy <url> <save path>\n");
        return 2;
    }
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceCounter(&start);
    fw::UniqueHInternet session(InternetOpenA("NVATT", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    fw::UniqueHInternet request(session ? InternetOpenUrlA(session.get(), argv[1], nullptr, 0,
                                                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)
                                        : nullptr);
    fw::UniqueFile file(CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!request || !file) {
        std::fprintf(stderr, "wininet_copy: cannot open (%lu)\n", GetLastError());
        return 1;
    }
    const DWORD kChunk = 1024 * 1024;
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    unsigned long long bytes = 0;
    for (DWORD got; InternetReadFile(request.get(), buffer.get(), kChunk, &got) && got > 0;) {
        DWORD written = 0;
        WriteFile(file.get(), buffer.get(), got, &written, nullptr);
        bytes += got;
    }
    file.reset();
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    std::printf("seconds=%.3f\nbytes=%llu\n", static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart,
                bytes);
    return 0;
}
