// The https fetch through WinHTTP (certificates checked against the system's
// store, TLS 1.2 or newer), SHA-256 through BCrypt.
// windows.h first: the other system headers need its types.
// clang-format off
#include <windows.h>
#include <bcrypt.h>
#include <winhttp.h>
// clang-format on

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/base/fs.h"
#include "app/base/util_win32.h"
#include "app/base/web.h"

namespace {

struct InternetClose {
    void operator()(void* h) const { WinHttpCloseHandle(h); }
};
using Handle = std::unique_ptr<void, InternetClose>;

// The parts of an address WinHTTP needs; false when it is not one.
struct UrlParts {
    bool https = false;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring path;  // with the query
};

bool Crack(const std::string& url, UrlParts& parts) {
    const std::wstring wide = Wide(url);
    URL_COMPONENTS c{};
    c.dwStructSize = sizeof(c);
    c.dwSchemeLength = static_cast<DWORD>(-1);
    c.dwHostNameLength = static_cast<DWORD>(-1);
    c.dwUrlPathLength = static_cast<DWORD>(-1);
    c.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &c)) return false;
    if (c.nScheme != INTERNET_SCHEME_HTTP && c.nScheme != INTERNET_SCHEME_HTTPS) return false;
    if (c.dwHostNameLength == 0) return false;
    parts.https = c.nScheme == INTERNET_SCHEME_HTTPS;
    parts.host.assign(c.lpszHostName, c.dwHostNameLength);
    parts.port = c.nPort;
    parts.path.assign(c.lpszUrlPath, c.dwUrlPathLength);
    parts.path.append(c.lpszExtraInfo, c.dwExtraInfoLength);
    if (parts.path.empty()) parts.path = L"/";
    return true;
}

// The system's words for a WinHTTP (or other system) error code.
std::string ErrorText(DWORD code) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                                 FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             GetModuleHandleW(L"winhttp.dll"), code, 0,
                             reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out = n ? Utf8(std::wstring_view(text, n)) : std::string();
    LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
        out.pop_back();
    if (out.empty()) out = "Windows error " + std::to_string(code);
    return out;
}

FetchOutcome Failed(DWORD code) {
    FetchOutcome out;
    out.errorNumber = static_cast<int>(code);
    out.timedOut = code == ERROR_WINHTTP_TIMEOUT;
    out.description = ErrorText(code);
    return out;
}

DWORD StatusOf(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    return status;
}

std::string LocationOf(HINTERNET request) {
    DWORD size = 0;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, nullptr,
                        &size, WINHTTP_NO_HEADER_INDEX);
    if (size == 0) return {};
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX,
                             value.data(), &size, WINHTTP_NO_HEADER_INDEX)) {
        return {};
    }
    value.resize(size / sizeof(wchar_t));
    return Utf8(value);
}

// The address a redirect leads to: absolute, or a path on the same server.
std::string Resolve(const UrlParts& from, const std::string& location) {
    if (location.rfind("//", 0) == 0) return (from.https ? "https:" : "http:") + location;
    if (location.empty() || location[0] != '/') return location;
    return std::string(from.https ? "https://" : "http://") + Utf8(from.host) + ":" +
           std::to_string(from.port) + location;
}

struct AlgorithmClose {
    void operator()(void* h) const { BCryptCloseAlgorithmProvider(h, 0); }
};
struct HashClose {
    void operator()(void* h) const { BCryptDestroyHash(h); }
};

// Feeds the digest from read() until it returns 0; "" on an error.
template <typename Read>
std::string Sha256Of(Read read) {
    BCRYPT_ALG_HANDLE alg = nullptr;
    if (BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return "";
    std::unique_ptr<void, AlgorithmClose> algorithm(alg);
    BCRYPT_HASH_HANDLE h = nullptr;
    if (BCryptCreateHash(alg, &h, nullptr, 0, nullptr, 0, 0) != 0) return "";
    std::unique_ptr<void, HashClose> hash(h);
    std::vector<char> buf(65536);
    for (;;) {
        const long n = read(buf.data(), buf.size());
        if (n < 0) return "";
        if (n == 0) break;
        if (BCryptHashData(h, reinterpret_cast<PUCHAR>(buf.data()), static_cast<ULONG>(n), 0) != 0)
            return "";
    }
    unsigned char md[32];
    if (BCryptFinishHash(h, md, sizeof(md), 0) != 0) return "";
    static const char kDigits[] = "0123456789abcdef";
    std::string s;
    for (unsigned char b : md) {
        s += kDigits[b >> 4];
        s += kDigits[b & 15];
    }
    return s;
}

}  // namespace

std::string UrlHost(const std::string& url) {
    UrlParts parts;
    return Crack(url, parts) ? Utf8(parts.host) : std::string();
}

