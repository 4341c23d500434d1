// Stand-in for another program that keeps a document open: opens a file with the given
// sharing, announces it by creating a ready file, and holds the handle until a release
// file appears (or a minute passes).
//
//   HoldFile.exe <file> <none|read|readwrite> <ready-file>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: HoldFile <file> <none|read|readwrite> <ready-file>\n");
        return 2;
    }
    DWORD share = 0;
    if (std::strcmp(argv[2], "read") == 0) share = FILE_SHARE_READ;
    else if (std::strcmp(argv[2], "readwrite") == 0) share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "HoldFile: cannot open %s (%lu)\n", argv[1], GetLastError());
        return 1;
    }
    HANDLE ready = CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(ready);
    std::string release = std::string(argv[3]) + ".release";
    for (int i = 0; i < 1200 && GetFileAttributesA(release.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
    CloseHandle(file);
    return 0;
}
