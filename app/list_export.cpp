// The program list as CSV: one line per airing of every entry the main window
// shows, in the order it shows them.
#include "app/list_export.h"

#include <filesystem>
#include <unordered_map>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/main_window.h"
#include "app/toolkit/ez.h"
#include "data/airings.h"
#include "data/dates.h"
#include "reports/issues_programs_list.h"
#include "reports/safe_file.h"
#include "ui/msgbox.h"

namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";
constexpr const char* kHeader[] = {
    "Date", "Time", "Station", "Program", "Issues Addressed", "Duration", "Description"};

struct EntryFacts {
    std::string freqCheck, frequency, description;
    std::vector<std::pair<int32_t, int32_t>> airings;  // by day, then time
};

std::string HourMinute(int32_t minutes) {
    return ZeroPad(minutes / 60, 2) + ":" + ZeroPad(minutes % 60, 2);
}

std::string MsgSafe(std::string text) {
    for (char& c : text) {
        if (c == '{') c = '(';
        if (c == '}') c = ')';
        if (c == '|') c = '/';
    }
    return text;
}

}  // namespace

std::string IsoDate(int32_t day) {
    int32_t m = 0, d = 0, y = 0;
    JulianDate2Mdy(day, m, d, y);
    return ZeroPad(y, 4) + "-" + ZeroPad(m, 2) + "-" + ZeroPad(d, 2);
}

std::vector<ExportLine> ListExportLines(int32_t quarter, RowId stationId,
                                        const std::vector<RowId>& mids) {
    const std::string q = std::to_string(quarter);
    const std::string stationClause =
        stationId > 0 ? " AND Station = " + std::to_string(stationId) : std::string();
    // The list's own cells, so station, title, issues and duration read as it shows them.
    std::unordered_map<RowId, ProgramListRow> rows;
    for (ProgramListRow& row : ProgramListRows(quarter, stationId)) rows[row.mid] = std::move(row);

    std::unordered_map<RowId, EntryFacts> facts;
    {
        ResultSet rs(
            "SELECT m.MID, m.FreqCheck, m.Frequency, p.PDescription FROM Master m "
            "LEFT JOIN Programs p ON p.PID = m.Pgm WHERE m.Qtr = " +
            q + stationClause);
        while (rs.next()) {
            EntryFacts& f = facts[rs.integer(0)];
            f.freqCheck = Trim(rs.text(1));
            f.frequency = Trim(rs.text(2));
            f.description = std::string(rs.text(3));
        }
    }
    {
        ResultSet rs("SELECT MLink,AirDate,AirTime FROM DateTime WHERE " +
                     AiringsOfEntriesWhere("Qtr = " + q + stationClause) +
                     " ORDER BY MLink,AirDate,AirTime");
        while (rs.next()) {
            auto it = facts.find(rs.integer(0));
            if (it != facts.end())
                it->second.airings.emplace_back(static_cast<int32_t>(rs.integer(1)),
                                                static_cast<int32_t>(rs.integer(2)));
        }
    }

    std::vector<ExportLine> lines;
    for (RowId mid : mids) {
        auto row = rows.find(mid);
        auto fact = facts.find(mid);
        if (row == rows.end() || fact == facts.end() || row->second.cells.size() < 6) continue;
        const std::vector<std::string>& cells = row->second.cells;
        const EntryFacts& f = fact->second;
        ExportLine base;
        base.station = cells[2];
        base.title = cells[3];
        base.issues = cells[4];
        base.duration = cells[5];
        base.description = f.description;
        if (f.airings.empty()) {
            lines.push_back(base);
        } else if (f.freqCheck == "1" && f.airings.size() == 2) {
            // A number of airings over a span: the span as an ISO interval.
            ExportLine line = base;
            line.date = IsoDate(f.airings[0].first) + "/" + IsoDate(f.airings[1].first);
            line.time = Val(f.frequency) > 0 ? "Various x " + f.frequency : "Various";
            lines.push_back(std::move(line));
        } else {
            for (const auto& [day, minutes] : f.airings) {
                ExportLine line = base;
                line.date = IsoDate(day);
                line.time = HourMinute(minutes);
                lines.push_back(std::move(line));
            }
        }
    }
    return lines;
}

std::string CsvField(std::string_view text) {
    // Titles and descriptions come from users and imported logs: a cell a
    // spreadsheet would take for a formula is made plain text.
    std::string cell;
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        cell = "'";
    cell += text;
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string out = "\"";
    for (char c : cell) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string ListExportCsv(const std::vector<ExportLine>& lines) {
    std::string out = kBom;
    auto addLine = [&out](const std::vector<std::string_view>& fields) {
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) out += ',';
            out += CsvField(fields[i]);
        }
        out += "\r\n";
    };
    addLine(std::vector<std::string_view>(std::begin(kHeader), std::end(kHeader)));
    for (const ExportLine& l : lines)
        addLine({l.date, l.time, l.station, l.title, l.issues, l.duration, l.description});
    return out;
}

std::string ListExportFileName(const std::string& calls, int32_t quarter) {
    std::string name = (calls.empty() ? std::string("All Stations") : calls) + "_Programs_" +
                       QuarterPeriodText(quarter, 1) + ".csv";
    for (char& c : name)
        if (c == ' ' || c == '/' || c == '\\') c = '_';
    return name;
}

void ExportProgramList(const std::string& form, int32_t quarter, RowId stationId,
                       const std::string& calls, const std::vector<RowId>& mids) {
    if (mids.empty()) {
        DgMsgOk("Nothing to Export", "The list shows no programs.{f10}",
                "Choose a quarter and station whose programs the list shows, then export.{f6}");
        return;
    }
    if (slIsDamaged() && !GoOnWithIncompleteData("export")) return;
    const std::vector<ExportLine> lines = ListExportLines(quarter, stationId, mids);
    const std::string settings = Paths().settingsFile;
    const std::string folder = IniRead(settings, "Export", "Folder", Paths().pdfFolder);
    std::string path = EZ_SAVEFILEDLG(form, "Export Program List", folder,
                                      ListExportFileName(calls, quarter), "CSV Files|*.csv");
    if (path.empty()) return;
    if (!FsPath(path).has_extension()) path += ".csv";

    std::string error;
    if (!ReplaceFileWithBytes(path, ListExportCsv(lines), error)) {
        DgMsgOk("Export Error", "The list could not be exported to|" + MsgSafe(path) + "{f10,t4}",
                "|" + MsgSafe(error) + ".|Nothing was written.{f6}");
        return;
    }
    const std::string parent = Utf8Path(FsPath(path).parent_path());
    IniWrite(settings, "Export", "Folder", WithSeparator(parent));
    const std::string airings =
        std::to_string(lines.size()) + (lines.size() == 1 ? " airing of " : " airings of ");
    const std::string programs =
        std::to_string(mids.size()) + (mids.size() == 1 ? " program " : " programs ");
    DgMsgOk("List Exported",
            airings + programs + (lines.size() == 1 ? "was" : "were") + " written to|" +
                MsgSafe(path) + "{f10}",
            "");
}
