#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

// Every accepted message, one JSON object per line, in the order they were accepted. Kept in memory
// for the control endpoint and, when a file is given, appended to it at once.
class Journal
{
public:
    explicit Journal(QString path = {}) : path_(std::move(path)) {}

    bool open(); // creates or empties the file
    void append(const QJsonObject &entry);
    const QList<QJsonObject> &entries() const { return entries_; }

private:
    QString path_;
    QList<QJsonObject> entries_;
};
