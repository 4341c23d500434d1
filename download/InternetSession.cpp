// The internet session of the control's direct requests.
#include "download/InternetSession.h"

fw::UniqueHInternet OpenInternetSession() {
    return fw::UniqueHInternet(InternetOpenA("NVATT", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
}
