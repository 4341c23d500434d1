// The `host` object of a page: checks, answers for modal UI, and looks into the control.
#include "tools/pagehost/HostObject.h"

#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "framework/ComPtr.h"
#include "framework/TempFolder.h"
#include "framework/Text.h"
#include "tools/pagehost/ListMouse.h"
#include "tools/pagehost/PageHost.h"
#include "tools/printdlg/PrintDialog.h"
#include "transfer/HexCodec.h"

namespace {

std::wstring Wide(const std::string& ansi) { return fw::AnsiToWide(ansi); }

std::wstring VariantText(const VARIANT& v) {
    fw::Variant text;
    if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&v), VARIANT_ALPHABOOL, VT_BSTR))) return L"<?>";
    return V_BSTR(&text) ? V_BSTR(&text) : L"";
}

// The script type of a value, as JScript's typeof names it: the control hands out numbers
// of several widths, and they are all one type to a page.
std::wstring ScriptType(const VARIANT& v) {
    switch (V_VT(&v)) {
    case VT_EMPTY: return L"undefined";
    case VT_NULL: return L"null";
    case VT_BOOL: return L"boolean";
    case VT_BSTR: return L"string";
    case VT_DISPATCH: case VT_UNKNOWN: return L"object";
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT: case VT_UI1: case VT_UI2: case VT_UI4:
    case VT_UI8: case VT_UINT: case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL: return L"number";
    default: return L"vartype " + std::to_wstring(V_VT(&v));
    }
}

bool SameValue(const VARIANT& a, const VARIANT& b) {
    std::wstring type = ScriptType(a);
    if (type != ScriptType(b)) return false;
    if (type == L"object") return V_UNKNOWN(&a) == V_UNKNOWN(&b);
    if (type != L"number") return VariantText(a) == VariantText(b);
    fw::Variant x, y;
    return SUCCEEDED(VariantChangeType(&x, const_cast<VARIANT*>(&a), 0, VT_R8)) &&
           SUCCEEDED(VariantChangeType(&y, const_cast<VARIANT*>(&b), 0, VT_R8)) && V_R8(&x) == V_R8(&y);
}

std::wstring Shown(const VARIANT& v) {
    std::wstring type = ScriptType(v);
    return type == L"string" ? L"\"" + VariantText(v) + L"\"" : VariantText(v) + L" (" + type + L")";
}

HRESULT ControlOf(const VARIANT& v, REFIID riid, void** ppv) {
    *ppv = nullptr;
    if (V_VT(&v) != VT_DISPATCH || !V_DISPATCH(&v)) return E_INVALIDARG;
    return V_DISPATCH(&v)->QueryInterface(riid, ppv);
}

void ReturnControl(IDispatch* control, VARIANT* out) {
    V_VT(out) = VT_DISPATCH;
    V_DISPATCH(out) = control;
}

std::string ListText(HWND list, int index, int column) {
    std::vector<wchar_t> buffer(2048);
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    return fw::WideToAnsi(buffer.data());
}

}  // namespace

const fw::InterfaceEntry CHostObject::kInterfaces[] = {
    FW_INTERFACE_ENTRY(CHostObject, IDispatch),
    FW_INTERFACE_TABLE_END,
};

