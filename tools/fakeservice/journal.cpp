#include "journal.h"

#include <QFile>
#include <QJsonDocument>

bool Journal::open()
{
    if (path_.isEmpty())
        return true;
    QFile file(path_);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void Journal::append(const QJsonObject &entry)
{
    entries_.append(entry);
    if (path_.isEmpty())
        return;
    QFile file(path_);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n');
}
