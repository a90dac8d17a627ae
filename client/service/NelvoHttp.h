#pragma once

#include <QString>

#include <mutex>

struct nelvohttp;

// The client's binding to the gateway library: the gateway's functions under their own names, with
// UTF-16 text. The library is loaded from the program folder and the gateway object created on the
// first call; a missing library, function or object makes that call raise nelvo::Error.
class Tnelvohttp
{
public:
    // The class identifier the object is created by.
    static constexpr const char *ClassId = "{63D04EB1-B93A-45DD-8033-1EAEBBE5F3BD}";

    explicit Tnelvohttp(const QString &libraryFile = DefaultLibraryFile());
    ~Tnelvohttp();
    Tnelvohttp(const Tnelvohttp &) = delete;
    Tnelvohttp &operator=(const Tnelvohttp &) = delete;

    static QString DefaultLibraryFile();

    int OnStartPage(void *piUnk);
    int OnEndPage();
    QString getversion();
    QString setProxy(const QString &strIP, int nPort, const QString &strUser, const QString &strPassword);
    QString sendSMS(const QString &Regcode, const QString &Password, const QString &Phone,
                    const QString &Content, const QString &Extnum, const QString &Level,
                    const QString &Schtime, const QString &Reportflag, const QString &wapUrl,
                    const QString &smstype);
    QString recvSMS(const QString &Regcode, const QString &Password);
    QString balanceCheck(const QString &Regcode, const QString &Password);
    QString chargeAdd(const QString &Regcode, const QString &Password, const QString &cardCode,
                      const QString &cardPwd);
    QString changePassword(const QString &Regcode, const QString &oldPassword, const QString &newPassword);
    QString getchannellength(const QString &Regcode, const QString &Password);
    QString sendMMS(const QString &Regcode, const QString &Password, const QString &Phone,
                    const QString &Content, const QString &Extnum, const QString &Level,
                    const QString &Schtime, const QString &Reportflag, const QString &wapUrl,
                    const QString &smstype, const QString &mmsid);
    QString recvReport(const QString &Regcode, const QString &Password);

private:
    struct Api;
    const Api &api();
    nelvohttp *object();

    // The library and the object are made on the first call, which may come from the start's background
    // question while the window thread is about to ask its own.
    std::mutex m_setUp;
    QString m_libraryFile;
    void *m_library = nullptr;
    Api *m_api = nullptr;
    nelvohttp *m_object = nullptr;
};
