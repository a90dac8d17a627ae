#include "gateway_log.h"

#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nelvogate {
namespace {

// Shared by every process on the machine, whoever created it first.
constexpr char kLockPath[] = "/tmp/DravoLogWrite";

std::string folderOfThisLibrary()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&writeLog), &info) == 0 || info.dli_fname == nullptr)
        return ".";
    const std::string path = info.dli_fname;
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int openLockFile()
{
    int fd = ::open(kLockPath, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0) {
        // Other users' processes must be able to take the lock too, whatever our umask is.
        ::fchmod(fd, 0666);
        return fd;
    }
    // Created by another user without write access for us: a read-only descriptor locks as well.
    return ::open(kLockPath, O_RDONLY | O_CLOEXEC);
}

void writeFully(int fd, const std::string &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

std::string logStamp(const std::tm &local, int millisecond)
{
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "[%2d-%2d %2d:%2d:%2d_%3d]", local.tm_mon + 1, local.tm_mday,
                  local.tm_hour, local.tm_min, local.tm_sec, millisecond);
    return stamp;
}

const std::string &gatewayLogPath()
{
    static const std::string path = folderOfThisLibrary() + "/log.log";
    return path;
}

void writeLog(std::string_view message)
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const int millisecond = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&seconds, &local);

    std::string line = logStamp(local, millisecond);
    line.append(message);
    line.push_back('\n');

    // A description of its own per entry: flock then also excludes other threads of this process,
    // and a forked child never shares our lock.
    const int lockFd = openLockFile();
    const bool locked = lockFd >= 0 && ::flock(lockFd, LOCK_EX) == 0;
    const int fd = ::open(gatewayLogPath().c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        writeFully(fd, line);
        ::close(fd);
    }
    if (locked)
        ::flock(lockFd, LOCK_UN);
    if (lockFd >= 0)
        ::close(lockFd);
}

} // namespace nelvogate
