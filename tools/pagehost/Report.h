// What a page run produced: checks, failures, events, dialogs shown, log lines.
#pragma once

#include <string>
#include <vector>

struct DialogRecord {
    std::wstring kind;     // "msgbox", "file", "dialog", "menu"
    std::wstring caption;
    // message text, the dialog's static texts and list rows joined by "\n", or a menu's items as
    // "id text" lines, " (disabled)" after a grayed one
    std::wstring text;
    std::wstring icon;     // "stop", "exclamation", "information", "question", "" for none
    std::wstring answer;   // what the host pressed or typed
    std::wstring filter;   // file dialogs: the filter the control passed, "|"-separated
    unsigned long flags = 0;  // file dialogs: the OPENFILENAME flags the control passed
    std::wstring name;     // file dialogs: the file name they started with
    std::wstring folder;   // file dialogs: the folder they started in, when the control named one
};

struct Report {
    int checks = 0;
    std::vector<std::wstring> failures;
    std::vector<std::wstring> events;  // "Name(arg, arg)"
    std::vector<DialogRecord> dialogs;
    std::vector<std::wstring> logs;
    std::vector<std::wstring> scriptErrors;
    bool completed = false;            // the page ran to its end

    bool Passed() const { return completed && failures.empty() && scriptErrors.empty(); }
    // UTF-8 JSON.
    std::string ToJson() const;
};

std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
