// Test support: TLS for the loopback test server. On POSIX systems the
// server speaks it itself through OpenSSL (loopback_tls_posix.cpp), on the
// port of its plain HTTP. Wine's schannel cannot be a TLS server, so on
// Windows (loopback_tls_win32.cpp) a TLS front of the build machine
// (tls_front.py) listens on a port of its own and passes each connection
// on to the plain server.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "support/loopback_socket.h"

// TLS for the test server listening in plain HTTP on plainPort: the context
// its connections are started with (held for as long as TLS is wanted) and
// the port of its https addresses; port 0 when there is none.
struct LoopbackTls {
    std::shared_ptr<void> context;
    int port = 0;
};
LoopbackTls StartLoopbackTls(const std::string& certFile, const std::string& keyFile,
                             int plainPort);

// While it lives, the certificate in certFile is trusted where this system's
// fetch looks: nothing to do on POSIX systems (the fetch is given the file),
// the root store of the Wine prefix on Windows. trusted() is false when it
// could not be added.
class TrustedCertificate {
public:
    explicit TrustedCertificate(const std::string& certFile);
    ~TrustedCertificate();
    TrustedCertificate(const TrustedCertificate&) = delete;
    TrustedCertificate& operator=(const TrustedCertificate&) = delete;
    bool trusted() const { return trusted_; }

private:
    bool trusted_ = false;
    std::string der_;  // the certificate added to the store (Windows)
};

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
