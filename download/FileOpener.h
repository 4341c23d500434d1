// Opening a file the way the desktop does: through its association, with the hosting
// program started anew on its own types, and the companion viewer for the system's
// message files.
#pragma once

#include <windows.h>

#include <string>

enum class OpenRoute {
    kShell,            // the file's association
    kViewer,           // message files to the viewer, the rest by association
    kViewerOrBrowser,  // as kViewer, and web pages started in their own program
};

// Opens path along route with owner as the owner of what the user sees. With askFirst a
// type that runs code is opened only once the user says Yes. A launch that fails is shown
// with caption; the viewer and the web-page start report nothing.
void OpenFile(const std::string& path, OpenRoute route, bool askFirst, HWND owner, const std::string& caption);

// Opens path through its association. When that is the program hosting the control, the
// program is started anew with the quoted path, instead of handing the file to the
// running one. Says "cannot run" with caption when the launch fails.
void ShellOpenFile(const std::string& path, HWND owner, const std::string& caption);

// Starts the companion viewer of the system folder on the quoted path; no owner, and a
// failure is not reported.
void LaunchViewer(const std::string& path);

// The user text with its one placeholder ("%s", "%d") replaced by value.
std::string FillIn(const char* format, const std::string& value);
