#include "support/loopback_tls.h"

// The Windows test server speaks plain HTTP only: no context is made, and
// every connection is a plain one.
bool LoopbackTlsAvailable() {
    return false;
}

std::shared_ptr<void> MakeTlsContext(const std::string&, const std::string&) {
    return nullptr;
}

LoopbackConnection::~LoopbackConnection() = default;

bool LoopbackConnection::Start(const std::shared_ptr<void>&, int) {
    return true;
}

bool LoopbackConnection::Readable(int ms) const {
    return WaitReadable(socket_, ms) > 0;
}

int64_t LoopbackConnection::Receive(char* into, size_t size) const {
    return ::Receive(socket_, into, size);
}

int64_t LoopbackConnection::Send(const char* data, size_t size) const {
    return ::Send(socket_, data, size);
}
