// The C interface: UTF-8 strings in and out over the C++ object, which carries the conversion
// to the code page.
#include "codepage.h"
#include "nelvohttp.h"

#include <cstdlib>
#include <cstring>
#include <new>

#pragma GCC visibility push(default)
#include "nelvogate.h"
#pragma GCC visibility pop

namespace {

using nelvogate::utf16ToUtf8;

std::u16string in(const char *utf8)
{
    return utf8 ? nelvogate::utf8ToUtf16(utf8) : std::u16string();
}

// malloc'ed so that callers in any language can hand it back to nelvogate_free.
char *out(const std::u16string &text)
{
    const std::string utf8 = utf16ToUtf8(text);
    char *copy = static_cast<char *>(std::malloc(utf8.size() + 1));
    if (copy)
        std::memcpy(copy, utf8.c_str(), utf8.size() + 1);
    return copy;
}

bool idNamesTheClass(const char *id)
{
    static const char *const ids[] = {"Nelvogate.nelvohttp", "Nelvogate.nelvohttp.1",
                                      "{63D04EB1-B93A-45DD-8033-1EAEBBE5F3BD}"};
    for (const char *known : ids)
        if (strcasecmp(id, known) == 0)
            return true;
    return false;
}

} // namespace

nelvohttp *nelvogate_create_object(const char *id)
{
    if (id == nullptr || !idNamesTheClass(id))
        return nullptr;
    return new (std::nothrow) nelvohttp();
}

void nelvohttp_release(nelvohttp *object)
{
    delete object;
}

void nelvogate_free(char *text)
{
    std::free(text);
}

char *nelvohttp_getversion(nelvohttp *object)
{
    return object ? out(object->getversion()) : nullptr;
}

char *nelvohttp_setProxy(nelvohttp *object, const char *strIP, int nPort, const char *strUser,
                         const char *strPassword)
{
    return object ? out(object->setProxy(in(strIP), nPort, in(strUser), in(strPassword))) : nullptr;
}

char *nelvohttp_sendSMS(nelvohttp *object, const char *Regcode, const char *Password, const char *Phone,
                        const char *Content, const char *Extnum, const char *Level, const char *Schtime,
                        const char *Reportflag, const char *wapUrl, const char *smstype)
{
    if (!object)
        return nullptr;
    return out(object->sendSMS(in(Regcode), in(Password), in(Phone), in(Content), in(Extnum), in(Level),
                               in(Schtime), in(Reportflag), in(wapUrl), in(smstype)));
}

char *nelvohttp_sendMMS(nelvohttp *object, const char *Regcode, const char *Password, const char *Phone,
                        const char *Content, const char *Extnum, const char *Level, const char *Schtime,
                        const char *Reportflag, const char *wapUrl, const char *smstype, const char *mmsid)
{
    if (!object)
        return nullptr;
    return out(object->sendMMS(in(Regcode), in(Password), in(Phone), in(Content), in(Extnum), in(Level),
                               in(Schtime), in(Reportflag), in(wapUrl), in(smstype), in(mmsid)));
}

char *nelvohttp_recvSMS(nelvohttp *object, const char *Regcode, const char *Password)
{
    return object ? out(object->recvSMS(in(Regcode), in(Password))) : nullptr;
}

char *nelvohttp_recvReport(nelvohttp *object, const char *Regcode, const char *Password)
{
    return object ? out(object->recvReport(in(Regcode), in(Password))) : nullptr;
}

char *nelvohttp_balanceCheck(nelvohttp *object, const char *Regcode, const char *Password)
{
    return object ? out(object->balanceCheck(in(Regcode), in(Password))) : nullptr;
}

char *nelvohttp_chargeAdd(nelvohttp *object, const char *Regcode, const char *Password, const char *cardCode,
                          const char *cardPwd)
{
    return object ? out(object->chargeAdd(in(Regcode), in(Password), in(cardCode), in(cardPwd))) : nullptr;
}

char *nelvohttp_changePassword(nelvohttp *object, const char *Regcode, const char *oldPassword,
                               const char *newPassword)
{
    return object ? out(object->changePassword(in(Regcode), in(oldPassword), in(newPassword))) : nullptr;
}

char *nelvohttp_getchannellength(nelvohttp *object, const char *Regcode, const char *Password)
{
    return object ? out(object->getchannellength(in(Regcode), in(Password))) : nullptr;
}

int nelvohttp_OnStartPage(nelvohttp *object, void *context)
{
    return object ? object->OnStartPage(context) : nelvohttp::InvalidPointer;
}

int nelvohttp_OnEndPage(nelvohttp *object)
{
    return object ? object->OnEndPage() : nelvohttp::InvalidPointer;
}
