// CNvAttCtrl: the conference call. DoCall checks that caller and callee are both free and
// lets the page start the call (EvCallConference).
#include "control/NvAttCtrl.h"

#include "download/QueryUserInfo.h"
#include "framework/ErrorMacros.h"
#include "integrations/CompanionErrors.h"
#include "integrations/CompanionRules.h"
#include "integrations/ConferenceText.h"
#include "res/Texts.h"

// S_OK with *free set when both may start a conference; otherwise the user was told why.
// Fails before any request when the ids or fburl are refused.
HRESULT CNvAttCtrl::CheckConferencePresence(bool* free) {
    *free = false;
    if (!IsSafeUserId(m_strUserID)) return RefuseUnsafeId("UserID");
    if (!IsSafeUserId(m_strSenderID)) return RefuseUnsafeId("SenderID");
    RETURN_IF_FAILED(CheckTargetUrl(m_strFbUrl + "wGetUserSimple.asp"));
    // A failed request is an empty answer: the caller counts as not free.
    std::string callee, caller;
    (void)QueryUserInfo(m_strFbUrl, m_strSenderID + ";", &callee);
    (void)QueryUserInfo(m_strFbUrl, m_strUserID, &caller);
    const char* text = nullptr;
    switch (DecidePresence(caller, callee)) {
    case Presence::kStart: *free = true; return S_OK;
    case Presence::kCallerNotFree: text = texts::kConferenceCallerNotFree; break;
    case Presence::kCalleeInConference: text = texts::kConferenceCalleeInConference; break;
    case Presence::kCalleeOnCall: text = texts::kConferenceCalleeOnCall; break;
    case Presence::kCalleeAway: text = texts::kConferenceCalleeAway; break;
    }
    MessageBoxA(m_hWnd, text, texts::kConferenceRequestCaption, MB_OK | MB_ICONEXCLAMATION);
    return S_OK;
}

HRESULT CNvAttCtrl::DoCall(bool* result) {
    bool free = false;
    RETURN_IF_FAILED(CheckConferencePresence(&free));
    if (free) FireEvCallConference(m_strUserID, m_strSenderID, std::string());
    *result = true;
    return S_OK;
}
