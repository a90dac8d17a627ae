#include "NelvoHttp.h"

#include "NelvoError.h"
#include "ProgramFolder.h"

#include <QFile>

#include <memory>

#include <dlfcn.h>

// The C interface of the gateway library, looked up by name so that the client runs (and reports the
// problem) even when the library is missing or too old.
struct Tnelvohttp::Api
{
    using Str = const char *;
    nelvohttp *(*create_object)(Str);
    void (*release)(nelvohttp *);
    void (*free)(char *);
    char *(*getversion)(nelvohttp *);
    char *(*setProxy)(nelvohttp *, Str, int, Str, Str);
    char *(*sendSMS)(nelvohttp *, Str, Str, Str, Str, Str, Str, Str, Str, Str, Str);
    char *(*sendMMS)(nelvohttp *, Str, Str, Str, Str, Str, Str, Str, Str, Str, Str, Str);
    char *(*recvSMS)(nelvohttp *, Str, Str);
    char *(*recvReport)(nelvohttp *, Str, Str);
    char *(*balanceCheck)(nelvohttp *, Str, Str);
    char *(*chargeAdd)(nelvohttp *, Str, Str, Str, Str);
    char *(*changePassword)(nelvohttp *, Str, Str, Str);
    char *(*getchannellength)(nelvohttp *, Str, Str);
    int (*OnStartPage)(nelvohttp *, void *);
    int (*OnEndPage)(nelvohttp *);
};

namespace {

template <typename Fn> void resolve(void *library, const char *name, Fn &fn, const QString &file)
{
    fn = reinterpret_cast<Fn>(dlsym(library, name));
    if (!fn)
        throw nelvo::Error(QStringLiteral("短信网关组件 %1 缺少函数 %2").arg(file, QLatin1String(name)));
}

// Holds the UTF-8 form of an argument for the length of a call.
struct Utf8
{
    explicit Utf8(const QString &text) : bytes(text.toUtf8()) {}
    operator const char *() const { return bytes.constData(); }
    QByteArray bytes;
};

} // namespace

Tnelvohttp::Tnelvohttp(const QString &libraryFile) : m_libraryFile(libraryFile) {}

Tnelvohttp::~Tnelvohttp()
{
    if (m_object)
        m_api->release(m_object);
    delete m_api;
    if (m_library)
        dlclose(m_library);
}

QString Tnelvohttp::DefaultLibraryFile()
{
    return nelvo::resolvePath(ProgramFolder() + QStringLiteral("libnelvogate.so"));
}

const Tnelvohttp::Api &Tnelvohttp::api()
{
    std::lock_guard<std::mutex> guard(m_setUp);
    if (m_api)
        return *m_api;
    if (!m_library) {
        m_library = dlopen(QFile::encodeName(m_libraryFile).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!m_library)
            throw nelvo::Error(QStringLiteral("无法加载短信网关组件 %1：%2")
                                   .arg(m_libraryFile, QString::fromLocal8Bit(dlerror())));
    }
    auto api = std::make_unique<Api>();
    resolve(m_library, "nelvogate_create_object", api->create_object, m_libraryFile);
    resolve(m_library, "nelvohttp_release", api->release, m_libraryFile);
    resolve(m_library, "nelvogate_free", api->free, m_libraryFile);
    resolve(m_library, "nelvohttp_getversion", api->getversion, m_libraryFile);
    resolve(m_library, "nelvohttp_setProxy", api->setProxy, m_libraryFile);
    resolve(m_library, "nelvohttp_sendSMS", api->sendSMS, m_libraryFile);
    resolve(m_library, "nelvohttp_sendMMS", api->sendMMS, m_libraryFile);
    resolve(m_library, "nelvohttp_recvSMS", api->recvSMS, m_libraryFile);
    resolve(m_library, "nelvohttp_recvReport", api->recvReport, m_libraryFile);
    resolve(m_library, "nelvohttp_balanceCheck", api->balanceCheck, m_libraryFile);
    resolve(m_library, "nelvohttp_chargeAdd", api->chargeAdd, m_libraryFile);
    resolve(m_library, "nelvohttp_changePassword", api->changePassword, m_libraryFile);
    resolve(m_library, "nelvohttp_getchannellength", api->getchannellength, m_libraryFile);
    resolve(m_library, "nelvohttp_OnStartPage", api->OnStartPage, m_libraryFile);
    resolve(m_library, "nelvohttp_OnEndPage", api->OnEndPage, m_libraryFile);
    m_api = api.release();
    return *m_api;
}