const fw::DispMember CHostObject::kDispatch[] = {
    FW_DISP_METHOD(1, "log", &CHostObject::log),
    FW_DISP_METHOD(2, "check", &CHostObject::check),
    FW_DISP_METHOD(3, "equal", &CHostObject::equal),
    FW_DISP_METHOD(4, "fail", &CHostObject::fail),
    FW_DISP_METHOD(10, "answer", &CHostObject::answer),
    FW_DISP_METHOD(11, "answerLater", &CHostObject::answerLater),
    FW_DISP_METHOD(12, "dialogCount", &CHostObject::dialogCount),
    FW_DISP_METHOD(13, "dialog", &CHostObject::dialog),
    FW_DISP_METHOD(20, "eventCount", &CHostObject::eventCount),
    FW_DISP_METHOD(21, "events", &CHostObject::events),
    FW_DISP_METHOD(22, "waitEvent", &CHostObject::waitEvent),
    FW_DISP_METHOD(23, "pump", &CHostObject::pump),
    FW_DISP_METHOD(24, "setTimeout", &CHostObject::setTimeout),
    FW_DISP_METHOD(30, "activate", &CHostObject::activate),
    FW_DISP_METHOD(31, "deactivate", &CHostObject::deactivate),
    FW_DISP_METHOD(32, "releaseControl", &CHostObject::releaseControl),
    FW_DISP_METHOD(33, "controlWindow", &CHostObject::controlWindow),
    FW_DISP_METHOD(34, "listItems", &CHostObject::listItems),
    FW_DISP_METHOD(35, "listColumn", &CHostObject::listColumn),
    FW_DISP_METHOD(36, "listVisible", &CHostObject::listVisible),
    FW_DISP_METHOD(27, "listWindow", &CHostObject::listWindow),
    FW_DISP_METHOD(28, "resizeControl", &CHostObject::resizeControl),
    FW_DISP_METHOD(37, "dropFiles", &CHostObject::dropFiles),
    FW_DISP_METHOD(26, "selectRows", &CHostObject::selectRows),
    FW_DISP_METHOD(38, "sendCommand", &CHostObject::sendCommand),
    FW_DISP_METHOD(62, "sendCopyData", &CHostObject::sendCopyData),
    FW_DISP_METHOD(70, "click", &CHostObject::click),
    FW_DISP_METHOD(71, "pressKey", &CHostObject::pressKey),
    FW_DISP_METHOD(74, "doubleClick", &CHostObject::doubleClick),
    FW_DISP_METHOD(75, "rightClick", &CHostObject::rightClick),
    FW_DISP_METHOD(72, "uiActive", &CHostObject::uiActive),
    FW_DISP_METHOD(73, "uiDeactivate", &CHostObject::uiDeactivate),
    FW_DISP_METHOD(39, "screenshot", &CHostObject::screenshot),
    FW_DISP_METHOD(40, "isDirty", &CHostObject::isDirty),
    FW_DISP_METHOD(41, "saveBag", &CHostObject::saveBag),
    FW_DISP_METHOD(42, "loadControl", &CHostObject::loadControl),
    FW_DISP_METHOD(43, "saveStream", &CHostObject::saveStream),
    FW_DISP_METHOD(44, "loadStreamControl", &CHostObject::loadStreamControl),
    FW_DISP_METHOD(45, "storageRoundTrip", &CHostObject::storageRoundTrip),
    FW_DISP_METHOD(50, "env", &CHostObject::env),
    FW_DISP_METHOD(51, "tempDir", &CHostObject::tempDir),
    FW_DISP_METHOD(52, "writeFile", &CHostObject::writeFile),
    FW_DISP_METHOD(53, "readFile", &CHostObject::readFile),
    FW_DISP_METHOD(54, "fileExists", &CHostObject::fileExists),
    FW_DISP_METHOD(55, "deleteFile", &CHostObject::deleteFile),
    FW_DISP_METHOD(56, "workingSet", &CHostObject::workingSet),
    FW_DISP_METHOD(57, "peakWorkingSet", &CHostObject::peakWorkingSet),
    FW_DISP_METHOD(60, "controlHwnd", &CHostObject::controlHwnd),
    FW_DISP_METHOD(61, "run", &CHostObject::run),
    FW_DISP_METHOD(63, "pictureDialogs", &CHostObject::pictureDialogs),
    FW_DISP_METHOD(64, "printDialog", &CHostObject::printDialog),
    FW_DISP_TABLE_END,
};

STDMETHODIMP CHostObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CHostObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CHostObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return fw::DispGetIDsOfNames(kDispatch, names, count, ids);
}

STDMETHODIMP CHostObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* excepInfo, UINT* argErr) {
    return fw::DispInvoke(this, kDispatch, id, flags, params, result, excepInfo, argErr);
}

