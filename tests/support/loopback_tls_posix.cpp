#include <openssl/ssl.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <chrono>
#include <csignal>

#include "support/loopback_tls.h"

// The server itself answers TLS handshakes on its own port.
LoopbackTls StartLoopbackTls(const std::string& certFile, const std::string& keyFile,
                             int plainPort) {
    std::shared_ptr<void> ctx(SSL_CTX_new(TLS_server_method()),
                              [](void* c) { SSL_CTX_free(static_cast<SSL_CTX*>(c)); });
    auto* c = static_cast<SSL_CTX*>(ctx.get());
    if (!c || SSL_CTX_use_certificate_chain_file(c, certFile.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(c, keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
        return {};
    // A client that hangs up mid-answer must not end the test process.
    std::signal(SIGPIPE, SIG_IGN);
    return {ctx, plainPort};
}

// libcurl is given the certificate's file.
TrustedCertificate::TrustedCertificate(const std::string&) : trusted_(true) {}

TrustedCertificate::~TrustedCertificate() = default;

LoopbackConnection::~LoopbackConnection() {
    if (!tls_) return;
    SSL_shutdown(static_cast<SSL*>(tls_));
    SSL_free(static_cast<SSL*>(tls_));
}

bool LoopbackConnection::Start(const std::shared_ptr<void>& context, int waitMs) {
    if (!context) return true;
    const auto start = std::chrono::steady_clock::now();
    while (WaitReadable(socket_, 20) <= 0) {
        if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(waitMs))
            return false;
    }
    // A TLS handshake opens with a handshake record (0x16).
    unsigned char first = 0;
    if (::recv(static_cast<int>(socket_), &first, 1, MSG_PEEK) != 1) return false;
    if (first != 0x16) return true;
    timeval limit{waitMs / 1000, 0};
    ::setsockopt(static_cast<int>(socket_), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
    SSL* ssl = SSL_new(static_cast<SSL_CTX*>(context.get()));
    tls_ = ssl;
    return ssl && SSL_set_fd(ssl, static_cast<int>(socket_)) == 1 && SSL_accept(ssl) == 1;
}

bool LoopbackConnection::Readable(int ms) const {
    if (tls_ && SSL_pending(static_cast<SSL*>(tls_)) > 0) return true;
    return WaitReadable(socket_, ms) > 0;
}

int64_t LoopbackConnection::Receive(char* into, size_t size) const {
    if (tls_) return SSL_read(static_cast<SSL*>(tls_), into, static_cast<int>(size));
    return ::Receive(socket_, into, size);
}

int64_t LoopbackConnection::Send(const char* data, size_t size) const {
    if (tls_) return SSL_write(static_cast<SSL*>(tls_), data, static_cast<int>(size));
    return ::Send(socket_, data, size);
}
