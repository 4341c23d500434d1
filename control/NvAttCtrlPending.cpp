// CNvAttCtrl: script methods whose subsystems this build does not contain yet. Each one
// fails with an automation error that names it, so a page never mistakes it for success.
#include "control/NvAttCtrl.h"

HRESULT CNvAttCtrl::DoSaveListMailDB(const std::string&) { return NotAvailable(L"DoSaveListMailDB"); }
HRESULT CNvAttCtrl::DoSaveListSignDB(const std::string&) { return NotAvailable(L"DoSaveListSignDB"); }
HRESULT CNvAttCtrl::DoSaveBatchMail(const std::string&, const std::string&, const std::string&, const std::string&, bool*) { return NotAvailable(L"DoSaveBatchMail"); }
HRESULT CNvAttCtrl::DoSetLocalPath(const std::string&, std::string*) { return NotAvailable(L"DoSetLocalPath"); }
