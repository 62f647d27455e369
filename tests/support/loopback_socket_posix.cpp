#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support/loopback_socket.h"

SocketHandle BindLoopback() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return kNoSocket;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0) {
        ::close(fd);
        return kNoSocket;
    }
    return fd;
}

int PortOf(SocketHandle s) {
    sockaddr_in a{};
    socklen_t len = sizeof(a);
    if (::getsockname(static_cast<int>(s), reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
    return ntohs(a.sin_port);
}

bool Listen(SocketHandle s, int backlog) {
    return ::listen(static_cast<int>(s), backlog) == 0;
}

int WaitReadable(SocketHandle s, int ms) {
    pollfd p{static_cast<int>(s), POLLIN, 0};
    const int n = ::poll(&p, 1, ms);
    return n < 0 ? -1 : n > 0 ? 1 : 0;
}

SocketHandle Accept(SocketHandle s) {
    const int c = ::accept4(static_cast<int>(s), nullptr, nullptr, SOCK_CLOEXEC);
    return c < 0 ? kNoSocket : c;
}

int64_t Receive(SocketHandle s, char* into, size_t size) {
    return ::recv(static_cast<int>(s), into, size, 0);
}

int64_t Send(SocketHandle s, const char* data, size_t size) {
    return ::send(static_cast<int>(s), data, size, MSG_NOSIGNAL);
}

void CloseSocket(SocketHandle s) {
    if (s != kNoSocket) ::close(static_cast<int>(s));
}