HRESULT CHostObject::log(const std::string& text) {
    m_host->report().logs.push_back(Wide(text));
    return S_OK;
}

HRESULT CHostObject::check(bool condition, const std::string& message) {
    ++m_host->report().checks;
    if (!condition) m_host->report().failures.push_back(Wide(message));
    return S_OK;
}

HRESULT CHostObject::equal(const VARIANT& actual, const VARIANT& expected, const std::string& message) {
    ++m_host->report().checks;
    if (!SameValue(actual, expected))
        m_host->report().failures.push_back(Wide(message) + L": expected [" + Shown(expected) + L"], got [" +
                                            Shown(actual) + L"]");
    return S_OK;
}

HRESULT CHostObject::fail(const std::string& message) {
    ++m_host->report().checks;
    m_host->report().failures.push_back(Wide(message));
    return S_OK;
}

HRESULT CHostObject::answer(const std::string& kind, const std::string& action) {
    m_host->answerer().Queue(Wide(kind), Wide(action), 0);
    return S_OK;
}

HRESULT CHostObject::answerLater(const std::string& kind, const std::string& action, long delayMs) {
    m_host->answerer().Queue(Wide(kind), Wide(action), delayMs > 0 ? static_cast<DWORD>(delayMs) : 0);
    return S_OK;
}

HRESULT CHostObject::dialogCount(long* count) {
    *count = static_cast<long>(m_host->report().dialogs.size());
    return S_OK;
}

HRESULT CHostObject::dialog(long index, std::string* record) {
    const auto& dialogs = m_host->report().dialogs;
    if (index < 0 || static_cast<size_t>(index) >= dialogs.size()) return DISP_E_BADINDEX;
    const DialogRecord& d = dialogs[static_cast<size_t>(index)];
    *record = fw::WideToAnsi(d.kind + L"|" + d.caption + L"|" + d.text + L"|" + d.icon);
    return S_OK;
}

HRESULT CHostObject::eventCount(const std::string& name, long* count) {
    std::wstring prefix = Wide(name) + L"(";
    *count = 0;
    for (const std::wstring& e : m_host->report().events) {
        if (e.compare(0, prefix.size(), prefix) == 0) ++*count;
    }
    return S_OK;
}

HRESULT CHostObject::events(std::string* lines) {
    std::wstring all;
    for (const std::wstring& e : m_host->report().events) all += e + L"\n";
    *lines = fw::WideToAnsi(all);
    return S_OK;
}

HRESULT CHostObject::waitEvent(const std::string& name, long timeoutMs, bool* arrived) {
    long before = 0, now = 0;
    eventCount(name, &before);
    DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs > 0 ? timeoutMs : 0);
    do {
        m_host->Pump(20);
        eventCount(name, &now);
    } while (now == before && static_cast<LONG>(end - GetTickCount()) > 0);
    *arrived = now > before;
    return S_OK;
}

HRESULT CHostObject::pump(long ms) {
    m_host->Pump(ms > 0 ? static_cast<DWORD>(ms) : 0);
    return S_OK;
}

namespace {

struct PageTimer {
    CPageHost* host;
    fw::ComPtr<IDispatch> function;
};
std::map<UINT_PTR, PageTimer> s_pageTimers;

void CALLBACK PageTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto found = s_pageTimers.find(id);
    if (found == s_pageTimers.end()) return;
    PageTimer timer = std::move(found->second);
    s_pageTimers.erase(found);
    DISPPARAMS none = {};
    fw::Variant result;
    HRESULT hr = timer.function->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none,
                                        &result, nullptr, nullptr);
    if (FAILED(hr))
        timer.host->report().failures.push_back(L"host: a timer's function failed (" + std::to_wstring(hr) + L")");
}

}  // namespace

void CHostObject::CancelTimers() {
    for (const auto& timer : s_pageTimers) KillTimer(nullptr, timer.first);
    s_pageTimers.clear();
}

