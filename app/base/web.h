// The https fetch of a small text and SHA-256 through the platform seam:
// libcurl and OpenSSL here, WinHTTP (the system's certificate store) and
// BCrypt on Windows. web_posix.cpp and web_win32.cpp implement it; the
// build compiles exactly one of them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

struct FetchOutcome {
    bool ok = false;
    bool timedOut = false;
    std::string text;
    int errorNumber = 0;
    std::string description;
};

// GET of an https address with the user agent given: the server's
// certificate is checked against the system's store (or caFile, when given),
// nothing older than TLS 1.2 is spoken, at most five redirects are followed,
// each only to an https address, the whole exchange takes at most timeoutMs,
// and an answer longer than maxBytes fails. Only status 200 is a success.
FetchOutcome FetchUrlText(const std::string& url, long timeoutMs, const std::string& caFile,
                          const std::string& userAgent, size_t maxBytes);
// The host part of an address ("" when it is not a valid address).
std::string UrlHost(const std::string& url);

// SHA-256 in lower-case hex of what read() gives until it returns 0 (each
// system's own digest); "" when it returns less than 0.
std::string Sha256OfStream(const std::function<long(char* into, size_t size)>& read);
// SHA-256 in lower-case hex; "" when a file cannot be read.
std::string Sha256FileHex(const std::string& path);
std::string Sha256Hex(std::string_view bytes);
