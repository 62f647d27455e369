// The quarterly Issues/Programs list: Section I lists the station's issues in
// rank order, Section II every program that addressed each issue with the
// paragraph telling when it aired.
#include "reports/issues_programs_list.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/platform.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez.h"
#include "data/airings.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "data/query.h"
#include "reports/airing.h"
#include "ui/data_controls.h"
#include "ui/msgbox.h"

namespace {

// Page geometry in layout points (y downward from the top edge).
constexpr double kLeft = 36;
constexpr double kRight = 576;
constexpr double kCentre = 306;
constexpr double kFirstLine = 49;
constexpr double kStep = kPdfLineStep;
constexpr double kBottom = 755;

struct Layout {
    HPDF_Doc doc = nullptr;
    HPDF_Font roman = nullptr;
    HPDF_Font bold = nullptr;
    const IssuesListData* data = nullptr;
    PdfErrorState* errors = nullptr;
    HPDF_Page page = nullptr;
    int pages = 0;
    double y = 0;
    double pageTop = 0;  // y where the body of the current page begins
    int section = 1;
    bool firstOfSection = true;
    PdfWrapCache wraps;  // Section II paragraphs, each printed under every issue it addresses
};

void Write(Layout& L, const std::string& text, double x, HPDF_Font font, double size, int align) {
    PdfTextLine(L.page, text, x, L.y, font, size, align);
}

void StartPage(Layout& L) {
    const IssuesListData& d = *L.data;
    L.page = PdfAddPage(L.doc);
    ++L.pages;
    L.y = kFirstLine;
    // The two header lines share one text object.
    if (L.page) HPDF_Page_BeginText(L.page);
    PdfText(L.page, "Quarterly Issues/Programs List for Station " + d.calls, kLeft, L.y, L.bold, 12,
            kPdfAlignLeft);
    PdfText(L.page, "Period: " + d.longPeriod, kRight, L.y, L.bold, 12, kPdfAlignRight);
    PdfText(L.page, "Placed in the Public File " + d.placedText, kLeft, L.y + 16, L.roman, 10,
            kPdfAlignLeft);
    // A station without a city of license shows its call letters alone.
    PdfText(L.page, d.license.empty() ? d.calls : d.calls + ", " + d.license, kCentre, L.y + 16,
            L.roman, 10, kPdfAlignCentre);
    PdfText(L.page, "Page " + std::to_string(L.pages), kRight, L.y + 16, L.roman, 10,
            kPdfAlignRight);
    // A list read from a damaged database never passes for a complete one.
    if (d.incomplete)
        PdfText(L.page, kIncompleteNote, kCentre, L.y + 29, L.bold, 9, kPdfAlignCentre);
    if (L.page) HPDF_Page_EndText(L.page);
    PdfRule(L.page, kLeft, kRight, L.y + 3, 0, 0, 0, 0.1);
    L.y += 16 + 26;
    if (L.section == 1) {
        L.y += 13;
        if (L.firstOfSection) {
            Write(L, "Section I: Issues", kCentre, L.bold, 12, kPdfAlignCentre);
            L.y += 26;
            Write(L,
                  d.calls + " has identified the following topics " +
                      "as significant issues facing our community in this quarter:",
                  kLeft, L.roman, 10, kPdfAlignLeft);
            L.y += 26;
            L.firstOfSection = false;
        } else {
            Write(L, "Section I: Issues (Continued)", kCentre, L.bold, 12, kPdfAlignCentre);
            L.y += 26;
        }
    } else {
        const bool first = L.firstOfSection;
        Write(L,
              first ? std::string("Section II: Responsive Programs")
                    : std::string("Section II: Responsive Programs (Continued)"),
              kCentre, L.bold, 12, kPdfAlignCentre);
        L.firstOfSection = false;
        L.y += 26;
        if (first) {
            const std::string intro = d.calls +
                                      " broadcast programming dealing with the various issues " +
                                      "outlined in Section I of this list.  The programming was "
                                      "aired on the " +
                                      "dates and times as follows:";
            const double headingWidth = PdfTextWidth(L.page, intro, L.bold, 12);
            int lines = 1 + static_cast<int>(std::lround(headingWidth)) / 612;
            PdfSetFont(L.page, L.roman, 10);
            lines = std::max(lines, PdfLineCount(L.page, intro, kRight - kLeft));
            L.y = PdfTextBox(L.page, kLeft, L.y - 9, kRight, lines, intro, L.roman, 10, 0) + 9;
        }
    }
    L.pageTop = L.y;
}

int CountCrLf(const std::string& text) {
    int n = 0;
    for (size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2)) ++n;
    return n;
}

