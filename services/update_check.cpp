#include "services/update_check.h"

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
bool IsHttpsAddress(const std::string& url) {
    return ToLower(url.substr(0, 8)) == "https://" && !UrlHost(url).empty();
}

FetchOutcome FetchVersionText(const std::string& url, long timeoutMs, const std::string& caFile) {
    constexpr size_t kMaxVersionFile = 65536;
    return FetchUrlText(url, timeoutMs, caFile, std::string(kProgramName) + "/" + kVersionFull,
                        kMaxVersionFile);
}

bool ChecksumMatches(std::string_view expected, std::string_view actual) {
    return expected.size() == 64 && IsHex(expected) && IEquals(expected, actual);
}
