// The window-free part of the program update: where the maker's server is,
// reading the version file, comparing versions, the update's settings keys
// and session flags, fetching the version file, and checking the downloaded
// installer's SHA-256. The check, the download dialog and the hand-over to the
// installer (services/update.h) are a thin layer over these.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/base/web.h"

// ---------------------------------------------------------------------------
// The maker's server
// ---------------------------------------------------------------------------
struct UpdateEndpoints {
    std::string versionFileUrl;  // the version file
    std::string productPage;     // the product's page, opened in the browser
    int downloadPort = 80;       // port of the installer's host
    int connectTimeoutMs = 10000;
    int readTimeoutMs = 30000;  // longest silence of the installer's host
    long fetchTimeoutMs = 5000;
    std::string caFile;  // certificates to trust instead of the system's ("" = system)
};
inline constexpr const char* kVersionFileUrl = "https://www.vantrel.com/VLVersion.txt";
inline constexpr const char* kProductPage = "https://www.vantrel.com/vantrel/";

// The addresses in use: the program's own unless a test replaced them.
const UpdateEndpoints& UpdateAddresses();
// Test seam: points the update at a test server; nullptr restores the program's own.
void SetUpdateEndpointsForTests(const UpdateEndpoints* endpoints);

// ---------------------------------------------------------------------------
// The version file
// ---------------------------------------------------------------------------
// First line: host, installer path, local file name and (optional) the
// installer's SHA-256 in hex, separated by single blanks. The text after the
// last line break is the newest version.
struct VersionFile {
    std::string host;
    std::string path;
    std::string fileName;
    std::string sha256;
    std::string version;
};
VersionFile ParseVersionFile(std::string_view text);
// Host, path and file name fit for a download into the program folder (a file
// name is a plain name: no folder part). why says what is wrong.
bool IsUsableDownload(const VersionFile& v, std::string& why);

// "1.8.4.0" -> 1840: the digits with the dots removed, read as one number.
int64_t VersionNumber(std::string_view version);
// The version up to its second "." read as a number and rounded ("1.8.4.0" -> 2).
int64_t MajorNumber(std::string_view version);
bool IsMajorUpdate(std::string_view remote, std::string_view running);

// ---------------------------------------------------------------------------
// Settings keys ([Update] in the settings file) and session flags
// ---------------------------------------------------------------------------
inline constexpr const char* kUpdateSection = "Update";
std::string UpdateSetting(const std::string& key);  // "" when absent
bool WriteUpdateSetting(const std::string& key, const std::string& value);

struct UpdateSession {
    bool cancelled = false;         // the download was cancelled
    bool declined = false;          // the user declined an update in this session
    bool installerPending = false;  // an installer runs when the program ends
    bool major = false;             // the pending update is a major one
    std::string newVersion;         // the version just installed (shown by WN)
};
UpdateSession& UpdateState();

// 1 when an automatic check is due (and moves LastCheck to today + 10), else 0.
int IsUpdateCheckDue();

// ---------------------------------------------------------------------------
// Fetching the version file (FetchOutcome, UrlHost: app/base/web.h)
// ---------------------------------------------------------------------------
// GET of the address (http or https, certificates verified, TLS 1.2 or newer,
// at most timeoutMs). Only an answer with status 200 is a version file.
FetchOutcome FetchVersionText(const std::string& url, long timeoutMs,
                              const std::string& caFile = "");

// ---------------------------------------------------------------------------
// The installer's checksum
// ---------------------------------------------------------------------------
// (Sha256FileHex and Sha256Hex: app/base/web.h)
// True when expected is 64 hex digits equal (ignoring letter case) to actual.
bool ChecksumMatches(std::string_view expected, std::string_view actual);
