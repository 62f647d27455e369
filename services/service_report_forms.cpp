// Forms SR and TS: the service-report dialog and its terms. The dialog shows
// the system description exactly as written to ServiceReport.txt; "Create
// Report" builds the report archive and hands it to the mail program or puts
// it on the desktop (services/mail_handoff.h), and this file only shows what
// came of it.
#include <cstring>
#include <filesystem>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/toolkit/ez_forms.h"
#include "services/forms.h"
#include "services/mail_handoff.h"
#include "ui/layout.h"
#include "ui/msgbox.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kForm = "SR";
constexpr double kWidth = 72;
constexpr double kHeight = 30;
constexpr int kHelpTopic = 350;

enum : int {
    kHeading = 100,
    kProblem = 105,
    kCanHelp = 110,
    kPicture = 115,
    kIntro = 120,
    kReportText = 125,
    kSends = 130,
    kInclude = 135,
    kToDesktop = 140,
    kAgree = 145,
    kTermsLink = 150,
    kCreate = 155,
    kCancel = 160,
    kHelp = 165,
};

constexpr const char* kTermsName = "TS";
constexpr double kTermsWidth = 70;
constexpr double kTermsHeight = 26;

// A write failure on opening is told once the dialog is on screen.
constexpr int kPostTextError = 1;

struct DialogState {
    int textError = 0;
};
DialogState& State() {
    static DialogState s;
    return s;
}

std::string ErrorText(int error) {
    return error ? std::string(std::strerror(error)) : std::string("Unknown error");
}

// What the user does with the report file when the program could not hand it
// over: which file, where it is, and where to send it.
std::string SendItYourself(const std::string& path) {
    const fs::path p(path);
    return "The report file " + p.filename().string() + " is in the folder|" +
           p.parent_path().string() + "||Please attach it to an e-mail to " + kSupportAddress +
           " and describe the problem in the e-mail.";
}

void ShowOutcome(const ReportResult& r) {
    switch (r.outcome) {
        case ReportOutcome::DatabaseBusy:
            DgMsgOk("Service Report", "The database is being written to.{f10,t4}",
                    "No report was made. Please finish the change and try again.{f6}");
            break;
        case ReportOutcome::ArchiveFailed:
            DgMsgOk("Service Report", "Unable to create the report file.{f10,t4}",
                    "No report was made (error " + std::to_string(r.error) + ").{f6}");
            break;
        case ReportOutcome::NoDesktop:
            DgMsgOk("Service Report", "Unable to find your desktop folder.{f10,t4}",
                    SendItYourself(r.archive) + "{f6}");
            break;
        case ReportOutcome::DesktopCopyFailed:
            DgMsgOk("Service Report",
                    "Unable to copy the report file to your desktop:|" + r.path + "{f10,t4}",
                    ErrorText(r.error) + "||" + SendItYourself(r.archive) + "{f6}");
            break;
        case ReportOutcome::CopiedToDesktop:
            DgMsgOk("Service Report", "The report file has been put on your desktop.{f10}",
                    SendItYourself(r.path) + "{f6}");
            break;
        case ReportOutcome::NoMailClient:
            // What the desktop answered follows, for whoever sets up the mail program.
            DgMsgOk("Email Client Error", "Unable to open your default email client.{f10,t4}",
                    SendItYourself(r.archive) + "|" + NoMailClientDetails(r.client));
            break;
        case ReportOutcome::MailFailed:
            DgMsgOk("Email Client Error", "Unable to open your default email client.{f10,t4}",
                    SendItYourself(r.path.empty() ? r.archive : r.path) + "{f6}");
            break;
        case ReportOutcome::MailStarted:
            break;
    }
}

