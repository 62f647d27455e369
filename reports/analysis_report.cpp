// The analysis report and its dialog, form AN "Vantrel Analysis".
#include "reports/analysis_report.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <unordered_map>
#include <utility>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/options.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez_forms.h"
#include "data/airings.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "data/query.h"
#include "reports/forms.h"
#include "reports/issues_programs_list.h"
#include "ui/msgbox.h"

namespace {

constexpr double kLeft = 36;
constexpr double kRight = 576;
constexpr double kCentre = 306;
constexpr double kFirstLine = 49;
constexpr double kBottom = 755;

struct Layout {
    HPDF_Doc doc = nullptr;
    HPDF_Font plain = nullptr;
    HPDF_Font bold = nullptr;
    HPDF_Page page = nullptr;
    int32_t quarter = 0;
    std::string calls;
    int pages = 0;
    double y = 0;
};

void Write(Layout& L, const std::string& text, double x, HPDF_Font font, double size, int align) {
    PdfTextLine(L.page, text, x, L.y, font, size, align);
}

void StartPage(Layout& L) {
    L.page = PdfAddPage(L.doc);
    ++L.pages;
    L.y = kFirstLine;
    Write(L, L.calls + " Issues & Programs Analysis", kCentre, L.bold, 12, kPdfAlignCentre);
    L.y += 13;
    Write(L, "For Period: " + QuarterPeriodText(L.quarter, 0), kCentre, L.bold, 9, kPdfAlignCentre);
    L.y += 10;
    Write(L,
          "Generated " + DashDate(TodayJulian(), Dates().format, 0) + " -- Page " +
              std::to_string(L.pages),
          kCentre, L.bold, 9, kPdfAlignCentre);
    L.y += 17;
    PdfRule(L.page, kLeft, kRight, L.y - 8, 0, 0, 0, 0.1);
    PdfRule(L.page, kLeft, kRight, L.y + 3, 0, 0, 0, 0.1);
    Write(L, "Issue", 72, L.bold, 9, kPdfAlignLeft);
    Write(L, "First", 302, L.bold, 9, kPdfAlignLeft);
    Write(L, "Last", 374, L.bold, 9, kPdfAlignLeft);
    Write(L, "Total", 508, L.bold, 9, kPdfAlignLeft);
    Write(L, "Pct", kRight, L.bold, 9, kPdfAlignRight);
    L.y += 17;
}

std::string TableDate(int32_t day) {
    return day == 0 ? "---- N/A ----" : DisplayDate(day);
}

// Returns false when libharu reported an error (the report then ends unsaved).
bool WriteStation(Layout& L, const StationAnalysis& s, const PdfErrorState& errors) {
    L.calls = s.calls;
    L.pages = 0;
    StartPage(L);
    if (!s.hasIssues) {
        Write(L, s.calls + " has no issues on file for this period.", kCentre, L.bold, 10,
              kPdfAlignCentre);
        return !errors.failed;
    }
    for (size_t i = 0; i < s.rows.size(); ++i) {
        const AnalysisRow& row = s.rows[i];
        if (L.y == 0) StartPage(L);
        Write(L, std::to_string(i + 1) + ". ", 56, L.plain, 10, kPdfAlignRight);
        Write(L, AnalysisTitle(row.title), 57, L.plain, 10, kPdfAlignLeft);
        Write(L, TableDate(row.first), 288, L.plain, 10, kPdfAlignLeft);
        Write(L, TableDate(row.last), 360, L.plain, 10, kPdfAlignLeft);
        Write(L, std::to_string(row.count), 528, L.plain, 10, kPdfAlignRight);
        Write(L, AnalysisPercent(row.count, s.references), kRight, L.plain, 10, kPdfAlignRight);
        if (errors.failed) return false;
        L.y += 13;
        if (L.y >= kBottom) L.y = 0;
    }
    // Totals after a full page go on a page of their own, under the heading.
    if (L.y == 0) StartPage(L);
    PdfRule(L.page, kLeft, kRight, L.y - 5, 0, 0, 0, 0.1);
    L.y += 6;
    Write(L, "TOTAL ISSUES ADDRESSED", 57, L.plain, 10, kPdfAlignLeft);
    Write(L, std::to_string(s.references), 528, L.plain, 10, kPdfAlignRight);
    Write(L, s.references > 0 ? "100.0%" : "0.0%", kRight, L.plain, 10, kPdfAlignRight);
    if (errors.failed) return false;
    L.y += 13;
    Write(L, "TOTAL PROGRAMS AIRED", 57, L.plain, 10, kPdfAlignLeft);
    Write(L, std::to_string(s.programsAired), 528, L.plain, 10, kPdfAlignRight);
    return !errors.failed;
}

// --- form AN ---
constexpr const char* kForm = "AN";
constexpr int kPeriod = 100;
constexpr int kStation = 105;
constexpr int kAnalyze = 110;
constexpr int kExit = 115;
constexpr int kHelp = 120;
constexpr int kPeriodFrame = 125;
constexpr int kStationFrame = 130;
constexpr int kHelpTopic = 300;

// The quarter and station the opener shows, which the dialog starts on.
struct AnalysisRequest {
    int32_t quarter = 0;
    std::string calls;
};

AnalysisRequest& Request() {
    static AnalysisRequest request;
    return request;
}

void UpdateAnalyzeButton() {
    EZ_ENABLE(kForm, kAnalyze, !EZ_GETTEXT(kForm, kStation).empty());
}

void FillStations(const std::string& wanted) {
    FillReportStations(kForm, kPeriod, kStation, wanted, kAllStations);
    UpdateAnalyzeButton();
}

}  // namespace

