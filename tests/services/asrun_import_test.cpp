// Importing a quarter's as-run log: title matching, the preview counts, the
// database after the import row by row, a second import of the same log, and
// a failure half-way that must leave the database as it was.
#include "services/asrun_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "app/base/text_util.h"
#include "data/dates.h"
#include "data/query.h"
#include "reports/filing_check.h"
#include "support/asrun_sample.h"
#include "support/form_fixture.h"

namespace {

constexpr int32_t kQuarter = 20242;  // Apr-Jun 2024

std::string Snapshot() {
    std::string all;
    for (const char* t : {"Stations", "Issues", "Programs", "Master", "DateTime"})
        all += std::string(t) + ":\n" +
               slSelStr(std::string("SELECT * FROM ") + t + " ORDER BY 1", "Q124") + "\n";
    return all;
}

TEST(AsRunImportText, TitleKeys) {
    const std::pair<const char*, const char*> cases[] = {
        {"  Health Matters PSA ", "health matters psa"},
        {"HEALTH\tMATTERS   psa", "health matters psa"},
        {"CAF\xC3\x89 \xC3\x91", "caf\xC3\xA9 \xC3\xB1"},  // É, Ñ
        {"2 \xC3\x97 3", "2 \xC3\x97 3"},                  // the multiplication sign stays
        {"\xC5\x81\xC3\x93D\xC5\xB9 News",
         "\xC5\x82\xC3\xB3d\xC5\xBA news"},  // ŁÓDŹ beyond Latin-1
        {"", ""},
        {"\xC3", "\xC3"},  // a cut-off character is kept as it is
    };
    for (const auto& [title, key] : cases) EXPECT_EQ(TitleKey(title), key) << title;
}

TEST(AsRunImportText, DurationsAndMessage) {
    // Exact to the second, and read back to the same length by the filing check.
    const std::pair<int32_t, const char*> durations[] = {{1, "1 second"},
                                                         {30, "30 seconds"},
                                                         {60, "1 minute"},
                                                         {89, "1 minute 29 seconds"},
                                                         {1710, "28 minutes 30 seconds"},
                                                         {3600, "1 hour"},
                                                         {3661, "1 hour 1 minute 1 second"},
                                                         {7230, "2 hours 30 seconds"}};
    for (const auto& [seconds, text] : durations) {
        EXPECT_EQ(DurationText(seconds), text);
        EXPECT_EQ(DurationSeconds(text), seconds) << text;
    }
    EXPECT_EQ(DurationText(0), "");
    ImportOutcome o;
    o.airingsAdded = 1;
    std::string t1, t2;
    ImportDoneTexts(o, t1, t2);
    EXPECT_EQ(t1, "1 airing was added.{f10}");
    EXPECT_EQ(t2, "");
    o.airingsAdded = 312;
    o.entriesAdded = 2;
    ImportDoneTexts(o, t1, t2);
    EXPECT_EQ(t1, "312 airings were added, with 2 new program entries.{f10}");
    EXPECT_NE(t2.find("The new entries still need their issues and description"),
              std::string::npos);
    o.entriesAdded = 1;
    ImportDoneTexts(o, t1, t2);
    EXPECT_EQ(t1, "312 airings were added, with 1 new program entry.{f10}");
    EXPECT_NE(t2.find("The new entry still needs its issues and description"), std::string::npos);
}

class AsRunImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDateSettings(1, false, false);
        ASSERT_TRUE(folder_.OpenFreshDatabase());
        station_ = SeedStation("WAAA-FM", "", kQuarter, 0);
        other_ = SeedStation("WBBB-AM", "", kQuarter, 1);
        // An entry of the station whose title differs from the log's only in case.
        focus_ = AddEntry(station_, "community focus", "30 minutes", false);
        for (auto [day, minutes] :
             {SeedAiringAt{FirstSunday(), 360}, SeedAiringAt{FirstSunday() + 7, 360},
              SeedAiringAt{FirstSunday(), 1200}})
            SeedAiring(focus_, day, minutes);
        // A period record with a log title (its flag stored as text, which the list reads as
        // well): it is offered, but keeps its two airings and its count.
        period_ = AddEntry(station_, "Voter Registration PSA", "60 seconds", true);
        SeedAiring(period_, Mdy2JulianDate(4, 1, 2024), 0);
        SeedAiring(period_, Mdy2JulianDate(6, 30, 2024), 0);
        // Another station's entry of a log title.
        AddEntry(other_, "Health Matters PSA", "30 seconds", false);
    }

    static std::string Num(int64_t v) { return std::to_string(v); }
    int32_t FirstSunday() {
        int32_t d = Mdy2JulianDate(4, 1, 2024);
        while (DayOfWeek(d) != 7) ++d;
        return d;
    }
    static RowId AddEntry(RowId station, const std::string& title, const std::string& duration,
                          bool period) {
        return SeedProgram({.station = station,
                            .quarter = kQuarter,
                            .title = title,
                            .duration = duration,
                            .description = "About it",
                            .freqCheck = period ? "1" : "0",
                            .frequency = period ? "12" : ""});
    }

    // A session on the sample log with the three public-affairs titles ticked.
    ImportSession SampleSession(sample::Expected* ex, const sample::LogOptions& o = {}) {
        ImportSession s;
        const std::string bytes = sample::QuarterLog(o, ex);
        LoadLog(s, bytes, 1);
        SetDestination(s, kQuarter, station_);
        for (size_t i = 0; i < s.titles.size(); ++i) {
            const std::string& t = s.titles[i].title;
            if (t == sample::kCommunityFocus || t == sample::kHealthPsa || t == sample::kVoterPsa)
                ChooseTitle(s, i, true);
        }
        return s;
    }

    const TitlePreview& Preview(const ImportSession& s, const std::string& title) {
        for (const TitlePreview& p : s.plan.titles)
            if (p.title == title) return p;
        ADD_FAILURE() << "no preview for " << title;
        static TitlePreview none;
        return none;
    }

    TempProgramFolder folder_;
    RowId station_ = 0, other_ = 0, focus_ = 0, period_ = 0;
};

