#include "services/http_client.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/net.h"
#include "app/base/text_util.h"

namespace {

constexpr size_t kBlockSize = 32768;
// Longest single wait before the interface gets its turn again.
constexpr int kSliceMs = 50;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned HexValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    return static_cast<unsigned>(c - 'A' + 10);
}

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::string Base64Encode(std::string_view text) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((text.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= text.size(); i += 3) {
        uint32_t v = (static_cast<uint8_t>(text[i]) << 16) |
                     (static_cast<uint8_t>(text[i + 1]) << 8) | static_cast<uint8_t>(text[i + 2]);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    size_t rest = text.size() - i;
    if (rest > 0) {
        uint32_t v = static_cast<uint8_t>(text[i]) << 16;
        if (rest == 2) v |= static_cast<uint8_t>(text[i + 1]) << 8;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string BuildHttpRequest(const std::string& host, const std::string& path, bool keepAlive,
                             bool closeAfter, const std::string& user,
                             const std::string& password) {
    std::string r;
    r += "GET " + TrimChars(path, " \t\r\n") + " HTTP/1.0\r\n";
    r += "Host: " + host + "\r\n";
    r += "Referer: http://" + host + "\r\n";
    r += std::string("User-Agent: ") + kProgramName + "-Updater/" + kVersionFull + "\r\n";
    r += "Accept: */*\r\n";
    r += "Accept-Language: de-de,de;q=0.8,en-us;q=0.5,en;q=0.3\r\n";
    if (keepAlive) {
        r += "Keep-Alive: 300\r\n";
        r += "Connection: keep-alive\r\n";
    } else if (closeAfter) {
        r += "Connection: close\r\n";
    }
    if (!user.empty() && !password.empty())
        r += "Authorization: Basic " + Base64Encode(user + ":" + password) + "\r\n";
    r += "\r\n";
    return r;
}

// ---------------------------------------------------------------------------
// The answer
// ---------------------------------------------------------------------------
void HttpResponseParser::Fail(std::string why) {
    state = HttpParseState::Error;
    error = std::move(why);
}

void HttpResponseParser::HeadLine(std::string_view line) {
    if (StartsWith(line, "HTTP")) {
        // "HTTP/1.1 200 OK": the status is the second blank-separated field.
        std::vector<std::string> parts = Split(line, " ");
        head.status = parts.size() > 1 ? parts[1] : "";
        if (head.status.size() != 3 || !AllDigits(head.status))
            Fail("The server's answer has no valid status (\"" + CutBytes(line, 80) + "\").");
        return;
    }
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    std::string name = Trim(line.substr(0, colon));
    std::string value = Trim(line.substr(colon + 1));
    if (IEquals(name, "transfer-encoding")) {
        head.transferEncoding = ToLower(value);
    } else if (IEquals(name, "content-length")) {
        if (!AllDigits(value) || value.size() > 15) {
            Fail("The server's answer has an invalid content length (\"" + CutBytes(value, 40) +
                 "\").");
            return;
        }
        head.contentLength = std::stoll(value);
        head.hasContentLength = true;
    } else if (IEquals(name, "connection")) {
        head.connection = ToLower(value);
    }
}

void HttpResponseParser::StartBody() {
    if (head.status.empty()) return Fail("The server's answer has no status line.");
    if (head.status != "200") {
        state = HttpParseState::Done;
        return;
    }
    state = HttpParseState::Body;
    if (head.transferEncoding == "chunked") {
        chunked_ = true;
        chunk_ = Chunk::SizeLine;
    } else if (head.hasContentLength) {
        if (head.contentLength == 0) state = HttpParseState::Done;
    } else {
        untilClose_ = true;
    }
}

void HttpResponseParser::Feed(std::string_view bytes, std::string& body) {
    size_t i = 0;
    while (i < bytes.size()) {
        if (state == HttpParseState::Head) {
            char c = bytes[i++];
            if (++headBytes_ > kHttpMaxHead)
                return Fail("The server's answer has a head longer than " +
                            std::to_string(kHttpMaxHead) + " bytes.");
            if (c != '\n') {
                if (line_.size() >= kHttpMaxHeaderLine)
                    return Fail("The server's answer has a header line longer than " +
                                std::to_string(kHttpMaxHeaderLine) + " bytes.");
                line_ += c;
                continue;
            }
            if (!line_.empty() && line_.back() == '\r') line_.pop_back();
            std::string line = std::move(line_);
            line_.clear();
            if (line.empty() || line == " ") {
                StartBody();
            } else {
                HeadLine(line);
            }
            if (state == HttpParseState::Error) return;
            continue;
        }
        if (state != HttpParseState::Body) return;  // Done or Error: the rest is ignored
        if (!chunked_) {
            size_t take = bytes.size() - i;
            if (!untilClose_) {
                uint64_t left = static_cast<uint64_t>(head.contentLength - bodyReceived);
                if (take > left) take = static_cast<size_t>(left);
            }
            body.append(bytes.data() + i, take);
            bodyReceived += static_cast<int64_t>(take);
            i += take;
            if (!untilClose_ && bodyReceived == head.contentLength) state = HttpParseState::Done;
            continue;
        }
        switch (chunk_) {
            case Chunk::SizeLine: {
                char c = bytes[i++];
                if (c != '\n') {
                    if (line_.size() >= kHttpMaxChunkLine)
                        return Fail("The server sent a chunk-size line longer than " +
                                    std::to_string(kHttpMaxChunkLine) + " bytes.");
                    line_ += c;
                    break;
                }
                std::string digits = std::move(line_);
                line_.clear();
                if (!digits.empty() && digits.back() == '\r') digits.pop_back();
                bool valid = !digits.empty();
                for (char d : digits) valid = valid && IsHexDigit(d);
                size_t first = digits.find_first_not_of('0');
                std::string significant =
                    first == std::string::npos ? std::string() : digits.substr(first);
                if (!valid || significant.size() > 8)
                    return Fail("The server sent an invalid chunk-size line (\"" +
                                CutBytes(digits, 40) + "\").");
                uint64_t size = 0;
                for (char d : significant) size = size * 16 + HexValue(d);
                if (size == 0) {
                    state = HttpParseState::Done;
                    return;
                }
                chunkLeft_ = size;
                chunk_ = Chunk::Data;
                break;
            }
            case Chunk::Data: {
                size_t take = bytes.size() - i;
                if (take > chunkLeft_) take = static_cast<size_t>(chunkLeft_);
                body.append(bytes.data() + i, take);
                bodyReceived += static_cast<int64_t>(take);
                chunkLeft_ -= take;
                i += take;
                if (chunkLeft_ == 0) {
                    chunk_ = Chunk::DataEnd;
                    chunkEnd_.clear();
                }
                break;
            }
            case Chunk::DataEnd: {
                chunkEnd_ += bytes[i++];
                if (chunkEnd_.size() == 2) {
                    if (chunkEnd_ != "\r\n")
                        return Fail("The server sent a chunk that is longer than its size.");
                    chunk_ = Chunk::SizeLine;
                }
                break;
            }
            case Chunk::None:
                return Fail("The server's answer could not be read.");
        }
    }
}

void HttpResponseParser::End() {
    if (state == HttpParseState::Head) {
        Fail("The connection closed before the server's answer was complete.");
    } else if (state == HttpParseState::Body) {
        if (untilClose_) {
            state = HttpParseState::Done;
        } else if (chunked_) {
            Fail("The connection closed before the whole file was received (" +
                 std::to_string(bodyReceived) + " bytes, the last chunk missing).");
        } else {
            Fail("The connection closed before the whole file was received (" +
                 std::to_string(bodyReceived) + " of " + std::to_string(head.contentLength) +
                 " bytes).");
        }
    }
}

HttpParseResult ParseHttpResponse(std::string_view bytes, size_t pieceSize) {
    HttpResponseParser p;
    HttpParseResult r;
    if (pieceSize == 0) pieceSize = bytes.size() ? bytes.size() : 1;
    for (size_t i = 0;
         i < bytes.size() && p.state != HttpParseState::Error && p.state != HttpParseState::Done;
         i += pieceSize)
        p.Feed(bytes.substr(i, pieceSize), r.body);
    p.End();
    r.state = p.state;
    r.head = p.head;
    r.error = p.error;
    return r;
}

// ---------------------------------------------------------------------------
// The download
// ---------------------------------------------------------------------------
namespace {

struct Remembered {
    std::string host;
    std::string connection;
};
Remembered& Memory() {
    static Remembered m;
    return m;
}

using Clock = std::chrono::steady_clock;

int64_t MsSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// The download's state: every exit path goes through one of the results below
// so that nothing is left half-written.
struct Download {
    const HttpDownloadRequest& req;
    const HttpDownloadHooks& hooks;
    std::string tempFile;
    File file;
    bool fileCreated = false;

    void Pump() {
        if (hooks.pump) hooks.pump();
    }
    bool Cancelled() const { return hooks.cancelled && hooks.cancelled(); }

    void RemoveFiles(bool alsoTarget) {
        file.Close();
        if (fileCreated) RemoveFile(tempFile);
        if (alsoTarget) RemoveFile(req.localFile);
    }

    HttpDownloadOutcome Result(HttpDownloadResult r) {
        if (r != HttpDownloadResult::Ok) RemoveFiles(r == HttpDownloadResult::Cancelled);
        HttpDownloadOutcome o;
        o.result = r;
        return o;
    }
    HttpDownloadOutcome Failure(const std::string& text, int number) {
        HttpDownloadOutcome o = Result(HttpDownloadResult::Failed);
        o.errorText = text;
        o.errorNumber = number;
        return o;
    }

    // Waits until the connection is ready, letting the interface run. Returns
    // 1 ready, 0 limit reached, -1 cancelled, -2 wait error (sock.error()).
    int Wait(TcpConnection& sock, bool forWrite, int limitMs) {
        Clock::time_point start = Clock::now();
        for (;;) {
            int64_t left = limitMs - MsSince(start);
            if (left <= 0) return 0;
            int rc = sock.WaitReady(forWrite, static_cast<int>(std::min<int64_t>(left, kSliceMs)));
            if (rc < 0) return -2;
            if (rc > 0) return 1;
            Pump();
            if (Cancelled()) return -1;
        }
    }

    // 0 connected, -1 not reachable, -2 cancelled.
    int Connect(TcpConnection& sock) {
        return sock.Connect(req.host, req.port, req.connectTimeoutMs,
                            [&](int limitMs) { return Wait(sock, true, limitMs); });
    }
};

}  // namespace

void ForgetHttpConnection() {
    Memory() = Remembered{};
}

std::string RememberedHttpHost() {
    return Memory().host;
}

HttpDownloadOutcome HttpDownload(const HttpDownloadRequest& req, const HttpDownloadHooks& hooks) {
    Download d{req, hooks, req.localFile + ".part", File(), false};

    // A keep-alive request to another host forgets what the last host said.
    if (req.keepAlive && Memory().host != req.host) ForgetHttpConnection();
    const bool closeAfter =
        !req.keepAlive && Memory().host == req.host && Memory().connection == "keep-alive";

    TcpConnection sock;
    int c = d.Connect(sock);
    if (c == -2) return d.Result(HttpDownloadResult::Cancelled);
    if (c != 0) return d.Result(HttpDownloadResult::NoHost);

    const std::string request =
        BuildHttpRequest(req.host, req.path, req.keepAlive, closeAfter, req.user, req.password);
    size_t sent = 0;
    while (sent < request.size()) {
        int64_t n = sock.Send(request.data() + sent, request.size() - sent);
        if (n < 0) return d.Failure(std::strerror(sock.error()), sock.error());
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        int w = d.Wait(sock, true, req.readTimeoutMs);
        if (w == -1) return d.Result(HttpDownloadResult::Cancelled);
        if (w == 0) return d.Failure("The server stopped answering.", ETIMEDOUT);
        if (w < 0) return d.Failure(std::strerror(sock.error()), sock.error());
    }

    HttpResponseParser parser;
    std::string body;
    int64_t total = 0;
    std::vector<char> buf(kBlockSize);
    bool headSeen = false;
    for (;;) {
        int w = d.Wait(sock, false, req.readTimeoutMs);
        if (w == -1) return d.Result(HttpDownloadResult::Cancelled);
        if (w == 0) return d.Failure("The server stopped answering.", ETIMEDOUT);
        if (w < 0) return d.Failure(std::strerror(sock.error()), sock.error());
        int64_t n = sock.Receive(buf.data(), buf.size());
        if (n == -1) continue;
        if (n < 0) return d.Failure(std::strerror(sock.error()), sock.error());
        body.clear();
        if (n == 0)
            parser.End();
        else
            parser.Feed(std::string_view(buf.data(), static_cast<size_t>(n)), body);
        if (parser.state == HttpParseState::Error) return d.Failure(parser.error, EPROTO);

        if (!headSeen && parser.state != HttpParseState::Head) {
            headSeen = true;
            Memory().host = req.host;
            Memory().connection = parser.head.connection;
            if (d.Cancelled()) return d.Result(HttpDownloadResult::Cancelled);
            if (parser.head.status != "200") {
                HttpDownloadOutcome o = d.Result(HttpDownloadResult::Status);
                o.status = static_cast<int>(Val(parser.head.status));
                o.statusText = parser.head.status;
                return o;
            }
            if (!d.file.Open(d.tempFile, File::Mode::Create)) {
                int err = d.file.error();
                return d.Failure("Cannot create " + d.tempFile + ": " + std::strerror(err), err);
            }
            d.fileCreated = true;
            total = parser.head.contentLength;
            if (hooks.progress) hooks.progress(0, total);
        }
        if (!body.empty()) {
            if (!d.file.WriteAll(body.data(), body.size())) {
                int err = d.file.error();
                return d.Failure("Cannot write " + d.tempFile + ": " + std::strerror(err), err);
            }
            if (hooks.progress) hooks.progress(parser.bodyReceived, total);
            d.Pump();
            if (d.Cancelled()) return d.Result(HttpDownloadResult::Cancelled);
        }
        if (parser.state == HttpParseState::Done) break;
        if (n == 0) return d.Failure("The server's answer could not be read.", EPROTO);
    }

    if (!d.file.Close()) {
        int err = d.file.error();
        d.fileCreated = true;
        return d.Failure("Cannot write " + d.tempFile + ": " + std::strerror(err), err);
    }
    if (int err = RenameReplacing(d.tempFile, req.localFile)) {
        return d.Failure("Cannot write " + req.localFile + ": " + std::strerror(err), err);
    }
    d.fileCreated = false;
    if (hooks.progress) hooks.progress(parser.bodyReceived, parser.bodyReceived);
    HttpDownloadOutcome o;
    o.result = HttpDownloadResult::Ok;
    o.status = 200;
    o.statusText = "200";
    return o;
}
