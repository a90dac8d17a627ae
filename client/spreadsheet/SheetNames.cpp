#include "SheetNames.h"

#include <QRegularExpression>

namespace nelvo {
namespace {

bool isTaken(const QString &name, const QStringList &taken)
{
    return taken.contains(name, Qt::CaseInsensitive);
}

} // namespace

QString acceptableSheetName(const QString &wanted, const QStringList &taken)
{
    QString name = wanted;
    static const QRegularExpression forbidden(QStringLiteral("[\\[\\]:*?/\\\\]"));
    name.replace(forbidden, QStringLiteral("_"));
    name = name.trimmed();
    if (name.startsWith(QLatin1Char('\'')))
        name[0] = QLatin1Char('_');
    if (name.isEmpty())
        name = QStringLiteral("sheet");
    name.truncate(31);
    if (!isTaken(name, taken))
        return name;
    for (int n = 2;; ++n) {
        const QString suffix = QStringLiteral("(%1)").arg(n);
        const QString candidate = name.left(31 - suffix.size()) + suffix;
        if (!isTaken(candidate, taken))
            return candidate;
    }
}

QString continuationSheetName(const QString &first, int part, const QStringList &taken)
{
    static const QRegularExpression trailingNumber(QStringLiteral("^(.*?)(\\d+)$"));
    const QRegularExpressionMatch m = trailingNumber.match(first);
    const QString stem = m.hasMatch() ? m.captured(1) : first;
    int number = (m.hasMatch() ? m.captured(2).toInt() : 1) + part - 1;
    QString name;
    do {
        name = acceptableSheetName(stem + QString::number(++number), {});
    } while (isTaken(name, taken));
    return name;
}

} // namespace nelvo
