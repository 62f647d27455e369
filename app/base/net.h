// A TCP connection through the platform seam: POSIX sockets here, Windows
// Sockets (started once with WSAStartup) on Windows. Non-blocking; the
// caller waits with WaitReady in slices and lets its interface run between
// them. Failures are errno values on every system. net_posix.cpp and
// net_win32.cpp implement it; the build compiles exactly one of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class TcpConnection {
public:
    TcpConnection() = default;
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // Waits for a connection in progress for at most limitMs: 1 ready, 0 no
    // answer in time, -1 the wait was given up (cancelled).
    using ConnectWait = std::function<int(int limitMs)>;
    // Connects to the first address of host that answers within timeoutMs in
    // all: 0 connected, -1 not reachable (or the name is unknown), -2
    // cancelled by wait.
    int Connect(const std::string& host, int port, int timeoutMs, const ConnectWait& wait);
    // Waits at most ms until the connection can be written (forWrite) or
    // read: 1 ready, 0 time up, -1 failed (error()).
    int WaitReady(bool forWrite, int ms);
    // Bytes sent; 0 when nothing can be sent now; -1 failed (error()).
    int64_t Send(const char* data, size_t size);
    // Bytes received; 0 when the other side closed; -1 nothing to read now;
    // -2 failed (error()).
    int64_t Receive(char* into, size_t size);
    void Close();
    int error() const { return error_; }

private:
    intptr_t socket_ = -1;
    int error_ = 0;
};
