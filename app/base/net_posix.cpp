// TCP connections over POSIX sockets.
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>

#include "app/base/net.h"

namespace {

struct AddrInfoFree {
    void operator()(addrinfo* a) const { freeaddrinfo(a); }
};

int Sock(intptr_t s) {
    return static_cast<int>(s);
}

}  // namespace

TcpConnection::~TcpConnection() {
    Close();
}

void TcpConnection::Close() {
    if (socket_ >= 0) ::close(Sock(socket_));
    socket_ = -1;
}

int TcpConnection::Connect(const std::string& host, int port, int timeoutMs,
                           const ConnectWait& wait) {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (host.empty() || getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return -1;
    std::unique_ptr<addrinfo, AddrInfoFree> list(found);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    for (addrinfo* a = list.get(); a; a = a->ai_next) {
        const int64_t left =
            timeoutMs -
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (left <= 0) break;
        Close();
        const int s =
            ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (s < 0) continue;
        socket_ = s;
        if (::connect(s, a->ai_addr, a->ai_addrlen) == 0) return 0;
        if (errno != EINPROGRESS) continue;
        const int w = wait(static_cast<int>(left));
        if (w == -1) {
            Close();
            return -2;
        }
        if (w != 1) continue;
        int err = 0;
        socklen_t len = sizeof(err);
        if (::getsockopt(s, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0) return 0;
    }
    Close();
    return -1;
}

int TcpConnection::WaitReady(bool forWrite, int ms) {
    pollfd p{Sock(socket_), static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    const int rc = ::poll(&p, 1, ms);
    if (rc < 0) {
        if (errno == EINTR) return 0;
        error_ = errno;
        return -1;
    }
    return rc > 0 ? 1 : 0;
}

int64_t TcpConnection::Send(const char* data, size_t size) {
    for (;;) {
        const ssize_t n = ::send(Sock(socket_), data, size, MSG_NOSIGNAL);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        error_ = errno;
        return -1;
    }
}

int64_t TcpConnection::Receive(char* into, size_t size) {
    for (;;) {
        const ssize_t n = ::recv(Sock(socket_), into, size, 0);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return -1;
        error_ = errno;
        return -2;
    }
}
