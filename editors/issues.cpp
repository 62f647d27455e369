// The issues working copy and its save, and the data side of the issue
// selection dialog.
#include "editors/issues.h"

#include <algorithm>

#include "app/base/text_util.h"
#include "data/query.h"
#include "ui/msgbox.h"

namespace {

// Blanks and line breaks around a description carry no meaning.
constexpr std::string_view kDescriptionBlanks = " \t\r\n";

void MarkChanged(IssueWorkingCopy& wc) {
    wc.changed = true;
}

}  // namespace

bool IssueWorkingCopy::IsStored(int pos) const {
    return pos >= 0 && pos < size() && issues[pos].id > 0;
}

void LoadIssueList(IssueWorkingCopy& wc, int32_t quarter, RowId stationId) {
    wc.issues.clear();
    wc.deletedIds.clear();
    wc.editedPos = -1;
    wc.selectedPos = -1;
    wc.quarter = quarter;
    wc.stationId = stationId > 0 ? stationId : 0;
    if (wc.stationId > 0) {
        ResultSet rs(
            "SELECT IID, IIssue, IDescription FROM Issues WHERE IQtr = " + std::to_string(quarter) +
            " AND SID = " + std::to_string(wc.stationId) + " ORDER BY IRank");
        while (rs.next())
            wc.issues.push_back({rs.integer(0), std::string(rs.text(1)), std::string(rs.text(2))});
    }
    wc.changed = false;
}

int FindIssueTitle(const IssueWorkingCopy& wc, const std::string& title, int except) {
    for (int i = 0; i < wc.size(); ++i) {
        if (i != except && IEquals(wc.issues[i].title, title)) return i;
    }
    return -1;
}

IssueEntryResult EnterIssueTitle(IssueWorkingCopy& wc, const std::string& text) {
    const std::string t = Trim(text);
    const bool editing = wc.editedPos >= 0 && wc.editedPos < wc.size();
    if (t.empty()) {
        // An issue without a title cannot be picked or reported sensibly.
        if (editing) {
            DgMsgOk("Issue Title Missing", "An issue needs a title.{f10}",
                    "Type the title, or press [Esc] to keep the issue as it was.{f6}");
        }
        return IssueEntryResult::Empty;
    }
    if (editing) {
        wc.issues[wc.editedPos].title = t;
        wc.editedPos = -1;
        MarkChanged(wc);
        return IssueEntryResult::Replaced;
    }
    if (FindIssueTitle(wc, t) >= 0) {
        DgMsgOk("Duplicate Entry", "The issue \"" + t + "\" is already in the Issues List.{f10}",
                "Issue titles must be unique to avoid confusion.{f6}");
        return IssueEntryResult::Duplicate;
    }
    if (wc.size() >= kMaxIssues) {
        DgMsgOk("Issues List Full",
                "The Issues List can hold at most " + std::to_string(kMaxIssues) + " issues.{f10}",
                "Delete an issue before adding another one.{f6}");
        return IssueEntryResult::Full;
    }
    wc.issues.push_back({0, t, std::string()});
    wc.editedPos = -1;
    MarkChanged(wc);
    return IssueEntryResult::Added;
}

int CountIssueUses(RowId issueId) {
    if (issueId <= 0) return 0;
    const std::string id = std::to_string(issueId);
    // The LIKE narrows the rows; the split decides, so that id 1 does not
    // match an entry that only holds 12.
    ResultSet rs("SELECT Issue FROM Master WHERE Issue LIKE '%" + id + "%'");
    if (!rs.ok()) return -1;  // unknown: the issue must not be taken as unused
    int count = 0;
    while (rs.next()) {
        for (const std::string& element : Split(rs["Issue"], "|")) {
            if (Val(element) == issueId) {
                ++count;
                break;
            }
        }
    }
    return count;
}

bool DeleteIssueAt(IssueWorkingCopy& wc, int p) {
    if (p < 0 || p >= wc.size()) return false;
    if (wc.IsStored(p)) {
        const RowId id = wc.issues[p].id;
        const int uses = CountIssueUses(id);
        if (uses < 0) {
            DgMsgOk("Unable to Delete", "Whether this issue is in use could not be checked.{f10}",
                    slGetError() + ".{f6}");
            return false;
        }
        if (uses > 0) {
            DgMsgOk("Unable to Delete",
                    "This issue is currently in use and cannot be deleted.{f10}", "");
            return false;
        }
        const int answer =
            DgMsgAsk("Delete This Issue", "Are you sure you want to delete this issue?{f10}",
                     "(This action cannot be reversed.){f6}", "", "*{G,f7}|&Yes|&No", 2);
        if (answer != 1) return false;
        wc.deletedIds.push_back(id);
    }
    wc.issues.erase(wc.issues.begin() + p);
    if (wc.selectedPos == p) {
        wc.selectedPos = -1;
    } else if (wc.selectedPos > p) {
        --wc.selectedPos;
    }
    if (wc.editedPos == p) {
        wc.editedPos = -1;
    } else if (wc.editedPos > p) {
        --wc.editedPos;
    }
    MarkChanged(wc);
    return true;
}

