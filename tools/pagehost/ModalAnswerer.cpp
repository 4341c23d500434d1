// Answers the modal UI the control shows the way a user would, and records what was shown.
#include "tools/pagehost/ModalAnswerer.h"

#include "tools/pagehost/FileDialogRecorder.h"
#include "tools/pagehost/ListMouse.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cwchar>
#include <vector>

namespace {

CModalAnswerer* s_answerer = nullptr;
const wchar_t kSeenProperty[] = L"NvAttPageHostSeen";
const wchar_t kHandledProperty[] = L"NvAttPageHostHandled";

// Child ids of the common dialogs: the message text of a message box and the file
// name box of a file dialog.
constexpr int kMessageTextId = 0xFFFF;
constexpr int kFileNameComboId = 0x47C;
constexpr int kFileNameEditId = 0x480;
constexpr UINT_PTR kOkWhenEnabledTimer = 99;

std::wstring WindowText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hwnd, &text[0], n + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

std::wstring IconName(HWND dialog) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (_wcsicmp(ClassName(c).c_str(), L"Static") != 0) continue;
        if ((GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        auto icon = reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0));
        if (!icon) return L"";
        if (icon == LoadIcon(nullptr, IDI_HAND)) return L"stop";
        if (icon == LoadIcon(nullptr, IDI_EXCLAMATION)) return L"exclamation";
        if (icon == LoadIcon(nullptr, IDI_ASTERISK)) return L"information";
        if (icon == LoadIcon(nullptr, IDI_QUESTION)) return L"question";
        return L"other";
    }
    return L"";
}

std::wstring StaticTexts(HWND dialog) {
    std::wstring texts;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (_wcsicmp(ClassName(c).c_str(), L"Static") != 0) continue;
        if (!(GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE)) continue;  // hidden texts are not shown
        std::wstring t = WindowText(c);
        if (t.empty()) continue;
        if (!texts.empty()) texts += L"\n";
        texts += t;
    }
    return texts;
}

// The rows of a dialog's list view, one line each, after its texts.
std::wstring ListRows(HWND dialog) {
    HWND list = FindWindowExW(dialog, nullptr, L"SysListView32", nullptr);
    std::wstring rows;
    for (int i = 0, n = list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0; i < n; ++i) {
        wchar_t text[512] = {};
        LVITEMW item = {};
        item.pszText = text;
        item.cchTextMax = 512;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        rows += std::wstring(L"\n") + text;
    }
    return rows;
}

// A message box holds its text in one static of id 0xFFFF, maybe an icon, and buttons
// with the standard command ids; a dialog that merely labels its fields with unnamed
// statics (also 0xFFFF) has other controls too.
bool IsMessageBox(HWND dialog) {
    int texts = 0;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        std::wstring cls = ClassName(c);
        int id = GetDlgCtrlID(c);
        bool icon = (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        if (_wcsicmp(cls.c_str(), L"Static") == 0 && icon) continue;
        if (_wcsicmp(cls.c_str(), L"Static") == 0 && id == kMessageTextId) {
            ++texts;
            continue;
        }
        if (_wcsicmp(cls.c_str(), L"Button") == 0 && id >= IDOK && id <= IDCONTINUE) continue;
        return false;
    }
    return texts == 1;
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t sep) {
    std::vector<std::wstring> parts;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find(sep, pos);
        if (end == std::wstring::npos) end = text.size();
        if (end > pos) parts.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

}  // namespace

CModalAnswerer::CModalAnswerer(Report& report) : m_report(report) {}

CModalAnswerer::~CModalAnswerer() {
    if (m_hook) UnhookWindowsHookEx(m_hook);
    if (s_answerer == this) s_answerer = nullptr;
}

bool CModalAnswerer::Install(HWND hostWindow) {
    m_hostWindow = hostWindow;
    s_answerer = this;
    m_hook = SetWindowsHookExW(WH_CBT, &CModalAnswerer::CbtProc, nullptr, GetCurrentThreadId());
    return m_hook != nullptr;
}

void CModalAnswerer::Queue(const std::wstring& kind, const std::wstring& action, DWORD delayMs) {
    m_answers.push_back({kind, action, delayMs});
}

void CModalAnswerer::ReportUnused() {
    for (const Answer& a : m_answers)
        m_report.failures.push_back(L"host: an answer the page queued was never used: " + a.kind + L" " + a.action);
    m_answers.clear();
}

