#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

SingleInstanceLock::SingleInstanceLock(const QString &name)
{
    if (name.isEmpty())
        return;
    // The name may hold any characters (it is the product name); a digest makes it a safe file name.
    const QByteArray digest =
        QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    const QString path = QDir::tempPath() + QStringLiteral("/nelvo-instance-") + QString::fromLatin1(digest) +
                         QStringLiteral(".lock");
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0)
        return;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        m_alreadyRunning = true;
        ::close(m_fd);
        m_fd = -1;
    }
}

SingleInstanceLock::~SingleInstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
