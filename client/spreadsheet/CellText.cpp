#include "CellText.h"

#include <cmath>
#include <cstdio>

namespace nelvo {
namespace {

const qint64 julianOf18991230 = QDate(1899, 12, 30).toJulianDay();
const qint64 julianOf19040101 = QDate(1904, 1, 1).toJulianDay();

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

} // namespace

QString numberText(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    if (value == 0)
        return QStringLiteral("0");
    char buffer[64];
    const double magnitude = std::fabs(value);
    if (magnitude < 1e15 && magnitude >= 1e-9) {
        // Fixed notation with 15 significant digits, then trailing zeros dropped.
        const int integerDigits =
            magnitude >= 1 ? static_cast<int>(std::floor(std::log10(magnitude))) + 1 : 0;
        int decimals = 15 - integerDigits;
        if (magnitude < 1)
            decimals = 15 - static_cast<int>(std::floor(std::log10(magnitude))) - 1;
        decimals = std::max(0, std::min(decimals, 30));
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
        QString text = QString::fromLatin1(buffer);
        if (text.contains(QLatin1Char('.'))) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
        }
        if (text == QLatin1String("-0"))
            return QStringLiteral("0");
        return text;
    }
    std::snprintf(buffer, sizeof buffer, "%.14E", value);
    QString text = QString::fromLatin1(buffer);
    // 1.23450000000000E+20 -> 1.2345E+20
    const int e = text.indexOf(QLatin1Char('E'));
    QString mantissa = text.left(e);
    QString exponent = text.mid(e);
    while (mantissa.endsWith(QLatin1Char('0')))
        mantissa.chop(1);
    if (mantissa.endsWith(QLatin1Char('.')))
        mantissa.chop(1);
    return mantissa + exponent;
}

QString serialDateText(double serial, CellKind kind, bool date1904)
{
    if (!(serial >= 0) || serial > 2958466.0) // beyond 9999-12-31 the spreadsheet shows ####
        return numberText(serial);
    qint64 totalSeconds = std::llround(serial * 86400.0);
    qint64 days = totalSeconds / 86400;
    const qint64 seconds = totalSeconds % 86400;
    QDate date;
    if (date1904)
        date = QDate::fromJulianDay(julianOf19040101 + days);
    else if (days >= 61 || days == 0)
        date = QDate::fromJulianDay(julianOf18991230 + days);
    else if (days == 60)
        return kind == CellKind::Time ? QTime(0, 0).addSecs(int(seconds)).toString(QStringLiteral("hh:mm:ss"))
                                      : QStringLiteral("1900-02-29");
    else
        date = QDate::fromJulianDay(julianOf18991230 + days + 1);
    const QTime time = QTime(0, 0).addSecs(static_cast<int>(seconds));
    switch (kind) {
    case CellKind::Date:
        return date.toString(QStringLiteral("yyyy-MM-dd"));
    case CellKind::Time:
        return time.toString(QStringLiteral("hh:mm:ss"));
    default:
        return date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') +
               time.toString(QStringLiteral("hh:mm:ss"));
    }
}

double serialFromDate(const QDate &date)
{
    qint64 days = date.toJulianDay() - julianOf18991230;
    if (days < 61)
        days -= 1; // before the phantom 1900-02-29
    return static_cast<double>(days);
}

double serialFromTime(const QTime &time)
{
    return time.msecsSinceStartOfDay() / 86400000.0;
}

double serialFromDateTime(const QDateTime &dateTime)
{
    return serialFromDate(dateTime.date()) + serialFromTime(dateTime.time());
}

int displayWidth(const QString &text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4())
        width += isWide(c) ? 2 : 1;
    return width;
}

int displayWidth(const char *utf8, std::size_t length)
{
    int width = 0;
    std::size_t i = 0;
    while (i < length) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            ++width;
            ++i;
            continue;
        }
        const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
        char32_t c = b & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        width += isWide(c) ? 2 : 1;
        i += extra + 1;
    }
    return width;
}

} // namespace nelvo