// Draws wrapped lines in a box from x left to right whose first baseline is
// y, reserving `reserve` lines (at least the number of wrapped lines). When
// the box would carry a baseline past lastBaseline, what fits is drawn, a new
// page is started by newPage (which returns the next baseline) and the rest
// continues there. Returns the baseline after the box's last reserved line.
// A non-empty title is written in bold 10 one line above the box, in the text
// object of the box's first lines.
double DrawWrapped(Layout& L, double left, double right, double y, int reserve,
                   const std::vector<std::string>& wrapped, double lastBaseline,
                   const std::function<double()>& newPage, const std::string& title = {}) {
    size_t index = 0;
    int remaining = std::max<int>(reserve, static_cast<int>(wrapped.size()));
    for (bool first = true;; first = false) {
        const int fits = static_cast<int>(std::floor((lastBaseline - y) / kStep)) + 1;
        const int take = (remaining <= fits || fits < 1) ? remaining : fits;
        (void)right;  // the lines were wrapped to the box's width already
        if (first && !title.empty())
            PdfWriteHeadedLines(L.page, left, y - kStep, title, L.bold, 10, wrapped, index,
                                static_cast<size_t>(take), L.roman, 10);
        else
            PdfWriteLines(L.page, left, y, wrapped, index, static_cast<size_t>(take), L.roman, 10);
        index += static_cast<size_t>(take);
        remaining -= take;
        if (remaining <= 0) return y + kStep * take;
        y = newPage();
    }
}

void SectionOne(Layout& L, bool& stop) {
    const IssuesListData& d = *L.data;
    L.section = 1;
    L.firstOfSection = true;
    StartPage(L);
    for (size_t i = 0; i < d.issues.size(); ++i) {
        const ListIssue& issue = d.issues[i];
        const std::string text = issue.title + ":  " + issue.description;
        const double width = PdfTextWidth(L.page, text, L.roman, 10);
        int lines = 1 + static_cast<int>(std::lround(width)) / 486 + CountCrLf(text);
        // The box is 450 points wide: reserve at least the lines the text
        // really takes there, or its end would be cut off.
        const std::vector<std::string> wrapped = PdfWrapLines(L.page, text, 540 - 90);
        lines = std::max(lines, static_cast<int>(wrapped.size()));
        const bool pastBox = L.y - 9 + kStep * lines > kBottom && L.y > L.pageTop;
        if (L.y + 65 >= kBottom || pastBox) {
            StartPage(L);
            if (L.errors->failed) {
                stop = true;
                return;
            }
        }
        Write(L, std::to_string(i + 1) + ".", 72, L.roman, 10, kPdfAlignLeft);
        const double next = DrawWrapped(L, 90, 540, L.y, lines, wrapped, kBottom - 4, [&L] {
            StartPage(L);
            return L.y;
        });
        L.y = next + 4;  // the box's bottom edge + 13
    }
}

// Writes a heading or title from x, wrapped inside the right margin: the
// lines one under the other 13 points apart, each starting at x. Leaves y on
// the last line's baseline.
void WriteWrapped(Layout& L, const std::vector<std::string>& lines, double x, HPDF_Font font,
                  double size) {
    for (size_t k = 0; k < lines.size(); ++k) {
        if (k > 0) L.y += kStep;
        Write(L, lines[k], x, font, size, kPdfAlignLeft);
    }
}

