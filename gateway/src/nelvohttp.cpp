#include "nelvohttp.h"

#include "codepage.h"
#include "gateway_client.h"

namespace {

using nelvogate::fromCodePage;
using nelvogate::toCodePage;

// Results end at a NUL as they always have for callers reading C strings.
std::u16string result(const std::string &bytes)
{
    return fromCodePage(std::string_view(bytes.c_str()));
}

} // namespace

struct nelvohttp::State
{
    nelvogate::GatewayClient client;
    void *pageContext = nullptr;
    bool pageStarted = false;
};

nelvohttp::nelvohttp() : d(std::make_unique<State>()) {}

nelvohttp::~nelvohttp() = default;

int nelvohttp::OnStartPage(void *piUnk)
{
    if (piUnk == nullptr)
        return InvalidPointer;
    d->pageContext = piUnk;
    d->pageStarted = true;
    return 0;
}

int nelvohttp::OnEndPage()
{
    d->pageContext = nullptr;
    d->pageStarted = false;
    return 0;
}

std::u16string nelvohttp::getversion()
{
    return u"ver 2.0.0  support VC,delphi,VB,C#,power buileder ,asp, asp.net";
}

std::u16string nelvohttp::setProxy(const std::u16string &strIP, int nPort, const std::u16string &strUser,
                                   const std::u16string &strPassword)
{
    d->client.setProxy(toCodePage(strIP), nPort, toCodePage(strUser), toCodePage(strPassword));
    return u"使用代理...";
}

std::u16string nelvohttp::sendSMS(const std::u16string &Regcode, const std::u16string &Password,
                                  const std::u16string &Phone, const std::u16string &Content,
                                  const std::u16string &Extnum, const std::u16string &Level,
                                  const std::u16string &Schtime, const std::u16string &Reportflag,
                                  const std::u16string &wapUrl, const std::u16string &smstype)
{
    return result(d->client.sendSMS(toCodePage(Regcode), toCodePage(Password), toCodePage(Phone),
                                    toCodePage(Content), toCodePage(Extnum), toCodePage(Level),
                                    toCodePage(Schtime), toCodePage(Reportflag), toCodePage(wapUrl),
                                    toCodePage(smstype)));
}

std::u16string nelvohttp::recvSMS(const std::u16string &Regcode, const std::u16string &Password)
{
    return result(d->client.recvSMS(toCodePage(Regcode), toCodePage(Password)));
}

std::u16string nelvohttp::recvReport(const std::u16string &Regcode, const std::u16string &Password)
{
    return result(d->client.recvReport(toCodePage(Regcode), toCodePage(Password)));
}

std::u16string nelvohttp::balanceCheck(const std::u16string &Regcode, const std::u16string &Password)
{
    return result(d->client.balanceCheck(toCodePage(Regcode), toCodePage(Password)));
}

std::u16string nelvohttp::chargeAdd(const std::u16string &Regcode, const std::u16string &Password,
                                    const std::u16string &cardCode, const std::u16string &cardPwd)
{
    return result(d->client.chargeAdd(toCodePage(Regcode), toCodePage(Password), toCodePage(cardCode),
                                      toCodePage(cardPwd)));
}

std::u16string nelvohttp::changePassword(const std::u16string &Regcode, const std::u16string &oldPassword,
                                         const std::u16string &newPassword)
{
    return result(
        d->client.changePassword(toCodePage(Regcode), toCodePage(oldPassword), toCodePage(newPassword)));
}

std::u16string nelvohttp::sendMMS(const std::u16string &Regcode, const std::u16string &Password,
                                  const std::u16string &Phone, const std::u16string &Content,
                                  const std::u16string &Extnum, const std::u16string &Level,
                                  const std::u16string &Schtime, const std::u16string &Reportflag,
                                  const std::u16string &wapUrl, const std::u16string &smstype,
                                  const std::u16string &mmsid)
{
    return result(d->client.sendMMS(toCodePage(Regcode), toCodePage(Password), toCodePage(Phone),
                                    toCodePage(Content), toCodePage(Extnum), toCodePage(Level),
                                    toCodePage(Schtime), toCodePage(Reportflag), toCodePage(wapUrl),
                                    toCodePage(smstype), toCodePage(mmsid)));
}

std::u16string nelvohttp::getchannellength(const std::u16string &Regcode, const std::u16string &Password)
{
    return result(d->client.getchannellength(toCodePage(Regcode), toCodePage(Password)));
}
