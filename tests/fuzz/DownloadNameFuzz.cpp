// Display names from the server that the download dialog turns into a file name in the
// temporary folder, and that saves join to the folder the user chose.
#include "download/DownloadText.h"
#include "download/OpenRules.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string name(reinterpret_cast<const char*>(bytes), size);
    const std::string generated = GeneratedSaveName(name, 2023, 11, 5);
    // A plain name: nothing that leads into another folder, drive or stream.
    Check(generated.find_first_of("\\/:") == std::string::npos);
    Check(generated.find("-2023115") != std::string::npos);
    Check(generated.size() <= name.size() + 8);
    // Without separators and dots in the name, the stem is empty and the date is all.
    if (name.find_first_of("\\/:.") == std::string::npos) Check(generated == "-2023115");
    // A name joined to a folder names a file in that folder, or nothing.
    const std::string leaf = SafeLeafName(PrepareServerName(name));
    Check(leaf.find_first_of("\\/:") == std::string::npos && leaf != "." && leaf != "..");
    return 0;
}
