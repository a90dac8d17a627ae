#include "NumberFormats.h"

namespace nelvo {
namespace {

CellKind dateKindOfBuiltIn(int id)
{
    // 14-17 and 27-36, 50-58 (the East Asian date formats) are dates; 18-21, 45-47 times; 22 both.
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || (id >= 34 && id <= 36) || (id >= 50 && id <= 58))
        return CellKind::Date;
    if ((id >= 18 && id <= 21) || id == 32 || id == 33 || (id >= 45 && id <= 47))
        return CellKind::Time;
    if (id == 22)
        return CellKind::DateTime;
    return CellKind::Number;
}

} // namespace

CellKind dateKindOfFormat(int formatId, const QString &formatCode)
{
    if (formatId < 164 && formatCode.isEmpty())
        return dateKindOfBuiltIn(formatId);
    bool date = false;
    bool time = false;
    bool month = false; // 'm' is a month next to days and years, a minute next to hours and seconds
    bool inQuotes = false;
    const auto result = [&] {
        if (!date && !time && month)
            return CellKind::Date;
        return date && time ? CellKind::DateTime
               : date       ? CellKind::Date
               : time       ? CellKind::Time
                            : CellKind::Number;
    };
    for (int i = 0; i < formatCode.size(); ++i) {
        const QChar c = formatCode.at(i);
        if (inQuotes) {
            inQuotes = c != QLatin1Char('"');
            continue;
        }
        switch (c.toLower().unicode()) {
        case '"':
            inQuotes = true;
            break;
        case '\\':
        case '_':
        case '*':
            ++i; // the next character is a literal or a fill
            break;
        case '[': {
            // [Red], [$-804] and the like are decoration; [h], [mm], [ss] are elapsed times.
            const int close = formatCode.indexOf(QLatin1Char(']'), i);
            const QString inner = formatCode.mid(i + 1, close < 0 ? -1 : close - i - 1).toLower();
            if (!inner.isEmpty() &&
                (inner.at(0) == QLatin1Char('h') || inner.at(0) == QLatin1Char('m') ||
                 inner.at(0) == QLatin1Char('s')) &&
                inner.count(inner.at(0)) == inner.size())
                time = true;
            i = close < 0 ? formatCode.size() : close;
            break;
        }
        case ';':
            return result();
        case 'y':
        case 'd':
        case 'e':
            date = true;
            break;
        case 'm':
            month = true;
            break;
        case 'h':
        case 's':
            time = true;
            break;
        case 'g':
            // "General" holds an 'e' that is not a year.
            if (formatCode.mid(i, 7).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
                i += 6;
            break;
        default:
            break;
        }
    }
    return result();
}

} // namespace nelvo
