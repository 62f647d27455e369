#include "support/loopback_http.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "support/loopback_socket.h"
#include "support/loopback_tls.h"
#include "support/shell.h"

LoopbackCertificate MakeLoopbackCertificate(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    LoopbackCertificate c{folder + "/cert.pem", folder + "/key.pem"};
    // The address is named as an IP address and as a DNS name: Wine's
    // certificate check reads only the DNS names.
    const std::string make =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
        " -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1,DNS:127.0.0.1 -keyout '" +
        c.key + "' -out '" + c.cert + "' >/dev/null 2>&1";
    if (RunShell(make) != 0) return {};
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
    if (listenFd_ != kNoSocket && Listen(listenFd_, 8)) port_ = PortOf(listenFd_);
    thread_ = std::thread([this] { Loop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    CloseSocket(listenFd_);
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

bool LoopbackHttpServer::UseTls(const LoopbackCertificate& certificate) {
    LoopbackTls tls = StartLoopbackTls(certificate.cert, certificate.key, port_);
    if (tls.port == 0) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    tls_ = std::move(tls.context);
    tlsPort_ = tls.port;
    return true;
}

std::string LoopbackHttpServer::HttpsUrl(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(tlsPort_ ? tlsPort_ : port_) + path;
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
        if (listenFd_ == kNoSocket || WaitReadable(listenFd_, 20) <= 0) continue;
        const SocketHandle c = Accept(listenFd_);
        if (c == kNoSocket) continue;
        Answer(c);
        CloseSocket(c);
    }
}

void LoopbackHttpServer::Answer(SocketHandle fd) {
    LoopbackConnection conn(fd);
    auto start = std::chrono::steady_clock::now();
    auto waitedTooLong = [&] {
        return std::chrono::steady_clock::now() - start > std::chrono::seconds(5);
    };
    std::shared_ptr<void> tls;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tls = tls_;
    }
    if (!conn.Start(tls, 5000)) return;
    // The request: up to its empty line (or 5 s of silence).
    std::string request;
    while (!stop_ && request.find("\r\n\r\n") == std::string::npos) {
        if (waitedTooLong()) return;
        if (!conn.Readable(20)) continue;
        char buf[4096];
        const int64_t n = conn.Receive(buf, sizeof(buf));
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
            const int64_t n = conn.Send(all.data() + sent, end - sent);
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
    const SocketHandle fd = BindLoopback();
    if (fd == kNoSocket) return 1;
    const int port = PortOf(fd);
    CloseSocket(fd);  // bound but never listening: connections are refused
    return port;
}
