// Reading the answer of the groupware server's upload pages.
#pragma once

#include <string>

struct ServerReply {
    enum class Kind {
        kStopped,   // empty answer: the transfer broke off; show "전송 중단"
        kAccepted,  // "OK;...": show the result, clear the form, fire Close
        kRefused,   // anything else: show it whole, keep everything staged
    };
    Kind kind;
    std::string shownText;  // what the message box shows
};

// "OK;STORED;id;msg" shows "msg" (the text after the first ";" of what follows
// "OK;STORED;", or all of it without one); "OK;msg" shows "msg".
ServerReply ClassifyServerReply(const std::string& reply);
