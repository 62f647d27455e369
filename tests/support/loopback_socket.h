// Test support: the few socket calls of the loopback test server, the same on
// POSIX systems and on Windows. loopback_socket_posix.cpp and
// loopback_socket_win32.cpp implement them.
#pragma once

#include <cstddef>
#include <cstdint>

using SocketHandle = intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

// A TCP socket bound to a free port of 127.0.0.1; kNoSocket when none.
SocketHandle BindLoopback();
int PortOf(SocketHandle s);
bool Listen(SocketHandle s, int backlog);
// 1 when the socket can be read (or accepted from), 0 when ms passed, -1 failed.
int WaitReadable(SocketHandle s, int ms);
SocketHandle Accept(SocketHandle s);
// Bytes received or sent; 0 for a closed connection (receive), -1 failed.
int64_t Receive(SocketHandle s, char* into, size_t size);
int64_t Send(SocketHandle s, const char* data, size_t size);
void CloseSocket(SocketHandle s);
