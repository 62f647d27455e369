// The https fetch through libcurl, SHA-256 through OpenSSL.
#include <curl/curl.h>
#include <openssl/evp.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "app/base/fs.h"
#include "app/base/web.h"

namespace {

struct CurlFree {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};

struct Collected {
    std::string body;
    size_t limit = 0;
};

size_t CollectText(char* data, size_t size, size_t count, void* user) {
    auto* out = static_cast<Collected*>(user);
    size_t n = size * count;
    if (out->body.size() + n > out->limit) return 0;  // ends the transfer with an error
    out->body.append(data, n);
    return n;
}

struct MdFree {
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};

std::string Hex(const unsigned char* d, unsigned n) {
    static const char kDigits[] = "0123456789abcdef";
    std::string s;
    for (unsigned i = 0; i < n; ++i) {
        s += kDigits[d[i] >> 4];
        s += kDigits[d[i] & 15];
    }
    return s;
}

// Feeds the digest from read() until it returns 0; "" on an error.
template <typename Read>
std::string Sha256Of(Read read) {
    std::unique_ptr<EVP_MD_CTX, MdFree> ctx(EVP_MD_CTX_new());
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) return "";
    std::vector<char> buf(65536);
    for (;;) {
        long n = read(buf.data(), buf.size());
        if (n < 0) return "";
        if (n == 0) break;
        if (EVP_DigestUpdate(ctx.get(), buf.data(), static_cast<size_t>(n)) != 1) return "";
    }
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned len = 0;
    if (EVP_DigestFinal_ex(ctx.get(), md, &len) != 1) return "";
    return Hex(md, len);
}

}  // namespace

std::string UrlHost(const std::string& url) {
    struct UrlFree {
        void operator()(CURLU* u) const { curl_url_cleanup(u); }
    };
    std::unique_ptr<CURLU, UrlFree> u(curl_url());
    if (!u || curl_url_set(u.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return "";
    char* host = nullptr;
    if (curl_url_get(u.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK || !host) return "";
    std::string h = host;
    curl_free(host);
    return h;
}

FetchOutcome FetchUrlText(const std::string& url, long timeoutMs, const std::string& caFile,
                          const std::string& userAgent, size_t maxBytes) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    FetchOutcome out;
    std::unique_ptr<CURL, CurlFree> curl(curl_easy_init());
    if (!curl) {
        out.errorNumber = CURLE_FAILED_INIT;
        out.description = curl_easy_strerror(CURLE_FAILED_INIT);
        return out;
    }
    char errors[CURL_ERROR_SIZE] = {};
    Collected body;
    body.limit = maxBytes;
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errors);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, CollectText);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(c, CURLOPT_USERAGENT, userAgent.c_str());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    // The server must prove who it is: certificates are checked against the
    // system's store, and nothing older than TLS 1.2 is spoken.
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(c, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
    if (!caFile.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, caFile.c_str());

    CURLcode rc = curl_easy_perform(c);
    if (rc != CURLE_OK) {
        out.timedOut = rc == CURLE_OPERATION_TIMEDOUT;
        out.errorNumber = rc;
        out.description = errors[0] ? std::string(errors) : std::string(curl_easy_strerror(rc));
        while (!out.description.empty() && out.description.back() == '\n')
            out.description.pop_back();
        return out;
    }
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) {
        // An error page is not the text asked for.
        out.errorNumber = static_cast<int>(status);
        out.description = "The server answered with status " + std::to_string(status);
        return out;
    }
    out.ok = true;
    out.text = std::move(body.body);
    return out;
}

std::string Sha256OfStream(const std::function<long(char* into, size_t size)>& read) {
    return Sha256Of(read);
}
