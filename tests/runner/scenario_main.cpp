// vantrel_scenario: plays a scenario file (docs/scenarios.md) against the real
// program in a temporary copy of the program folder, with the GUI robot.
//
//   vantrel_scenario --program <built program folder> --shots <dir> [--keep] <file.scn>
//   vantrel_scenario --list-controls|--check-controls docs/scenarios.md
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/settings.h"
#include "app/forms.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/desktop_platform.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/query.h"
#include "data/schema.h"
#include "services/update_check.h"
#include "tests/runner/scenario_parse.h"
#include "tests/support/loopback_http.h"
#include "tests/support/shell.h"
#include "ui/msgbox.h"
#include "ui/resources.h"

namespace fs = std::filesystem;

using scn::KeyByName;
using scn::ParseDate;
using scn::ToInt;
using scn::Tokenize;

namespace {

struct Line {
    int number = 0;
    std::vector<std::string> words;
    std::string text;
};

std::string StripTab(std::string s) {
    if (!s.empty() && s[0] == '\t') s.erase(0, 1);
    return s;
}

std::string Show(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out + "\"";
}

// Why `want` is not in the text pdftotext reads from the PDF at `path` ("" when
// it is), comparing every run of blanks and line breaks as one blank so that
// wrapped lines compare as written.
std::string PdfTextMissing(const std::string& path, const std::string& rel,
                           const std::string& want) {
    if (!fs::exists(path)) return rel + " does not exist";
    std::string quoted = "'";
    for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    quoted += "'";
    int status = -1;
    const std::string raw = Capture("pdftotext " + quoted + " - 2>/dev/null", &status);
    if (status != 0) return "pdftotext could not read " + rel;
    auto squash = [](const std::string& t) {
        std::string out;
        for (char c : t) {
            const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f';
            if (blank) {
                if (!out.empty() && out.back() != ' ') out += ' ';
            } else {
                out += c;
            }
        }
        return out;
    };
    return squash(raw).find(squash(want)) != std::string::npos
               ? ""
               : rel + " does not show " + Show(want);
}

class Runner {
public:
    // folder: the program's data folder (paths in the scenario are relative
    // to it); exeFolder: where the executable lies (second-instance starts it).
    Runner(std::string folder, std::string shots, std::string exeFolder)
        : folder_(std::move(folder)), exeFolder_(std::move(exeFolder)), shots_(std::move(shots)) {}

    int Play(const std::vector<Line>& lines);

private:
    // Outcome of each line, by line number.
    enum class Result { Pending, Passed, Failed };
    void Pass(int n) {
        if (results_[n] == Result::Pending) results_[n] = Result::Passed;
    }
    void Fail(int n, const std::string& why) {
        results_[n] = Result::Failed;
        failures_.push_back("line " + std::to_string(n) + ": " + why);
    }
    // Writes a file for the program to read (relative to the program folder).
    bool WriteFile(const std::string& rel, const std::string& text) const {
        std::ofstream out(Path(rel), std::ios::binary);
        out << text;
        return static_cast<bool>(out);
    }
    std::string Path(const std::string& rel) const {
        if (!rel.empty() && rel[0] == '/') return rel;
        return folder_ + rel;
    }

    struct Step;
    struct Command {
        std::string usage;                // the reply to words that do not fit
        std::function<bool(Step&)> play;  // false: the words do not fit
    };
    static const std::map<std::string, Command>& Commands();

    bool Seed(const Line& l);             // before start; false = bad line (already failed)
    bool Queue(Robot& r, const Line& l);  // after start: one command of Commands()
    void Check(Robot& r, const Line& l, std::function<std::string()> test);
    bool SecondInstance(const Line& l);
    bool UpdateServer(const Line& l);
    void SqlNow(int n, const std::string& stmt);
    std::string SqlValue(const std::string& stmt);
    void CollectRobotErrors(Robot& r, int lineNumber);

