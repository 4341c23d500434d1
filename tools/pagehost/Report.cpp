// What a page run produced, written as JSON for the test runners.
#include "tools/pagehost/Report.h"

#include <windows.h>

#include <cstdio>

namespace {

void AppendString(std::string& out, const std::wstring& text) {
    out += '"';
    for (char c : WideToUtf8(text)) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof(esc), "\\u%04x", c);
                out += esc;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void AppendList(std::string& out, const char* name, const std::vector<std::wstring>& list) {
    out += '"';
    out += name;
    out += "\": [";
    for (size_t i = 0; i < list.size(); ++i) {
        if (i) out += ", ";
        AppendString(out, list[i]);
    }
    out += "]";
}

}  // namespace

std::string WideToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Utf8ToWide(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string Report::ToJson() const {
    std::string out = "{\n  \"passed\": ";
    out += Passed() ? "true" : "false";
    out += ",\n  \"completed\": ";
    out += completed ? "true" : "false";
    out += ",\n  \"checks\": " + std::to_string(checks) + ",\n  ";
    AppendList(out, "failures", failures);
    out += ",\n  ";
    AppendList(out, "scriptErrors", scriptErrors);
    out += ",\n  ";
    AppendList(out, "events", events);
    out += ",\n  ";
    AppendList(out, "logs", logs);
    out += ",\n  \"dialogs\": [";
    for (size_t i = 0; i < dialogs.size(); ++i) {
        const DialogRecord& d = dialogs[i];
        out += i ? ",\n    {" : "\n    {";
        out += "\"kind\": ";
        AppendString(out, d.kind);
        out += ", \"caption\": ";
        AppendString(out, d.caption);
        out += ", \"text\": ";
        AppendString(out, d.text);
        out += ", \"icon\": ";
        AppendString(out, d.icon);
        out += ", \"answer\": ";
        AppendString(out, d.answer);
        out += ", \"filter\": ";
        AppendString(out, d.filter);
        out += ", \"name\": ";
        AppendString(out, d.name);
        out += ", \"folder\": ";
        AppendString(out, d.folder);
        out += ", \"flags\": " + std::to_string(d.flags) + "}";
    }
    out += "]\n}\n";
    return out;
}
