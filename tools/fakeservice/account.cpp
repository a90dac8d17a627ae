#include "account.h"

#include <QCryptographicHash>

bool Account::passwordDigestMatches(const QByteArray &regcodeGiven, const QByteArray &digest) const
{
    return regcodeGiven == regcode &&
           digest == QCryptographicHash::hash(password, QCryptographicHash::Md5).toHex();
}

QByteArray Account::balanceText() const
{
    const qint64 whole = balanceCents / 100;
    const qint64 cents = qAbs(balanceCents % 100);
    return QByteArray::number(whole) + '.' + QByteArray::number(cents).rightJustified(2, '0');
}