HRESULT CHostObject::setTimeout(const VARIANT& function, long ms) {
    if (V_VT(&function) != VT_DISPATCH || !V_DISPATCH(&function)) return E_INVALIDARG;
    UINT_PTR id = SetTimer(nullptr, 0, ms > 0 ? static_cast<UINT>(ms) : 1, &PageTimerProc);
    if (!id) return fw::ReportError(E_FAIL, L"host", L"no timer");
    V_DISPATCH(&function)->AddRef();
    s_pageTimers[id] = PageTimer{m_host, fw::ComPtr<IDispatch>::Attach(V_DISPATCH(&function))};
    return S_OK;
}

HRESULT CHostObject::activate(long* hr) {
    *hr = m_host->Activate();
    return S_OK;
}

HRESULT CHostObject::deactivate() {
    m_host->Deactivate();
    return S_OK;
}

HRESULT CHostObject::releaseControl() {
    m_host->ReleaseControl();
    return S_OK;
}

HRESULT CHostObject::controlWindow(long* exists) {
    *exists = m_host->controlWindow() ? 1 : 0;
    return S_OK;
}

HRESULT CHostObject::listItems(long id, std::string* labels) {
    return listColumn(id, 0, labels);
}

HRESULT CHostObject::listColumn(long id, long column, std::string* texts) {
    HWND list = GetDlgItem(m_host->controlWindow(), static_cast<int>(id));
    if (!list) return fw::ReportError(E_FAIL, L"host", L"the control has no list with that id");
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    std::string out;
    for (int i = 0; i < count; ++i) {
        if (i) out += '\n';
        out += ListText(list, i, static_cast<int>(column));
    }
    *texts = out;
    return S_OK;
}

HRESULT CHostObject::listVisible(long id, bool* visible) {
    HWND list = GetDlgItem(m_host->controlWindow(), static_cast<int>(id));
    *visible = list && (GetWindowLongW(list, GWL_STYLE) & WS_VISIBLE);
    return S_OK;
}

HRESULT CHostObject::listWindow(long id, std::string* description) {
    HWND control = m_host->controlWindow();
    HWND list = GetDlgItem(control, static_cast<int>(id));
    if (!list) return fw::ReportError(E_FAIL, L"host", L"the control has no list with that id");
    auto imageList = [list](int kind) -> std::string {
        auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, kind, 0));
        if (!images) return "none";
        SHFILEINFOW info = {};
        for (UINT size : {UINT{SHGFI_LARGEICON}, UINT{SHGFI_SMALLICON}}) {
            if (images == reinterpret_cast<HIMAGELIST>(
                              SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | size)))
                return size == SHGFI_LARGEICON ? "system-large" : "system-small";
        }
        return "other";
    };
    RECT rect, row = {};
    GetWindowRect(list, &rect);
    MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&rect), 2);
    row.left = LVIR_BOUNDS;
    bool hasRow = SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)) != 0;
    char text[256];
    snprintf(text, sizeof(text), "style=0x%08lX exstyle=0x%08lX lvstyle=0x%08lX normal=%s small=%s "
             "rect=%ld,%ld,%ld,%ld row=%ld frame=%d columns=",
             static_cast<unsigned long>(GetWindowLongW(list, GWL_STYLE)),
             static_cast<unsigned long>(GetWindowLongW(list, GWL_EXSTYLE)),
             static_cast<unsigned long>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)),
             imageList(LVSIL_NORMAL).c_str(), imageList(LVSIL_SMALL).c_str(), rect.left, rect.top,
             rect.right - rect.left, rect.bottom - rect.top, hasRow ? row.bottom - row.top : 0L,
             GetSystemMetrics(SM_CYDLGFRAME));
    std::string out = text;
    wchar_t title[128];
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = 128;
    for (int i = 0; SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)); ++i)
        out += (i ? "|" : "") + fw::WideToAnsi(title) + "/" + std::to_string(column.cx);
    *description = out;
    return S_OK;
}

HRESULT CHostObject::resizeControl(long width, long height) {
    fw::ComPtr<IOleInPlaceObject> inPlace;
    if (!m_host->control() || FAILED(m_host->control()->QueryInterface(IID_IOleInPlaceObject, inPlace.put_void())))
        return fw::ReportError(E_FAIL, L"host", L"the control is not in place");
    RECT rect = {10, 10, 10 + width, 10 + height};
    return inPlace->SetObjectRects(&rect, &rect);
}

