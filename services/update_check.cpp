#include "services/update_check.h"

#include <curl/curl.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "data/dates.h"

namespace {

std::optional<UpdateEndpoints>& TestEndpoints() {
    static std::optional<UpdateEndpoints> e;
    return e;
}

bool IsHex(std::string_view s) {
    for (char c : s)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

bool HasControlOrBlank(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f) return true;
    return false;
}

}  // namespace

const UpdateEndpoints& UpdateAddresses() {
    static const UpdateEndpoints own = [] {
        UpdateEndpoints e;
        e.versionFileUrl = kVersionFileUrl;
        e.productPage = kProductPage;
        return e;
    }();
    return TestEndpoints() ? *TestEndpoints() : own;
}

void SetUpdateEndpointsForTests(const UpdateEndpoints* endpoints) {
    if (endpoints)
        TestEndpoints() = *endpoints;
    else
        TestEndpoints().reset();
}

// ---------------------------------------------------------------------------
// The version file
// ---------------------------------------------------------------------------
VersionFile ParseVersionFile(std::string_view text) {
    VersionFile v;
    size_t firstBreak = text.find('\n');
    std::string first = TrimChars(text.substr(0, firstBreak), " \t\r");
    std::vector<std::string> fields = Split(first, " ");
    if (fields.size() > 0) v.host = fields[0];
    if (fields.size() > 1) v.path = fields[1];
    if (fields.size() > 2) v.fileName = fields[2];
    if (fields.size() > 3) v.sha256 = fields[3];
    size_t lastBreak = text.rfind('\n');
    v.version =
        TrimChars(lastBreak == std::string_view::npos ? text : text.substr(lastBreak + 1), " \t\r");
    return v;
}

bool IsUsableDownload(const VersionFile& v, std::string& why) {
    auto hostChar = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-';
    };
    bool hostOk = !v.host.empty() && v.host.size() <= 253;
    for (char c : v.host) hostOk = hostOk && hostChar(c);
    if (!hostOk) {
        why = "The host name \"" + CutBytes(v.host, 80) + "\" is not valid.";
        return false;
    }
    if (v.path.empty() || v.path[0] != '/' || HasControlOrBlank(v.path) || v.path.size() > 2000) {
        why = "The path \"" + CutBytes(v.path, 80) + "\" is not valid.";
        return false;
    }
    const std::string& f = v.fileName;
    if (f.empty() || f == "." || f == ".." || f.size() > 255 ||
        f.find_first_of("/\\") != std::string::npos || HasControlOrBlank(f)) {
        why = "The file name \"" + CutBytes(f, 80) + "\" is not valid.";
        return false;
    }
    // Only an installer that is exactly the one published is ever run, so
    // without a checksum there is nothing to download.
    if (v.sha256.empty()) {
        why = "No checksum was published for the update file.";
        return false;
    }
    if (v.sha256.size() != 64 || !IsHex(v.sha256)) {
        why = "The checksum published for the update file (\"" + CutBytes(v.sha256, 80) +
              "\") is not valid.";
        return false;
    }
    return true;
}

std::vector<int64_t> VersionParts(std::string_view version) {
    std::vector<int64_t> parts;
    for (const std::string& p : Split(version, ".")) {
        if (p.empty() || p.size() > 9 ||
            !std::all_of(p.begin(), p.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return {};
        parts.push_back(std::stoll(p));
    }
    if (parts.size() > 4) return {};
    return parts;
}

bool IsNewerVersion(std::string_view remote, std::string_view running) {
    std::vector<int64_t> r = VersionParts(remote), own = VersionParts(running);
    if (r.empty() || own.empty()) return false;
    r.resize(4, 0);
    own.resize(4, 0);
    return r > own;
}

bool IsMajorUpdate(std::string_view remote, std::string_view running) {
    std::vector<int64_t> r = VersionParts(remote), own = VersionParts(running);
    return !r.empty() && !own.empty() && r[0] > own[0];
}

// ---------------------------------------------------------------------------
// Settings and session
// ---------------------------------------------------------------------------
std::string UpdateSetting(const std::string& key) {
    return IniRead(Paths().settingsFile, kUpdateSection, key, "");
}

bool WriteUpdateSetting(const std::string& key, const std::string& value) {
    return IniWrite(Paths().settingsFile, kUpdateSection, key, value);
}

UpdateSession& UpdateState() {
    static UpdateSession s;
    return s;
}

int IsUpdateCheckDue() {
    int64_t next = Val(IniRead(Paths().settingsFile, kUpdateSection, "LastCheck", "0"));
    int64_t today = TodayJulian();
    if (today > next) {
        WriteUpdateSetting("LastCheck", std::to_string(today + 10));
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Fetching
// ---------------------------------------------------------------------------
namespace {

constexpr size_t kMaxVersionFile = 65536;

struct CurlFree {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};

size_t CollectText(char* data, size_t size, size_t count, void* user) {
    auto* out = static_cast<std::string*>(user);
    size_t n = size * count;
    if (out->size() + n > kMaxVersionFile) return 0;  // ends the transfer with an error
    out->append(data, n);
    return n;
}

// One part of an address ("" when the address is not valid or lacks the part).
std::string UrlPart(const std::string& url, CURLUPart part) {
    struct UrlFree {
        void operator()(CURLU* u) const { curl_url_cleanup(u); }
    };
    std::unique_ptr<CURLU, UrlFree> u(curl_url());
    if (!u || curl_url_set(u.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return "";
    char* value = nullptr;
    if (curl_url_get(u.get(), part, &value, 0) != CURLUE_OK || !value) return "";
    std::string v = value;
    curl_free(value);
    return v;
}

}  // namespace

std::string UrlHost(const std::string& url) {
    return UrlPart(url, CURLUPART_HOST);
}

bool IsHttpsAddress(const std::string& url) {
    return UrlPart(url, CURLUPART_SCHEME) == "https" && !UrlHost(url).empty();
}

FetchOutcome FetchVersionText(const std::string& url, long timeoutMs, const std::string& caFile) {
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
    std::string body;
    const std::string agent = std::string(kProgramName) + "/" + kVersionFull;
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errors);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, CollectText);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(c, CURLOPT_USERAGENT, agent.c_str());
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
        // An error page is not a version file.
        out.errorNumber = static_cast<int>(status);
        out.description = "The server answered with status " + std::to_string(status);
        return out;
    }
    out.ok = true;
    out.text = std::move(body);
    return out;
}

// ---------------------------------------------------------------------------
// Checksums
// ---------------------------------------------------------------------------
namespace {

struct MdFree {
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};
struct FileClose {
    void operator()(std::FILE* f) const { std::fclose(f); }
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

// Feeds the digest from read() until it returns 0; false on an error.
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

std::string Sha256FileHex(const std::string& path) {
    std::unique_ptr<std::FILE, FileClose> f(std::fopen(path.c_str(), "rb"));
    if (!f) return "";
    return Sha256Of([&](char* buf, size_t size) -> long {
        size_t n = std::fread(buf, 1, size, f.get());
        if (n == 0 && std::ferror(f.get())) return -1;
        return static_cast<long>(n);
    });
}

std::string Sha256Hex(std::string_view bytes) {
    size_t pos = 0;
    return Sha256Of([&](char* buf, size_t size) -> long {
        size_t n = std::min(size, bytes.size() - pos);
        std::copy_n(bytes.data() + pos, n, buf);
        pos += n;
        return static_cast<long>(n);
    });
}

bool ChecksumMatches(std::string_view expected, std::string_view actual) {
    return expected.size() == 64 && IsHex(expected) && IEquals(expected, actual);
}
