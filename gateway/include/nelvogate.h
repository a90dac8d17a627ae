/* nelvogate: the SMS gateway library, C interface.
 * Strings are UTF-8 in and out; NULL counts as an empty string. Every string the library
 * returns belongs to the caller and is released with nelvogate_free. */
#ifndef NELVOGATE_H
#define NELVOGATE_H

/* clang-format off */

#ifdef __cplusplus
extern "C" {
#endif

typedef struct nelvohttp nelvohttp;
nelvohttp *nelvogate_create_object(const char *id);   /* "Nelvogate.nelvohttp", "Nelvogate.nelvohttp.1" or
                                                         "{63D04EB1-B93A-45DD-8033-1EAEBBE5F3BD}"; NULL otherwise */
void nelvohttp_release(nelvohttp *);
void nelvogate_free(char *);                           /* frees every string the library returned */
char *nelvohttp_getversion(nelvohttp *);
char *nelvohttp_setProxy(nelvohttp *, const char *strIP, int nPort, const char *strUser, const char *strPassword);
char *nelvohttp_sendSMS(nelvohttp *, const char *Regcode, const char *Password, const char *Phone,
                        const char *Content, const char *Extnum, const char *Level, const char *Schtime,
                        const char *Reportflag, const char *wapUrl, const char *smstype);
char *nelvohttp_sendMMS(nelvohttp *, const char *Regcode, const char *Password, const char *Phone,
                        const char *Content, const char *Extnum, const char *Level, const char *Schtime,
                        const char *Reportflag, const char *wapUrl, const char *smstype, const char *mmsid);
char *nelvohttp_recvSMS(nelvohttp *, const char *Regcode, const char *Password);
char *nelvohttp_recvReport(nelvohttp *, const char *Regcode, const char *Password);
char *nelvohttp_balanceCheck(nelvohttp *, const char *Regcode, const char *Password);
char *nelvohttp_chargeAdd(nelvohttp *, const char *Regcode, const char *Password, const char *cardCode, const char *cardPwd);
char *nelvohttp_changePassword(nelvohttp *, const char *Regcode, const char *oldPassword, const char *newPassword);
char *nelvohttp_getchannellength(nelvohttp *, const char *Regcode, const char *Password);
int nelvohttp_OnStartPage(nelvohttp *, void *context);  /* non-zero status when context is NULL */
int nelvohttp_OnEndPage(nelvohttp *);

#ifdef __cplusplus
}
#endif
/* clang-format on */

#endif
