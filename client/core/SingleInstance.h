#pragma once

#include <QString>

// A lock held for the life of the process so that a program runs once per user. The operating system
// drops it when the process ends, also after a crash, so a dead instance never blocks the next start.
class SingleInstanceLock
{
public:
    explicit SingleInstanceLock(const QString &name);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock &) = delete;
    SingleInstanceLock &operator=(const SingleInstanceLock &) = delete;

    // True when another running process holds a lock of the same name. An empty name never conflicts.
    bool alreadyRunning() const { return m_alreadyRunning; }

private:
    int m_fd = -1;
    bool m_alreadyRunning = false;
};
