// The conference call's rules that need no Windows: the presence check of caller and
// callee, and the conference page handed to script.
#pragma once

#include <string>

// Class identifiers of the two companion controls the conference page hosts.
inline constexpr char kDocViewerClsid[] = "EBF705E2-D8C6-459D-80AD-66FC5E614C48";  // NvDocView
inline constexpr char kConferenceClsid[] = "3D473BA9-359C-4B36-98D9-BE0E39651F55";  // ConfCtl

enum class Presence {
    kStart,                // both are free
    kCallerNotFree,        // the caller's own state is not "N"
    kCalleeInConference,   // "C"
    kCalleeOnCall,         // "P"
    kCalleeAway,           // anything else: offline, busy or away
};

// callerAnswer: the server's answer for UserID; calleeAnswer: for SenderID followed by
// ";". The caller's state is the answer without any ";", free when it is "N" in either
// case. The callee's state is its answer up to the last ";" (empty without one); a
// capital N anywhere in it is free, else "C" or "P" in either case tell why not.
Presence DecidePresence(const std::string& callerAnswer, const std::string& calleeAnswer);

// user "_" YYYYMMDD "_" HHMMSS: the page's title and the name the viewer is given.
std::string ConferencePageName(const std::string& user, int year, int month, int day, int hour, int minute,
                               int second);

// The page: the viewer and the conference control, the six handlers that wire their
// events to each other, and the script that opens the shared document. pageName must be
// safe in a title and in a script string (see IsSafeUserId).
std::string ConferencePageText(const std::string& pageName);