namespace {

// One fetch, run on a thread of its own so that the whole exchange keeps to
// its time limit whatever WinHTTP's own timeouts do: when the time is up, the
// caller closes the request being waited on, which ends that wait, and
// leaves the rest to the thread.
struct Fetch {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    bool abandoned = false;
    HINTERNET request = nullptr;  // the request being waited on
    FetchOutcome out;
};

// Registers the request being waited on; false when the caller gave up.
bool Track(Fetch& f, HINTERNET request) {
    std::lock_guard<std::mutex> lock(f.m);
    if (f.abandoned) return false;
    f.request = request;
    return true;
}

// Closes the request unless the caller already did.
void Untrack(Fetch& f, HINTERNET request) {
    std::lock_guard<std::mutex> lock(f.m);
    if (f.request == request) {
        f.request = nullptr;
        WinHttpCloseHandle(request);
    }
}

FetchOutcome Run(Fetch& f, const std::string& url, long timeoutMs, const std::string& userAgent,
                 size_t maxBytes) {
    Handle session(WinHttpOpen(Wide(userAgent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                               WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return Failed(GetLastError());
    // Nothing older than TLS 1.2 is spoken.
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
#ifdef WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3
    protocols |= WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
#endif
    if (!WinHttpSetOption(session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                          sizeof(protocols))) {
        // Systems without TLS 1.3 in WinHTTP take TLS 1.2 alone.
        protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
        if (!WinHttpSetOption(session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols,
                              sizeof(protocols)))
            return Failed(GetLastError());
    }
    const int ms = static_cast<int>(timeoutMs);
    WinHttpSetTimeouts(session.get(), ms, ms, ms, ms);

    std::string address = url;
    // The first request and at most five redirects, all only to https.
    for (int hop = 0; hop <= 5; ++hop) {
        UrlParts parts;
        if (!Crack(address, parts)) return Failed(ERROR_WINHTTP_INVALID_URL);
        if (!parts.https)
            return Failed(hop > 0 ? ERROR_WINHTTP_REDIRECT_FAILED
                                  : ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
        Handle connection(WinHttpConnect(session.get(), parts.host.c_str(), parts.port, 0));
        if (!connection) return Failed(GetLastError());
        HINTERNET request = WinHttpOpenRequest(
            connection.get(), L"GET", parts.path.c_str(), nullptr, WINHTTP_NO_REFERER,
            WINHTTP_DEFAULT_ACCEPT_TYPES, parts.https ? WINHTTP_FLAG_SECURE : 0);
        if (!request) return Failed(GetLastError());
        if (!Track(f, request)) {
            WinHttpCloseHandle(request);
            return Failed(ERROR_WINHTTP_TIMEOUT);
        }
        struct Closer {
            Fetch& f;
            HINTERNET request;
            ~Closer() { Untrack(f, request); }
        } closer{f, request};
        // Redirects are followed here, so that each new address is checked.
        DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof(policy));
        // One request per connection: a connection kept open for later would
        // be found closed by the server at the next check (Wine's WinHTTP
        // then sends on it and fails instead of connecting again).
        DWORD features = WINHTTP_DISABLE_KEEP_ALIVE;
        WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &features, sizeof(features));
        if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                                0, 0, 0) ||
            !WinHttpReceiveResponse(request, nullptr)) {
            return Failed(GetLastError());
        }
        const DWORD status = StatusOf(request);
        if (status == 301 || status == 302 || status == 303 || status == 307 || status == 308) {
            address = Resolve(parts, LocationOf(request));
            continue;
        }
        if (status != 200) {
            // An error page is not the text asked for.
            FetchOutcome out;
            out.errorNumber = static_cast<int>(status);
            out.description = "The server answered with status " + std::to_string(status);
            return out;
        }
        std::string body;
        for (;;) {
            char buf[8192];
            DWORD got = 0;
            if (!WinHttpReadData(request, buf, sizeof(buf), &got)) return Failed(GetLastError());
            if (got == 0) break;
            if (body.size() + got > maxBytes) return Failed(ERROR_WINHTTP_HEADER_SIZE_OVERFLOW);
            body.append(buf, got);
        }
        FetchOutcome out;
        out.ok = true;
        out.text = std::move(body);
        return out;
    }
    return Failed(ERROR_WINHTTP_REDIRECT_FAILED);
}

}  // namespace

FetchOutcome FetchUrlText(const std::string& url, long timeoutMs, const std::string&,
                          const std::string& userAgent, size_t maxBytes) {
    auto fetch = std::make_shared<Fetch>();
    std::thread([fetch, url, timeoutMs, userAgent, maxBytes] {
        FetchOutcome out = Run(*fetch, url, timeoutMs, userAgent, maxBytes);
        std::lock_guard<std::mutex> lock(fetch->m);
        fetch->out = std::move(out);
        fetch->done = true;
        fetch->cv.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(fetch->m);
    if (fetch->cv.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return fetch->done; })) {
        return fetch->out;
    }
    // Time is up: the request being waited on is closed, which ends the wait.
    fetch->abandoned = true;
    if (fetch->request) {
        WinHttpCloseHandle(fetch->request);
        fetch->request = nullptr;
    }
    return Failed(ERROR_WINHTTP_TIMEOUT);
}

std::string Sha256OfStream(const std::function<long(char* into, size_t size)>& read) {
    return Sha256Of(read);
}