void DesignServiceReport() {
    EZ_DEFFONT(kFontReportHeading, "", 14, "B");
    const std::string title = std::string(kProgramName) + " Service Report";

    EZ_CONTROL(kForm, kPicture, EzKind::Picture, "question.png", 2, 0.7, 7, 3.2);
    EZ_CONTROL(kForm, kHeading, EzKind::Label, title, 11, 0.5, kWidth - 13, 1.8);
    EZ_SETFONT(kForm, kHeading, kFontReportHeading);
    EZ_CONTROL(kForm, kProblem, EzKind::Label, "Got A Problem?", 11, 2.3, kWidth - 13, 1.2);
    EZ_SETFONT(kForm, kProblem, kFontBold);
    EZ_CONTROL(kForm, kCanHelp, EzKind::Label, "Submitting a Service Report Can Help", 11, 3.4,
               kWidth - 13, 1.2);
    EZ_CONTROL(kForm, kIntro, EzKind::Label,
               "If you're experiencing technical problems with the program, submitting a "
               "Service Report will let us help.",
               2, 5.0, kWidth - 4, 2.2, "W");
    EZ_CONTROL(kForm, kReportText, EzKind::Text, "", 2, 7.4, kWidth - 4, 9.8, "MR");
    EZ_CONTROL(kForm, kSends, EzKind::Label,
               "The Service Report sends information about your system and a backup of the "
               "program's data to Kelvora.",
               2, 17.5, kWidth - 4, 2.2, "W");
    EZ_CONTROL(kForm, kInclude, EzKind::Label,
               "You'll also be able to include specific information about the problem you're "
               "having.",
               2, 19.7, kWidth - 4, 2.2, "W");
    EZ_CONTROL(kForm, kToDesktop, EzKind::Check, "Send report file to desktop", 2, 22.4, 40, 1.4);
    const std::string agree = "I have read and agree to the";
    const double agreeWidth = EZ_TEXTWIDTH(0, agree) + 4;
    EZ_CONTROL(kForm, kAgree, EzKind::Check, agree, 2, 24, agreeWidth, 1.4);
    const std::string terms = "Service Report Terms and Conditions";
    EZ_CONTROL(kForm, kTermsLink, EzKind::Label, terms, 2 + agreeWidth, 24,
               EZ_TEXTWIDTH(0, terms) + 1, 1.4, "L");
    EZ_CONTROL(kForm, kCreate, EzKind::Button, "Create &Report", 2, kHeight - 2.6, 16, 1.8);
    EZ_CONTROL(kForm, kCancel, EzKind::Button, "&Cancel", kWidth - 28, kHeight - 2.6, 12, 1.8);
    EZ_CONTROL(kForm, kHelp, EzKind::Button, "&Help", kWidth - 14, kHeight - 2.6, 12, 1.8);
    if (Opts().tipsOn) {
        EZ_SETTOOLTIP(kForm, kToDesktop, "Check this box if you are using web-based email");
    }
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
}

void LoadServiceReport() {
    KeepDesignedSize(kForm, kWidth, kHeight);
    const std::string title = std::string(kProgramName) + " Service Report";
    EZ_SETTEXT(kForm, 0, title);
    EZ_SETTEXT(kForm, kHeading, title);
    // What the box shows is the very text the file holds.
    ReportTextResult report = WriteServiceReportText(Paths().appFolder);
    EZ_SETTEXT(kForm, kReportText, report.text);
    State().textError = report.error;
    if (report.error) EZ_POSTEVENT(kForm, 0, kPostTextError);
    EZ_ENABLE(kForm, kCreate, false);
    EZ_SETFOCUS(kForm, kAgree);
}

void CreateReport() {
    ReportResult r = CreateServiceReport(EZ_GETCHECK(kForm, kToDesktop));
    ShowOutcome(r);
    EZ_UNLOADFORM(kForm);
}

}  // namespace

static void SR_Design() {
    DesignServiceReport();
}

