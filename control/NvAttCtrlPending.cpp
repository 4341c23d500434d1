// CNvAttCtrl: script methods whose subsystems this build does not contain yet. Each one
// fails with an automation error that names it, so a page never mistakes it for success.
#include "control/NvAttCtrl.h"

HRESULT CNvAttCtrl::LocalSave(const std::string&) { return NotAvailable(L"LocalSave"); }
HRESULT CNvAttCtrl::LocalSaveCompose(const std::string&) { return NotAvailable(L"LocalSaveCompose"); }
HRESULT CNvAttCtrl::DoInsertHTML(std::string*) { return NotAvailable(L"DoInsertHTML"); }
HRESULT CNvAttCtrl::DoSaveListMailDB(const std::string&) { return NotAvailable(L"DoSaveListMailDB"); }
HRESULT CNvAttCtrl::DoSaveListSignDB(const std::string&) { return NotAvailable(L"DoSaveListSignDB"); }
HRESULT CNvAttCtrl::DoSaveEDM(const std::string&, const std::string&, const std::string&, const std::string&, bool*) { return NotAvailable(L"DoSaveEDM"); }
HRESULT CNvAttCtrl::DoSaveLocal(const std::string&, const std::string&, bool*) { return NotAvailable(L"DoSaveLocal"); }
HRESULT CNvAttCtrl::DoCallMsg(bool*) { return NotAvailable(L"DoCallMsg"); }
HRESULT CNvAttCtrl::DoSaveBatchMail(const std::string&, const std::string&, const std::string&, const std::string&, bool*) { return NotAvailable(L"DoSaveBatchMail"); }
HRESULT CNvAttCtrl::DoSetLocalPath(const std::string&, std::string*) { return NotAvailable(L"DoSetLocalPath"); }
HRESULT CNvAttCtrl::LocalTempSave(const std::string&, std::string*) { return NotAvailable(L"LocalTempSave"); }
