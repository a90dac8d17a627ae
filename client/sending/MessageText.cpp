#include "MessageText.h"

QString WithCrLf(const QString &text)
{
    if (!text.contains(QLatin1Char('\n')))
        return text;
    QString out;
    out.reserve(text.size() + text.count(QLatin1Char('\n')));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n') && (i == 0 || text.at(i - 1) != QLatin1Char('\r')))
            out += QLatin1Char('\r');
        out += c;
    }
    return out;
}

int MessageLength(const QString &text)
{
    qsizetype length = text.size();
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text.at(i) == QLatin1Char('\n') && (i == 0 || text.at(i - 1) != QLatin1Char('\r')))
            ++length;
    return static_cast<int>(length);
}