HRESULT CHostObject::dropFiles(const std::string& paths) {
    HWND target = m_host->controlWindow();
    if (!target) return fw::ReportError(E_FAIL, L"host", L"the control has no window to drop on");
    // What the shell hands over: a DROPFILES header and the wide paths, each ended by a
    // zero, the list ended by another.
    std::wstring list;
    for (wchar_t c : Wide(paths)) list += c == L'|' ? L'\0' : c;
    list += L'\0';
    list += L'\0';
    size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!memory) return E_OUTOFMEMORY;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    if (!PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0)) {
        GlobalFree(memory);
        return fw::ReportError(E_FAIL, L"host", L"the drop could not be posted");
    }
    m_host->PumpUntilPosted();  // the control handles the drop from the message loop
    return S_OK;
}

HRESULT CHostObject::selectRows(long id, const std::string& rows) {
    HWND list = GetDlgItem(m_host->controlWindow(), static_cast<int>(id));
    if (!list) return fw::ReportError(E_FAIL, L"host", L"the control has no list with that id");
    // Rows given as "0,2": exactly these are selected, as a user's clicks leave them.
    LVITEMW clear = {};
    clear.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    size_t pos = 0;
    while (pos < rows.size()) {
        size_t end = rows.find(',', pos);
        if (end == std::string::npos) end = rows.size();
        LVITEMW select = {};
        select.state = LVIS_SELECTED;
        select.stateMask = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(atoi(rows.substr(pos, end - pos).c_str())),
                     reinterpret_cast<LPARAM>(&select));
        pos = end + 1;
    }
    return S_OK;
}

HRESULT CHostObject::sendCommand(long id) {
    HWND target = m_host->controlWindow();
    if (!target) return fw::ReportError(E_FAIL, L"host", L"the control has no window");
    SendMessageW(target, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return S_OK;
}

HRESULT CHostObject::sendCopyData(long code, const std::string& data, long* answer) {
    HWND target = m_host->controlWindow();
    if (!target) return fw::ReportError(E_FAIL, L"host", L"the control has no window");
    COPYDATASTRUCT copy = {};
    copy.dwData = static_cast<ULONG_PTR>(code);
    copy.cbData = static_cast<DWORD>(data.size());
    copy.lpData = data.empty() ? nullptr : const_cast<char*>(data.data());
    *answer = static_cast<long>(SendMessageW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)));
    return S_OK;
}

HRESULT CHostObject::click(long id) {
    HWND control = m_host->controlWindow();
    HWND target = id ? GetDlgItem(control, static_cast<int>(id)) : control;
    if (!target) return fw::ReportError(E_FAIL, L"host", L"the control has no window with that id");
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    m_host->PumpUntilPosted();
    return S_OK;
}

HRESULT CHostObject::doubleClick(long id, long row) { return ListClickAt(id, row, static_cast<int>(ListClick::kDouble)); }

HRESULT CHostObject::rightClick(long id, long row) { return ListClickAt(id, row, static_cast<int>(ListClick::kRight)); }

HRESULT CHostObject::ListClickAt(long id, long row, int click) {
    HWND list = GetDlgItem(m_host->controlWindow(), static_cast<int>(id));
    if (!list || !PostListClick(list, static_cast<int>(row), static_cast<ListClick>(click)))
        return fw::ReportError(E_FAIL, L"host", L"the control has no such list row");
    m_host->PumpUntilPosted();
    // A menu's command is posted to the control as the menu closes.
    m_host->PumpUntilPosted();
    return S_OK;
}

HRESULT CHostObject::pressKey(long vk, bool* translated) {
    // The keys go to the window with the focus, as the keyboard's do.
    HWND target = GetFocus();
    if (!target) return fw::ReportError(E_FAIL, L"host", L"no window has the focus");
    PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
    PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(vk), 0xC0000001);
    m_host->PumpUntilPosted();
    *translated = m_host->KeyDownTranslated(static_cast<UINT>(vk));
    return S_OK;
}