void SectionTwo(Layout& L) {
    const IssuesListData& d = *L.data;
    L.section = 2;
    L.firstOfSection = true;
    StartPage(L);
    // Headings (bold 11 from x 36) and program titles (bold 10 from x 72)
    // wrap inside the right margin; one that fits stays a single line.
    const auto headingLines = [&L](const std::string& text) {
        return PdfWrapTitle(L.bold, 11, text, kRight - kLeft);
    };
    const auto titleLines = [&L](const std::string& text) {
        return PdfWrapTitle(L.bold, 10, text, kRight - 72);
    };
    for (size_t i = 0; i < d.issues.size(); ++i) {
        const ListIssue& issue = d.issues[i];
        const std::string number = std::to_string(i + 1);
        const std::vector<std::string> plainHeading =
            headingLines(number + ". " + issue.title + ":");
        const std::vector<std::string> continuedHeading =
            headingLines(number + ". " + issue.title + " (Continued):");
        bool headingPrinted = false;
        for (const ListProgram& program : issue.programs) {
            PdfSetFont(L.page, L.roman, 10);
            const std::vector<std::string>& wrapped = L.wraps.Wrap(L.page, program.paragraph, 468);
            const int lines = static_cast<int>(wrapped.size());
            const std::vector<std::string> title = titleLines(program.title);
            const auto extra = [](const std::vector<std::string>& v) {
                return kStep * static_cast<double>(v.size() - 1);
            };
            // The issue heading (a blank line and 26 points) stays with its first program.
            const double heading = headingPrinted ? 0 : 13 + 26 + extra(plainHeading);
            if (L.y + heading + extra(title) + kStep * (1 + lines) > kBottom && L.y > L.pageTop) {
                StartPage(L);
                WriteWrapped(L, headingPrinted ? continuedHeading : plainHeading, kLeft, L.bold,
                             11);
                headingPrinted = true;
                L.y += 26;
            }
            if (!headingPrinted) {
                L.y += 13;
                WriteWrapped(L, plainHeading, kLeft, L.bold, 11);
                headingPrinted = true;
                L.y += 26;
            }
            // All but the last line of a long title stand alone; the last
            // line and the paragraph below it share a text object. A
            // paragraph taller than a page goes on over the next pages.
            for (size_t k = 0; k + 1 < title.size(); ++k) {
                Write(L, title[k], 72, L.bold, 10, kPdfAlignLeft);
                L.y += kStep;
            }
            L.y += 13;
            L.y = DrawWrapped(
                L, 72, 540, L.y, lines, wrapped, kBottom - kStep,
                [&] {
                    StartPage(L);
                    WriteWrapped(L, continuedHeading, kLeft, L.bold, 11);
                    L.y += 26;
                    WriteWrapped(L, titleLines(program.title + " (Continued)"), 72, L.bold, 10);
                    L.y += 13;
                    return L.y;
                },
                title.back());
        }
    }
}

// Whether any text the list prints has characters WinAnsi cannot hold.
bool NeedsUnicodeFont(const IssuesListData& d) {
    for (const std::string* text : {&d.calls, &d.license, &d.longPeriod, &d.placedText})
        if (!FitsWinAnsi(*text)) return true;
    for (const ListIssue& issue : d.issues) {
        if (!FitsWinAnsi(issue.title) || !FitsWinAnsi(issue.description)) return true;
        for (const ListProgram& program : issue.programs)
            if (!FitsWinAnsi(program.title) || !FitsWinAnsi(program.paragraph)) return true;
    }
    return false;
}

std::string QuarterText(int32_t q) {
    return std::to_string(q);
}

}  // namespace

bool GoOnWithIncompleteData(const std::string& what) {
    return DgMsgAsk("Database Damaged",
                    "Part of the database could not be read: this " + what +
                        " may be incomplete.{f10,t4}",
                    "What could not be read is left out. Restore your latest backup "
                    "(Tools > Restore Database) for a complete " +
                        what + ".{f6}",
                    "", "*{G,f7}|&Go On|&Cancel", 2) == 1;
}

std::string PlacedDateText(int32_t day) {
    std::string text = day == 0 ? TodayDateText() : JulianDate2Text(day, 1);
    if (text.size() < 4) return text;
    return MonthDayText(text) + ", " + text.substr(text.size() - 4);
}

