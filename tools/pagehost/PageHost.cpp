// The page host: a container window with one control, a page script and its verdict.
//
//   PageHost.exe [--progid P] [--name NvAtt] [--param name=value]... [--params-file F]
//                [--no-activate] [--report F] [--timeout S] [--url URL [--expect-refusal]] page.js
//
// With --url the control's site offers a browser object at that location, and the host
// asks the control to be safe for the PARAM tags and for script as a browser does,
// stopping when it refuses. With --expect-refusal a refusal is what the page is about: the
// host goes on like a browser that ignored it, and an acceptance is a failure.
//
// Exit code 0 when the page ran to its end with no failed check and no script error,
// 1 when it did not, 2 for a bad command line or a host that could not start.
#include "tools/pagehost/PageHost.h"

#include <objsafe.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "framework/ErrorMacros.h"
#include "framework/Text.h"
#include "tools/pagehost/HostBrowser.h"
#include "tools/pagehost/FileDialogRecorder.h"
#include "tools/pagehost/HostObject.h"

namespace {

const wchar_t kFrameClass[] = L"NvAttPageHostFrame";
constexpr UINT_PTR kWatchdogTimer = 1;
constexpr UINT kPostedMarker = WM_APP + 20;
bool s_markerSeen = false;
const RECT kControlRect = {10, 10, 610, 210};

CPageHost* s_host = nullptr;

std::wstring ReadUtf8File(const std::wstring& path, bool* ok) {
    std::ifstream in(path.c_str(), std::ios::binary);
    *ok = in.good();
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string bytes = buffer.str();
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    return Utf8ToWide(bytes);
}

std::wstring VariantText(const VARIANT& v) {
    VARIANT text;
    VariantInit(&text);
    std::wstring out;
    if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(&v), VARIANT_ALPHABOOL, VT_BSTR)))
        out = V_BSTR(&text) ? V_BSTR(&text) : L"";
    VariantClear(&text);
    return out;
}

}  // namespace

CPageHost::CPageHost(HostOptions options)
    : m_options(std::move(options)), m_answerer(m_report), m_menus(m_answerer, m_report) {}

HWND CPageHost::controlWindow() const {
    if (!m_control) return nullptr;
    fw::ComPtr<IOleInPlaceObject> inPlace;
    HWND hwnd = nullptr;
    if (SUCCEEDED(m_control.As(&inPlace))) inPlace->GetWindow(&hwnd);
    return hwnd;
}

HRESULT CPageHost::CreateFrame() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &CPageHost::FrameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kFrameClass;
    RETURN_HR_IF(E_FAIL, !RegisterClassExW(&wc));
    m_frame = CreateWindowExW(0, kFrameClass, L"NvAtt page host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                              640, 260, nullptr, nullptr, wc.hInstance, nullptr);
    RETURN_HR_IF(E_FAIL, !m_frame);
    ShowWindow(m_frame, SW_SHOW);
    return S_OK;
}

HRESULT CPageHost::CreateControl() {
    CLSID clsid;
    RETURN_IF_FAILED(CLSIDFromProgID(m_options.progId.c_str(), &clsid));
    RETURN_IF_FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, m_control.put_void()));
    m_site = fw::ComPtr<CHostSite>::Attach(CHostSite::Create(m_frame, kControlRect));
    if (!m_options.url.empty()) {
        fw::ComPtr<CHostBrowser> browser = fw::ComPtr<CHostBrowser>::Attach(CHostBrowser::Create(m_options.url));
        m_site->OfferBrowser(static_cast<IWebBrowser2*>(browser.get()));
    }

    // A browser hands over the site first when the control asks for it, then the
    // PARAM tags, then activates.
    DWORD misc = 0;
    m_control->GetMiscStatus(DVASPECT_CONTENT, &misc);
    if (misc & OLEMISC_SETCLIENTSITEFIRST) RETURN_IF_FAILED(m_control->SetClientSite(m_site.get()));
    fw::ComPtr<IPersistPropertyBag> persist;
    RETURN_IF_FAILED(m_control.As(&persist));
    if (!RequestSafety(IID_IPersistPropertyBag, INTERFACESAFE_FOR_UNTRUSTED_DATA, L"the PARAM tags"))
        return E_ACCESSDENIED;
    if (m_options.params.empty()) {
        RETURN_IF_FAILED(persist->InitNew());
    } else {
        fw::ComPtr<CPropertyBag> bag = fw::ComPtr<CPropertyBag>::Attach(CPropertyBag::Create());
        bag->ParseLines(m_options.params);
        HRESULT hr = persist->Load(bag.get(), nullptr);
        if (m_options.expectRefusal) {
            if (SUCCEEDED(hr)) m_report.failures.push_back(L"host: the control loaded the PARAM tags of a refused page");
            else m_report.logs.push_back(L"host: the PARAM tags were refused");
        } else {
            RETURN_IF_FAILED(hr);
        }
    }
    if (!(misc & OLEMISC_SETCLIENTSITEFIRST)) RETURN_IF_FAILED(m_control->SetClientSite(m_site.get()));
    m_sink = fw::ComPtr<CEventSink>::Attach(
        CEventSink::Connect(m_control.get(), [this](const std::wstring& name, DISPPARAMS* params) {
            OnEvent(name, params);
        }));
    if (!m_sink) m_report.logs.push_back(L"host: the control has no event interface to connect to");
    // The module is the one whose code the control's interface table points into.
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       *reinterpret_cast<LPCWSTR*>(m_control.get()), &module);
    if (!CFileDialogRecorder::Install(module)) m_report.logs.push_back(L"host: the control opens no file dialog");
    return S_OK;
}