HRESULT CHostObject::uiActive(bool* active) {
    *active = m_host->uiActive();
    return S_OK;
}

HRESULT CHostObject::uiDeactivate() {
    m_host->UIDeactivate();
    return S_OK;
}

HRESULT CHostObject::screenshot(const std::string& path) {
    return m_host->SaveScreenshot(path) ? S_OK : fw::ReportError(E_FAIL, L"host", L"cannot save " + Wide(path));
}

HRESULT CHostObject::isDirty(const VARIANT& control, bool* dirty) {
    fw::ComPtr<IPersistStreamInit> persist;
    HRESULT hr = ControlOf(control, IID_IPersistStreamInit, persist.put_void());
    if (FAILED(hr)) return hr;
    *dirty = persist->IsDirty() == S_OK;
    return S_OK;
}

HRESULT CHostObject::saveBag(const VARIANT& control, std::string* lines) {
    fw::ComPtr<IPersistPropertyBag> persist;
    HRESULT hr = ControlOf(control, IID_IPersistPropertyBag, persist.put_void());
    if (FAILED(hr)) return hr;
    fw::ComPtr<CPropertyBag> bag = fw::ComPtr<CPropertyBag>::Attach(CPropertyBag::Create());
    hr = persist->Save(bag.get(), FALSE, TRUE);
    if (FAILED(hr)) return hr;
    *lines = fw::WideToAnsi(bag->ToLines());
    return S_OK;
}

HRESULT CHostObject::loadControl(const std::string& lines, VARIANT* control) {
    fw::ComPtr<CPropertyBag> bag = fw::ComPtr<CPropertyBag>::Attach(CPropertyBag::Create());
    bag->ParseLines(Wide(lines));
    IDispatch* disp = nullptr;
    HRESULT hr = m_host->NewControl(bag.get(), nullptr, nullptr, &disp);
    if (FAILED(hr)) return fw::ReportError(hr, L"host", L"the control did not load the property bag");
    ReturnControl(disp, control);
    return S_OK;
}

HRESULT CHostObject::saveStream(const VARIANT& control, std::string* hex) {
    fw::ComPtr<IPersistStreamInit> persist;
    HRESULT hr = ControlOf(control, IID_IPersistStreamInit, persist.put_void());
    if (FAILED(hr)) return hr;
    fw::ComPtr<IStream> stream;
    if (FAILED(hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return hr;
    if (FAILED(hr = persist->Save(stream.get(), FALSE))) return hr;
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<unsigned char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    std::string text(bytes.size() * 2 + 1, '\0');
    NcHexFromBin(bytes.data(), bytes.size(), &text[0]);
    text.resize(bytes.size() * 2);
    *hex = text;
    return S_OK;
}

HRESULT CHostObject::loadStreamControl(const std::string& hex, VARIANT* control) {
    std::vector<unsigned char> bytes(hex.size() / 2 + 1);
    if (NcFBinFromHex(hex.c_str(), bytes.data()) < 0) return E_INVALIDARG;
    bytes.resize(hex.size() / 2);
    fw::ComPtr<IStream> stream;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    if (FAILED(hr)) return hr;
    ULONG written = 0;
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    IDispatch* disp = nullptr;
    hr = m_host->NewControl(nullptr, stream.get(), nullptr, &disp);
    if (FAILED(hr)) return fw::ReportError(hr, L"host", L"the control did not load the stream");
    ReturnControl(disp, control);
    return S_OK;
}

HRESULT CHostObject::storageRoundTrip(const VARIANT& control, VARIANT* copy) {
    fw::ComPtr<IPersistStorage> persist;
    HRESULT hr = ControlOf(control, IID_IPersistStorage, persist.put_void());
    if (FAILED(hr)) return hr;
    fw::ComPtr<IStorage> storage;
    hr = StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0,
                          storage.put());
    if (FAILED(hr)) return hr;
    if (FAILED(hr = persist->Save(storage.get(), FALSE))) return hr;
    persist->SaveCompleted(nullptr);
    IDispatch* disp = nullptr;
    hr = m_host->NewControl(nullptr, nullptr, storage.get(), &disp);
    if (FAILED(hr)) return fw::ReportError(hr, L"host", L"the control did not load the storage");
    ReturnControl(disp, copy);
    return S_OK;
}

HRESULT CHostObject::env(const std::string& name, std::string* value) {
    char buffer[4096];
    DWORD n = GetEnvironmentVariableA(name.c_str(), buffer, sizeof(buffer));
    *value = n > 0 && n < sizeof(buffer) ? std::string(buffer, n) : std::string();
    return S_OK;
}

HRESULT CHostObject::tempDir(std::string* path) {
    *path = fw::TempFolder();
    return S_OK;
}

HRESULT CHostObject::writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path.c_str(), std::ios::binary);
    out << text;
    return out.good() ? S_OK : fw::ReportError(E_FAIL, L"host", L"cannot write " + Wide(path));
}

