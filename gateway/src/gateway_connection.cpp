#include "gateway_connection.h"

#include "gateway_log.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace nelvogate {
namespace {

constexpr std::size_t kProxyAnswerLimit = 8192;

bool resolveIpv4(const std::string &host, int port, sockaddr_in &address)
{
    if (host.empty() || port < 0 || port > 65535)
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    std::memcpy(&address, found->ai_addr, sizeof address);
    freeaddrinfo(found);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return true;
}

int pollOnce(int fd, short events, int timeoutMs)
{
    pollfd entry{fd, events, 0};
    int rc;
    do {
        rc = ::poll(&entry, 1, timeoutMs);
    } while (rc < 0 && errno == EINTR);
    return rc;
}

// A 200 from any HTTP/1.x proxy opens the tunnel, whatever its reason phrase.
bool tunnelEstablished(const std::string &answer)
{
    return answer.size() >= 12 && answer.compare(0, 7, "HTTP/1.") == 0 && answer[7] >= '0' &&
           answer[7] <= '9' && answer.compare(8, 4, " 200") == 0 &&
           (answer.size() == 12 || answer[12] == ' ' || answer[12] == '\r' || answer[12] == '\n');
}

} // namespace

bool GatewayConnection::open(const std::string &host, int port)
{
    close();
    sockaddr_in address{};
    if (!resolveIpv4(host, port, address))
        return false;
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd_ < 0)
        return false;
    const int one = 1;
    if (::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0) {
        close();
        return false;
    }
    // A peer that stops reading must not hold a request for ever.
    timeval sendTimeout{waitMs_ / 1000, (waitMs_ % 1000) * 1000};
    ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);

    // Connect without blocking so that an unreachable host costs one bounded wait, not minutes.
    const int flags = ::fcntl(fd_, F_GETFL);
    ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
    int rc = ::connect(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address);
    if (rc != 0 && errno == EINPROGRESS) {
        int error = 0;
        socklen_t length = sizeof error;
        rc = pollOnce(fd_, POLLOUT, waitMs_) == 1 &&
                     ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0
                 ? 0
                 : -1;
    }
    ::fcntl(fd_, F_SETFL, flags);
    if (rc != 0) {
        close();
        return false;
    }
    return true;
}

bool GatewayConnection::connectDirect(const Endpoint &gateway)
{
    return open(gateway.host, gateway.port);
}

bool GatewayConnection::connectTunnel(const ProxySettings &proxy, const Endpoint &gateway)
{
    writeLog("*************proxy start*********************************************************");
    if (!open(proxy.host, proxy.port))
        return false;

    const std::string request = connectText(gateway, proxy.user, proxy.password);
    if (sendAll(request.data(), request.size()) != static_cast<long>(request.size())) {
        writeLog("Error when send");
        close();
        return false;
    }

    // Read only the proxy's own header, whatever follows belongs to the gateway; the whole answer
    // must come within one wait.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs_);
    std::string answer;
    auto complete = [&answer]() {
        return answer.size() >= 4 && answer.compare(answer.size() - 4, 4, "\r\n\r\n") == 0;
    };
    char byte;
    while (answer.size() < kProxyAnswerLimit && !complete()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                .count();
        const long got = recvWithin(&byte, 1, static_cast<int>(std::max<long long>(left, 0)));
        if (got < 0)
            writeLog("Error when select.");
        if (got != 1)
            break;
        answer.push_back(byte);
    }
    if (!complete() || !tunnelEstablished(answer)) {
        close();
        return false;
    }
    writeLog("==================================proxy sucess==============================");
    return true;
}

long GatewayConnection::sendAll(const char *bytes, std::size_t length)
{
    if (fd_ < 0)
        return -1;
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::send(fd_, bytes + done, length - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return static_cast<long>(n);
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long>(length);
}

bool GatewayConnection::waitReadable(int timeoutMs)
{
    return fd_ >= 0 && pollOnce(fd_, POLLIN, timeoutMs) == 1;
}

long GatewayConnection::recvSome(char *buffer, std::size_t capacity)
{
    return recvWithin(buffer, capacity, waitMs_);
}

long GatewayConnection::recvWithin(char *buffer, std::size_t capacity, int timeoutMs)
{
    if (!waitReadable(timeoutMs))
        return -1;
    ssize_t n;
    do {
        n = ::recv(fd_, buffer, capacity, 0);
    } while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}

long GatewayConnection::recvExact(char *buffer, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const long n = recvSome(buffer + done, count - done);
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done == 0 ? -1 : static_cast<long>(done);
}

void GatewayConnection::close()
{
    if (fd_ < 0)
        return;
    ::shutdown(fd_, SHUT_RDWR);
    ::close(fd_);
    fd_ = -1;
}

} // namespace nelvogate
