#include "services/mail_handoff.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/platform.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "data/query.h"
#include "services/backup.h"
#include "services/system_report.h"

namespace fs = std::filesystem;

namespace {

// The desktop-entry string escapes: \s \n \t \r \\.
std::string UnescapeEntryValue(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            char n = value[++i];
            switch (n) {
                case 's':
                    c = ' ';
                    break;
                case 'n':
                    c = '\n';
                    break;
                case 't':
                    c = '\t';
                    break;
                case 'r':
                    c = '\r';
                    break;
                case '\\':
                    c = '\\';
                    break;
                default:
                    out += '\\';
                    c = n;
                    break;
            }
        }
        out += c;
    }
    return out;
}

// Drops the field codes (%u, %F ...) of one Exec argument; "%%" is a percent sign.
std::string WithoutFieldCodes(const std::string& word, bool& hadCode) {
    std::string out;
    for (size_t i = 0; i < word.size(); ++i) {
        if (word[i] == '%' && i + 1 < word.size()) {
            if (word[i + 1] == '%') {
                out += '%';
            } else {
                hadCode = true;
            }
            ++i;
            continue;
        }
        out += word[i];
    }
    return out;
}

// Copies the report archive to the desktop; the errno of a failure, 0 when copied.
int CopyToDesktop(const std::string& archive, const std::string& copy) {
    std::string bytes;
    return ReadWholeFile(archive, bytes) ? WriteFileAtomically(copy, bytes).error : EIO;
}

}  // namespace

std::vector<std::string> DesktopEntryCommand(std::string_view bytes) {
    bool inEntry = false;
    for (const std::string& raw : Split(bytes, "\n")) {
        std::string line = Trim(TrimChars(raw, "\r"));
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry) continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos || Trim(line.substr(0, eq)) != "Exec") continue;
        std::string value = UnescapeEntryValue(Trim(line.substr(eq + 1)));
        // Arguments are separated by blanks; a double-quoted argument may hold
        // blanks, and in it a backslash escapes " ` $ and backslash.
        std::vector<std::string> words;
        std::string word;
        bool inWord = false, quoted = false;
        for (size_t i = 0; i < value.size(); ++i) {
            char c = value[i];
            if (quoted) {
                if (c == '"') {
                    quoted = false;
                } else if (c == '\\' && i + 1 < value.size() &&
                           std::strchr("\"`$\\", value[i + 1]) != nullptr) {
                    word += value[++i];
                } else {
                    word += c;
                }
            } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                if (inWord) words.push_back(word);
                word.clear();
                inWord = false;
            } else if (c == '"') {
                quoted = inWord = true;
            } else {
                word += c;
                inWord = true;
            }
        }
        if (inWord) words.push_back(word);
        std::vector<std::string> command;
        for (const std::string& w : words) {
            bool hadCode = false;
            std::string arg = WithoutFieldCodes(w, hadCode);
            if (!(hadCode && arg.empty())) command.push_back(arg);
        }
        return command;
    }
    return {};
}

MailClient DefaultMailClient() {
    Platform& p = CurrentPlatform();
    MailClient client;
    client.handler = TrimChars(p.MailtoHandler(), " \t\r\n");
    client.mailTool = p.FindProgram("xdg-email");
    if (client.handler.empty()) return client;
    client.found = true;
    if (ToLower(client.handler).find("thunderbird") != std::string::npos) {
        client.command = DesktopEntryCommand(p.DesktopEntry(client.handler));
        if (client.command.empty()) {
            std::string program = p.FindProgram("thunderbird");
            if (!program.empty()) client.command = {program};
        }
        // Without a program to start, xdg-email still reaches it.
        if (!client.command.empty()) client.kind = "thunderbird";
    }
    return client;
}

std::string NoMailClientDetails(const MailClient& client) {
    auto shown = [](const std::string& v) { return v.empty() ? std::string("No value") : v; };
    return "|mailto handler = " + shown(client.handler) + "|xdg-email = " + shown(client.mailTool) +
           "{f6}";
}

std::string ThunderbirdComposeArgument(const std::string& address, const std::string& subject,
                                       const std::string& body, const std::string& attachment) {
    // A path that would break the -compose syntax (quotes, commas) goes as a
    // file address, in which they are percent-encoded.
    std::string file =
        attachment.find_first_of("',") == std::string::npos ? attachment : FileUrl(attachment);
    return "to='" + address + "',subject='" + subject + "',body='" + body + "',attachment='" +
           file + "'";
}

bool SendMailWithAttachment(const std::string& address, const std::string& /*name*/,
                            const std::string& subject, const std::string& body,
                            const std::string& attachment, const MailClient& client) {
    Platform& p = CurrentPlatform();
    if (client.kind == "thunderbird" && !client.command.empty()) {
        std::vector<std::string> args(client.command.begin() + 1, client.command.end());
        args.push_back("-compose");
        args.push_back(ThunderbirdComposeArgument(address, subject, body, attachment));
        return p.StartProgram(client.command.front(), args);
    }
    MailRequest mail;
    mail.to = address;
    mail.subject = subject;
    mail.body = body;
    mail.attachments = {attachment};
    return p.SendMail(mail);
}

std::string DesktopFolder() {
    return WithSeparator(CurrentPlatform().DesktopFolder());
}

bool DatabaseAtRest() {
    if (!slIsOpen()) return true;
    // Taking the write lock fails inside an open transaction and while another
    // connection is writing; released at once when it succeeds.
    if (slExe("BEGIN IMMEDIATE") != 0) return false;
    slExe("ROLLBACK");
    return true;
}

ReportTextResult WriteServiceReportText(const std::string& folder) {
    ReportTextResult r;
    r.text = ServiceReportText();
    r.error = WriteFileAtomically(folder + kReportTextName, r.text).error;
    return r;
}

ReportResult CreateServiceReport(bool toDesktop) {
    ReportResult r;
    r.archive = Paths().appFolder + kReportArchiveName;
    if (!DatabaseAtRest()) {
        r.outcome = ReportOutcome::DatabaseBusy;
        return r;
    }
    // An archive left by an earlier report must never be sent in place of this one.
    std::error_code ec;
    fs::remove(FsPath(r.archive), ec);
    r.error = CreateBackupArchive(r.archive, false, true);
    if (r.error != 0 || !fs::is_regular_file(FsPath(r.archive), ec)) {
        fs::remove(FsPath(r.archive), ec);
        r.outcome = ReportOutcome::ArchiveFailed;
        return r;
    }
    if (toDesktop) {
        std::string desktop = DesktopFolder();
        if (desktop.empty()) {
            r.outcome = ReportOutcome::NoDesktop;
            return r;
        }
        r.path = desktop + kReportArchiveName;
        r.error = CopyToDesktop(r.archive, r.path);
        r.outcome = r.error ? ReportOutcome::DesktopCopyFailed : ReportOutcome::CopiedToDesktop;
        return r;
    }
    r.client = DefaultMailClient();
    if (!r.client.found) {
        r.outcome = ReportOutcome::NoMailClient;
        return r;
    }
    if (SendMailWithAttachment(kSupportAddress, kSupportAddress, kReportSubject, kReportBody,
                               r.archive, r.client)) {
        r.outcome = ReportOutcome::MailStarted;
        return r;
    }
    // The mail program would not take it: the user sends it from the desktop.
    r.outcome = ReportOutcome::MailFailed;
    const std::string desktop = DesktopFolder();
    if (!desktop.empty() && CopyToDesktop(r.archive, desktop + kReportArchiveName) == 0)
        r.path = desktop + kReportArchiveName;
    return r;
}