HRESULT CHostObject::readFile(const std::string& path, std::string* text) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return fw::ReportError(E_FAIL, L"host", L"cannot read " + Wide(path));
    std::stringstream buffer;
    buffer << in.rdbuf();
    *text = buffer.str();
    return S_OK;
}

HRESULT CHostObject::fileExists(const std::string& path, bool* exists) {
    *exists = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    return S_OK;
}

HRESULT CHostObject::deleteFile(const std::string& path) {
    DeleteFileA(path.c_str());
    return S_OK;
}

HRESULT CHostObject::workingSet(std::string* bytes) {
    PROCESS_MEMORY_COUNTERS counters = {};
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    *bytes = std::to_string(counters.WorkingSetSize);
    return S_OK;
}

HRESULT CHostObject::peakWorkingSet(std::string* bytes) {
    PROCESS_MEMORY_COUNTERS counters = {};
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    *bytes = std::to_string(counters.PeakWorkingSetSize);
    return S_OK;
}

HRESULT CHostObject::controlHwnd(long* hwnd) {
    *hwnd = HandleToLong(m_host->controlWindow());
    return S_OK;
}

HRESULT CHostObject::run(const std::string& commandLine, long timeoutMs, long* exitCode) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return fw::ReportError(HRESULT_FROM_WIN32(GetLastError()), L"host", L"cannot start " + Wide(commandLine));
    CloseHandle(process.hThread);
    // The page stays alive meanwhile: the program may be talking to the control.
    ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs > 0 ? timeoutMs : 0);
    DWORD wait;
    do {
        m_host->Pump(0);
        ULONGLONG now = GetTickCount64();
        DWORD left = now < end ? static_cast<DWORD>(end - now) : 0;
        wait = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, left, QS_ALLINPUT);
    } while (wait == WAIT_OBJECT_0 + 1);
    DWORD code = 0;
    if (wait == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &code)) {
        *exitCode = static_cast<long>(code);
    } else {
        TerminateProcess(process.hProcess, 1);
        *exitCode = -1;
    }
    CloseHandle(process.hProcess);
    return S_OK;
}

HRESULT CHostObject::pictureDialogs(const std::string& folder) {
    m_host->PictureDialogs(folder);
    return S_OK;
}

HRESULT CHostObject::printDialog(const std::string& printers, long timeoutMs, std::string* selected) {
    std::vector<std::wstring> items;
    std::wstring list = fw::AnsiToWide(printers);
    for (size_t start = 0; start <= list.size();) {
        size_t bar = list.find(L'|', start);
        if (bar == std::wstring::npos) bar = list.size();
        if (bar > start) items.push_back(list.substr(start, bar - start));
        start = bar + 1;
    }
    HWND control = m_host->controlWindow();
    *selected = fw::WideToAnsi(RunPrintDialog(control ? GetAncestor(control, GA_ROOT) : nullptr, items,
                                              static_cast<DWORD>(timeoutMs > 0 ? timeoutMs : 0)));
    return S_OK;
}
