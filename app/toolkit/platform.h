// Everything that reaches outside the process goes through this seam: opening
// a file, folder or web page in another program, help pages, the mail
// hand-off (the desktop's mailto: handler, starting a mail program), the
// user's desktop folder, the single-instance lock and the PDF-viewer probe. Tests (and the
// robot) install their own Platform so that nothing outside is ever started.
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

// The platform in use. Defaults to the desktop platform (xdg-open, lock file).
Platform& CurrentPlatform();
// Replaces the platform (tests); returns the previous one.
std::unique_ptr<Platform> SetPlatform(std::unique_ptr<Platform> p);
// The page the desktop platform opens for a help topic (a file:// address):
// helpFolder + "topic-<n>.html" when that file exists, else index.html;
// topic 0 is index.html, -1 index.html#index.
std::string HelpTopicUrl(const std::string& helpFolder, int topic);
// The arguments given to xdg-email for a mail.
std::vector<std::string> MailCommandArgs(const MailRequest& mail);
// A new desktop platform (tests of the single-instance lock use two of them).
std::unique_ptr<Platform> MakeDesktopPlatform();
// How many "raise" requests a desktop platform's instance listener has received.
int DesktopRaiseRequests(Platform& p);

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
    bool mailStarts = true;     // SendMail's answer
    bool programStarts = true;  // StartProgram's answer
    int signals = 0;
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
    void SignalRunningInstance(const std::string&) override { ++signals; }
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
