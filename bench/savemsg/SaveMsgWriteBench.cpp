// The compound-file write of a saved message: the files of a list written as one
// attachment stream by the message file writer's stream writer, against the same bytes
// written straight into a fresh compound file in large writes. Best of some runs each.
// Usage: savemsg_write_bench <list of files, one Windows path a line> <work folder> [runs]
#include "bench/BenchMeasure.h"
#include "framework/ComPtr.h"
#include "framework/Text.h"
#include "framework/UniqueHandle.h"
#include "store/MsgFileStreamWriter.h"
#include "store/MsgRecordTags.h"
#include "store/MsgStorage.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr DWORD kRawChunk = 4 << 20;

int Fail(const char* what, HRESULT hr) {
    std::fprintf(stderr, "savemsg_write_bench: %s failed (0x%08lX)\n", what, static_cast<unsigned long>(hr));
    return 1;
}

HRESULT WriteOurs(const std::string& target, const std::vector<std::string>& files) {
    CMsgStorage storage;
    if (!storage.Create(target.c_str())) return storage.m_hrLast;
    CMsgFileStreamWriter stream(storage);
    HRESULT hr = stream.Begin(kMsgAttachStream, MSGREC_ATTACH);
    for (size_t i = 0; SUCCEEDED(hr) && i < files.size(); ++i)
        hr = stream.AddFile(files[i].substr(files[i].rfind('\\') + 1), files[i].c_str());
    return SUCCEEDED(hr) ? stream.Finish() : hr;
}

// The same file contents, read and written in large pieces with nothing around them.
HRESULT WriteRaw(const std::string& target, const std::vector<std::string>& files, std::vector<char>& buffer) {
    fw::ComPtr<IStorage> root;
    HRESULT hr = StgCreateDocfile(fw::AnsiToWide(target).c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, root.put());
    if (FAILED(hr)) return hr;
    fw::ComPtr<IStream> stream;
    hr = root->CreateStream(L"raw", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.put());
    for (size_t i = 0; SUCCEEDED(hr) && i < files.size(); ++i) {
        fw::UniqueFile file(CreateFileA(files[i].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file) return HRESULT_FROM_WIN32(GetLastError());
        DWORD got = 0;
        while (SUCCEEDED(hr) && ReadFile(file.get(), buffer.data(), kRawChunk, &got, nullptr) && got > 0) {
            ULONG written = 0;
            hr = stream->Write(buffer.data(), got, &written);
        }
    }
    return hr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: savemsg_write_bench <file list> <work folder> [runs]\n");
        return 2;
    }
    std::vector<std::string> files;
    std::ifstream list(argv[1]);
    for (std::string line; std::getline(list, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) files.push_back(line);
    }
    const std::string ours = std::string(argv[2]) + "\\ours.pcm", raw = std::string(argv[2]) + "\\raw.pcm";
    const int runs = argc == 4 ? std::max(1, std::atoi(argv[3])) : 1;
    std::vector<char> buffer(kRawChunk);
    std::printf("idle_ws=%zu\n", bench::WorkingSet());
    double oursSeconds = 1e30, rawSeconds = 1e30;
    for (int run = 0; run < runs; ++run) {
        double t0 = bench::Seconds();
        HRESULT hr = WriteRaw(raw, files, buffer);
        if (FAILED(hr)) return Fail("raw write", hr);
        rawSeconds = std::min(rawSeconds, bench::Seconds() - t0);
        DeleteFileA(raw.c_str());
        t0 = bench::Seconds();
        if (FAILED(hr = WriteOurs(ours, files))) return Fail("our write", hr);
        oursSeconds = std::min(oursSeconds, bench::Seconds() - t0);
        DeleteFileA(ours.c_str());
    }
    std::printf("raw_seconds=%.3f\nours_seconds=%.3f\npeak_ws=%zu\n", rawSeconds, oursSeconds, bench::PeakWorkingSet());
    return 0;
}
