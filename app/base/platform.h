// Everything that reaches outside the process goes through this seam: opening
// a file, folder or web page in another program, help pages, the mail
// hand-off (the desktop's mailto: handler, starting a mail program), the
// user's desktop folder, starting the update installer, the single-instance
// lock and the PDF-viewer probe. Tests (and the robot) install their own
// Platform so that nothing outside is ever started.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

struct MailRequest {
    std::string to;
    std::string subject;
    std::string body;
    std::vector<std::string> attachments;
};

class Platform {
public:
    virtual ~Platform() = default;
    // Opens a document, folder or web address with the desktop's default application.
    virtual bool ShellOpen(const std::string& target) = 0;
    // True when some application is registered for PDF files.
    virtual bool PdfViewerPresent() = 0;
    // Opens the help page for a context number (0 = contents, -1 = index).
    virtual void ShowHelpTopic(const std::string& helpFolder, int topic) = 0;
    // Hands a mail to the user's mail program.
    virtual bool SendMail(const MailRequest& mail) = 0;
    // Takes the per-user lock of the given name; false when another process holds it.
    virtual bool AcquireSingleInstance(const std::string& name) = 0;
    // Asks the running instance to come to the front.
    virtual void SignalRunningInstance(const std::string& name) = 0;
    // Starts a program as a process of its own that outlives this one (the
    // update installer); the program does not wait for it. False when it
    // could not be started.
    virtual bool StartDetached(const std::string& program,
                               const std::vector<std::string>& args) = 0;
    // Asked before every network connection (the update check and download):
    // false keeps the program from connecting to host.
    virtual bool MayConnect(const std::string& host) = 0;
    // The desktop entry registered for mailto: addresses (such as
    // "thunderbird.desktop"); "" when none is registered or it cannot be asked.
    virtual std::string MailtoHandler() = 0;
    // The text of an installed desktop entry by its id; "" when there is none.
    virtual std::string DesktopEntry(const std::string& id) = 0;
    // Full path of a program on the search path; "" when it is not installed.
    virtual std::string FindProgram(const std::string& name) = 0;
    // Starts a program with its arguments (no shell) without waiting for it;
    // false when it cannot be started.
    virtual bool StartProgram(const std::string& program, const std::vector<std::string>& args) = 0;
    // The user's desktop folder with a trailing "/"; "" when it cannot be found.
    virtual std::string DesktopFolder() = 0;
};

// The platform in use. The program installs the desktop platform at start
// (app/toolkit/desktop_platform.h); until something is installed, a platform
// that starts nothing and refuses every request stands in.
Platform& CurrentPlatform();
// Replaces the platform (tests); returns the previous one.
std::unique_ptr<Platform> SetPlatform(std::unique_ptr<Platform> p);
// The file:// address of a local path: "/" between folders, a "/" before a
// drive letter ("file:///C:/..."), and every byte but RFC 3986's unreserved
// characters, "/" and a drive's colon percent-encoded ("a b" -> "a%20b").
std::string FileUrl(std::string path);
// The page the desktop platform opens for a help topic (a file:// address):
// helpFolder + "topic-<n>.html" when that file exists, else index.html;
// topic 0 is index.html, -1 index.html#index.
std::string HelpTopicUrl(const std::string& helpFolder, int topic);
// The arguments given to xdg-email for a mail.
std::vector<std::string> MailCommandArgs(const MailRequest& mail);

// Records every request and starts nothing. Used by tests and the robot.
class RecordingPlatform : public Platform {
public:
    struct StartedProgram {
        std::string program;
        std::vector<std::string> args;
    };
    std::vector<std::string> opened;
    std::vector<int> helpTopics;
    std::vector<MailRequest> mails;
    std::vector<StartedProgram> started;
    bool pdfViewer = true;
    bool instanceFree = true;
    int raiseRequests = 0;
    std::vector<std::string> connections;               // hosts the program asked to connect to
    bool mailStarts = true;                             // SendMail's answer
    bool programStarts = true;                          // StartProgram's answer
    std::string mailtoHandler;                          // "" = none registered
    std::map<std::string, std::string> desktopEntries;  // id -> text
    std::map<std::string, std::string> programs = {{"xdg-email", "/usr/bin/xdg-email"}};
    std::string desktopFolder;  // set by whoever expects a desktop copy

    bool ShellOpen(const std::string& target) override {
        opened.push_back(target);
        return true;
    }
    bool PdfViewerPresent() override { return pdfViewer; }
    void ShowHelpTopic(const std::string&, int topic) override { helpTopics.push_back(topic); }
    bool SendMail(const MailRequest& mail) override {
        if (!mailStarts) return false;
        mails.push_back(mail);
        return true;
    }
    bool AcquireSingleInstance(const std::string&) override { return instanceFree; }
    void SignalRunningInstance(const std::string&) override { ++raiseRequests; }
    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override {
        started.push_back({program, args});
        return true;
    }
    // Only the loopback interface: a test never reaches the internet.
    bool MayConnect(const std::string& host) override {
        connections.push_back(host);
        return host == "localhost" || host == "::1" || host == "[::1]" ||
               host.rfind("127.", 0) == 0;
    }
    std::string MailtoHandler() override { return mailtoHandler; }
    std::string DesktopEntry(const std::string& id) override {
        auto it = desktopEntries.find(id);
        return it == desktopEntries.end() ? std::string() : it->second;
    }
    std::string FindProgram(const std::string& name) override {
        auto it = programs.find(name);
        return it == programs.end() ? std::string() : it->second;
    }
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override {
        if (!programStarts) return false;
        started.push_back({program, args});
        return true;
    }
    std::string DesktopFolder() override { return desktopFolder; }
};
