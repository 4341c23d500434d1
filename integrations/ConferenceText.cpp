// The conference call's presence check and page text.
#include "integrations/ConferenceText.h"

#include <cstdio>

namespace {

bool EqualsLetter(const std::string& state, char upper) {
    return state.size() == 1 && (state[0] == upper || state[0] == upper - 'A' + 'a');
}

}  // namespace

Presence DecidePresence(const std::string& callerAnswer, const std::string& calleeAnswer) {
    std::string caller;
    for (char c : callerAnswer) {
        if (c != ';') caller += c;
    }
    size_t last = calleeAnswer.rfind(';');
    std::string callee = last == std::string::npos ? std::string() : calleeAnswer.substr(0, last);
    if (!EqualsLetter(caller, 'N')) return Presence::kCallerNotFree;
    if (callee.find('N') != std::string::npos) return Presence::kStart;
    if (EqualsLetter(callee, 'C')) return Presence::kCalleeInConference;
    if (EqualsLetter(callee, 'P')) return Presence::kCalleeOnCall;
    return Presence::kCalleeAway;
}

std::string ConferencePageName(const std::string& user, int year, int month, int day, int hour, int minute,
                               int second) {
    char stamp[32];
    snprintf(stamp, sizeof(stamp), "_%04d%02d%02d_%02d%02d%02d", year, month, day, hour, minute, second);
    return user + stamp;
}

std::string ConferencePageText(const std::string& pageName) {
    static const struct { const char* tag; const char* statement; } kHandlers[] = {
        {"<SCRIPT language=javascript for=\"NvDocView\" event=\"CheckPresider\">\r\n", "ConfCtl.IsPresider(); \r\n"},
        {"<SCRIPT language=javascript for=\"NvDocView\" event=\"ShowAttach\">\r\n", "ConfCtl.OpenFile(arguments[0]);\r\n"},
        {"<SCRIPT language=javascript for=\"NvDocView\" event=\"ScrollHtml\">\r\n",
         "ConfCtl.ScrollHtml(arguments[0], arguments[1]);\r\n"},
        {"<SCRIPT language=javascript for=\"ConfCtl\" event=\"ResultScrollHtml(a,b)\">\r\n",
         "NvDocView.DoHtmlScroll(a, b);\r\n"},
        {"<SCRIPT language=javascript for=\"ConfCtl\" event=\"ResultIsPresider\">\r\n",
         "NvDocView.IsLeader = arguments[0];\r\n"},
        {"<SCRIPT language=javascript for=\"ConfCtl\" event=\"ResultPageInfo\">\r\n",
         "NvDocView.DoSetPageInfo(arguments[0], arguments[1], arguments[2]);\r\n"},
    };
    std::string page = "<html><head><title>" + pageName + "</title></head>\r\n\r\n";
    page += std::string("<OBJECT id=NvDocView classid=\"CLSID:") + kDocViewerClsid +
            "\" width=100% height=100%></OBJECT>\r\n";
    page += std::string("<OBJECT id=ConfCtl style=\"LEFT: 0px; TOP: 0px\" height=0 width=0 classid=\"CLSID:") +
            kConferenceClsid + "\" ></OBJECT>\r\n\r\n";
    for (const auto& handler : kHandlers) {
        page += handler.tag;
        page += handler.statement;
        page += "</SCRIPT> \r\n\r\n";
    }
    page += "<script language=JavaScript>\r\n";
    page += "NvDocView.CurrentURL = window.location;\r\n";
    page += "NvDocView.CurrentTitle = window.document.title;\r\n";
    page += "NvDocView.DoOpenGenFile(\"" + pageName + "\") \r\n\r\n";
    page += "ConfCtl.SetDeleteFileName(window.document.title+\".pcm\"); \r\n";
    page += "ConfCtl.IsPresider(); \r\n";
    page += "</script>\r\n\r\n";
    page += "</body></html>";
    return page;
}
