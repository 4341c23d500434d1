// The internet session of the control's direct requests (the request client): the
// module's name as agent, pre-configured access, no proxy, no flags.
#pragma once

#include "framework/UniqueHandle.h"

fw::UniqueHInternet OpenInternetSession();
