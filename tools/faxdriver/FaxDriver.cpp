// FaxDriver.exe add|remove: installs or removes the fax printer driver's entry in the
// spooler of the test prefix ("TELFAX NT Printer Driver", whose files are a stub DLL
// found beside this program). Exit 0 on success.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>

namespace {

const char kDriverName[] = "TELFAX NT Printer Driver";

std::string StubPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1) + "TelfaxStub.dll";
}

}  // namespace

int main(int argc, char** argv) {
    std::string action = argc > 1 ? argv[1] : "";
    if (action == "remove") {
        if (DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(kDriverName))) return 0;
        DWORD error = GetLastError();
        return error == ERROR_UNKNOWN_PRINTER_DRIVER ? 0 : (fprintf(stderr, "remove: %lu\n", error), 1);
    }
    if (action != "add") {
        fprintf(stderr, "usage: FaxDriver add|remove\n");
        return 2;
    }
    std::string stub = StubPath();
    DRIVER_INFO_3A info = {};
    info.cVersion = 3;
    info.pName = const_cast<char*>(kDriverName);
    info.pDriverPath = &stub[0];
    info.pDataFile = &stub[0];
    info.pConfigFile = &stub[0];
    if (AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES)) return 0;
    fprintf(stderr, "add: %lu\n", GetLastError());
    return 1;
}
