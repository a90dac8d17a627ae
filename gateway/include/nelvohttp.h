// nelvogate: the SMS gateway library, C++ interface.
//
// Every member is virtual so that a program which loads the library with dlopen can create an
// object through nelvogate_create_object() and call it without resolving any further symbol.
#ifndef NELVOHTTP_H
#define NELVOHTTP_H

#include <memory>
#include <string>

#define NELVOGATE_CXX_API __attribute__((visibility("default")))

class NELVOGATE_CXX_API nelvohttp
{
public:
    // Status of OnStartPage when no page context is given (the automation "invalid pointer" code).
    static constexpr int InvalidPointer = static_cast<int>(0x80004003u);

    nelvohttp();
    virtual ~nelvohttp();
    nelvohttp(const nelvohttp &) = delete;
    nelvohttp &operator=(const nelvohttp &) = delete;

    virtual int OnStartPage(void *piUnk);
    virtual int OnEndPage();
    virtual std::u16string getversion();
    virtual std::u16string setProxy(const std::u16string &strIP, int nPort, const std::u16string &strUser,
                                    const std::u16string &strPassword);
    virtual std::u16string sendSMS(const std::u16string &Regcode, const std::u16string &Password,
                                   const std::u16string &Phone, const std::u16string &Content,
                                   const std::u16string &Extnum, const std::u16string &Level,
                                   const std::u16string &Schtime, const std::u16string &Reportflag,
                                   const std::u16string &wapUrl, const std::u16string &smstype);
    virtual std::u16string recvSMS(const std::u16string &Regcode, const std::u16string &Password);
    virtual std::u16string recvReport(const std::u16string &Regcode, const std::u16string &Password);
    virtual std::u16string balanceCheck(const std::u16string &Regcode, const std::u16string &Password);
    virtual std::u16string chargeAdd(const std::u16string &Regcode, const std::u16string &Password,
                                     const std::u16string &cardCode, const std::u16string &cardPwd);
    virtual std::u16string changePassword(const std::u16string &Regcode, const std::u16string &oldPassword,
                                          const std::u16string &newPassword);
    virtual std::u16string sendMMS(const std::u16string &Regcode, const std::u16string &Password,
                                   const std::u16string &Phone, const std::u16string &Content,
                                   const std::u16string &Extnum, const std::u16string &Level,
                                   const std::u16string &Schtime, const std::u16string &Reportflag,
                                   const std::u16string &wapUrl, const std::u16string &smstype,
                                   const std::u16string &mmsid);
    virtual std::u16string getchannellength(const std::u16string &Regcode, const std::u16string &Password);

private:
    struct State;
    std::unique_ptr<State> d;
};

#endif