nelvohttp *Tnelvohttp::object()
{
    const Api &fns = api();
    std::lock_guard<std::mutex> guard(m_setUp);
    if (!m_object) {
        m_object = fns.create_object(ClassId);
        if (!m_object)
            throw nelvo::Error(QStringLiteral("无法创建短信网关对象 %1").arg(QLatin1String(ClassId)));
    }
    return m_object;
}

namespace {
QString take(char *text, void (*release)(char *))
{
    const QString result = QString::fromUtf8(text);
    if (text)
        release(text);
    return result;
}
} // namespace

int Tnelvohttp::OnStartPage(void *piUnk)
{
    nelvohttp *o = object();
    return m_api->OnStartPage(o, piUnk);
}

int Tnelvohttp::OnEndPage()
{
    nelvohttp *o = object();
    return m_api->OnEndPage(o);
}

QString Tnelvohttp::getversion()
{
    nelvohttp *o = object();
    return take(m_api->getversion(o), m_api->free);
}

QString Tnelvohttp::setProxy(const QString &strIP, int nPort, const QString &strUser,
                             const QString &strPassword)
{
    nelvohttp *o = object();
    return take(m_api->setProxy(o, Utf8(strIP), nPort, Utf8(strUser), Utf8(strPassword)), m_api->free);
}

QString Tnelvohttp::sendSMS(const QString &Regcode, const QString &Password, const QString &Phone,
                            const QString &Content, const QString &Extnum, const QString &Level,
                            const QString &Schtime, const QString &Reportflag, const QString &wapUrl,
                            const QString &smstype)
{
    nelvohttp *o = object();
    return take(m_api->sendSMS(o, Utf8(Regcode), Utf8(Password), Utf8(Phone), Utf8(Content), Utf8(Extnum),
                               Utf8(Level), Utf8(Schtime), Utf8(Reportflag), Utf8(wapUrl), Utf8(smstype)),
                m_api->free);
}

QString Tnelvohttp::sendMMS(const QString &Regcode, const QString &Password, const QString &Phone,
                            const QString &Content, const QString &Extnum, const QString &Level,
                            const QString &Schtime, const QString &Reportflag, const QString &wapUrl,
                            const QString &smstype, const QString &mmsid)
{
    nelvohttp *o = object();
    return take(m_api->sendMMS(o, Utf8(Regcode), Utf8(Password), Utf8(Phone), Utf8(Content), Utf8(Extnum),
                               Utf8(Level), Utf8(Schtime), Utf8(Reportflag), Utf8(wapUrl), Utf8(smstype),
                               Utf8(mmsid)),
                m_api->free);
}

QString Tnelvohttp::recvSMS(const QString &Regcode, const QString &Password)
{
    nelvohttp *o = object();
    return take(m_api->recvSMS(o, Utf8(Regcode), Utf8(Password)), m_api->free);
}

QString Tnelvohttp::recvReport(const QString &Regcode, const QString &Password)
{
    nelvohttp *o = object();
    return take(m_api->recvReport(o, Utf8(Regcode), Utf8(Password)), m_api->free);
}

QString Tnelvohttp::balanceCheck(const QString &Regcode, const QString &Password)
{
    nelvohttp *o = object();
    return take(m_api->balanceCheck(o, Utf8(Regcode), Utf8(Password)), m_api->free);
}

QString Tnelvohttp::chargeAdd(const QString &Regcode, const QString &Password, const QString &cardCode,
                              const QString &cardPwd)
{
    nelvohttp *o = object();
    return take(m_api->chargeAdd(o, Utf8(Regcode), Utf8(Password), Utf8(cardCode), Utf8(cardPwd)),
                m_api->free);
}

QString Tnelvohttp::changePassword(const QString &Regcode, const QString &oldPassword,
                                   const QString &newPassword)
{
    nelvohttp *o = object();
    return take(m_api->changePassword(o, Utf8(Regcode), Utf8(oldPassword), Utf8(newPassword)), m_api->free);
}

QString Tnelvohttp::getchannellength(const QString &Regcode, const QString &Password)
{
    nelvohttp *o = object();
    return take(m_api->getchannellength(o, Utf8(Regcode), Utf8(Password)), m_api->free);
}