    std::string folder_;
    std::string exeFolder_;
    std::string shots_;
    std::map<int, Result> results_;
    std::vector<std::string> failures_;
    size_t robotErrorsSeen_ = 0;
    bool seededDb_ = false;
    bool started_ = false;
    bool noPdf_ = false;
    bool instanceTaken_ = false;
    std::unique_ptr<LoopbackHttpServer> updateServer_;
    UpdateEndpoints updateEndpoints_;
};

// A loopback server that publishes version `version` with an installer
// script; "slow" paces the installer so that the progress dialog stays up.
bool Runner::UpdateServer(const Line& l) {
    const auto& w = l.words;
    if (w.size() < 2 || w.size() > 3 || (w.size() == 3 && w[2] != "slow")) {
        Fail(l.number, "update-server \"<version>\" [slow] expected");
        return false;
    }
    updateServer_ = std::make_unique<LoopbackHttpServer>();
    // The version file comes over https from a certificate made here and
    // trusted through the test addresses; the installer over the same port.
    const LoopbackCertificate cert = MakeLoopbackCertificate(folder_ + "tls");
    if (!updateServer_->UseTls(cert)) {
        Fail(l.number, "update-server: no certificate for the loopback server (openssl)");
        return false;
    }
    std::string installer = "#!/bin/sh\n# Stands in for the installer of " + w[1] + ".\nexit 0\n";
    while (installer.size() < 600000) installer += "# padding of the installer stand-in\n";
    HttpReply reply = OkReply(installer);
    if (w.size() == 3) {
        reply.burstBytes = installer.size() * 6 / 10;
        reply.pieceSize = 8192;
        reply.pieceDelayMs = 40;
    }
    updateServer_->Serve("/files/vantrel-setup.sh", reply);
    updateServer_->Serve("/VLVersion.txt",
                         OkReply("127.0.0.1 /files/vantrel-setup.sh vantrel-setup.sh " +
                                 Sha256Hex(installer) + "\n" + w[1]));
    updateEndpoints_.versionFileUrl = updateServer_->HttpsUrl("/VLVersion.txt");
    updateEndpoints_.caFile = cert.cert;
    updateEndpoints_.productPage = kProductPage;
    updateEndpoints_.downloadPort = updateServer_->port();
    SetUpdateEndpointsForTests(&updateEndpoints_);
    return true;
}

void Runner::SqlNow(int n, const std::string& stmt) {
    if (!slIsOpen()) {
        fs::create_directories(Paths().dataFolder);
        if (!OpenDatabase()) {
            Fail(n, "cannot create the database");
            return;
        }
        seededDb_ = true;
    }
    if (slExe(stmt) != 0) Fail(n, "sql failed: " + slGetError());
}

std::string Runner::SqlValue(const std::string& stmt) {
    if (!slIsOpen()) return "<database not open>";
    // The statement returns one value: the text of the whole result.
    std::string v = slSelStr(stmt);
    while (!v.empty() && (v.back() == '\n' || v.back() == '\r')) v.pop_back();
    return v;
}

bool Runner::Seed(const Line& l) {
    const auto& w = l.words;
    const std::string& cmd = w[0];
    if (cmd == "date") {
        ClockReading c{};
        if (w.size() < 2 || !ParseDate(w[1], w.size() > 2 ? w[2] : "", c)) {
            Fail(l.number, "date YYYY-MM-DD [HH:MM] expected");
            return false;
        }
        SetClockOverride(c);
    } else if (cmd == "ini") {
        if (w.size() != 4) {
            Fail(l.number, "ini <section> <key> \"<value>\" expected");
            return false;
        }
        if (!IniWrite(Paths().settingsFile, w[1], w[2], w[3]))
            Fail(l.number, "cannot write the settings file");
    } else if (cmd == "sql") {
        if (w.size() != 2) {
            Fail(l.number, "sql \"<statement>\" expected");
            return false;
        }
        SqlNow(l.number, w[1]);
    } else if (cmd == "update-server") {
        if (!UpdateServer(l)) return false;
    } else if (cmd == "args") {
        EZ_SETCOMMANDARGS(std::vector<std::string>(w.begin() + 1, w.end()));
    } else if (cmd == "file") {
        if (w.size() != 3) {
            Fail(l.number, "file \"<path>\" \"<text>\" expected");
            return false;
        }
        if (!WriteFile(w[1], w[2])) Fail(l.number, "cannot write " + w[1]);
    } else if (cmd == "platform") {
        if (w.size() == 2 && w[1] == "no-pdf-viewer")
            noPdf_ = true;
        else if (w.size() == 2 && w[1] == "instance-taken")
            instanceTaken_ = true;
        else {
            Fail(l.number, "platform no-pdf-viewer|instance-taken expected");
            return false;
        }
    } else {
        Fail(l.number, "'" + cmd + "' needs a started program (start first)");
        return false;
    }
    Pass(l.number);
    return true;
}

void Runner::CollectRobotErrors(Robot& r, int lineNumber) {
    std::istringstream in(r.Errors());
    std::string e;
    size_t i = 0;
    while (std::getline(in, e)) {
        if (i++ < robotErrorsSeen_) continue;
        Fail(lineNumber, e);
    }
    robotErrorsSeen_ = i;
}

void Runner::Check(Robot& r, const Line& l, std::function<std::string()> test) {
    const int n = l.number;
    r.Do([this, n, test, &r]() {
        CollectRobotErrors(r, n);
        std::string why = test();
        if (!why.empty())
            Fail(n, why);
        else
            Pass(n);
    });
}

// What a command's handler works with: the robot, the line and its words.
struct Runner::Step {
    Runner& run;
    Robot& r;
    const Line& line;
    const std::vector<std::string>& w;

    // Why the line's words do not fit, when it is more than the usage.
    std::string error;