void MoveIssue(IssueWorkingCopy& wc, int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= wc.size() || to >= wc.size()) return;
    IssueRow moved = std::move(wc.issues[from]);
    wc.issues.erase(wc.issues.begin() + from);
    wc.issues.insert(wc.issues.begin() + to, std::move(moved));
    MarkChanged(wc);
}

void SetIssueDescription(IssueWorkingCopy& wc, int p, const std::string& text) {
    if (p < 0 || p >= wc.size()) return;
    std::string trimmed = TrimChars(text, kDescriptionBlanks);
    if (wc.issues[p].description == trimmed) return;
    wc.issues[p].description = std::move(trimmed);
    MarkChanged(wc);
}

bool SaveIssueList(IssueWorkingCopy& wc) {
    const std::string q = std::to_string(wc.quarter);
    const std::string s = std::to_string(wc.stationId);
    const std::string columnsNew = "IQtr,SID,IIssue,IDescription,IRank";
    const std::string columnsOld = "IIssue,IDescription,IRank";

    if (wc.stationId <= 0 && wc.size() > 0) {
        DgMsgOk("Save Failed", "The issues cannot be saved without a station.{f10}",
                "Choose a station, or add one in the Station List first.{f6}");
        return false;
    }

    // Inserts, updates and deletions go into one batch so that they all
    // happen or none does.
    std::vector<std::string> batch;
    bool anyNew = false;
    for (int i = 0; i < wc.size(); ++i) {
        const IssueRow& issue = wc.issues[i];
        const std::string rank = std::to_string(i);
        if (issue.id <= 0) {
            batch.push_back(slBuildInsertOrUpdate(
                "Issues", NulJoin({q, s, issue.title, issue.description, rank}), columnsNew, ""));
            anyNew = true;
        } else {
            batch.push_back(slBuildInsertOrUpdate("Issues",
                                                  NulJoin({issue.title, issue.description, rank}),
                                                  columnsOld, "IID = " + std::to_string(issue.id)));
        }
    }
    for (const RowId id : wc.deletedIds) {
        if (id > 0) batch.push_back("DELETE FROM Issues WHERE IID = " + std::to_string(id));
    }

    if (!ExecAll(batch)) {
        const std::string error = slGetError();
        DgMsgOk("Save Failed", "The issues list could not be saved.{f10}",
                "Nothing was changed in the database; your changes are still in the list." +
                    (error.empty() ? std::string() : "|(" + error + ")") + "{f6}");
        return false;
    }

    // The new rows are the newest ones with their position as rank and their title.
    if (anyNew) {
        for (int i = 0; i < wc.size(); ++i) {
            IssueRow& issue = wc.issues[i];
            if (issue.id > 0) continue;
            ResultSet rs("SELECT IID FROM Issues WHERE IQtr = " + q + " AND SID = " + s +
                         " AND IRank = " + std::to_string(i) +
                         " AND IIssue = " + SqlQuoted(issue.title) + " ORDER BY IID DESC LIMIT 1");
            if (rs.next()) issue.id = rs.integer(0);
        }
    }
    wc.deletedIds.clear();
    wc.changed = false;
    return true;
}

// --- issue selection ---

std::vector<IssueChoice> ReadStationIssues(int32_t quarter, RowId stationId) {
    std::vector<IssueChoice> out;
    if (stationId <= 0) return out;
    ResultSet rs("SELECT IID, IIssue FROM Issues WHERE IQtr = " + std::to_string(quarter) +
                 " AND SID = " + std::to_string(stationId) + " ORDER BY IRank");
    while (rs.next()) out.push_back({rs.integer(0), std::string(rs.text(1))});
    return out;
}

std::vector<bool> PreselectIssues(const std::vector<IssueChoice>& choices,
                                  const std::vector<std::string>& preselected) {
    std::vector<bool> out;
    out.reserve(choices.size());
    for (const IssueChoice& c : choices) {
        out.push_back(std::find(preselected.begin(), preselected.end(), c.title) !=
                      preselected.end());
    }
    return out;
}
