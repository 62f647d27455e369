// Test support: TLS for the loopback test server. OpenSSL on POSIX systems
// (loopback_tls_posix.cpp); the Windows test server has no TLS yet
// (loopback_tls_win32.cpp), so there MakeTlsContext gives none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "support/loopback_socket.h"

// False where the test server has no TLS (Windows, for now).
bool LoopbackTlsAvailable();
// A server context for the certificate and key files; null when there is none.
std::shared_ptr<void> MakeTlsContext(const std::string& certFile, const std::string& keyFile);

// One accepted connection, answered in TLS when it opens with a handshake,
// else in plain HTTP.
class LoopbackConnection {
public:
    explicit LoopbackConnection(SocketHandle s) : socket_(s) {}
    ~LoopbackConnection();
    LoopbackConnection(const LoopbackConnection&) = delete;
    LoopbackConnection& operator=(const LoopbackConnection&) = delete;

    // With a context: waits up to waitMs for the first byte and, for a TLS
    // handshake, completes it. False when the connection is to be dropped.
    bool Start(const std::shared_ptr<void>& context, int waitMs);
    bool Readable(int ms) const;
    int64_t Receive(char* into, size_t size) const;
    int64_t Send(const char* data, size_t size) const;

private:
    SocketHandle socket_;
    void* tls_ = nullptr;
};