LRESULT CALLBACK CModalAnswerer::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && s_answerer) {
        auto dialog = reinterpret_cast<HWND>(wParam);
        if (ClassName(dialog) == L"#32770" && !GetPropW(dialog, kSeenProperty)) {
            SetPropW(dialog, kSeenProperty, reinterpret_cast<HANDLE>(1));
            // Answer from the message loop, once the dialog has finished initialising.
            PostMessageW(s_answerer->m_hostWindow, kAnswerMessage, wParam, 0);
        }
    } else if (code == HCBT_DESTROYWND && s_answerer) {
        // A progress window can finish and close before the posted answer is read: it is
        // recorded (and its answer used) while its texts still exist.
        auto dialog = reinterpret_cast<HWND>(wParam);
        if (GetPropW(dialog, kSeenProperty) && !GetPropW(dialog, kHandledProperty)) s_answerer->Handle(dialog, false);
        RemovePropW(dialog, kSeenProperty);
        RemovePropW(dialog, kHandledProperty);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CModalAnswerer::OnAnswerMessage(WPARAM wParam, LPARAM) {
    auto dialog = reinterpret_cast<HWND>(wParam);
    if (IsWindow(dialog) && !GetPropW(dialog, kHandledProperty)) Handle(dialog, true);
}

bool CModalAnswerer::TakeAnswer(const std::wstring& kind, Answer* answer) {
    for (auto it = m_answers.begin(); it != m_answers.end(); ++it) {
        if (it->kind == kind) {
            *answer = *it;
            m_answers.erase(it);
            return true;
        }
    }
    return false;
}

bool CModalAnswerer::Take(const std::wstring& kind, std::wstring* action) {
    Answer answer;
    if (!TakeAnswer(kind, &answer)) return false;
    *action = answer.action;
    return true;
}

void CModalAnswerer::Handle(HWND dialog, bool live) {
    SetPropW(dialog, kHandledProperty, reinterpret_cast<HANDLE>(1));
    DialogRecord record;
    record.caption = WindowText(dialog);
    if (IsMessageBox(dialog)) {
        record.kind = L"msgbox";
        record.text = WindowText(GetDlgItem(dialog, kMessageTextId));
        record.icon = IconName(dialog);
    } else if (GetDlgItem(dialog, kFileNameComboId) || GetDlgItem(dialog, kFileNameEditId)) {
        record.kind = L"file";
    } else if (FindWindowExW(dialog, nullptr, L"SysTreeView32", nullptr)) {
        record.kind = L"folder";  // the shell's folder browser
        record.text = StaticTexts(dialog);
    } else {
        record.kind = L"dialog";
        record.text = StaticTexts(dialog) + ListRows(dialog);
        if (!record.text.empty() && record.text[0] == L'\n') record.text.erase(0, 1);
    }

    if (record.kind == L"file") {
        if (const CFileDialogRecorder::Call* call = CFileDialogRecorder::Current()) {
            record.filter = call->filter;
            record.flags = call->flags;
            record.name = call->initialName;
            record.folder = call->initialFolder;
        }
    }

    Answer answer;
    if (!TakeAnswer(record.kind, &answer)) {
        // A message box or file dialog that the page queued no answer for is modal UI it
        // did not expect: a failure of the page. It still gets an answer (the default
        // button, Cancel) so that the page runs to its end. Other dialogs (progress
        // windows) end by themselves; one that never does fails the page by the time-out.
        answer.kind = record.kind;
        answer.delayMs = 0;
        answer.action = record.kind == L"msgbox" ? L"(default)" : record.kind == L"dialog" ? L"leave" : L"";
        if (record.kind != L"dialog") {
            m_report.failures.push_back(L"host: a " + record.kind + L" the page did not expect: [" + record.caption +
                                        L"] " + record.text);
        }
    }
    record.answer = answer.action;
    m_report.dialogs.push_back(record);
    if (!live) {
        if (answer.action != L"leave")
            m_report.failures.push_back(L"host: a dialog closed before its answer " + answer.action + L": [" + record.caption + L"]");
        return;
    }
    if (m_onShown) m_onShown(dialog, record.kind);

    if (answer.delayMs > 0) {
        UINT_PTR id = m_nextTimer++;
        m_pending.push_back({dialog, answer.kind + L"\n" + answer.action});
        SetTimer(m_hostWindow, id, answer.delayMs, nullptr);
        return;
    }
    Perform(dialog, answer.kind, answer.action);
}

void CModalAnswerer::OnTimer(UINT_PTR id) {
    if (id == kOkWhenEnabledTimer) {
        // The user presses OK once what the double-click opened is done with.
        if (IsWindow(m_okWhenEnabled) && !IsWindowEnabled(m_okWhenEnabled)) return;
        KillTimer(m_hostWindow, id);
        if (IsWindow(m_okWhenEnabled)) PressButton(m_okWhenEnabled, L"OK");
        m_okWhenEnabled = nullptr;
        return;
    }
    KillTimer(m_hostWindow, id);
    if (m_pending.empty()) return;
    Pending p = m_pending.front();
    m_pending.pop_front();
    size_t nl = p.action.find(L'\n');
    if (IsWindow(p.dialog)) Perform(p.dialog, p.action.substr(0, nl), p.action.substr(nl + 1));
}

void CModalAnswerer::Perform(HWND dialog, const std::wstring& kind, const std::wstring& action) {
    if (action == L"leave") return;
    if (kind == L"filenames") {  // second step of a multiple selection
        HWND box = GetDlgItem(dialog, kFileNameComboId);
        if (!box) box = GetDlgItem(dialog, kFileNameEditId);
        SetWindowTextW(box, action.c_str());
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        return;
    }
    if (kind == L"folder") {
        // The user picks the folder in the tree, then presses OK; nothing picked is Cancel.
        if (!action.empty()) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(action.c_str()));
        int id = action.empty() ? IDCANCEL : IDOK;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
        return;
    }
    if (action == L"Escape") {
        // Through the dialog's message loop, as the key reaches it.
        PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(dialog, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        return;
    }
    if (kind == L"file") {
        if (action.empty()) PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        else TypeFileNames(dialog, action);
        return;
    }
    if (action.compare(0, 8, L"dblclick") == 0) {
        HWND list = FindWindowExW(dialog, nullptr, L"SysListView32", nullptr);
        if (!list || !PostListClick(list, _wtoi(action.c_str() + 8), ListClick::kDouble))
            m_report.failures.push_back(L"host: the dialog has no list row to " + action);
        m_okWhenEnabled = dialog;
        SetTimer(m_hostWindow, kOkWhenEnabledTimer, 100, nullptr);
        return;
    }
    if (m_onAction && m_onAction(action)) return;
    if (action == L"(default)") {
        LRESULT def = SendMessageW(dialog, DM_GETDEFID, 0, 0);
        WORD id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
        return;
    }
    PressButton(dialog, action);
}

bool CModalAnswerer::PressButton(HWND dialog, const std::wstring& action) {
    static const struct {
        const wchar_t* name;
        int id;
    } kNames[] = {{L"OK", IDOK}, {L"Cancel", IDCANCEL}, {L"Yes", IDYES}, {L"No", IDNO},
                  {L"Abort", IDABORT}, {L"Retry", IDRETRY}, {L"Ignore", IDIGNORE}};
    int id = 0;
    for (const auto& n : kNames) {
        if (action == n.name) id = n.id;
    }
    if (!id && !action.empty() && iswdigit(action[0])) id = _wtoi(action.c_str());
    if (!id) {
        // A button's caption, as the user reads it.
        for (HWND c = GetWindow(dialog, GW_CHILD); c && !id; c = GetWindow(c, GW_HWNDNEXT)) {
            std::wstring text = WindowText(c);
            std::wstring plain;
            for (wchar_t ch : text) {
                if (ch != L'&') plain += ch;
            }
            if (_wcsicmp(ClassName(c).c_str(), L"Button") == 0 && plain == action) id = GetDlgCtrlID(c);
        }
    }
    if (!id) return false;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    return true;
}

void CModalAnswerer::TypeFileNames(HWND dialog, const std::wstring& paths) {
    std::vector<std::wstring> files = Split(paths, L'|');
    HWND box = GetDlgItem(dialog, kFileNameComboId);
    if (!box) box = GetDlgItem(dialog, kFileNameEditId);
    auto pressOk = [dialog] {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    };
    if (files.size() == 1) {
        SetWindowTextW(box, files[0].c_str());
        pressOk();
        return;
    }
    // Several files are picked the way a user does it: go to their folder first, then
    // type the quoted names.
    std::wstring folder = files[0].substr(0, files[0].rfind(L'\\') + 1);
    std::wstring names;
    for (const std::wstring& f : files) names += L"\"" + f.substr(f.rfind(L'\\') + 1) + L"\" ";
    SetWindowTextW(box, folder.c_str());
    pressOk();
    UINT_PTR id = m_nextTimer++;
    m_pending.push_back({dialog, std::wstring(L"filenames\n") + names});
    SetTimer(m_hostWindow, id, 300, nullptr);
}
