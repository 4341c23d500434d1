// Times two CHttpUpload submissions of the given files in one process and reports the
// process's memory while they run; run_upload_bench.py compares them with curl on the
// same server page. The first submission pays the process's one-time network set-up; a
// browser that hosts the control has paid it long before, so the second one is the
// steady state.
//
//   nvatt_upload_bench.exe <url> <file | @list-of-files> [--window]
//
// Prints one line: bytes=<file bytes> seconds=<second Submit> first_seconds=<first Submit>
// idle_ws=<working set before> peak_ws_sampled=<largest working set seen during both>
// peak_ws=<the system's peak> result=<HRESULT> reply=<answer>.
#include "bench/BenchMeasure.h"
#include "transfer/HttpUpload.h"

#include <windows.h>

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::atomic<bool> g_sampling{true};
std::atomic<size_t> g_sampledPeak{0};

DWORD WINAPI Sampler(void*) {
    while (g_sampling) {
        size_t now = bench::WorkingSet();
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

    size_t idle = bench::WorkingSet();
    g_sampledPeak = idle;
    HANDLE sampler = CreateThread(nullptr, 0, Sampler, nullptr, 0, nullptr);
    double seconds[2] = {};
    int result = 0;
    for (double& s : seconds) {
        double start = bench::Seconds();
        result = window ? upload.Submit(url) : upload.Submit_noDlg(url);
        s = bench::Seconds() - start;
        if (result != 0) break;
    }
    g_sampling = false;
    WaitForSingleObject(sampler, INFINITE);
    CloseHandle(sampler);

    std::printf("bytes=%" PRIu64 " seconds=%.3f first_seconds=%.3f idle_ws=%zu peak_ws_sampled=%zu "
                "peak_ws=%zu result=0x%08x reply=%s\n",
                bytes, seconds[1], seconds[0], idle, g_sampledPeak.load(), bench::PeakWorkingSet(),
                static_cast<unsigned>(result), upload.GetReply().c_str());
    return result == 0 ? 0 : 1;
}
