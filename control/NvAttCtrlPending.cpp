// CNvAttCtrl: script methods whose subsystems this build does not contain yet. Each one
// fails with an automation error that names it, so a page never mistakes it for success.
#include "control/NvAttCtrl.h"

HRESULT CNvAttCtrl::DoSignStatus(const std::string&) { return NotAvailable(L"DoSignStatus"); }
HRESULT CNvAttCtrl::DoSendNowFax(const std::string&) { return NotAvailable(L"DoSendNowFax"); }
HRESULT CNvAttCtrl::DoExe(const std::string&, bool*) { return NotAvailable(L"DoExe"); }
HRESULT CNvAttCtrl::DoCheckTCA(const std::string&, std::string*) { return NotAvailable(L"DoCheckTCA"); }
HRESULT CNvAttCtrl::DoCheckDTA(long*) { return NotAvailable(L"DoCheckDTA"); }
HRESULT CNvAttCtrl::DoChangeEDMProfile(const std::string&, const std::string&, bool, const std::string&, bool*) { return NotAvailable(L"DoChangeEDMProfile"); }
HRESULT CNvAttCtrl::DoCallMsg(bool*) { return NotAvailable(L"DoCallMsg"); }
HRESULT CNvAttCtrl::DoCall(bool*) { return NotAvailable(L"DoCall"); }
HRESULT CNvAttCtrl::DoSetProcess() { return NotAvailable(L"DoSetProcess"); }
HRESULT CNvAttCtrl::DoDetachProcess() { return NotAvailable(L"DoDetachProcess"); }
HRESULT CNvAttCtrl::DoSetLoginINI() { return NotAvailable(L"DoSetLoginINI"); }
