// The page host: a container window with one control, a page script and its verdict.
#pragma once

#include <ocidl.h>

#include <string>
#include <vector>

#include "framework/ComPtr.h"
#include "tools/pagehost/EventSink.h"
#include "tools/pagehost/HostSite.h"
#include "tools/pagehost/ModalAnswerer.h"
#include "tools/pagehost/PopupMenuAnswerer.h"
#include "tools/pagehost/PropertyBag.h"
#include "tools/pagehost/Report.h"
#include "tools/pagehost/ScriptSite.h"

struct HostOptions {
    std::wstring progId = L"NVATT.NvAttCtrl.1";
    std::wstring itemName = L"NvAtt";
    std::wstring params;      // "name=value" lines applied before the window exists
    bool activate = true;     // in-place activate before the page runs
    std::wstring url;         // the page's location: the site offers a browser object
    bool expectRefusal = false;  // the control must refuse the page, and the page goes on
    std::wstring pagePath;
    std::wstring reportPath;
    int timeoutSeconds = 120;
};

class CPageHost {
public:
    explicit CPageHost(HostOptions options);
    int Run();

    Report& report() { return m_report; }
    CModalAnswerer& answerer() { return m_answerer; }
    IOleObject* control() const { return m_control.get(); }
    HWND controlWindow() const;

    HRESULT Activate();
    void Deactivate();
    void ReleaseControl();
    // A further control of the same class, loaded from a bag or a stream, not activated.
    HRESULT NewControl(IPropertyBag* bag, IStream* stream, IStorage* storage, IDispatch** control);
    // Runs the message loop for ms milliseconds (modal UI and posted work go on).
    void Pump(DWORD ms);
    // Runs the message loop until what was posted before this call has been handled.
    void PumpUntilPosted();
    bool uiActive() const { return m_site && m_site->uiActive(); }
    void UIDeactivate();
    // Whether the last key-down of vk was taken by the active object's TranslateAccelerator.
    bool KeyDownTranslated(UINT vk) const { return m_translatedKey == vk; }
    // The host window as the screen shows it, as a 24-bit BMP file; with wholeScreen, all
    // of the screen (a dialog is placed where the system puts it, not over the page).
    bool SaveScreenshot(const std::string& path, bool wholeScreen = false);
    // From now on every dialog the page meets is pictured with the screen around it, as
    // folder\NN-kind.bmp.
    void PictureDialogs(const std::string& folder);

private:
    HRESULT CreateFrame();
    HRESULT CreateControl();
    // Asks the control to be safe for untrusted use of riid, as a browser does for a page
    // with a URL; false when the page cannot go on.
    bool RequestSafety(REFIID riid, DWORD option, const wchar_t* use);
    void OnEvent(const std::wstring& name, DISPPARAMS* params);
    void Finish();
    // As a browser does: keys go through the UI-active object first; true when it took one.
    bool TranslateKey(MSG& msg);
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HostOptions m_options;
    Report m_report;
    CModalAnswerer m_answerer;
    CPopupMenuAnswerer m_menus;
    HWND m_frame = nullptr;
    // Dialog pictures: a dialog that the system shows only once its modal loop is idle
    // is pictured by a timer when it has appeared (or given up on after two seconds).
    struct PendingPicture {
        HWND dialog;
        std::string path;
        DWORD giveUpAt;
    };
    static void CALLBACK PictureTimerProc(HWND, UINT, UINT_PTR, DWORD);
    std::string m_pictureFolder;
    int m_dialogPictures = 0;
    std::vector<PendingPicture> m_pendingPictures;
    UINT_PTR m_pictureTimer = 0;
    fw::ComPtr<CHostSite> m_site;
    fw::ComPtr<IOleObject> m_control;
    fw::ComPtr<CEventSink> m_sink;
    fw::ComPtr<CScriptSite> m_script;
    UINT m_translatedKey = 0;
};