static void SR_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    if (CommonFormEvent(kForm, id, ev, {kHelp, kCancel}, kHelpTopic)) return;
    switch (ev) {
        case EzEvent::Loaded:
            if (id == 0) LoadServiceReport();
            break;
        case EzEvent::Posted:
            if (id == 0 && value == kPostTextError) {
                DgMsgOk("Service Report",
                        "Unable to write the report text to the file:|" + Paths().appFolder +
                            kReportTextName + "{f10,t4}",
                        ErrorText(State().textError) + "{f6}");
            }
            break;
        case EzEvent::Click:
            switch (id) {
                case kAgree:
                    EZ_ENABLE(kForm, kCreate, EZ_GETCHECK(kForm, kAgree));
                    break;
                case kTermsLink:
                    OpenForm(kTermsForm, kForm);
                    break;
                case kCreate:
                    CreateReport();
                    break;
                default:
                    break;
            }
            break;
        case EzEvent::Key:
            // In the report box Enter moves on and Esc closes the dialog.
            if (id == kReportText && value == kKeyEnter) {
                cancel = 1;
                EZ_SETFOCUS(kForm, kToDesktop);
            } else if (id == kReportText && value == kKeyEsc) {
                cancel = 1;
                EZ_UNLOADFORM(kForm);
            }
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------
// TS: the terms under which the report is sent.
// ---------------------------------------------------------------------------
namespace {

enum : int { kTermsText = 100, kTermsOk = 105 };

std::string TermsText() {
    return std::string("Kelvora, provides diagnostic services and support for the ") +
           kProgramName +
           " program. A Service Report gives our support staff what they need to find the "
           "cause of a problem you are having with the program, and we will answer you by "
           "e-mail with what we find and what you can do. In no case does submitting a Service "
           "Report guarantee a resolution to your problem. However, Kelvora will make every "
           "effort to provide a solution to the best of our ability.\r\n\r\n"
           "Submitting a Service Report sends technical information on your computer's "
           "operating system and a complete backup of your database to Kelvora. We hold this "
           "information in confidence and will not release it to any third party except as "
           "required by law. The report includes your station database: everything you have "
           "entered in the program about your stations, their issues and programs, with any "
           "names and contact details in it, together with the program's settings file, is "
           "transmitted to Kelvora.\r\n\r\n";
}

}  // namespace

static void TS_Design() {
    EZ_DEFFONT(kFontReportTerms, "Calibri", 10, "");
    EZ_CONTROL(kTermsName, kTermsText, EzKind::Text, TermsText(), 1.5, 0.8, kTermsWidth - 3,
               kTermsHeight - 4.2, "MR");
    EZ_SETFONT(kTermsName, kTermsText, kFontReportTerms);
    EZ_CONTROL(kTermsName, kTermsOk, EzKind::Button, "&OK", kTermsWidth - 13.5, kTermsHeight - 2.6,
               12, 1.8);
    EZ_ACCEL(kTermsName, "F1", kHelpKeyId);
}

static void TS_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    // The terms have the service report's help topic.
    if (CommonFormEvent(kTermsName, id, ev, {.exit = kTermsOk}, kHelpTopic)) return;
    switch (ev) {
        case EzEvent::Loaded:
            if (id == 0) {
                KeepDesignedSize(kTermsName, kTermsWidth, kTermsHeight);
                EZ_SETFOCUS(kTermsName, kTermsOk);
            }
            break;
        case EzEvent::Key:
            if (id == kTermsText && value == kKeyEsc) {
                cancel = 1;
                EZ_UNLOADFORM(kTermsName);
            }
            break;
        default:
            break;
    }
}

namespace {
constexpr ControlName kControls[] = {
    {"Heading", kHeading}, {"Problem", kProblem},     {"CanHelp", kCanHelp},
    {"Picture", kPicture}, {"Intro", kIntro},         {"ReportText", kReportText},
    {"Sends", kSends},     {"Include", kInclude},     {"ToDesktop", kToDesktop},
    {"Agree", kAgree},     {"TermsLink", kTermsLink}, {"Create", kCreate},
    {"Cancel", kCancel},   {"Help", kHelp},
};
constexpr ControlName kTermsControls[] = {
    {"Text", kTermsText},
    {"Ok", kTermsOk},
};
}  // namespace

constinit const FormDecl kServiceReportForm = {
    .name = "SR",
    .caption = "Service Report",
    .width = kWidth,
    .height = kHeight,
    .style = "",
    .helpTopic = kHelpTopic,
    .design = SR_Design,
    .event = SR_Event,
    .controls = kControls,
};
constinit const FormDecl kTermsForm = {
    .name = "TS",
    .caption = "Service Report Terms & Conditions",
    .width = kTermsWidth,
    .height = kTermsHeight,
    .style = "",
    .helpTopic = kHelpTopic,
    .design = TS_Design,
    .event = TS_Event,
    .controls = kTermsControls,
};
