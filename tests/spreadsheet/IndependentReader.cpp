#include "IndependentReader.h"

#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

QString independentPython()
{
    // Debian's interpreter first: its site packages hold xlrd and openpyxl.
    const QString system =
        QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    return system.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("python3")) : system;
}

QJsonObject readWithIndependentReader(const QString &path)
{
    QProcess process;
    process.start(independentPython(), {QStringLiteral(READ_BACK_SCRIPT), path});
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        qWarning().noquote() << process.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}
