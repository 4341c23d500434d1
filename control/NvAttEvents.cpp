// CNvAttCtrl: the events of the script interface.
#include "control/NvAttCtrl.h"

namespace {

enum EventId : DISPID {
    kResolveComplete = 1,
    kShowAttach = 2,
    kDelFiles = 3,
    kClose = 4,
    kEvClickSendFax = 5,
    kSetDBBody = 6,
    kEvOpenKMInsertDlg = 7,  // declared for pages; the control never raises it
    kEvCallConference = 8,
};

// Owner of the BSTR arguments of one event.
class EventArgs {
public:
    EventArgs& Text(const std::string& text) {
        VARIANTARG v;
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = fw::AnsiToBstr(text);
        m_args[m_count++] = v;
        return *this;
    }
    EventArgs& Short(short value) {
        VARIANTARG v;
        V_VT(&v) = VT_I2;
        V_I2(&v) = value;
        m_args[m_count++] = v;
        return *this;
    }
    ~EventArgs() {
        for (UINT i = 0; i < m_count; ++i) VariantClear(&m_args[i]);
    }
    const VARIANTARG& operator[](UINT i) const { return m_args[i]; }

private:
    VARIANTARG m_args[4];
    UINT m_count = 0;
};

}  // namespace

void CNvAttCtrl::FireResolveComplete(const std::string& type) {
    EventArgs a;
    a.Text(type);
    FireEvent(kResolveComplete, {a[0]});
}

void CNvAttCtrl::FireShowAttach(short isShow) {
    EventArgs a;
    a.Short(isShow);
    FireEvent(kShowAttach, {a[0]});
}

void CNvAttCtrl::FireDelFiles(const std::string& files) {
    EventArgs a;
    a.Text(files);
    FireEvent(kDelFiles, {a[0]});
}

void CNvAttCtrl::FireClose() { FireEvent(kClose); }

void CNvAttCtrl::FireEvClickSendFax(const std::string& param) {
    EventArgs a;
    a.Text(param);
    FireEvent(kEvClickSendFax, {a[0]});
}

void CNvAttCtrl::FireSetDBBody(const std::string& body, const std::string& to, const std::string& cc,
                               short haveAttach) {
    // The body travels as a VARIANT holding a BSTR.
    EventArgs a;
    a.Text(body).Text(to).Text(cc).Short(haveAttach);
    FireEvent(kSetDBBody, {a[0], a[1], a[2], a[3]});
}

void CNvAttCtrl::FireEvCallConference(const std::string& caller, const std::string& callee,
                                      const std::string& path) {
    EventArgs a;
    a.Text(caller).Text(callee).Text(path);
    FireEvent(kEvCallConference, {a[0], a[1], a[2]});
}