TEST_F(AsRunImportTest, TargetsTakePeriodRecordsButNotOtherStations) {
    // Period records are offered (flagged), other stations' entries are not.
    std::vector<ImportTarget> targets = ImportTargets(kQuarter, station_);
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0].mid, focus_);
    EXPECT_TRUE(!targets[0].period && targets[1].period);
    EXPECT_EQ(TargetLabel(targets[1]), "Voter Registration PSA (Various x 12)");
    EXPECT_EQ(MatchTarget(targets, TitleKey(" COMMUNITY   Focus ")), focus_);
    EXPECT_EQ(MatchTarget(targets, TitleKey("Voter Registration PSA")), period_);
    EXPECT_EQ(MatchTarget(targets, TitleKey("Health Matters PSA")), 0);
    // A title with a period entry and one of single airings goes to the latter.
    const RowId single = AddEntry(station_, "VOTER Registration PSA", "60 seconds", false);
    targets = ImportTargets(kQuarter, station_);
    EXPECT_EQ(MatchTarget(targets, TitleKey("Voter Registration PSA")), single);
}

TEST_F(AsRunImportTest, PreviewCountsOfTheQuarter) {
    sample::Expected ex;
    const ImportSession s = SampleSession(&ex);
    ASSERT_EQ(s.plan.titles.size(), 3u);
    struct Want {
        const char* title;
        RowId target;
        int toAdd, already, outside;
        const char* duration;
    };
    const int focusAiring = static_cast<int>(ex.airings[sample::kCommunityFocus].size());
    const Want wants[] = {
        // Two of the log's airings are on file already.
        {sample::kCommunityFocus, focus_, focusAiring - 2, 2, 1, ""},
        {sample::kHealthPsa, 0, static_cast<int>(ex.airings[sample::kHealthPsa].size()), 1, 0,
         "30 seconds"},
        // The period record takes none of its title's airings.
        {sample::kVoterPsa, period_, 0, 0, 1, ""},
    };
    for (const Want& w : wants) {
        const TitlePreview& p = Preview(s, w.title);
        SCOPED_TRACE(w.title);
        EXPECT_EQ(p.target, w.target);
        EXPECT_EQ(p.toAdd, w.toAdd);
        EXPECT_EQ(p.already, w.already);
        EXPECT_EQ(p.outside, w.outside);
        EXPECT_EQ(p.duration, w.duration);
    }
    // Both spellings of the health PSA count as one title.
    for (const LogTitle& t : s.titles)
        if (t.title == sample::kHealthPsa) EXPECT_EQ(t.key, "health matters psa");
    std::vector<int> lines;
    for (const RowProblem& p : s.plan.problems) lines.push_back(p.line);
    EXPECT_EQ(lines, ex.badLines);
    EXPECT_EQ(s.plan.newEntries, 1);
    EXPECT_EQ(s.plan.notAdded, static_cast<int>(ex.airings[sample::kVoterPsa].size()));
    EXPECT_NE(Preview(s, sample::kVoterPsa).note.find("Various x 12"), std::string::npos);
    EXPECT_TRUE(ImportReady(s));
}