bool CPageHost::RequestSafety(REFIID riid, DWORD option, const wchar_t* use) {
    if (m_options.url.empty()) return true;  // a desktop program does not ask
    fw::ComPtr<IObjectSafety> safety;
    HRESULT hr = m_control.As(IID_IObjectSafety, safety.put_void());
    if (SUCCEEDED(hr)) hr = safety->SetInterfaceSafetyOptions(riid, option, option);
    wchar_t code[16];
    swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    std::wstring what = std::wstring(use) + L" of " + m_options.url;
    if (m_options.expectRefusal) {
        if (SUCCEEDED(hr)) m_report.failures.push_back(L"host: the control accepted " + what + L", expected a refusal");
        else m_report.logs.push_back(L"host: the control refused " + what + L" (" + code + L")");
        return true;
    }
    if (FAILED(hr)) m_report.failures.push_back(L"host: the control refused " + what + L" (" + code + L")");
    return SUCCEEDED(hr);
}

HRESULT CPageHost::Activate() {
    if (!m_control) return E_UNEXPECTED;
    HRESULT hr = m_control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_site.get(), 0, m_frame, &kControlRect);
    wchar_t line[64];
    swprintf(line, 64, L"host: in-place activation 0x%08lX", static_cast<unsigned long>(hr));
    m_report.logs.push_back(line);
    return hr;
}

void CPageHost::Deactivate() {
    fw::ComPtr<IOleInPlaceObject> inPlace;
    if (m_control && SUCCEEDED(m_control.As(&inPlace))) inPlace->InPlaceDeactivate();
}

void CPageHost::ReleaseControl() {
    if (m_sink) m_sink->Disconnect();
    m_sink.reset();
    if (m_control) {
        m_control->Close(OLECLOSE_NOSAVE);
        m_control->SetClientSite(nullptr);
    }
    m_control.reset();
}

HRESULT CPageHost::NewControl(IPropertyBag* bag, IStream* stream, IStorage* storage, IDispatch** control) {
    *control = nullptr;
    CLSID clsid;
    RETURN_IF_FAILED(CLSIDFromProgID(m_options.progId.c_str(), &clsid));
    fw::ComPtr<IDispatch> disp;
    RETURN_IF_FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, disp.put_void()));
    if (bag) {
        fw::ComPtr<IPersistPropertyBag> persist;
        RETURN_IF_FAILED(disp.As(&persist));
        RETURN_IF_FAILED(persist->Load(bag, nullptr));
    } else if (stream) {
        fw::ComPtr<IPersistStreamInit> persist;
        RETURN_IF_FAILED(disp.As(&persist));
        RETURN_IF_FAILED(persist->Load(stream));
    } else if (storage) {
        fw::ComPtr<IPersistStorage> persist;
        RETURN_IF_FAILED(disp.As(&persist));
        RETURN_IF_FAILED(persist->Load(storage));
    } else {
        fw::ComPtr<IPersistStreamInit> persist;
        RETURN_IF_FAILED(disp.As(&persist));
        RETURN_IF_FAILED(persist->InitNew());
    }
    *control = disp.detach();
    return S_OK;
}

