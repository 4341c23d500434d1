// Download benchmark: one download through the download dialog in file mode, as an
// attachment is saved, reporting its time, the file's size and the process's peak
// working set. bench/download/run.sh runs it beside curl on the same server page.
// Usage: download_bench <url> <save path>
#include "bench/BenchMeasure.h"
#include "download/DownloadDlg.h"

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: download_bench <url> <save path>\n");
        return 2;
    }
    std::printf("peak_mb_start=%.1f\n", bench::PeakWorkingSetMB());
    CDownloadDlg dlg(nullptr);
    dlg.m_strUrl = argv[1];
    dlg.m_strFileName = "bench.bin";
    dlg.m_strSavePath = argv[2];
    double start = bench::Seconds();
    HRESULT result = static_cast<HRESULT>(dlg.DoModal());
    double seconds = bench::Seconds() - start;
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    GetFileAttributesExA(argv[2], GetFileExInfoStandard, &attributes);
    unsigned long long bytes = (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    std::printf("result=0x%08lX\nseconds=%.3f\nbytes=%llu\npeak_mb_end=%.1f\n", static_cast<unsigned long>(result),
                seconds, bytes, bench::PeakWorkingSetMB());
    return result == S_OK ? 0 : 1;
}
