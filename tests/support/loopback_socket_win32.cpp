#include <winsock2.h>
// After winsock2.h:
#include <ws2tcpip.h>

#include "support/loopback_socket.h"

namespace {

// Windows Sockets, started once for the test program.
bool Started() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

SOCKET Sock(SocketHandle s) {
    return static_cast<SOCKET>(s);
}

}  // namespace

SocketHandle BindLoopback() {
    if (!Started()) return kNoSocket;
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return kNoSocket;
    // Nobody else may take the port (Windows lets SO_REUSEADDR steal it).
    BOOL one = TRUE;
    ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&one),
                 sizeof(one));
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0) {
        ::closesocket(s);
        return kNoSocket;
    }
    return static_cast<SocketHandle>(s);
}

int PortOf(SocketHandle s) {
    sockaddr_in a{};
    int len = sizeof(a);
    if (::getsockname(Sock(s), reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
    return ntohs(a.sin_port);
}

bool Listen(SocketHandle s, int backlog) {
    return ::listen(Sock(s), backlog) == 0;
}

int WaitReadable(SocketHandle s, int ms) {
    WSAPOLLFD p{Sock(s), POLLRDNORM, 0};
    const int n = ::WSAPoll(&p, 1, ms);
    return n < 0 ? -1 : n > 0 ? 1 : 0;
}

SocketHandle Accept(SocketHandle s) {
    SOCKET c = ::accept(Sock(s), nullptr, nullptr);
    return c == INVALID_SOCKET ? kNoSocket : static_cast<SocketHandle>(c);
}

int64_t Receive(SocketHandle s, char* into, size_t size) {
    return ::recv(Sock(s), into, static_cast<int>(size), 0);
}

int64_t Send(SocketHandle s, const char* data, size_t size) {
    return ::send(Sock(s), data, static_cast<int>(size), 0);
}

void CloseSocket(SocketHandle s) {
    if (s != kNoSocket) ::closesocket(Sock(s));
}
