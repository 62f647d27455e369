// Creating the service report and handing it to the user's mail program, or
// putting it on the desktop for web mail. Window-free: the dialog shows the
// messages for the outcome it gets back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kSupportAddress = "support@kelvora.com";
inline constexpr const char* kSupportWebAddress = "https://www.kelvora.com/support";
inline constexpr const char* kReportArchiveName = "Vantrel_ServiceReport.zip";
inline constexpr const char* kReportTextName = "ServiceReport.txt";
inline constexpr const char* kReportSubject = "Vantrel Report";
inline constexpr const char* kReportBody = "Please describe the problem:";

// The desktop's mail program for mailto: addresses.
struct MailClient {
    bool found = false;                // a handler is registered
    std::string kind;                  // "thunderbird" or "" (handed over through xdg-email)
    std::vector<std::string> command;  // the thunderbird kind: its program and leading arguments
    std::string handler;               // the desktop's answer for mailto: ("" when none)
    std::string mailTool;              // where xdg-email is installed ("" when absent)
};
MailClient DefaultMailClient();
// The second text of the "Email Client Error" shown when no handler is registered.
std::string NoMailClientDetails(const MailClient& client);

// The words of the Exec line in the [Desktop Entry] group of a desktop entry:
// unescaped and unquoted, field codes such as %u left out. Empty when there is
// no such line. Any bytes are accepted.
std::vector<std::string> DesktopEntryCommand(std::string_view bytes);

// The argument thunderbird takes after -compose.
std::string ThunderbirdComposeArgument(const std::string& address, const std::string& subject,
                                       const std::string& body, const std::string& attachment);

// Hands one message with one attachment to the mail program: thunderbird's own
// -compose for that kind, xdg-email for every other. False when the program
// cannot be started.
bool SendMailWithAttachment(const std::string& address, const std::string& name,
                            const std::string& subject, const std::string& body,
                            const std::string& attachment, const MailClient& client);

// The user's desktop folder with a trailing "/"; "" when there is none.
std::string DesktopFolder();

// True when no write to the database is under way, so that its file is whole:
// no transaction of this program is open and no other program holds the write lock.
bool DatabaseAtRest();

// The report text written to ServiceReport.txt and shown by the dialog.
struct ReportTextResult {
    std::string text;  // CR LF line ends
    int error = 0;     // errno of a failed write, 0 when written
};
ReportTextResult WriteServiceReportText(const std::string& folder);

enum class ReportOutcome {
    DatabaseBusy,       // a write was under way: nothing was built
    ArchiveFailed,      // the archive could not be built (error holds its code)
    CopiedToDesktop,    // path: the copy on the desktop
    NoDesktop,          // no desktop folder was found
    DesktopCopyFailed,  // path: the copy that failed; error: errno
    NoMailClient,       // client: what was found
    MailStarted,
    MailFailed,  // the mail program could not be started; path: the copy put on the
                 // desktop instead ("" when there is none)
};
struct ReportResult {
    ReportOutcome outcome = ReportOutcome::ArchiveFailed;
    int error = 0;
    std::string archive;  // the archive in the program folder
    std::string path;
    MailClient client;
};
// "Create Report": builds the archive (database, then settings file) in the
// program folder, then copies it to the desktop or hands it to the mail program.
ReportResult CreateServiceReport(bool toDesktop);
