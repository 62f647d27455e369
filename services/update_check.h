// The window-free part of the program update: where the maker's server is,
// reading the version file, comparing versions, the update's settings keys
// and session flags, fetching the version file, and checking the downloaded
// installer's SHA-256. The check, the download dialog and the hand-over to the
// installer (services/update.h) are a thin layer over these.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
// First line: host, installer path, local file name and the installer's
// SHA-256 in hex, separated by single blanks. The text after the
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
// name is a plain name: no folder part), and a published checksum to verify
// it with. why says what is wrong.
bool IsUsableDownload(const VersionFile& v, std::string& why);

// A version's parts as numbers ("1.8.10.0" -> 1, 8, 10, 0); empty when the
// text is not one to four numbers (of at most nine digits) joined by ".".
std::vector<int64_t> VersionParts(std::string_view version);
// True when remote is a version later than running, compared part by part as
// numbers (a missing part counts as 0: "1.9" is later than "1.8.4.0").
bool IsNewerVersion(std::string_view remote, std::string_view running);
// A major update raises the first part ("2.0.0.0" over "1.8.4.0").
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
// True for an https address with a host: the only kind the version file is
// fetched from, so that what it names to install comes from the maker's server.
bool IsHttpsAddress(const std::string& url);
// GET of the address (https only, certificates verified, TLS 1.2 or newer,
// at most timeoutMs). Only an answer with status 200 is a version file.
FetchOutcome FetchVersionText(const std::string& url, long timeoutMs,
                              const std::string& caFile = "");

// ---------------------------------------------------------------------------
// The installer's checksum
// ---------------------------------------------------------------------------
// (Sha256FileHex and Sha256Hex: app/base/web.h)
// True when expected is 64 hex digits equal (ignoring letter case) to actual.
bool ChecksumMatches(std::string_view expected, std::string_view actual);
