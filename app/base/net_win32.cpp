// TCP connections over Windows Sockets.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <mutex>

#include "app/base/net.h"
#include "app/base/util_win32.h"

namespace {

struct AddrInfoFree {
    void operator()(addrinfoW* a) const { FreeAddrInfoW(a); }
};

SOCKET Sock(intptr_t s) {
    return static_cast<SOCKET>(s);
}

// Windows Sockets are started once for the life of the program.
bool Started() {
    static bool ok = false;
    static std::once_flag once;
    std::call_once(once, [] {
        WSADATA data;
        ok = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return ok;
}

// The errno value of a Windows Sockets error.
int ErrnoOf(int wsa) {
    switch (wsa) {
        case WSAEWOULDBLOCK:
            return EWOULDBLOCK;
        case WSAEINPROGRESS:
            return EINPROGRESS;
        case WSAECONNRESET:
            return ECONNRESET;
        case WSAECONNABORTED:
            return ECONNABORTED;
        case WSAECONNREFUSED:
            return ECONNREFUSED;
        case WSAETIMEDOUT:
            return ETIMEDOUT;
        case WSAENETDOWN:
            return ENETDOWN;
        case WSAENETUNREACH:
            return ENETUNREACH;
        case WSAEHOSTUNREACH:
            return EHOSTUNREACH;
        case WSAENOTCONN:
            return ENOTCONN;
        case WSAENOBUFS:
            return ENOBUFS;
        case WSAEINTR:
            return EINTR;
        default:
            return EIO;
    }
}

}  // namespace

TcpConnection::~TcpConnection() {
    Close();
}

void TcpConnection::Close() {
    if (socket_ != -1) closesocket(Sock(socket_));
    socket_ = -1;
}

int TcpConnection::Connect(const std::string& host, int port, int timeoutMs,
                           const ConnectWait& wait) {
    Close();
    if (host.empty() || !Started()) return -1;
    addrinfoW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfoW* found = nullptr;
    if (GetAddrInfoW(Wide(host).c_str(), std::to_wstring(port).c_str(), &hints, &found) != 0)
        return -1;
    std::unique_ptr<addrinfoW, AddrInfoFree> list(found);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    for (addrinfoW* a = list.get(); a; a = a->ai_next) {
        const int64_t left =
            timeoutMs -
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (left <= 0) break;
        Close();
        // Not inherited by programs this one starts.
        const SOCKET s = WSASocketW(a->ai_family, a->ai_socktype, a->ai_protocol, nullptr, 0,
                                    WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
        if (s == INVALID_SOCKET) continue;
        socket_ = static_cast<intptr_t>(s);
        u_long nonBlocking = 1;
        if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) continue;
        if (::connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0) return 0;
        if (WSAGetLastError() != WSAEWOULDBLOCK) continue;
        const int w = wait(static_cast<int>(left));
        if (w == -1) {
            Close();
            return -2;
        }
        if (w != 1) continue;
        int err = 0;
        int len = sizeof(err);
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len) == 0 &&
            err == 0)
            return 0;
    }
    Close();
    return -1;
}

int TcpConnection::WaitReady(bool forWrite, int ms) {
    WSAPOLLFD p{};
    p.fd = Sock(socket_);
    p.events = forWrite ? POLLWRNORM : POLLRDNORM;
    const int rc = WSAPoll(&p, 1, ms);
    if (rc == SOCKET_ERROR) {
        error_ = ErrnoOf(WSAGetLastError());
        return -1;
    }
    // A refused or reset connection is "ready": the next call reports it.
    return rc > 0 ? 1 : 0;
}

int64_t TcpConnection::Send(const char* data, size_t size) {
    const int chunk = size > 0x10000000u ? 0x10000000 : static_cast<int>(size);
    const int n = ::send(Sock(socket_), data, chunk, 0);
    if (n != SOCKET_ERROR) return n;
    const int err = WSAGetLastError();
    if (err == WSAEWOULDBLOCK) return 0;
    error_ = ErrnoOf(err);
    return -1;
}

int64_t TcpConnection::Receive(char* into, size_t size) {
    const int chunk = size > 0x10000000u ? 0x10000000 : static_cast<int>(size);
    const int n = ::recv(Sock(socket_), into, chunk, 0);
    if (n != SOCKET_ERROR) return n;
    const int err = WSAGetLastError();
    if (err == WSAEWOULDBLOCK) return -1;
    error_ = ErrnoOf(err);
    return -2;
}
