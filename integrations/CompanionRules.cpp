// Rules for what a page may hand to the companion programs.
#include "integrations/CompanionRules.h"

#include <cstddef>

namespace {

bool IsIdCharacter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
           c == '-' || c == '@';
}

// ASCII letters lowered, double-byte characters of the code page left as they are (their
// second byte may be a letter).
std::string FoldCase(const std::string& text) {
    std::string folded;
    folded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x81 && i + 1 < text.size()) {
            folded += text[i];
            folded += text[++i];
        } else {
            folded += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
    }
    return folded;
}

bool EndsWithExe(const std::string& text) {
    return text.size() > 4 && FoldCase(text.substr(text.size() - 4)) == ".exe";
}

// CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$ name devices whatever their extension.
bool IsReservedName(const std::string& fileName) {
    std::string stem = FoldCase(fileName.substr(0, fileName.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul" || stem == "conin$" || stem == "conout$")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

ExeRule CheckProgram(const std::string& program, const std::vector<std::string>& allowedFolders) {
    if (program.size() >= 2 && (program[0] == '\\' || program[0] == '/') && (program[1] == '\\' || program[1] == '/'))
        return ExeRule::kUncOrDevice;
    if (program.find("..") != std::string::npos) return ExeRule::kParentReference;
    if (HasControlCharacter(program) || program.find_first_of("/*?\"<>|") != std::string::npos ||
        program.find(':', 2) != std::string::npos)
        return ExeRule::kBadPathCharacter;
    unsigned char drive = static_cast<unsigned char>(program.empty() ? 0 : program[0]);
    bool letter = (drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z');
    if (program.size() < 3 || !letter || program[1] != ':' || program[2] != '\\') return ExeRule::kNotAbsolute;
    if (!EndsWithExe(program)) return ExeRule::kNotExe;
    if (IsReservedName(program.substr(program.rfind('\\') + 1))) return ExeRule::kUncOrDevice;
    std::string folder = FoldCase(FolderOfPath(program));
    for (const std::string& allowed : allowedFolders) {
        if (!allowed.empty() && FoldCase(allowed) == folder) return ExeRule::kOk;
    }
    return ExeRule::kFolderNotAllowed;
}

ExeRule CheckArguments(const std::string& arguments) {
    if (HasControlCharacter(arguments)) return ExeRule::kArgumentControl;
    if (arguments.find_first_of("%^&|<>") != std::string::npos) return ExeRule::kArgumentShell;
    size_t quotes = 0;
    for (char c : arguments) quotes += c == '"';
    return quotes % 2 ? ExeRule::kArgumentQuotes : ExeRule::kOk;
}

// Where the line starting at pos ends, and where the next one begins.
void LineBounds(const std::string& content, size_t pos, size_t* textEnd, size_t* next) {
    size_t lf = content.find('\n', pos);
    *next = lf == std::string::npos ? content.size() : lf + 1;
    *textEnd = lf == std::string::npos ? content.size() : (lf > pos && content[lf - 1] == '\r' ? lf - 1 : lf);
}

std::string LineText(const std::string& line) {
    size_t end = line.find_first_of("\r\n");
    return end == std::string::npos ? line : line.substr(0, end);
}

}  // namespace

bool IsSafeUserId(const std::string& id) {
    if (id.empty() || id.size() > 64 || id[0] == '.') return false;
    for (char c : id) {
        if (!IsIdCharacter(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

bool HasControlCharacter(const std::string& text) {
    for (char c : text) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) return true;
    }
    return false;
}

ExeRule CheckExeCommand(const std::string& commandLine, const std::vector<std::string>& allowedFolders,
                        ExeCommand* command) {
    if (commandLine.empty()) return ExeRule::kEmpty;
    ExeCommand parsed;
    std::string rest;
    if (commandLine[0] == '"') {
        size_t close = commandLine.find('"', 1);
        if (close == std::string::npos) return ExeRule::kUnclosedQuote;
        parsed.program = commandLine.substr(1, close - 1);
        rest = commandLine.substr(close + 1);
        if (!rest.empty() && rest[0] != ' ') return ExeRule::kNotExe;
    } else {
        std::string folded = FoldCase(commandLine);
        size_t end = std::string::npos;
        for (size_t at = folded.find(".exe"); at != std::string::npos; at = folded.find(".exe", at + 1)) {
            if (at + 4 == folded.size() || folded[at + 4] == ' ') {
                end = at + 4;
                break;
            }
        }
        if (end == std::string::npos) {
            // Not an .exe: still say so before anything about the path.
            ExeRule pathRule = CheckProgram(commandLine.substr(0, commandLine.find(' ')), allowedFolders);
            return pathRule == ExeRule::kOk || pathRule == ExeRule::kFolderNotAllowed ? ExeRule::kNotExe : pathRule;
        }
        parsed.program = commandLine.substr(0, end);
        rest = commandLine.substr(end);
    }
    if (!rest.empty()) parsed.arguments = rest.substr(1);
    ExeRule rule = CheckProgram(parsed.program, allowedFolders);
    if (rule != ExeRule::kOk) return rule;
    rule = CheckArguments(parsed.arguments);
    if (rule != ExeRule::kOk) return rule;
    if (command) *command = parsed;
    return ExeRule::kOk;
}

const char* ExeRuleText(ExeRule rule) {
    switch (rule) {
    case ExeRule::kOk: return "";
    case ExeRule::kEmpty: return "the command line is empty";
    case ExeRule::kUnclosedQuote: return "the program's opening quote has no closing quote";
    case ExeRule::kNotExe: return "the program must be an .exe file";
    case ExeRule::kNotAbsolute: return "the program must be a full path beginning with a drive letter";
    case ExeRule::kUncOrDevice: return "network, device and reserved-name paths are not started";
    case ExeRule::kParentReference: return "the program's path must not contain \"..\"";
    case ExeRule::kBadPathCharacter: return "the program's path holds a character that is not allowed there";
    case ExeRule::kFolderNotAllowed: return "the program is not directly in a folder of the companion programs";
    case ExeRule::kArgumentControl: return "the arguments must not contain control characters";
    case ExeRule::kArgumentShell: return "the arguments must not contain any of % ^ & | < >";
    case ExeRule::kArgumentQuotes: return "the arguments' double quotes are not balanced";
    }
    return "the command line is not allowed";
}

std::string FolderOfPath(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsWithinFolder(const std::string& path, const std::string& folder) {
    if (folder.empty()) return false;
    std::string base = FoldCase(folder);
    if (base.back() != '\\') base += '\\';
    std::string p = FoldCase(path);
    if (p.back() != '\\') p += '\\';
    return p.compare(0, base.size(), base) == 0;
}

bool AddRegisterLine(std::string* content, const std::string& line) {
    const std::string text = LineText(line);
    for (size_t pos = 0; pos < content->size();) {
        size_t textEnd, next;
        LineBounds(*content, pos, &textEnd, &next);
        if (content->compare(pos, textEnd - pos, text) == 0) return false;
        pos = next;
    }
    if (!content->empty() && content->back() != '\n') *content += "\r\n";
    *content += line;
    return true;
}

bool RemoveRegisterLine(std::string* content, const std::string& line) {
    const std::string text = LineText(line);
    std::string kept;
    kept.reserve(content->size());
    bool changed = false;
    for (size_t pos = 0; pos < content->size();) {
        size_t textEnd, next;
        LineBounds(*content, pos, &textEnd, &next);
        if (content->compare(pos, textEnd - pos, text) == 0) {
            changed = true;
        } else {
            kept.append(*content, pos, next - pos);
        }
        pos = next;
    }
    if (changed) content->swap(kept);
    return changed;
}

std::string WithoutQuotes(const std::string& text) {
    std::string bare;
    for (char c : text) {
        if (c != '"') bare += c;
    }
    return bare;
}
