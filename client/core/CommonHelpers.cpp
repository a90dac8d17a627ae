#include "CommonHelpers.h"

bool IsMobileNumber(const QString &text)
{
    const QString number = text.trimmed();
    bool ok = false;
    number.toLongLong(&ok);
    // toLongLong accepts a sign; a number never has one.
    if (!ok || number.startsWith(QLatin1Char('+')) || number.startsWith(QLatin1Char('-')))
        return false;
    const QStringView head = QStringView(number).left(2);
    if (number.size() == 11 &&
        (head == QLatin1String("13") || head == QLatin1String("15") || head == QLatin1String("18")))
        return true;
    return number.startsWith(QLatin1Char('0')) && (number.size() == 11 || number.size() == 12);
}

int CarrierClass(const QString &number)
{
    if (number.startsWith(QLatin1Char('0')))
        return 3;
    bool ok = false;
    const int prefix = QStringView(number).left(3).toInt(&ok);
    if (!ok || number.size() < 3)
        return 1;
    if (prefix >= 131 && prefix <= 133)
        return 0;
    if (prefix == 189)
        return 2;
    return 1;
}

void SplitHead(QChar separator, QString &rest, QString &head)
{
    const qsizetype at = rest.indexOf(separator);
    if (at < 0) {
        head = rest;
        rest.clear();
        return;
    }
    head = rest.left(at);
    rest = rest.mid(at + 1);
}

QString TrimBlanksAndControls(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

int IndexOfText(const QStringList &list, const QString &text)
{
    return static_cast<int>(list.indexOf(text));
}

int TakeNextId(int &counter)
{
    return counter++;
}