std::string AnalysisPercent(int count, int references) {
    if (references <= 0) return "0.0%";
    // Tenths of a percent from integers, a half rounded up (1 of 16 is
    // 6.25%: "6.3%"): a binary fraction never decides the last digit.
    const long long c = count < 0 ? 0 : count;
    const long long tenths = (c * 2000 + references) / (2LL * references);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}

std::string AnalysisTitle(const std::string& title) {
    // Count characters, not bytes, so that an accented letter is never split.
    return CutChars(title, 36);
}

std::vector<StationAnalysis> LoadQuarterAnalysis(int32_t quarter,
                                                 const std::vector<std::string>& stations) {
    std::vector<StationAnalysis> out(stations.size());
    const std::string q = std::to_string(quarter);
    // Each station's own rows: its id, whether it has issues, and its issues
    // in rank order (a handful of rows each, found through their indexes).
    std::map<RowId, std::vector<size_t>> byStation;  // station id -> positions in `out`
    std::vector<std::unordered_map<std::string, size_t>> rowOfIssue(stations.size());
    for (size_t k = 0; k < stations.size(); ++k) {
        StationAnalysis& s = out[k];
        s.calls = stations[k];
        const RowId stationId = StationIdByCalls(s.calls, q);
        if (stationId <= 0) continue;
        const std::string stn = std::to_string(stationId);
        ResultSet rs("SELECT IID, IIssue FROM Issues WHERE IQtr = " + q + " AND SID = " + stn +
                     " ORDER BY IRank");
        while (rs.next()) {
            rowOfIssue[k].emplace(rs["IID"], s.rows.size());
            s.rows.push_back(AnalysisRow{rs["IIssue"], 0, 0, 0});
        }
        s.hasIssues = !s.rows.empty();
        if (!s.hasIssues) continue;
        byStation[stationId].push_back(k);
    }
    if (byStation.empty()) return out;

    // The entries of all those stations are read once for the quarter, not
    // once per station, and shared out by their station.
    std::vector<std::string> ids;
    for (const auto& entry : byStation) ids.push_back(std::to_string(entry.first));
    const std::string theirs = "Qtr = " + q + " AND Station IN (" + Join(ids, ",") + ")";

    // First and last airing day of every entry.
    std::unordered_map<long long, std::pair<int32_t, int32_t>> span;
    {
        ResultSet rs(
            "SELECT MLink, MIN(AirDate) AS FirstDay, MAX(AirDate) AS LastDay "
            "FROM DateTime WHERE " +
            AiringsOfEntriesWhere(theirs) + " GROUP BY MLink");
        while (rs.next())
            span[rs.integer(0)] = {static_cast<int32_t>(Val(rs["FirstDay"])),
                                   static_cast<int32_t>(Val(rs["LastDay"]))};
    }
    ResultSet rs("SELECT MID, Issue, Station FROM Master WHERE " + theirs);
    std::vector<std::string> fields;
    std::vector<size_t> seen;
    while (rs.next()) {
        auto station = byStation.find(rs.integer(2));
        if (station == byStation.end()) continue;
        const std::string issues(rs.text(1));
        if (!issues.empty()) fields = Split(issues, "|");
        auto sp = span.find(rs.integer(0));
        for (size_t k : station->second) {
            StationAnalysis& s = out[k];
            ++s.programsAired;
            if (issues.empty()) continue;  // a record that addresses no issue adds no reference
            s.references += static_cast<int>(fields.size());
            seen.clear();
            for (const std::string& field : fields) {
                auto it = rowOfIssue[k].find(field);
                if (it == rowOfIssue[k].end()) continue;
                if (std::find(seen.begin(), seen.end(), it->second) != seen.end()) continue;
                seen.push_back(it->second);
                AnalysisRow& row = s.rows[it->second];
                ++row.count;
                // A record without airings counts, but has no dates to offer.
                if (sp == span.end()) continue;
                if (row.first == 0 || sp->second.first < row.first) row.first = sp->second.first;
                if (sp->second.second > row.last) row.last = sp->second.second;
            }
        }
    }
    return out;
}

StationAnalysis LoadStationAnalysis(int32_t quarter, const std::string& calls) {
    return LoadQuarterAnalysis(quarter, {calls}).front();
}