void CPageHost::UIDeactivate() {
    fw::ComPtr<IOleInPlaceObject> inPlace;
    if (m_control && SUCCEEDED(m_control.As(&inPlace))) inPlace->UIDeactivate();
}

bool CPageHost::TranslateKey(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    IOleInPlaceActiveObject* active = m_site ? m_site->activeObject() : nullptr;
    bool taken = active && active->TranslateAccelerator(&msg) == S_OK;
    if (msg.message == WM_KEYDOWN) m_translatedKey = taken ? static_cast<UINT>(msg.wParam) : 0;
    return taken;
}

void CPageHost::Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (TranslateKey(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        LONG left = static_cast<LONG>(end - GetTickCount());
        if (left <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    }
}

void CPageHost::PumpUntilPosted() {
    s_markerSeen = false;
    PostMessageW(m_frame, kPostedMarker, 0, 0);
    MSG msg;
    while (!s_markerSeen && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void CPageHost::PictureDialogs(const std::string& folder) {
    m_pictureFolder = folder;
    m_answerer.SetShownCallback([this](HWND dialog, const std::wstring& kind) {
        char name[16];
        wsprintfA(name, "\\%02d-", ++m_dialogPictures);
        std::string path = m_pictureFolder + name + fw::WideToAnsi(kind) + ".bmp";
        if (IsWindowVisible(dialog)) {
            SaveScreenshot(path, true);
            return;
        }
        m_pendingPictures.push_back({dialog, path, GetTickCount() + 2000});
        if (!m_pictureTimer) m_pictureTimer = SetTimer(nullptr, 0, 100, &CPageHost::PictureTimerProc);
    });
}

void CALLBACK CPageHost::PictureTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    CPageHost* host = s_host;
    if (!host) return;
    auto pending = std::move(host->m_pendingPictures);
    host->m_pendingPictures.clear();
    for (PendingPicture& p : pending) {
        if (IsWindow(p.dialog) && IsWindowVisible(p.dialog)) host->SaveScreenshot(p.path, true);
        else if (IsWindow(p.dialog) && static_cast<LONG>(GetTickCount() - p.giveUpAt) < 0) host->m_pendingPictures.push_back(p);
    }
    if (host->m_pendingPictures.empty()) {
        KillTimer(nullptr, host->m_pictureTimer);
        host->m_pictureTimer = 0;
    }
}

bool CPageHost::SaveScreenshot(const std::string& path, bool wholeScreen) {
    RECT rect;
    if (wholeScreen) SetRect(&rect, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    else GetWindowRect(m_frame, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    Pump(200);  // let the windows paint first
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    int stride = ((width * 3 + 3) / 4) * 4;
    std::vector<char> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return out.good();
}

void CPageHost::OnEvent(const std::wstring& name, DISPPARAMS* params) {
    std::wstring line = name + L"(";
    for (UINT i = 0; params && i < params->cArgs; ++i) {
        if (i) line += L", ";
        line += VariantText(params->rgvarg[params->cArgs - 1 - i]);
    }
    line += L")";
    m_report.events.push_back(line);
    if (m_script) m_script->CallFunction(m_options.itemName + L"_" + name, params);
}

LRESULT CALLBACK CPageHost::FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case CModalAnswerer::kAnswerMessage:
        if (s_host) s_host->m_answerer.OnAnswerMessage(wParam, lParam);
        return 0;
    case CPopupMenuAnswerer::kMenuMessage:
        if (s_host) s_host->m_menus.OnMenuMessage(wParam);
        return 0;
    case kPostedMarker:
        s_markerSeen = true;
        return 0;
    case WM_TIMER:
        if (wParam == kWatchdogTimer && s_host) {
            s_host->m_report.failures.push_back(L"host: the page did not finish within the time-out");
            s_host->Finish();
            ExitProcess(3);
        }
        if (s_host) s_host->m_answerer.OnTimer(wParam);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

void CPageHost::Finish() {
    std::string json = m_report.ToJson();
    if (!m_options.reportPath.empty()) {
        std::ofstream out(m_options.reportPath.c_str(), std::ios::binary);
        out << json;
    }
    for (const std::wstring& f : m_report.failures) std::fprintf(stderr, "FAIL: %s\n", WideToUtf8(f).c_str());
    for (const std::wstring& e : m_report.scriptErrors) std::fprintf(stderr, "SCRIPT ERROR: %s\n", WideToUtf8(e).c_str());
    std::fprintf(stdout, "%s: %d checks, %zu failures, %zu script errors%s\n",
                 WideToUtf8(m_options.pagePath).c_str(), m_report.checks, m_report.failures.size(),
                 m_report.scriptErrors.size(), m_report.completed ? "" : ", did not complete");
    std::fflush(stdout);
    std::fflush(stderr);
}

int CPageHost::Run() {
    s_host = this;
    bool ok = false;
    std::wstring source = ReadUtf8File(m_options.pagePath, &ok);
    if (!ok) {
        std::fprintf(stderr, "host: cannot read %s\n", WideToUtf8(m_options.pagePath).c_str());
        return 2;
    }
    if (FAILED(OleInitialize(nullptr)) || FAILED(CreateFrame())) return 2;
    m_answerer.Install(m_frame);
    m_menus.Install(m_frame);
    // A page taken away under a dialog: the control's window goes, as when a browser leaves the page.
    m_answerer.SetActionCallback([this](const std::wstring& action) {
        if (action != L"deactivate") return false;
        Deactivate();
        return true;
    });
    SetTimer(m_frame, kWatchdogTimer, static_cast<UINT>(m_options.timeoutSeconds) * 1000u, nullptr);

    HRESULT hr = CreateControl();
    if (FAILED(hr)) {
        wchar_t line[96];
        swprintf(line, 96, L"host: cannot create %ls (0x%08lX)", m_options.progId.c_str(), static_cast<unsigned long>(hr));
        m_report.failures.push_back(line);
    } else {
        if (m_options.activate) Activate();
        m_script = fw::ComPtr<CScriptSite>::Attach(CScriptSite::Create(
            m_frame, [this](const std::wstring& message) { m_report.scriptErrors.push_back(message); }));
        bool scriptable = RequestSafety(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER, L"script");
        fw::ComPtr<IDispatch> controlDispatch;
        m_control.As(&controlDispatch);
        m_script->AddNamedItem(m_options.itemName, controlDispatch.get());
        fw::ComPtr<CHostObject> hostObject = fw::ComPtr<CHostObject>::Attach(CHostObject::Create(this));
        m_script->AddNamedItem(L"host", static_cast<IDispatch*>(hostObject.get()));
        hr = scriptable ? m_script->Run(source, m_options.pagePath) : E_ACCESSDENIED;
        CHostObject::CancelTimers();
        m_report.completed = SUCCEEDED(hr);
        if (FAILED(hr) && scriptable && m_report.scriptErrors.empty()) {
            wchar_t line[64];
            swprintf(line, 64, L"host: the script engine failed (0x%08lX)", static_cast<unsigned long>(hr));
            m_report.scriptErrors.push_back(line);
        }
        m_script->Close();
        m_script.reset();
        ReleaseControl();
        m_answerer.ReportUnused();
    }
    KillTimer(m_frame, kWatchdogTimer);
    m_site.reset();
    DestroyWindow(m_frame);
    CoFreeUnusedLibraries();
    OleUninitialize();
    Finish();
    return m_report.Passed() ? 0 : 1;
}

int wmain_entry() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    HostOptions options;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        auto next = [&]() -> std::wstring { return i + 1 < argc ? argv[++i] : L""; };
        if (arg == L"--progid") options.progId = next();
        else if (arg == L"--name") options.itemName = next();
        else if (arg == L"--param") options.params += next() + L"\n";
        else if (arg == L"--params-file") {
            bool ok = false;
            options.params += ReadUtf8File(next(), &ok);
            if (!ok) return 2;
        } else if (arg == L"--no-activate") options.activate = false;
        else if (arg == L"--report") options.reportPath = next();
        else if (arg == L"--timeout") options.timeoutSeconds = _wtoi(next().c_str());
        else if (arg == L"--url") options.url = next();
        else if (arg == L"--expect-refusal") options.expectRefusal = true;
        else if (!arg.empty() && arg[0] != L'-') options.pagePath = arg;
        else {
            std::fprintf(stderr, "host: unknown option %s\n", WideToUtf8(arg).c_str());
            return 2;
        }
    }
    LocalFree(argv);
    if (options.pagePath.empty()) {
        std::fprintf(stderr, "usage: PageHost [--param name=value]... [--report file] page.js\n");
        return 2;
    }
    if (options.timeoutSeconds <= 0) options.timeoutSeconds = 120;
    CPageHost host(std::move(options));
    return host.Run();
}

int main() { return wmain_entry(); }