    // Word i read as a whole number into v.
    bool Num(size_t i, int& v) const { return i < w.size() && ToInt(w[i], v); }
    // The control word after the form (word 2): a number or the form's name for
    // a control. A name the form does not declare is an error of its own.
    bool Id(int& v) {
        if (w.size() < 3) return false;
        error = scn::ControlId(w[1], FindForm(w[1]), w[2], v);
        return error.empty();
    }
    // The form a command names first ("" when none).
    std::string Form() const { return w.size() > 1 ? w[1] : ""; }
    // The line passes when the robot has played the steps queued for it.
    bool Done() {
        run.Check(r, line, [] { return std::string(); });
        return true;
    }
    // The line passes when `test` returns no reason to fail.
    bool Check(std::function<std::string()> test) {
        run.Check(r, line, std::move(test));
        return true;
    }
};

// Why a check on a form cannot be made: "" when the form is open.
std::string FormMissing(const std::string& form) {
    return EZ_FORMEXISTS(form) ? "" : "form " + form + " is not open";
}

// The commands after start, by name. A handler queues the robot's steps and a
// check for its line; it returns false when the words do not fit, and the line
// then fails with the command's usage.
const std::map<std::string, Runner::Command>& Runner::Commands() {
    // click, dblclick and rightclick share their form: <form> <id> [row].
    auto clickLike = [](Step& s) {
        int id = 0, row = -1;
        if (s.w.size() < 3 || !s.Id(id) || (s.w.size() > 3 && !s.Num(3, row))) return false;
        if (s.w[0] == "click")
            s.r.Click(s.w[1], id);
        else if (s.w[0] == "dblclick")
            s.r.DblClick(s.w[1], id, row);
        else
            s.r.RightClick(s.w[1], id, row);
        return s.Done();
    };
    auto formOnly = [](Step& s) {
        if (s.w.size() != 2) return false;
        if (s.w[0] == "close")
            s.r.Close(s.w[1]);
        else if (s.w[0] == "wait-form")
            s.r.WaitForm(s.w[1]);
        else
            s.r.WaitGone(s.w[1]);
        return s.Done();
    };
    auto fileDialog = [](Step& s) {
        if (s.w.size() != 2) return false;
        const std::string p = s.w[1].empty() ? "" : s.run.Path(s.w[1]);
        // Answers are consumed when the dialog comes; queue them in step order.
        Robot& r = s.r;
        r.Do([&r, p, save = s.w[0] == "save-dialog"]() {
            if (save)
                r.ExpectSaveDialog(p);
            else
                r.ExpectOpenDialog(p);
        });
        return s.Done();
    };
    auto textOf = [](Step& s) {
        int id = 0;
        if (s.w.size() != 4 || !s.Id(id)) return false;
        const bool contains = s.w[0] == "assert-text-contains";
        return s.Check([form = s.Form(), id, want = s.w[3], contains]() -> std::string {
            if (std::string why = FormMissing(form); !why.empty()) return why;
            std::string got = EZ_GETTEXT(form, id);
            // A path written with "/" in a scenario matches the program's own
            // separators ("\\" too on Windows).
            bool ok = contains ? WithForwardSlashes(got).find(WithForwardSlashes(want)) !=
                                     std::string::npos
                               : got == want;
            return ok ? ""
                      : "text of " + form + "." + std::to_string(id) + " is " + Show(got) +
                            ", expected " + (contains ? "it to contain " : "") + Show(want);
        });
    };
    auto stateOf = [](Step& s) {
        int id = 0;
        if (s.w.size() != 3 || !s.Id(id)) return false;
        return s.Check([form = s.Form(), id, cmd = s.w[0]]() -> std::string {
            if (std::string why = FormMissing(form); !why.empty()) return why;
            bool state = false;
            if (cmd == "assert-enabled" || cmd == "assert-disabled") {
                state = EZ_ISENABLED(form, id) || EZ_MENUISENABLED(form, id) ||
                        EZ_TBISENABLED(form, id);
                if (cmd == "assert-disabled") state = !state;
            } else if (cmd == "assert-visible" || cmd == "assert-hidden") {
                state = EZ_ISVISIBLE(form, id) == (cmd == "assert-visible");
            } else {
                state = EZ_GETCHECK(form, id) == (cmd == "assert-checked");
            }
            return state ? "" : form + "." + std::to_string(id) + " is not " + cmd.substr(7);
        });
    };
    auto countOf = [](Step& s) {
        int id = 0, want = 0;
        if (s.w.size() != 4 || !s.Id(id) || !s.Num(3, want)) return false;
        return s.Check([form = s.Form(), id, cmd = s.w[0], want]() -> std::string {
            if (std::string why = FormMissing(form); !why.empty()) return why;
            int got = cmd == "assert-items"  ? EZ_ITEMCOUNT(form, id)
                      : cmd == "assert-rows" ? EZ_LVROWCOUNT(form, id)
                                             : EZ_LVSELCOUNT(form, id);
            return got == want ? ""
                               : form + "." + std::to_string(id) + " has " + std::to_string(got) +
                                     ", expected " + std::to_string(want);
        });
    };
    auto formOpen = [](Step& s) {
        if (s.w.size() != 2) return false;
        return s.Check([form = s.Form(), want = s.w[0] == "assert-form"]() -> std::string {
            return EZ_FORMEXISTS(form) == want
                       ? ""
                       : "form " + form + (want ? " is not open" : " is open");
        });
    };
    auto fileThere = [](Step& s) {
        if (s.w.size() != 2) return false;
        return s.Check([p = s.run.Path(s.w[1]), rel = s.w[1],
                        want = s.w[0] == "assert-file"]() -> std::string {
            return fs::exists(p) == want ? "" : rel + (want ? " does not exist" : " exists");
        });
    };

    static const std::map<std::string, Command> table = {
        // --- actions ---
        {"click", {"click <form> <id> [row]", clickLike}},
        {"dblclick", {"dblclick <form> <id> [row]", clickLike}},
        {"rightclick", {"rightclick <form> <id> [row]", clickLike}},
        {"type",
         {"type <form> <id> \"<text>\"",
          [](Step& s) {
              int id = 0;
              if (s.w.size() != 4 || !s.Id(id)) return false;
              s.r.Type(s.w[1], id, s.w[3]);
              return s.Done();
          }}},
        {"check",
         {"check <form> <id> on|off",
          [](Step& s) {
              int id = 0;
              if (s.w.size() != 4 || !s.Id(id) || (s.w[3] != "on" && s.w[3] != "off")) return false;
              s.r.SetCheck(s.w[1], id, s.w[3] == "on");
              return s.Done();
          }}},
        {"select",
         {"select <form> <id> \"<item text>\"",
          [](Step& s) {
              int id = 0;
              if (s.w.size() != 4 || !s.Id(id)) return false;
              s.r.SelectItem(s.w[1], id, s.w[3]);
              return s.Done();
          }}},
        {"select-index",
         {"select-index <form> <id> <index>",
          [](Step& s) {
              int id = 0, index = 0;
              if (s.w.size() != 4 || !s.Id(id) || !s.Num(3, index)) return false;
              s.r.SelectIndex(s.w[1], id, index);
              return s.Done();
          }}},
        {"select-row",
         {"select-row <form> <id> <row> [extend]",
          [](Step& s) {
              int id = 0, row = 0;
              if (s.w.size() < 4 || s.w.size() > 5 || !s.Id(id) || !s.Num(3, row) ||
                  (s.w.size() == 5 && s.w[4] != "extend"))
                  return false;
              s.r.SelectRow(s.w[1], id, row, s.w.size() == 5);
              return s.Done();
          }}},
        {"toggle-check",
         {"toggle-check <form> <id> <row> <col>",
          [](Step& s) {
              int id = 0, row = 0, col = 0;
              if (s.w.size() != 5 || !s.Id(id) || !s.Num(3, row) || !s.Num(4, col)) return false;
              s.r.ToggleCheckCell(s.w[1], id, row, col);
              return s.Done();
          }}},
        {"file",
         {"file \"<path>\" \"<text>\"",
          [](Step& s) {
              if (s.w.size() != 3) return false;
              Runner& run = s.run;
              s.r.Do([&run, n = s.line.number, p = s.w[1], t = s.w[2]]() {
                  if (!run.WriteFile(p, t)) run.Fail(n, "cannot write " + p);
              });
              return s.Done();
          }}},
        {"header-click",
         {"header-click <form> <id> <col>",
          [](Step& s) {
              int id = 0, col = 0;
              if (s.w.size() != 4 || !s.Id(id) || !s.Num(3, col)) return false;
              s.r.HeaderClick(s.w[1], id, col);
              return s.Done();
          }}},
        {"key",
         {"key <form> <id> Enter|Esc|Delete|Space|F1|F2|F7|Up|Down|Tab",
          [](Step& s) {
              int id = 0;
              const int key = s.w.size() == 4 ? KeyByName(s.w[3]) : 0;
              if (!key || !s.Id(id)) return false;
              s.r.Key(s.w[1], id, key);
              return s.Done();
          }}},
        {"drag",
         {"drag <form> <id> <from> <to>",
          [](Step& s) {
              int id = 0, from = 0, to = 0;
              if (s.w.size() != 5 || !s.Id(id) || !s.Num(3, from) || !s.Num(4, to)) return false;
              s.r.Drag(s.w[1], id, from, to);
              return s.Done();
          }}},
        {"set-date",
         {"set-date <form> <id> YYYY-MM-DD HH:MM",
          [](Step& s) {
              int id = 0;
              ClockReading c{};
              if (s.w.size() != 5 || !s.Id(id) || !ParseDate(s.w[3], s.w[4], c)) return false;
              s.r.SetDate(s.w[1], id, c.year, c.month, c.day, c.hour, c.minute);
              return s.Done();
          }}},
        {"close", {"close <form>", formOnly}},
        {"wait-form", {"wait-form <form>", formOnly}},
        {"wait-gone", {"wait-gone <form>", formOnly}},
        {"expect-msg",
         {"expect-msg \"<title part>\" <answer> [check]",
          [](Step& s) {
              int answer = 0;
              if (s.w.size() < 3 || s.w.size() > 4 || !s.Num(2, answer) ||
                  (s.w.size() == 4 && s.w[3] != "check"))
                  return false;
              s.r.ExpectMsg(s.w[1], answer, s.w.size() == 4);
              return s.Done();
          }}},
        {"save-dialog", {"save-dialog \"<path>\"", fileDialog}},
        {"open-dialog", {"open-dialog \"<path>\"", fileDialog}},
        {"shot",
         {"shot <form> <name>.png",
          [](Step& s) {
              if (s.w.size() != 3) return false;
              fs::create_directories(s.run.shots_);
              s.r.Screenshot(s.w[1], (fs::path(s.run.shots_) / s.w[2]).string());
              return s.Done();
          }}},
        {"sql",
         {"sql \"<statement>\"",
          [](Step& s) {
              if (s.w.size() != 2) return false;
              Runner& run = s.run;
              s.r.Do([&run, n = s.line.number, stmt = s.w[1]]() { run.SqlNow(n, stmt); });
              return s.Done();
          }}},
        {"date",
         {"date YYYY-MM-DD [HH:MM]",
          [](Step& s) {
              ClockReading c{};
              if (s.w.size() < 2 || !ParseDate(s.w[1], s.w.size() > 2 ? s.w[2] : "", c))
                  return false;
              s.r.Do([c]() { SetClockOverride(c); });
              return s.Done();
          }}},
        {"ini",
         {"ini <section> <key> \"<value>\"",
          [](Step& s) {
              if (s.w.size() != 4) return false;
              s.r.Do([sec = s.w[1], k = s.w[2], v = s.w[3]]() {
                  IniWrite(Paths().settingsFile, sec, k, v);
              });
              return s.Done();
          }}},

        // --- assertions ---
        {"assert-text", {"assert-text <form> <id> \"<text>\"", textOf}},
        {"assert-text-contains", {"assert-text-contains <form> <id> \"<text>\"", textOf}},
        {"assert-enabled", {"assert-enabled <form> <id>", stateOf}},
        {"assert-disabled", {"assert-disabled <form> <id>", stateOf}},
        {"assert-visible", {"assert-visible <form> <id>", stateOf}},
        {"assert-hidden", {"assert-hidden <form> <id>", stateOf}},
        {"assert-checked", {"assert-checked <form> <id>", stateOf}},
        {"assert-unchecked", {"assert-unchecked <form> <id>", stateOf}},
        {"assert-items", {"assert-items <form> <id> <count>", countOf}},
        {"assert-rows", {"assert-rows <form> <id> <count>", countOf}},
        {"assert-selected", {"assert-selected <form> <id> <count>", countOf}},
        {"assert-cell",
         {"assert-cell <form> <id> <row> <col> \"<text>\"",
          [](Step& s) {
              int id = 0, row = 0, col = 0;
              if (s.w.size() != 6 || !s.Id(id) || !s.Num(3, row) || !s.Num(4, col)) return false;
              return s.Check([form = s.Form(), id, row, col, want = s.w[5]]() -> std::string {
                  if (std::string why = FormMissing(form); !why.empty()) return why;
                  if (row >= EZ_LVROWCOUNT(form, id))
                      return "no row " + std::to_string(row) + " (" +
                             std::to_string(EZ_LVROWCOUNT(form, id)) + " rows)";
                  std::string got = EZ_LVGETCELL(form, id, row, col);
                  return got == want ? ""
                                     : "cell " + std::to_string(row) + "," + std::to_string(col) +
                                           " is " + Show(got) + ", expected " + Show(want);
              });
          }}},
        {"assert-status",
         {"assert-status <form> <id> <part> \"<text>\"",
          [](Step& s) {
              int id = 0, part = 0;
              if (s.w.size() != 5 || !s.Id(id) || !s.Num(3, part)) return false;
              return s.Check([form = s.Form(), id, part, want = s.w[4]]() -> std::string {
                  if (std::string why = FormMissing(form); !why.empty()) return why;
                  std::string got = StripTab(EZ_SBGETTEXT(form, id, part));
                  return got == StripTab(want) ? ""
                                               : "status part " + std::to_string(part) + " is " +
                                                     Show(got) + ", expected " + Show(want);
              });
          }}},
        {"assert-form", {"assert-form <form>", formOpen}},
        {"assert-no-form", {"assert-no-form <form>", formOpen}},
        {"assert-file", {"assert-file \"<path>\"", fileThere}},
        {"assert-no-file", {"assert-no-file \"<path>\"", fileThere}},
        {"assert-file-contains",
         {"assert-file-contains \"<path>\" \"<text>\"",
          [](Step& s) {
              if (s.w.size() != 3) return false;
              return s.Check(
                  [p = s.run.Path(s.w[1]), rel = s.w[1], want = s.w[2]]() -> std::string {
                      std::ifstream in(p, std::ios::binary);
                      if (!in) return rel + " does not exist";
                      std::stringstream ss;
                      ss << in.rdbuf();
                      return ss.str().find(want) != std::string::npos
                                 ? ""
                                 : rel + " does not contain " + Show(want);
                  });
          }}},
        {"assert-pdf-text",
         {"assert-pdf-text \"<path>\" \"<text>\"",
          [](Step& s) {
              if (s.w.size() != 3) return false;
              return s.Check([p = s.run.Path(s.w[1]), rel = s.w[1], want = s.w[2]]() {
                  return PdfTextMissing(p, rel, want);
              });
          }}},
        {"assert-ini",
         {"assert-ini <section> <key> \"<value>\"",
          [](Step& s) {
              if (s.w.size() != 4) return false;
              return s.Check([sec = s.w[1], k = s.w[2], want = s.w[3]]() -> std::string {
                  std::string got = IniRead(Paths().settingsFile, sec, k, "");
                  return got == want ? ""
                                     : "[" + sec + "] " + k + " is " + Show(got) + ", expected " +
                                           Show(want);
              });
          }}},
        {"assert-sql",
         {"assert-sql \"<select>\" \"<expected>\"",
          [](Step& s) {
              if (s.w.size() != 3) return false;
              Runner& run = s.run;
              return s.Check([&run, stmt = s.w[1], want = s.w[2]]() -> std::string {
                  std::string got = run.SqlValue(stmt);
                  return got == want
                             ? ""
                             : Show(stmt) + " gave " + Show(got) + ", expected " + Show(want);
              });
          }}},
        {"assert-opened",
         {"assert-opened \"<substring>\"",
          [](Step& s) {
              if (s.w.size() != 2) return false;
              Robot& r = s.r;
              return s.Check([&r, want = s.w[1]]() -> std::string {
                  for (const auto& o : r.platform().opened)
                      if (WithForwardSlashes(o).find(WithForwardSlashes(want)) != std::string::npos)
                          return "";
                  std::string all;
                  for (const auto& o : r.platform().opened) all += " " + Show(o);
                  return "nothing containing " + Show(want) +
                         " was opened (opened:" + (all.empty() ? " none" : all) + ")";
              });
          }}},
        {"assert-started",
         {"assert-started \"<substring>\"",
          [](Step& s) {
              if (s.w.size() != 2) return false;
              Robot& r = s.r;
              return s.Check([&r, want = s.w[1]]() -> std::string {
                  std::string all;
                  for (const auto& st : r.platform().started) {
                      std::string line = st.program;
                      for (const auto& a : st.args) line += " " + a;
                      if (line.find(want) != std::string::npos) return "";
                      all += " " + Show(line);
                  }
                  return "no program containing " + Show(want) +
                         " was started (started:" + (all.empty() ? " none" : all) + ")";
              });
          }}},
        {"assert-no-mail",
         {"assert-no-mail",
          [](Step& s) {
              if (s.w.size() != 1) return false;
              Robot& r = s.r;
              return s.Check([&r]() -> std::string {
                  const auto& p = r.platform();
                  if (p.mails.empty() && p.started.empty()) return "";
                  return std::to_string(p.mails.size()) + " mail(s) handed over and " +
                         std::to_string(p.started.size()) + " program(s) started";
              });
          }}},
        {"assert-help",
         {"assert-help <topic>",
          [](Step& s) {
              int topic = 0;
              if (s.w.size() != 2 || !s.Num(1, topic)) return false;
              Robot& r = s.r;
              return s.Check([&r, topic]() -> std::string {
                  for (int t : r.platform().helpTopics)
                      if (t == topic) return "";
                  std::string all;
                  for (int t : r.platform().helpTopics) all += " " + std::to_string(t);
                  return "help topic " + std::to_string(topic) +
                         " was not opened (opened:" + (all.empty() ? " none" : all) + ")";
              });
          }}},
        {"assert-msg",
         {"assert-msg \"<title part>\"",
          [](Step& s) {
              if (s.w.size() != 2) return false;
              Robot& r = s.r;
              return s.Check([&r, want = s.w[1]]() -> std::string {
                  for (const auto& t : r.MessageTitles())
                      if (t.find(want) != std::string::npos) return "";
                  return "no message box titled " + Show(want) + " was shown";
              });
          }}},
    };
    return table;
}

bool Runner::Queue(Robot& r, const Line& l) {
    const auto& table = Commands();
    const auto it = table.find(l.words[0]);
    if (it == table.end()) {
        Fail(l.number, "unknown command '" + l.words[0] + "'");
        return false;
    }
    Step step{*this, r, l, l.words};
    if (it->second.play(step)) return true;
    Fail(l.number, step.error.empty() ? "usage: " + it->second.usage : step.error);
    return false;
}

// Plays the single-instance check against the real executable.
bool Runner::SecondInstance(const Line& l) {
    const int n = l.number;
    const std::string exe = exeFolder_ + ProgramFileName("vantrel");
    if (!fs::exists(exe)) {
        Fail(n, "no executable at " + exe);
        return false;
    }
    std::unique_ptr<Platform> first = MakeDesktopPlatform();
    if (!first->AcquireSingleInstance("Vantrel_List")) {
        Fail(n, "cannot take the instance lock (is the program running?)");
        return false;
    }
    ChildProgram child(exe, {"QT_QPA_PLATFORM=offscreen"});
    if (!child.started()) {
        Fail(n, "cannot start " + exe);
        return false;
    }
    bool exited = false;
    auto t0 = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - t0 < std::chrono::seconds(10)) {
        EZ_DOEVENTS();  // the instance socket is served from the event loop
        if (!exited && child.Ended()) exited = true;
        if (exited && DesktopRaiseRequests(*first) > 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (int i = 0; i < 10; ++i) EZ_DOEVENTS();
    if (!exited) {
        child.Kill();
        Fail(n, "the second instance did not end within 10 s (it opened a window?)");
        return false;
    }
    if (DesktopRaiseRequests(*first) == 0) {
        Fail(n, "the second instance ended without asking the first to come to the front");
        return false;
    }
    Pass(n);
    return true;
}

int Runner::Play(const std::vector<Line>& lines) {
    for (const auto& l : lines) results_[l.number] = Result::Pending;
    Robot robot;
    size_t i = 0;
    for (; i < lines.size() && !started_; ++i) {
        const Line& l = lines[i];
        if (l.words[0] == "start") {
            if (seededDb_) slClose();  // the program opens it itself
            robot.platform().pdfViewer = !noPdf_;
            robot.platform().instanceFree = !instanceTaken_;
            // The desktop is a folder of the temporary program folder.
            robot.platform().desktopFolder = Paths().appFolder + "Desktop/";
            std::error_code ec;
            std::filesystem::create_directories(robot.platform().desktopFolder, ec);
            robot.Start();
            robot.Do([this, &robot, n = l.number]() {
                CollectRobotErrors(robot, n);
                Pass(n);
            });
            started_ = true;
        } else if (l.words[0] == "second-instance") {
            SecondInstance(l);
        } else {
            Seed(l);
        }
    }
    for (; i < lines.size(); ++i) {
        if (lines[i].words[0] == "start") {
            Fail(lines[i].number, "start given twice");
            continue;
        }
        if (lines[i].words[0] == "second-instance") {
            Fail(lines[i].number, "second-instance cannot follow start");
            continue;
        }
        Queue(robot, lines[i]);
    }
    if (started_) {
        robot.Run(300000);
        CollectRobotErrors(robot, lines.back().number);
    }
    int passed = 0, failed = 0;
    for (auto& [n, res] : results_) {
        if (res == Result::Pending) {
            res = Result::Failed;
            failures_.push_back("line " + std::to_string(n) + ": not reached");
        }
        (res == Result::Passed ? passed : failed)++;
    }
    for (const auto& f : failures_) std::cout << "FAIL " << f << "\n";
    std::cout << passed << " passed, " << failed << " failed\n";
    return failed == 0 ? 0 : 1;
}

// Plays against an installed program: nothing is copied; the executable's
// folder is <prefix>/bin/, so the program finds its resources and its data
// folder exactly as the installed executable does.
int PlayInstalled(const std::string& prefix, const std::string& shots,
                  const std::vector<Line>& lines) {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (!xdg || !*xdg) {
        std::cerr << "--installed needs XDG_DATA_HOME (a scratch folder for the user's data)\n";
        return 2;
    }
    const std::string bin = (fs::path(prefix) / "bin").string() + "/";
    if (!fs::exists(bin + "vantrel")) {
        std::cerr << "no installed program at " << bin << "vantrel\n";
        return 2;
    }
    EzTestInit(0, nullptr);
    EZ_SETAPPPATH(bin);
    if (!IsInstalledCopy()) {
        std::cerr << bin << " does not look installed (no " << kInstalledResourceDir
                  << " beside it)\n";
        return 2;
    }
    const std::string folder = AppFolder();
    SetAppFolder(folder);
    int rc = 0;
    {
        Runner runner(folder, shots, bin);
        rc = runner.Play(lines);
    }
    if (slIsOpen()) slClose();
    return rc;
}

// The part of docs/scenarios.md made from the form declarations: from this
// heading to the end of the file.
constexpr const char* kControlsHeading = "## Forms and controls";

std::string ControlsDoc() {
    std::string out = std::string(kControlsHeading) + "\n\n";
    out +=
        "Written by `vantrel_scenario --list-controls docs/scenarios.md` from the forms'\n"
        "declarations; a test fails when it differs from them. A scenario names a\n"
        "control by the name in its form's table or by its id.\n";
    for (const FormDecl* f : FormTable()) {
        out += "\n### `" + std::string(f->name) + "`";
        if (!f->caption.empty()) out += " " + std::string(f->caption);
        out += "\n\n| Control | Id |\n|---|---|\n";
        for (const ControlName& c : f->controls)
            out += "| `" + std::string(c.name) + "` | " + std::to_string(c.id) + " |\n";
    }
    return out;
}

// The text of docs/scenarios.md before the generated part, and the whole file.
bool ReadDoc(const std::string& path, std::string& head, std::string& whole) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream ss;
    ss << in.rdbuf();
    whole = ss.str();
    const size_t at = whole.find(std::string("\n") + kControlsHeading + "\n");
    head = at == std::string::npos ? whole + "\n" : whole.substr(0, at + 1);
    return true;
}

// --list-controls: rewrites the generated part of the document (through a
// temporary file renamed when complete); --check-controls: exit code 1 when
// the document differs from what the declarations give.
int ControlsDocCommand(const std::string& path, bool write) {
    std::string head, whole;
    if (!ReadDoc(path, head, whole)) {
        std::cerr << "cannot read " << path << "\n";
        return 2;
    }
    const std::string want = head + ControlsDoc();
    if (!write) {
        if (whole == want) return 0;
        std::cerr << path << " does not match the forms' control tables; regenerate it with\n"
                  << "  vantrel_scenario --list-controls " << path << "\n";
        return 1;
    }
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << want;
        out.flush();
        if (!out) {
            std::cerr << "cannot write " << tmp << "\n";
            return 2;
        }
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) {
        std::cerr << "cannot replace " << path << ": " << ec.message() << "\n";
        fs::remove(tmp, ec);
        return 2;
    }
    return 0;
}

