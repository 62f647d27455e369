// Test support: a small HTTP server on 127.0.0.1 (a free port) that answers
// each request path with prepared bytes, optionally slowly or not at all, and
// records the requests it received. It runs on a thread of its own from the
// constructor to the destructor. Given a certificate, it also speaks HTTPS
// (support/loopback_tls.h): on POSIX systems on the same port, where a
// connection that opens with a TLS handshake is answered over TLS and any
// other in plain HTTP; on Windows through a TLS front on a port of its own.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback_socket.h"

struct HttpReply {
    std::string head;  // status line and header lines, with the closing empty line
    std::string body;  // sent as given (chunked bodies are given encoded)
    // Pacing: the first burstBytes of the whole answer go at once, the rest in
    // pieces of pieceSize bytes with pieceDelayMs between them (0: at once).
    size_t burstBytes = 0;
    size_t pieceSize = 0;
    int pieceDelayMs = 0;
    // Sends only the first stallAfter bytes and then keeps the connection open
    // without a word (-1: sends everything and closes).
    long stallAfter = -1;
};

// 200 with a content length (and extra header lines, each ended by CR LF).
HttpReply OkReply(const std::string& body, const std::string& extraHeaders = "");
// A status other than 200 with a short body.
HttpReply StatusReply(int status, const std::string& reason);
// 200, chunked: the chunks as given, each with its size line, then "0".
HttpReply ChunkedReply(const std::vector<std::string>& chunks);

// A self-signed certificate for 127.0.0.1 and its key, made with openssl in
// folder (created when missing; cert.pem, key.pem). Empty paths when openssl failed.
struct LoopbackCertificate {
    std::string cert;
    std::string key;
};
LoopbackCertificate MakeLoopbackCertificate(const std::string& folder);

class LoopbackHttpServer {
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int port() const { return port_; }
    std::string Url(const std::string& path) const;
    // Answers TLS handshakes with this certificate; false when it cannot be loaded.
    bool UseTls(const LoopbackCertificate& certificate);
    std::string HttpsUrl(const std::string& path) const;
    // The answer for a path (unknown paths get 404).
    void Serve(const std::string& path, HttpReply reply);
    // Every request received so far, as raw bytes.
    std::vector<std::string> Requests() const;

private:
    void Loop();
    void Answer(SocketHandle fd);

    SocketHandle listenFd_ = kNoSocket;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::map<std::string, HttpReply> replies_;
    std::vector<std::string> requests_;
    std::shared_ptr<void> tls_;  // the TLS context, once UseTls succeeded
    int tlsPort_ = 0;            // the port of https addresses, once UseTls succeeded
    std::thread thread_;
};

// A free TCP port on 127.0.0.1 with nothing listening on it (for "cannot connect").
int UnusedLoopbackPort();