IssuesListData LoadIssuesListData(int32_t quarter, const std::string& calls, int32_t placedDay) {
    IssuesListData d;
    d.calls = calls;
    d.quarter = quarter;
    d.longPeriod = QuarterPeriodText(quarter, 0);
    d.placedText = PlacedDateText(placedDay);
    const std::string q = QuarterText(quarter);
    const RowId stationId = StationIdByCalls(calls, q);
    if (stationId <= 0) {
        d.incomplete = slIsDamaged();
        return d;
    }
    const std::string stn = std::to_string(stationId);
    d.license = SelectField("Stations", "License", "StnID = " + stn + " AND QtrID = " + q);

    std::unordered_map<std::string, size_t> issueIndex;
    {
        ResultSet rs("SELECT IID, IIssue, IDescription FROM Issues WHERE IQtr = " + q +
                     " AND SID = " + stn + " ORDER BY IRank");
        while (rs.next()) {
            ListIssue issue;
            issue.iid = rs.text(0);
            issue.title = rs.text(1);
            issue.description = rs.text(2);
            issueIndex.emplace(issue.iid, d.issues.size());
            d.issues.push_back(std::move(issue));
        }
        if (!rs.complete()) d.incomplete = true;
    }
    if (d.issues.empty()) {
        d.incomplete = d.incomplete || slIsDamaged();
        return d;
    }

    // The station's airings, read once for the whole report and by column
    // position: thousands of rows. Sorted here by entry, day and time (a sort
    // in the query would cost more), so each entry's airings are one run.
    struct EntryAiring {
        RowId mid;
        int32_t day, minutes;
        bool operator<(const EntryAiring& o) const {
            return std::tie(mid, day, minutes) < std::tie(o.mid, o.day, o.minutes);
        }
    };
    std::vector<EntryAiring> airings;
    {
        ResultSet rs("SELECT MLink,AirDate,AirTime FROM DateTime WHERE " +
                     AiringsOfEntriesWhere("Qtr = " + q + " AND Station = " + stn));
        while (rs.next())
            airings.push_back({rs.integer(0), static_cast<int32_t>(rs.integer(1)),
                               static_cast<int32_t>(rs.integer(2))});
        if (!rs.complete()) d.incomplete = true;
    }
    std::sort(airings.begin(), airings.end());

    // The entries with their program's texts, in the order they were entered.
    ResultSet rs(
        "SELECT m.MID, m.Issue, m.FreqCheck, m.Frequency, p.Duration, p.Title, p.PDescription "
        "FROM Master m LEFT JOIN Programs p ON p.PID = m.Pgm WHERE m.Qtr = " +
        q + " AND m.Station = " + stn + " ORDER BY m.MID");
    std::vector<size_t> targets;
    Airings times;
    while (rs.next()) {
        targets.clear();
        for (const std::string& field : Split(rs.text(1), "|")) {
            auto it = issueIndex.find(field);
            if (it != issueIndex.end()) targets.push_back(it->second);
        }
        if (targets.empty()) continue;
        const RowId mid = rs.integer(0);
        const auto first = std::lower_bound(airings.begin(), airings.end(),
                                            EntryAiring{mid, INT32_MIN, INT32_MIN});
        times.clear();
        for (auto it = first; it != airings.end() && it->mid == mid; ++it)
            times.push_back({it->day, it->minutes});
        ListProgram program;
        program.title = rs.text(5);
        program.paragraph =
            ProgramParagraph(times, std::string(rs.text(2)), std::string(rs.text(3)),
                             std::string(rs.text(4)), std::string(rs.text(6)));
        for (size_t k = 0; k + 1 < targets.size(); ++k)
            d.issues[targets[k]].programs.push_back(program);
        d.issues[targets.back()].programs.push_back(std::move(program));
    }
    if (!rs.complete() || slIsDamaged()) d.incomplete = true;
    return d;
}

PdfDocument ComposeIssuesProgramsList(const IssuesListData& data, PdfErrorState& errors) {
    PdfDocument doc = NewPdfDocument(errors);
    if (!doc) return nullptr;
    Layout L;
    L.doc = doc.get();
    const PdfFontPair fonts = PdfReportFonts(L.doc, NeedsUnicodeFont(data), "Times-Roman",
                                             "Times-Bold", kSerifFontFile, kSerifBoldFontFile);
    L.roman = fonts.regular;
    L.bold = fonts.bold;
    L.data = &data;
    L.errors = &errors;
    bool stop = false;
    SectionOne(L, stop);
    if (stop) return nullptr;
    SectionTwo(L);
    return doc;
}

std::string FitFileName(const std::string& variable, const std::string& ending) {
    if (ending.size() >= kMaxFileNameBytes) return CutBytes(ending, kMaxFileNameBytes);
    return CutBytes(variable, kMaxFileNameBytes - ending.size()) + ending;
}

std::string IssuesListFileName(const std::string& calls, int32_t quarter) {
    const auto clean = [](std::string text) {
        text = ReplaceAll(text, " ", "_");
        // Call letters written with a slash must not turn into a folder.
        text = ReplaceAll(text, "/", "_");
        return ReplaceAll(text, "\\", "_");
    };
    return FitFileName(clean(calls),
                       clean("_Issues_Programs_" + QuarterPeriodText(quarter, 1) + ".PDF"));
}

std::string PdfDocumentBytes(HPDF_Doc doc) {
    std::string bytes;
    if (!doc || HPDF_SaveToStream(doc) != HPDF_OK) return bytes;
    const HPDF_UINT32 size = HPDF_GetStreamSize(doc);
    bytes.resize(size);
    HPDF_ResetStream(doc);
    // Exactly the stream's size is read: reading past its end counts as an error.
    HPDF_UINT32 done = 0;
    while (done < size) {
        HPDF_UINT32 chunk = std::min<HPDF_UINT32>(size - done, 1 << 20);
        if (HPDF_ReadFromStream(doc, reinterpret_cast<HPDF_BYTE*>(bytes.data()) + done, &chunk) !=
                HPDF_OK ||
            chunk == 0)
            break;
        done += chunk;
    }
    bytes.resize(done);
    return bytes;
}