PdfDocument ComposeAnalysis(int32_t quarter, const std::vector<StationAnalysis>& stations,
                            PdfErrorState& errors) {
    PdfDocument doc = NewPdfDocument(errors);
    if (!doc) return nullptr;
    Layout L;
    L.doc = doc.get();
    bool unicode = false;
    for (const StationAnalysis& s : stations) {
        unicode = unicode || !FitsWinAnsi(s.calls);
        for (const AnalysisRow& row : s.rows)
            unicode = unicode || !FitsWinAnsi(AnalysisTitle(row.title));
    }
    const PdfFontPair fonts = PdfReportFonts(L.doc, unicode, "Helvetica", "Helvetica-Bold",
                                             kSansFontFile, kSansBoldFontFile);
    L.plain = fonts.regular;
    L.bold = fonts.bold;
    L.quarter = quarter;
    for (const StationAnalysis& s : stations) {
        if (!WriteStation(L, s, errors)) return nullptr;
    }
    return doc;
}

std::string AnalysisFileName(const std::string& choice) {
    if (choice == kAllStations) return "All Stations Analysis.PDF";
    std::string calls = ReplaceAll(choice, "/", "_");
    return FitFileName(ReplaceAll(calls, "\\", "_"), " Analysis.PDF");
}

std::string RunAnalysis(int32_t quarter, const std::string& choice,
                        const std::vector<std::string>& stations) {
    std::vector<StationAnalysis> data;
    if (choice == kAllStations) {
        // A document without pages is no document: say so and write nothing.
        if (stations.empty()) {
            DgMsgOk("Nothing to Analyze",
                    "No station has programs in " + QuarterPeriodText(quarter, 0) + ".{f6}",
                    "There is nothing to analyze for this period.{f6}");
            return "";
        }
        data = LoadQuarterAnalysis(quarter, stations);
    } else {
        data.push_back(LoadStationAnalysis(quarter, choice));
    }
    if (slIsDamaged() && !GoOnWithIncompleteData("report")) return "";
    PdfErrorState errors;
    PdfDocument doc = ComposeAnalysis(quarter, data, errors);
    if (!doc) return "";
    std::error_code ec;
    std::filesystem::create_directories(FsPath(Paths().analysisFolder), ec);
    const std::string path = Paths().analysisFolder + AnalysisFileName(choice);
    return SaveAndOpenReport(std::move(doc), errors, path) ? path : "";
}

static void PrintAnalysis() {
    const int32_t q = QuarterFromName(EZ_GETTEXT(kForm, kPeriod));
    const int selected = EZ_SELECTEDITEM(kForm, kStation);
    if (selected < 0) return;
    std::vector<std::string> stations;
    const int count = EZ_ITEMCOUNT(kForm, kStation);
    for (int i = 1; i < count; ++i) stations.push_back(EZ_ITEMTEXT(kForm, kStation, i));
    const std::string choice =
        selected == 0 ? std::string(kAllStations) : EZ_ITEMTEXT(kForm, kStation, selected);
    RunAnalysis(q, choice, stations);
}

static void AN_Design() {
    DesignReportChoice(kForm, kPeriodFrame, kPeriod, kStationFrame, kStation);
    EZ_CONTROL(kForm, kAnalyze, EzKind::Button, "&Analyze", 9, 4.4, 10, 1.7);
    EZ_CONTROL(kForm, kExit, EzKind::Button, "E&xit", 20, 4.4, 10, 1.7);
    EZ_CONTROL(kForm, kHelp, EzKind::Button, "&Help", 31, 4.4, 10, 1.7);
}

static void AN_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    (void)value;
    (void)cancel;
    if (CommonFormEvent(kForm, id, ev, {kHelp, kExit, kHelpTopic}, kHelpTopic)) return;
    if (id == 0) {
        if (ev == EzEvent::Loaded) {
            EZ_ACCEL(kForm, "F1", kHelpKeyId);
            FillReportPeriods(kForm, kPeriod, Request().quarter);
            FillStations(Request().calls);
            if (Opts().tipsOn) EZ_SETTOOLTIP(kForm, kStation, "Select the station to analyze");
        }
        return;
    }
    if (ev == EzEvent::Change) {
        if (id == kPeriod) FillStations(EZ_GETTEXT(kForm, kStation));
        if (id == kStation) UpdateAnalyzeButton();
        return;
    }
    if (ev == EzEvent::Click && id == kAnalyze) PrintAnalysis();
}

namespace {
constexpr ControlName kControls[] = {
    {"Period", kPeriod},
    {"Station", kStation},
    {"Analyze", kAnalyze},
    {"Exit", kExit},
    {"Help", kHelp},
    {"PeriodFrame", kPeriodFrame},
    {"StationFrame", kStationFrame},
};
}  // namespace

constinit const FormDecl kAnalysisForm = {
    .name = "AN",
    .caption = "Vantrel Analysis",
    .width = kAnalysisDialogWidth,
    .height = kAnalysisDialogHeight,
    .style = "",
    .helpTopic = kHelpTopic,
    .design = AN_Design,
    .event = AN_Event,
    .controls = kControls,
};

void OpenAnalysis(const std::string& parent, int32_t quarter, const std::string& stationCalls) {
    Request() = {quarter, stationCalls};
    OpenForm(kAnalysisForm, parent);
    Request() = {};
}
