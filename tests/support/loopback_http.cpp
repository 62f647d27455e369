#include "support/loopback_http.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

int BindLoopback() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int PortOf(int fd) {
    sockaddr_in a{};
    socklen_t len = sizeof(a);
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
    return ntohs(a.sin_port);
}

// One accepted connection, plain or TLS.
struct Connection {
    int fd = -1;
    SSL* ssl = nullptr;

    ~Connection() {
        if (!ssl) return;
        SSL_shutdown(ssl);
        SSL_free(ssl);
    }
    bool Readable(int ms) const {
        if (ssl && SSL_pending(ssl) > 0) return true;
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, ms) > 0;
    }
    long Receive(char* buf, size_t size) const {
        return ssl ? SSL_read(ssl, buf, static_cast<int>(size)) : ::recv(fd, buf, size, 0);
    }
    long Send(const char* data, size_t size) const {
        return ssl ? SSL_write(ssl, data, static_cast<int>(size))
                   : ::send(fd, data, size, MSG_NOSIGNAL);
    }
};

}  // namespace

LoopbackCertificate MakeLoopbackCertificate(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    LoopbackCertificate c{folder + "/cert.pem", folder + "/key.pem"};
    const std::string make =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
        " -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout '" +
        c.key + "' -out '" + c.cert + "' >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) return {};
    return c;
}

HttpReply OkReply(const std::string& body, const std::string& extraHeaders) {
    HttpReply r;
    r.head = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
             std::to_string(body.size()) + "\r\n" + extraHeaders + "\r\n";
    r.body = body;
    return r;
}

HttpReply StatusReply(int status, const std::string& reason) {
    HttpReply r;
    std::string body = "<html><body>" + reason + "</body></html>\n";
    r.head = "HTTP/1.1 " + std::to_string(status) + " " + reason +
             "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
             "\r\n\r\n";
    r.body = body;
    return r;
}

HttpReply ChunkedReply(const std::vector<std::string>& chunks) {
    HttpReply r;
    r.head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (const auto& c : chunks) {
        char size[32];
        std::snprintf(size, sizeof(size), "%zx\r\n", c.size());
        r.body += size + c + "\r\n";
    }
    r.body += "0\r\n\r\n";
    return r;
}

LoopbackHttpServer::LoopbackHttpServer() {
    listenFd_ = BindLoopback();
    if (listenFd_ >= 0 && ::listen(listenFd_, 8) == 0) port_ = PortOf(listenFd_);
    thread_ = std::thread([this] { Loop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listenFd_ >= 0) ::close(listenFd_);
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

bool LoopbackHttpServer::UseTls(const LoopbackCertificate& certificate) {
    std::shared_ptr<void> ctx(SSL_CTX_new(TLS_server_method()),
                              [](void* c) { SSL_CTX_free(static_cast<SSL_CTX*>(c)); });
    auto* c = static_cast<SSL_CTX*>(ctx.get());
    if (!c || SSL_CTX_use_certificate_chain_file(c, certificate.cert.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(c, certificate.key.c_str(), SSL_FILETYPE_PEM) != 1)
        return false;
    // A client that hangs up mid-answer must not end the test process.
    std::signal(SIGPIPE, SIG_IGN);
    std::lock_guard<std::mutex> lock(mutex_);
    tls_ = std::move(ctx);
    return true;
}

std::string LoopbackHttpServer::HttpsUrl(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port_) + path;
}

void LoopbackHttpServer::Serve(const std::string& path, HttpReply reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_[path] = std::move(reply);
}

std::vector<std::string> LoopbackHttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void LoopbackHttpServer::Loop() {
    while (!stop_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (listenFd_ < 0 || ::poll(&p, 1, 20) <= 0) continue;
        int c = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) continue;
        Answer(c);
        ::close(c);
    }
}

void LoopbackHttpServer::Answer(int fd) {
    Connection conn{fd};
    auto start = std::chrono::steady_clock::now();
    auto waitedTooLong = [&] {
        return std::chrono::steady_clock::now() - start > std::chrono::seconds(5);
    };
    std::shared_ptr<void> tls;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tls = tls_;
    }
    if (tls) {
        // A TLS handshake opens with a handshake record (0x16).
        while (!stop_ && !conn.Readable(20))
            if (waitedTooLong()) return;
        unsigned char first = 0;
        if (::recv(fd, &first, 1, MSG_PEEK) != 1) return;
        if (first == 0x16) {
            timeval limit{5, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
            conn.ssl = SSL_new(static_cast<SSL_CTX*>(tls.get()));
            if (!conn.ssl || SSL_set_fd(conn.ssl, fd) != 1 || SSL_accept(conn.ssl) != 1) return;
        }
    }
    // The request: up to its empty line (or 5 s of silence).
    std::string request;
    while (!stop_ && request.find("\r\n\r\n") == std::string::npos) {
        if (waitedTooLong()) return;
        if (!conn.Readable(20)) continue;
        char buf[4096];
        long n = conn.Receive(buf, sizeof(buf));
        if (n <= 0) return;
        request.append(buf, static_cast<size_t>(n));
    }
    std::string path;
    size_t sp = request.find(' ');
    if (sp != std::string::npos) path = request.substr(sp + 1, request.find(' ', sp + 1) - sp - 1);
    HttpReply reply = StatusReply(404, "Not Found");
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
        if (auto it = replies_.find(path); it != replies_.end()) reply = it->second;
    }

    std::string all = reply.head + reply.body;
    size_t limit =
        reply.stallAfter >= 0 ? std::min<size_t>(reply.stallAfter, all.size()) : all.size();
    size_t sent = 0;
    auto sendUpTo = [&](size_t end) {
        while (sent < end && !stop_) {
            long n = conn.Send(all.data() + sent, end - sent);
            if (n <= 0) return false;
            sent += static_cast<size_t>(n);
        }
        return true;
    };
    if (!sendUpTo(std::min(limit, reply.burstBytes))) return;
    while (sent < limit && !stop_) {
        size_t piece = reply.pieceSize ? reply.pieceSize : limit - sent;
        if (!sendUpTo(std::min(limit, sent + piece))) return;
        if (reply.pieceDelayMs > 0 && sent < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(reply.pieceDelayMs));
    }
    if (reply.stallAfter < 0) return;
    // Silent until the client gives up (or the server stops).
    while (!stop_) {
        if (!conn.Readable(20)) continue;
        char buf[256];
        if (conn.Receive(buf, sizeof(buf)) <= 0) return;
    }
}

int UnusedLoopbackPort() {
    int fd = BindLoopback();
    if (fd < 0) return 1;
    int port = PortOf(fd);
    ::close(fd);  // bound but never listening: connections are refused
    return port;
}