TEST_F(AsRunImportTest, ImportWritesEveryRowAndASecondImportAddsNothing) {
    sample::Expected ex;
    sample::LogOptions o;
    o.encoding = sample::Encoding::Windows1252;
    o.separator = '\t';
    o.crlf = true;
    ImportSession s = SampleSession(&ex, o);
    // The user sends the voter PSA to a new entry beside its period record: the
    // preview says that the title is made a second time.
    for (size_t i = 0; i < s.titles.size(); ++i)
        if (s.titles[i].title == sample::kVoterPsa) s.target[i] = 0;
    UpdatePlan(s);
    EXPECT_NE(Preview(s, sample::kVoterPsa).note.find("second entry"), std::string::npos);
    EXPECT_EQ(s.plan.duplicates, 1);
    const std::string stationsBefore = slSelStr("SELECT * FROM Stations ORDER BY 1", "Q124");
    const ImportOutcome out = WriteImport(s.plan);
    ASSERT_TRUE(out.ok) << out.error;
    ASSERT_EQ(out.newEntries.size(), 2u);
    EXPECT_EQ(out.changedEntries, std::vector<RowId>{focus_});
    EXPECT_EQ(out.entriesAdded, 2);
    EXPECT_EQ(out.airingsAdded, s.plan.toAdd);

    // The new entries: title and duration from the log, no issues and no description.
    const std::string health = Num(out.newEntries[0]), voter = Num(out.newEntries[1]);
    for (const auto& [mid, title, duration] : {std::tuple{health, sample::kHealthPsa, "30 seconds"},
                                               std::tuple{voter, sample::kVoterPsa, "1 minute"}}) {
        EXPECT_EQ(slSelStr("SELECT Qtr,Issue,Station,FreqCheck,Frequency,Duration,Title,"
                           "PDescription FROM Master,Programs WHERE PID = Pgm AND MID = " +
                               mid,
                           "Q124"),
                  Num(kQuarter) + "||" + Num(station_) + "|0||" + duration + "|" + title + "|");
    }
    // Every airing, row by row: the entry's own ones plus those of the log.
    std::string want;
    std::vector<std::pair<std::string, std::set<std::pair<int32_t, int32_t>>>> byEntry = {
        {Num(focus_), ex.airings[sample::kCommunityFocus]},
        {health, ex.airings[sample::kHealthPsa]},
        {voter, ex.airings[sample::kVoterPsa]},
    };
    byEntry[0].second.insert({FirstSunday(), 1200});
    std::sort(byEntry.begin(), byEntry.end(),
              [](const auto& a, const auto& b) { return Val(a.first) < Val(b.first); });
    for (const auto& [mid, airings] : byEntry)
        for (const auto& [day, minutes] : airings)
            want += mid + "|" + Num(day) + "|" + Num(minutes) + "\n";
    std::string got = slSelStr("SELECT MLink,AirDate,AirTime FROM DateTime WHERE MLink <> " +
                                   Num(period_) + " ORDER BY MLink,AirDate,AirTime",
                               "Q124");
    EXPECT_EQ(got + "\n", want);
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM DateTime WHERE MLink = " + Num(period_)), "2");
    EXPECT_EQ(slSelStr("SELECT * FROM Stations ORDER BY 1", "Q124"), stationsBefore);

    // The same log again: the new entries are matched now, and nothing is added.
    const std::string before = Snapshot();
    sample::Expected again;
    ImportSession second = SampleSession(&again, o);
    EXPECT_EQ(second.plan.toAdd, 0);
    EXPECT_EQ(second.plan.newEntries, 0);
    EXPECT_EQ(Preview(second, sample::kHealthPsa).target, out.newEntries[0]);
    EXPECT_FALSE(ImportReady(second));
    const ImportOutcome none = WriteImport(second.plan);
    EXPECT_TRUE(none.ok);
    EXPECT_EQ(none.airingsAdded, 0);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(AsRunImportTest, FailureHalfWayChangesNothing) {
    sample::Expected ex;
    ImportSession s = SampleSession(&ex);
    // The database refuses Community Focus's airings, which are written after the others.
    ExecSql(
        "CREATE TRIGGER refuse BEFORE INSERT ON DateTime WHEN NEW.AirTime = 360 "
        "BEGIN SELECT RAISE(ABORT, 'forced failure'); END");
    const std::string before = Snapshot();
    const ImportOutcome out = WriteImport(s.plan);
    EXPECT_FALSE(out.ok);
    EXPECT_NE(out.error.find("forced failure"), std::string::npos) << out.error;
    EXPECT_EQ(out.airingsAdded, 0);
    EXPECT_TRUE(out.newEntries.empty());
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(AsRunImportTest, TitlesMappedToOneEntryShareItsAirings) {
    ImportSession s;
    LoadLog(s,
            "Date,Time,Title\n"
            "04/01/2024,06:00,Town Hall\n"
            "04/01/2024,06:00,Town Hall Replay\n"
            "04/02/2024,06:00,Town Hall Replay\n",
            1);
    SetDestination(s, kQuarter, station_);
    ASSERT_EQ(s.titles.size(), 2u);
    for (size_t i = 0; i < s.titles.size(); ++i) {
        s.target[i] = focus_;
        ChooseTitle(s, i, true);
    }
    EXPECT_EQ(s.plan.toAdd, 2);
    EXPECT_EQ(s.plan.already, 1);
    EXPECT_EQ(s.plan.newEntries, 0);
    const ImportOutcome out = WriteImport(s.plan);
    ASSERT_TRUE(out.ok) << out.error;
    EXPECT_EQ(out.airingsAdded, 2);
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM DateTime WHERE MLink = " + Num(focus_)), "5");
}

TEST_F(AsRunImportTest, NewEntryWithoutLengthTakesTheTypedDuration) {
    ImportSession s;
    LoadLog(s, "Date,Time,Title\n04/01/2024,06:00,Town Hall\n", 1);
    SetDestination(s, kQuarter, station_);
    ChooseTitle(s, 0, true);
    EXPECT_TRUE(s.plan.missingDuration);
    EXPECT_FALSE(ImportReady(s));
    EXPECT_FALSE(WriteImport(s.plan).ok);
    s.defaultDuration = " 30 minutes ";
    UpdatePlan(s);
    ASSERT_TRUE(ImportReady(s));
    const ImportOutcome out = WriteImport(s.plan);
    ASSERT_TRUE(out.ok) << out.error;
    EXPECT_EQ(slSelStr("SELECT Duration FROM Programs,Master WHERE PID = Pgm AND MID = " +
                       Num(out.newEntries.at(0))),
              "30 minutes");
}

TEST_F(AsRunImportTest, NewEntryTakesTheMostCommonLengthOrTheTypedDuration) {
    ImportSession s;
    LoadLog(s,
            "Date,Time,Title,Length\n04/01/2024,06:00,Town Hall,28:30\n"
            "04/08/2024,06:00,Town Hall,28:30\n04/15/2024,06:00,town hall,29:00\n",
            1);
    SetDestination(s, kQuarter, station_);
    ChooseTitle(s, 0, true);
    EXPECT_EQ(s.plan.titles.at(0).duration, "28 minutes 30 seconds");
    EXPECT_NE(s.plan.titles[0].note.find("2 different lengths"), std::string::npos);
    // The user's duration replaces the proposed one; clearing it brings that back.
    SetNewEntryDuration(s, 0, " 29 minutes ");
    EXPECT_EQ(s.plan.titles.at(0).note, "");
    SetNewEntryDuration(s, 0, "");
    EXPECT_EQ(NewEntryDuration(s, 0), "28 minutes 30 seconds");
    SetNewEntryDuration(s, 0, "29 minutes");
    const ImportOutcome out = WriteImport(s.plan);
    ASSERT_TRUE(out.ok) << out.error;
    EXPECT_EQ(slSelStr("SELECT Duration FROM Programs,Master WHERE PID = Pgm AND MID = " +
                       Num(out.newEntries.at(0))),
              "29 minutes");
}

TEST_F(AsRunImportTest, AQuarterWithoutTheLogsDaysAddsNothing) {
    sample::Expected ex;
    ImportSession s = SampleSession(&ex);
    const RowId earlier = SeedStation("WAAA-FM", "", 20234, 0);
    SetDestination(s, 20234, earlier);
    EXPECT_EQ(s.plan.toAdd, 0);
    EXPECT_EQ(s.plan.newEntries, 0);
    EXPECT_FALSE(s.plan.missingDuration);
    // Every readable airing of the three titles lies outside Oct-Dec 2023.
    int outside = 0;
    for (const TitlePreview& p : s.plan.titles) outside += p.outside;
    int expected = 0;
    for (const auto& [title, set] : ex.airings)
        expected += static_cast<int>(set.size()) + ex.duplicates[title] + ex.outside[title];
    EXPECT_EQ(outside, expected);
    EXPECT_FALSE(ImportReady(s));
}

}  // namespace
