// Stand-in for the document-management plug-in: records each call; the destination
// "fail" makes it fail with a buffer the caller must free.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "CallRecord.h"

namespace {

std::string g_result;  // lives as long as the library; the caller copies it

}  // namespace

extern "C" __declspec(dllexport) int EDMSetVeduveWebEx(const char* destination, const char* library,
                                                      const char* empty, const char* profile, const char* groupAcl,
                                                      int one, char** result, void** buffer) {
    std::string shownProfile = Text(profile);
    for (char& c : shownProfile) {
        if (c == '\b') c = '/';
    }
    RecordCall("EDMSetVeduveWebEx|" + Text(destination) + "|" + Text(library) + "|" + Text(empty) + "|" +
               shownProfile + "|" + Text(groupAcl) + "|" + Number(one) + "|" +
               std::string(result && !*result ? "result" : "bad") + "|" +
               std::string(buffer && !*buffer ? "buffer" : "bad"));
    if (destination && std::string(destination) == "fail") {
        if (buffer) *buffer = malloc(64);
        return 0;
    }
    g_result = "profile of " + Text(library);
    if (result) *result = &g_result[0];
    return 1;
}
