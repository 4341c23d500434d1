// A command line a page hands to DoExe: whatever passes starts a program that lies
// directly in an allowed folder, through no ".." and with arguments no shell would act on.
#include "integrations/CompanionRules.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(bytes), size);
    const std::vector<std::string> allowed = {"C:\\DOD_Ezuvar\\", "C:\\Program Files\\LinkRelay\\"};
    ExeCommand command;
    if (CheckExeCommand(line, allowed, &command) == ExeRule::kOk) {
        std::string folder = FolderOfPath(command.program);
        bool inAllowed = false;
        for (const std::string& a : allowed) inAllowed = inAllowed || (IsWithinFolder(folder, a) && IsWithinFolder(a, folder));
        if (!inAllowed) std::abort();
        if (command.program.find("..") != std::string::npos || HasControlCharacter(command.program)) std::abort();
        if (command.arguments.find_first_of("%^&|<>") != std::string::npos || HasControlCharacter(command.arguments))
            std::abort();
    }
    // The register: a line added is there once, and gone after its removal.
    std::string content = line;
    AddRegisterLine(&content, "hong:12\r\n");
    RemoveRegisterLine(&content, "hong:12\r\n");
    if (AddRegisterLine(&content, "hong:12\r\n") == false) std::abort();
    if (AddRegisterLine(&content, "hong:12\r\n")) std::abort();
    return 0;
}