int Usage() {
    std::cerr
        << "usage: vantrel_scenario --program <program folder> --shots <dir> [--keep] <file.scn>\n"
        << "       vantrel_scenario --installed <prefix> --shots <dir> <file.scn>\n"
        << "       vantrel_scenario --list-controls|--check-controls docs/scenarios.md\n"
        << "  (--installed plays against <prefix>/bin/vantrel with its resources in\n"
        << "   <prefix>/share/vantrel/ and its data in $XDG_DATA_HOME/Vantrel, which must be "
           "set)\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string program, installed, shots, file;
    bool keep = false;
    if (argc == 3 &&
        (std::string(argv[1]) == "--list-controls" || std::string(argv[1]) == "--check-controls"))
        return ControlsDocCommand(argv[2], std::string(argv[1]) == "--list-controls");
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--program" && i + 1 < argc)
            program = argv[++i];
        else if (a == "--installed" && i + 1 < argc)
            installed = argv[++i];
        else if (a == "--shots" && i + 1 < argc)
            shots = argv[++i];
        else if (a == "--keep")
            keep = true;
        else if (!a.empty() && a[0] != '-' && file.empty())
            file = a;
        else
            return Usage();
    }
    if ((program.empty() == installed.empty()) || file.empty()) return Usage();
    if (shots.empty()) shots = fs::temp_directory_path().string();

    std::ifstream in(file);
    if (!in) {
        std::cerr << "cannot read " << file << "\n";
        return 2;
    }
    std::vector<Line> lines;
    std::string text;
    int number = 0;
    bool syntaxOk = true;
    while (std::getline(in, text)) {
        ++number;
        std::string trimmed = text;
        trimmed.erase(0, trimmed.find_first_not_of(" \t\r"));
        if (trimmed.empty() || trimmed[0] == '#') continue;
        Line l;
        l.number = number;
        l.text = text;
        std::string err;
        if (!Tokenize(trimmed, l.words, err) || l.words.empty()) {
            std::cout << "FAIL line " << number << ": " << err << "\n";
            syntaxOk = false;
            continue;
        }
        lines.push_back(std::move(l));
    }
    if (!syntaxOk) {
        std::cout << "0 passed, 1 failed\n";
        return 1;
    }
    if (lines.empty()) {
        std::cout << "0 passed, 0 failed\n";
        return 0;
    }

    if (!installed.empty()) return PlayInstalled(installed, shots, lines);

    // A fresh copy of the program folder.
    const std::string made = MakeTempFolder("vantrel-scn-");
    if (made.empty()) {
        std::cerr << "cannot create a temporary folder\n";
        return 2;
    }
    const std::string folder = made + "/";
    std::error_code ec;
    fs::copy(program, folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing,
             ec);
    if (ec) {
        std::cerr << "cannot copy " << program << ": " << ec.message() << "\n";
        fs::remove_all(folder, ec);
        return 2;
    }
    // Nothing of an earlier run may leak in: settings and data start empty.
    for (const char* stale : {"Vantrel.ini", "Data", "Backup", "PDF", "Analysis"})
        fs::remove_all(folder + stale, ec);

    EzTestInit(argc > 0 ? 1 : 0, argv);
    SetAppFolderOverride(folder);
    SetAppFolder(folder);
    EZ_SETAPPPATH(folder);
    EZ_SETIMAGEFOLDER(folder + "Images");

    int rc = 0;
    {
        Runner runner(folder, shots, folder);
        rc = runner.Play(lines);
    }
    if (slIsOpen()) slClose();
    if (keep)
        std::cout << "program folder kept: " << folder << "\n";
    else
        fs::remove_all(folder, ec);
    return rc;
}
