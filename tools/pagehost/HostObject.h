// The `host` object of a page: checks, answers for modal UI, and looks into the
// control the way a tester would (list rows, persistence, files).
#pragma once

#include <oaidl.h>

#include <string>

#include "framework/ComObject.h"
#include "framework/Dispatch.h"

class CPageHost;

class CHostObject final : public IDispatch {
public:
    static CHostObject* Create(CPageHost* host) { return new CHostObject(host); }
    // Page timers that have not fired yet never will: the page is over.
    static void CancelTimers();

    FW_IMPLEMENT_IUNKNOWN()

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT* argErr) override;

private:
    explicit CHostObject(CPageHost* host) : m_host(host) {}

    // Verdict
    HRESULT log(const std::string& text);
    HRESULT check(bool condition, const std::string& message);
    HRESULT equal(const VARIANT& actual, const VARIANT& expected, const std::string& message);
    HRESULT fail(const std::string& message);
    // Modal UI
    HRESULT answer(const std::string& kind, const std::string& action);
    HRESULT answerLater(const std::string& kind, const std::string& action, long delayMs);
    HRESULT dialogCount(long* count);
    HRESULT dialog(long index, std::string* record);
    // Events
    HRESULT eventCount(const std::string& name, long* count);
    HRESULT events(std::string* lines);
    HRESULT waitEvent(const std::string& name, long timeoutMs, bool* arrived);
    HRESULT pump(long ms);
    // Calls the page's function once after ms, from whichever message loop runs then (a
    // modal one of the control's included), as a browser's window.setTimeout does.
    HRESULT setTimeout(const VARIANT& function, long ms);
    // The control
    HRESULT activate(long* hr);
    HRESULT deactivate();
    HRESULT releaseControl();
    HRESULT controlWindow(long* exists);
    HRESULT listItems(long id, std::string* labels);
    HRESULT listColumn(long id, long column, std::string* texts);
    HRESULT listVisible(long id, bool* visible);
    // The list window as created and laid out: "style=0x... exstyle=0x... lvstyle=0x...
    // normal=... small=... rect=x,y,w,h row=h frame=n columns=title/width|...", image
    // lists named "system-large", "system-small", "none" or "other", rect in the control's
    // client coordinates, row the height of row 0 (0 without rows), frame SM_CYDLGFRAME.
    HRESULT listWindow(long id, std::string* description);
    // Moves the control to a new size, as a page's layout does.
    HRESULT resizeControl(long width, long height);
    HRESULT dropFiles(const std::string& paths);
    HRESULT selectRows(long id, const std::string& rows);
    HRESULT sendCommand(long id);
    HRESULT sendCopyData(long code, const std::string& data, long* answer);
    // Keyboard and mouse as a user gives them; keys go through the host's message loop.
    HRESULT click(long id);
    // A double or right click on a row of the control's list id (-1: its empty corner);
    // what the click starts (a menu, a download) runs before it returns.
    HRESULT doubleClick(long id, long row);
    HRESULT rightClick(long id, long row);
    HRESULT ListClickAt(long id, long row, int click);
    HRESULT pressKey(long vk, bool* translated);
    HRESULT uiActive(bool* active);
    HRESULT uiDeactivate();
    HRESULT screenshot(const std::string& path);
    HRESULT isDirty(const VARIANT& control, bool* dirty);
    HRESULT saveBag(const VARIANT& control, std::string* lines);
    HRESULT loadControl(const std::string& lines, VARIANT* control);
    HRESULT saveStream(const VARIANT& control, std::string* hex);
    HRESULT loadStreamControl(const std::string& hex, VARIANT* control);
    HRESULT storageRoundTrip(const VARIANT& control, VARIANT* copy);
    // Environment and files
    HRESULT env(const std::string& name, std::string* value);
    HRESULT tempDir(std::string* path);
    HRESULT writeFile(const std::string& path, const std::string& text);
    HRESULT readFile(const std::string& path, std::string* text);
    HRESULT fileExists(const std::string& path, bool* exists);
    HRESULT deleteFile(const std::string& path);
    // Bytes, as text: the host process's working set now and at its peak.
    HRESULT workingSet(std::string* bytes);
    HRESULT peakWorkingSet(std::string* bytes);
    // Other programs
    HRESULT controlHwnd(long* hwnd);
    HRESULT run(const std::string& commandLine, long timeoutMs, long* exitCode);
    // The stand-in print dialog over the control, modal: the printers ("|" between them),
    // and the one selected at OK ("" at its time-out of timeoutMs).
    HRESULT printDialog(const std::string& printers, long timeoutMs, std::string* selected);
    HRESULT pictureDialogs(const std::string& folder);

    static const fw::InterfaceEntry kInterfaces[];
    static const fw::DispMember kDispatch[];
    fw::RefCount m_refs;
    CPageHost* m_host;
};
