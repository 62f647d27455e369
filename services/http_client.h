// The program's own minimal HTTP/1.0 client, used to download the update
// installer over a TCP socket: the request it sends, a parser for the answer
// that takes bytes (so it can be fed from a socket, a test or a fuzzer), and
// the download itself. Nothing here shows a window: progress, cancel and the
// letting-through of interface events are callbacks of the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Base64 of a text (RFC 4648 alphabet, "=" padding).
std::string Base64Encode(std::string_view text);

// The request for path on host, every line ended by CR LF and closed by an
// empty line. keepAlive asks the server to keep the connection; closeAfter
// (used when keepAlive is 0 and the host's previous answer kept the
// connection) asks it to close. Authorization is sent only when user and
// password are both given.
std::string BuildHttpRequest(const std::string& host, const std::string& path, bool keepAlive,
                             bool closeAfter, const std::string& user, const std::string& password);

// The answer's head as the client reads it.
struct HttpHead {
    std::string status;            // second field of the status line ("200", "404", ...)
    std::string transferEncoding;  // lower case
    int64_t contentLength = 0;
    bool hasContentLength = false;
    std::string connection;  // lower case
};

enum class HttpParseState {
    Head,   // reading header lines
    Body,   // status 200: reading the body
    Done,   // the whole answer was read (for a status other than 200: its head)
    Error,  // malformed answer; `error` says why
};

// Longest header line and whole head accepted; a longer answer is malformed.
inline constexpr size_t kHttpMaxHeaderLine = 8192;
inline constexpr size_t kHttpMaxHead = 65536;
// Longest chunk-size line (eight hex digits and CR LF, with room for leading zeros).
inline constexpr size_t kHttpMaxChunkLine = 32;

// Incremental parser of an answer. Feed it the bytes as they arrive; body
// bytes are appended to `body`. When the connection ends, call End: an answer
// whose body was not complete (shorter than its content length, a chunked body
// without its last chunk) becomes an Error there.
struct HttpResponseParser {
    HttpParseState state = HttpParseState::Head;
    HttpHead head;
    std::string error;
    int64_t bodyReceived = 0;  // body bytes handed out so far

    void Feed(std::string_view bytes, std::string& body);
    void End();

private:
    enum class Chunk { SizeLine, Data, DataEnd, None };
    void HeadLine(std::string_view line);
    void StartBody();
    void Fail(std::string why);
    std::string line_;
    size_t headBytes_ = 0;
    Chunk chunk_ = Chunk::None;
    uint64_t chunkLeft_ = 0;
    std::string chunkEnd_;
    bool chunked_ = false;
    bool untilClose_ = false;
};

// Parses a whole answer given as bytes, fed in pieces of pieceSize bytes (0:
// all at once), and ends it. The entry point of the fuzz target.
struct HttpParseResult {
    HttpParseState state = HttpParseState::Head;
    HttpHead head;
    std::string body;
    std::string error;
};
HttpParseResult ParseHttpResponse(std::string_view bytes, size_t pieceSize = 0);

// ---------------------------------------------------------------------------
// The download
// ---------------------------------------------------------------------------
struct HttpDownloadRequest {
    std::string host;
    std::string path;
    bool keepAlive = true;
    std::string user;
    std::string password;
    std::string localFile;  // written through a temporary file beside it
    int port = 80;
    int connectTimeoutMs = 10000;
    // How long the server may stay silent while the answer is read.
    int readTimeoutMs = 30000;
};

struct HttpDownloadHooks {
    // Bytes of the body received and the content length (0 when unknown).
    std::function<void(int64_t received, int64_t total)> progress;
    // Lets the interface run; called after every block and while waiting.
    std::function<void()> pump;
    // True once the user has cancelled.
    std::function<bool()> cancelled;
};

enum class HttpDownloadResult {
    Ok,         // the whole body is in localFile
    Status,     // the answer's status was not "200" (see status)
    NoHost,     // no connection to the host
    Cancelled,  // the user cancelled
    Failed,     // error while transferring or writing (see errorText, errorNumber)
};

struct HttpDownloadOutcome {
    HttpDownloadResult result = HttpDownloadResult::Failed;
    int status = 0;  // the answer's status as a number
    std::string statusText;
    std::string errorText;
    int errorNumber = 0;
};

// Downloads path from host into localFile in blocks of 32768 bytes. Only a
// complete body ends as Ok; on every other result neither localFile nor its
// temporary file is left behind.
HttpDownloadOutcome HttpDownload(const HttpDownloadRequest& request,
                                 const HttpDownloadHooks& hooks);

// The keep-alive memory: the last host answered and its connection value.
// ForgetHttpConnection clears it (tests start from a clean state).
void ForgetHttpConnection();
std::string RememberedHttpHost();