std::string WriteReportFile(PdfDocument doc, const PdfErrorState& errors, const std::string& path) {
    // The document is made whole in memory and then written beside the
    // target and renamed over it: a full disk or a failing document never
    // leaves a broken file in place of an older report of the same name.
    const std::string bytes = errors.failed ? std::string() : PdfDocumentBytes(doc.get());
    doc.reset();
    if (errors.failed) return "the PDF library reported error " + std::to_string(errors.errorNo);
    if (bytes.empty()) return "the PDF document could not be made";
    if (const int err = WriteFileAtomically(path, bytes).error) return WriteErrorText(err);
    return "";
}

bool SaveAndOpenReport(PdfDocument doc, const PdfErrorState& errors, const std::string& path) {
    if (errors.failed) return false;
    std::string error = WriteReportFile(std::move(doc), errors, path);
    if (!error.empty()) {
        error[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(error[0])));
        DgMsgOk("PDF Error", "The PDF file could not be saved:|" + path + "{f10}", error + ".{f6}");
        return false;
    }
    EZ_DOEVENTS();
    CurrentPlatform().ShellOpen(path);
    return true;
}

void PrintIssuesProgramsList(const std::string& form, const ReportChoice& in) {
    const int32_t q = QuarterFromName(in.period);
    const std::string& calls = in.station;
    PdfErrorState errors;
    const IssuesListData data = LoadIssuesListData(q, calls, in.placedDay);
    if (data.incomplete && !GoOnWithIncompleteData("list")) return;
    PdfDocument doc = ComposeIssuesProgramsList(data, errors);
    if (!doc) return;

    const std::string settings = Paths().settingsFile;
    const std::string folder = IniRead(settings, "PDF", calls, Paths().pdfFolder);
    std::string path = EZ_SAVEFILEDLG(form, "Save PDF File", folder, IssuesListFileName(calls, q),
                                      "PDF Files|*.pdf");
    std::error_code ec;
    if (!path.empty()) {
        const std::filesystem::path chosen = FsPath(path);
        if (!chosen.has_extension()) path += ".PDF";
        const std::string parent = WithSeparator(Utf8Path(FsPath(path).parent_path()));
        IniWrite(settings, "PDF", calls, parent);
    } else {
        std::filesystem::create_directories(FsPath(Paths().pdfFolder), ec);
        path = Paths().pdfFolder + "Temp.pdf";
    }
    SaveAndOpenReport(std::move(doc), errors, path);
}

std::vector<std::string> StationsWithPrograms(int32_t quarter) {
    std::vector<std::string> calls;
    const std::string q = QuarterText(quarter);
    if (CountWhere("Stations", "QtrID = " + q) == 0) return calls;
    ResultSet rs("SELECT DISTINCT Station FROM Master WHERE Qtr = " + q);
    while (rs.next()) {
        const std::string station = rs["Station"];
        if (station.empty()) continue;
        const std::string c =
            SelectField("Stations", "Calls", "StnID = " + std::to_string(Val(station)));
        if (!c.empty()) calls.push_back(c);
    }
    return calls;
}

void DesignReportChoice(const std::string& form, int periodFrame, int period, int stationFrame,
                        int station) {
    EZ_CONTROL(form, periodFrame, EzKind::Frame, "Period", 1.5, 0.5, 22.5, 3.3);
    EZ_CONTROL(form, period, EzKind::Combo, "", 2.5, 1.7, 20.5, 1.4);
    EZ_CONTROL(form, stationFrame, EzKind::Frame, "Station", 26, 0.5, 22.5, 3.3);
    EZ_CONTROL(form, station, EzKind::Combo, "", 27, 1.7, 20.5, 1.4);
}

void FillReportPeriods(const std::string& form, int period, int32_t quarter) {
    FillQuarterSelector(form, period, 1);
    const int current = EZ_FINDITEM(form, period, QuarterName(quarter));
    if (current >= 0) EZ_SELECTITEM(form, period, current);
}

void FillReportStations(const std::string& form, int period, int station, const std::string& wanted,
                        const char* first) {
    EZ_CLEARITEMS(form, station);
    if (first) EZ_ADDITEM(form, station, first);
    for (const std::string& calls : StationsWithPrograms(QuarterFromName(EZ_GETTEXT(form, period))))
        EZ_ADDITEM(form, station, calls);
    int index = wanted.empty() ? -1 : EZ_FINDITEM(form, station, wanted);
    if (index < 0 && EZ_ITEMCOUNT(form, station) > 0) index = 0;
    EZ_SELECTITEM(form, station, index);
}
