// The platform seam: the platform in use, and the parts of the desktop's
// requests that can be worked out without starting anything.
#include "app/base/platform.h"

#include <filesystem>
#include <system_error>

#include "app/base/fs.h"

namespace {

// Stands in until the program installs a platform: starts nothing.
class NoPlatform : public Platform {
public:
    bool ShellOpen(const std::string&) override { return false; }
    bool PdfViewerPresent() override { return false; }
    void ShowHelpTopic(const std::string&, int) override {}
    bool SendMail(const MailRequest&) override { return false; }
    bool AcquireSingleInstance(const std::string&) override { return true; }
    void SignalRunningInstance(const std::string&) override {}
    bool StartDetached(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
    bool MayConnect(const std::string&) override { return false; }
    std::string MailtoHandler() override { return ""; }
    std::string DesktopEntry(const std::string&) override { return ""; }
    std::string FindProgram(const std::string&) override { return ""; }
    bool StartProgram(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
    std::string DesktopFolder() override { return ""; }
};

std::unique_ptr<Platform>& Current() {
    static std::unique_ptr<Platform> p;
    return p;
}

}  // namespace

Platform& CurrentPlatform() {
    if (!Current()) Current() = std::make_unique<NoPlatform>();
    return *Current();
}

std::unique_ptr<Platform> SetPlatform(std::unique_ptr<Platform> p) {
    std::unique_ptr<Platform> old = std::move(Current());
    Current() = std::move(p);
    return old;
}

std::string FileUrl(std::string path) {
    // An address names folders with "/" and starts its path with one, also
    // before a drive letter ("file:///C:/...").
    path = WithForwardSlashes(std::move(path));
    std::string url = "file://";
    if (!path.empty() && path[0] != '/') {
        path.insert(0, 1, '/');
        // The drive's colon stays as it is.
        if (path.size() >= 3 && path[2] == ':') {
            url += path.substr(0, 3);
            path.erase(0, 3);
        }
    }
    // Every other byte beyond RFC 3986's unreserved characters is encoded, so
    // that blanks, quotes and commas in a folder name survive the hand-over.
    static const char* hex = "0123456789ABCDEF";
    for (unsigned char c : path) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           c == '/';
        if (plain) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}

std::string HelpTopicUrl(const std::string& helpFolder, int topic) {
    const std::string folder = WithSeparator(helpFolder);
    std::string page = folder + "index.html";
    if (topic > 0) {
        const std::string t = folder + "topic-" + std::to_string(topic) + ".html";
        std::error_code ec;
        if (std::filesystem::is_regular_file(FsPath(t), ec)) page = t;
    }
    std::string url = FileUrl(page);
    if (topic == -1) url += "#index";
    return url;
}

std::vector<std::string> MailCommandArgs(const MailRequest& mail) {
    std::vector<std::string> args;
    if (!mail.subject.empty()) args.insert(args.end(), {"--subject", mail.subject});
    if (!mail.body.empty()) args.insert(args.end(), {"--body", mail.body});
    for (const auto& a : mail.attachments) args.insert(args.end(), {"--attach", a});
    // xdg-email knows no "--": an address that looks like an option is left
    // out rather than read as one.
    if (!mail.to.empty() && mail.to[0] != '-') args.push_back(mail.to);
    return args;
}
