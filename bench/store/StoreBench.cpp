// Benchmark of the message file: writes every file of a folder into one message file,
// reads it back into another folder, and copies the same files with CopyFile, reporting
// the best time of some runs of each and the process's peak memory.
// Usage: store_bench <source folder> <work folder> [runs]
#include "bench/BenchMeasure.h"
#include "store/MsgFileStreamWriter.h"
#include "store/MsgPropertyStream.h"
#include "store/MsgReaders.h"
#include "store/MsgRecordTags.h"
#include "store/MsgStorage.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct SourceFile {
    std::string name;
    ULONGLONG size;
};

std::vector<SourceFile> ListFiles(const std::string& folder) {
    std::vector<SourceFile> files;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back({found.cFileName, (ULONGLONG{found.nFileSizeHigh} << 32) | found.nFileSizeLow});
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return files;
}

int Fail(const char* what, HRESULT hr) {
    std::fprintf(stderr, "store_bench: %s failed (0x%08lX)\n", what, static_cast<unsigned long>(hr));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: store_bench <source folder> <work folder> [runs]\n");
        return 2;
    }
    const std::string source = argv[1], work = argv[2];
    const int runs = argc == 4 ? std::max(1, std::atoi(argv[3])) : 1;
    const std::string copyFolder = work + "\\copyfile", outFolder = work + "\\extracted", message = work + "\\bench.pcm2";
    CreateDirectoryA(copyFolder.c_str(), nullptr);
    CreateDirectoryA(outFolder.c_str(), nullptr);
    std::vector<SourceFile> files = ListFiles(source);
    ULONGLONG total = 0;
    for (const SourceFile& f : files) total += f.size;
    std::printf("files=%zu\nbytes=%llu\npeak_mb_start=%.1f\n", files.size(), total, bench::PeakWorkingSetMB());

    double copySeconds = 1e30, writeSeconds = 1e30, readSeconds = 1e30;
    for (int run = 0; run < runs; ++run) {
        double t0 = bench::Seconds();
        for (const SourceFile& f : files) {
            if (!CopyFileA((source + "\\" + f.name).c_str(), (copyFolder + "\\" + f.name).c_str(), FALSE))
                return Fail("CopyFile", HRESULT_FROM_WIN32(GetLastError()));
        }
        copySeconds = std::min(copySeconds, bench::Seconds() - t0);
    }
    std::printf("copyfile_seconds=%.3f\npeak_mb_after_copy=%.1f\n", copySeconds, bench::PeakWorkingSetMB());

    for (int run = 0; run < runs; ++run) {
        double t0 = bench::Seconds();
        CMsgStorage storage;
        if (!storage.Create(message.c_str())) return Fail("Create", storage.m_hrLast);
        HRESULT hr = WriteMsgPropertyStream(storage, "bench@x.kr", "", {{"body", "<p>bench</p>"}});
        if (FAILED(hr)) return Fail("property stream", hr);
        CMsgFileStreamWriter attachments(storage);
        if (FAILED(hr = attachments.Begin(kMsgAttachStream, MSGREC_ATTACH))) return Fail("Begin", hr);
        for (const SourceFile& f : files) {
            if (FAILED(hr = attachments.AddFile(f.name, (source + "\\" + f.name).c_str()))) return Fail("AddFile", hr);
        }
        if (FAILED(hr = attachments.Finish())) return Fail("Finish", hr);
        storage.Close();
        writeSeconds = std::min(writeSeconds, bench::Seconds() - t0);
    }
    std::printf("write_seconds=%.3f\npeak_mb_after_write=%.1f\n", writeSeconds, bench::PeakWorkingSetMB());

    std::string names, sizes;
    for (int run = 0; run < runs; ++run) {
        double t0 = bench::Seconds();
        std::string body, to, cc;
        names.clear();
        sizes.clear();
        CMsgStorage storage;
        if (!storage.Open(message.c_str())) return Fail("Open", storage.m_hrLast);
        if (!ReadMsgProperties(storage, body, to, cc)) return Fail("ReadMsgProperties", storage.m_hrLast);
        if (!ReadMsgFiles(storage, kMsgAttachStream, outFolder.c_str(), names, sizes))
            return Fail("ReadMsgFiles", storage.m_hrLast);
        storage.Close();
        readSeconds = std::min(readSeconds, bench::Seconds() - t0);
    }
    std::printf("read_seconds=%.3f\npeak_mb_after_read=%.1f\n", readSeconds, bench::PeakWorkingSetMB());

    // Every file came back with its size (contents are compared by the script).
    ULONGLONG readTotal = 0;
    size_t count = 0;
    for (size_t start = 0, end; (end = sizes.find('\t', start)) != std::string::npos; start = end + 1, ++count)
        readTotal += std::stoull(sizes.substr(start, end - start));
    if (count != files.size() || readTotal != total) {
        std::fprintf(stderr, "store_bench: read back %zu files, %llu bytes\n", count, readTotal);
        return 1;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(message.c_str(), GetFileExInfoStandard, &data);
    std::printf("message_file_bytes=%llu\n", (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
    return 0;
}
