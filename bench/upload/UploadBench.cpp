// Times one CHttpUpload submission of the given files and reports the process's memory
// while it runs; run_upload_bench.py compares it with curl on the same server page.
//
//   nvatt_upload_bench.exe <url> <file | @list-of-files> [--window]
//
// Prints one line: bytes=<file bytes> seconds=<time in Submit> idle_ws=<working set before>
// peak_ws_sampled=<largest working set seen during Submit> peak_ws=<the system's peak>
// result=<HRESULT> reply=<answer>.
#include "transfer/HttpUpload.h"

#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

size_t WorkingSet() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.WorkingSetSize;
}

size_t PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize;
}

std::atomic<bool> g_sampling{true};
std::atomic<size_t> g_sampledPeak{0};

DWORD WINAPI Sampler(void*) {
    while (g_sampling) {
        size_t now = WorkingSet();
        if (now > g_sampledPeak) g_sampledPeak = now;
        Sleep(10);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <url> <file | @list> [--window]\n", argv[0]);
        return 2;
    }
    std::string url = argv[1];
    std::vector<std::string> files;
    if (argv[2][0] == '@') {
        std::ifstream list(argv[2] + 1);
        for (std::string line; std::getline(list, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) files.push_back(line);
        }
    } else {
        files.push_back(argv[2]);
    }
    bool window = argc > 3 && std::string(argv[3]) == "--window";

    uint64_t bytes = 0;
    for (const std::string& f : files) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(f.c_str(), GetFileExInfoStandard, &data)) {
            std::fprintf(stderr, "cannot read %s\n", f.c_str());
            return 2;
        }
        bytes += (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }

    CHttpUpload upload;
    upload.AddField("subject", "benchmark");
    for (size_t i = 0; i < files.size(); ++i) {
        upload.AddFile("my_file" + std::to_string(i + 1), files[i]);
    }
    upload.AddField("FILECOUNTER", std::to_string(files.size()));

    size_t idle = WorkingSet();
    g_sampledPeak = idle;
    HANDLE sampler = CreateThread(nullptr, 0, Sampler, nullptr, 0, nullptr);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    int result = window ? upload.Submit(url) : upload.Submit_noDlg(url);
    QueryPerformanceCounter(&end);
    g_sampling = false;
    WaitForSingleObject(sampler, INFINITE);
    CloseHandle(sampler);

    double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    std::printf("bytes=%" PRIu64 " seconds=%.3f idle_ws=%zu peak_ws_sampled=%zu peak_ws=%zu result=0x%08x reply=%s\n",
                bytes, seconds, idle, g_sampledPeak.load(), PeakWorkingSet(), static_cast<unsigned>(result),
                upload.GetReply().c_str());
    return result == 0 ? 0 : 1;
}
