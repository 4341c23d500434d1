// The text of the EvClickSendFax event.
#include "fax/FaxEventText.h"

#include <string>

std::string FaxExtension(const std::string& rowText) {
    size_t dot = rowText.rfind('.');
    std::string extension = rowText.substr(dot == std::string::npos ? 0 : dot + 1, 4);
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (extension != "html") extension = extension.substr(0, 3);
    return extension;
}

bool IsFaxable(const std::string& rowText) {
    static const char* const kFaxable[] = {"ncf", "xls", "doc", "hwp", "txt", "ppt", "jpg", "bmp", "tif", "htm"};
    std::string extension = FaxExtension(rowText);
    for (const char* faxable : kFaxable) {
        if (extension == faxable) return true;
    }
    return false;
}

std::string BuildFaxEventText(const std::string& encodedSubject, const std::vector<FaxRow>& rows) {
    int count = 0;
    std::string paths;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!IsFaxable(rows[i].text)) continue;
        ++count;
        if (rows[i].path.empty()) continue;
        paths += rows[i].path;
        if (i + 1 != rows.size()) paths += "|";
    }
    return encodedSubject + "|" + std::to_string(count) + "|" + paths;
}
