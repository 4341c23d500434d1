// Download benchmark: one download through the download dialog in file mode, as an
// attachment is saved, reporting its time, the file's size and the process's peak
// working set. bench/download/run.sh runs it beside curl on the same server page.
// Usage: download_bench <url> <save path>
#include "download/DownloadDlg.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>

namespace {

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double PeakMB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: download_bench <url> <save path>\n");
        return 2;
    }
    std::printf("peak_mb_start=%.1f\n", PeakMB());
    CDownloadDlg dlg(nullptr);
    dlg.m_strUrl = argv[1];
    dlg.m_strFileName = "bench.bin";
    dlg.m_strSavePath = argv[2];
    double start = Seconds();
    HRESULT result = static_cast<HRESULT>(dlg.DoModal());
    double seconds = Seconds() - start;
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    GetFileAttributesExA(argv[2], GetFileExInfoStandard, &attributes);
    unsigned long long bytes = (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    std::printf("result=0x%08lX\nseconds=%.3f\nbytes=%llu\npeak_mb_end=%.1f\n", static_cast<unsigned long>(result),
                seconds, bytes, PeakMB());
    return result == S_OK ? 0 : 1;
}
