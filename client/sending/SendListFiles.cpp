#include "SendListFiles.h"

#include "Clock.h"
#include "NelvoError.h"
#include "NumberStore.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QFile>

QString SendListFolder()
{
    const QString folder = QDir::cleanPath(
        QDir(nelvo::resolvePath(ProgramFolder() + QStringLiteral("../sendlist/"))).absolutePath());
    if (!QDir().mkpath(folder))
        throw nelvo::Error(QStringLiteral("无法创建号码文件夹：") + QDir::toNativeSeparators(folder));
    return folder + QLatin1Char('/');
}

QString WriteSendListFile(const NumberStore &numbers, const QString &kind)
{
    const QString folder = SendListFolder();
    const QString stem = nelvo::now().toString(QStringLiteral("yyyyMMddhhmmss")) + kind;
    for (int attempt = 1;; ++attempt) {
        const QString path = folder + stem +
                             (attempt == 1 ? QString() : QLatin1Char('_') + QString::number(attempt)) +
                             QStringLiteral(".txt");
        // Creating exclusively is what keeps two writers from picking the same free name.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFile::exists(path) && attempt < 10000)
                continue;
            throw nelvo::Error(QStringLiteral("无法写入号码文件") + QDir::toNativeSeparators(path) +
                               QStringLiteral("：") + file.errorString());
        }
        if (!numbers.writeLocalLines(file) || !file.flush()) {
            const QString reason = file.errorString();
            file.remove();
            throw nelvo::Error(QStringLiteral("无法写入号码文件") + QDir::toNativeSeparators(path) +
                               QStringLiteral("：") + reason);
        }
        return path;
    }
}
