// The options record and its table of settings keys, loaded once at start-up
// and written by the options dialog's save.
#include "app/base/options.h"

#include "app/base/app_state.h"
#include "app/base/date_settings.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"

Options& Opts() {
    static Options options;
    return options;
}

const std::vector<OptionKey>& OptionTable() {
    using K = OptionKind;
    using C = OptionControl;
    // Order matters: it is the order of loading and of writing.
    static const std::vector<OptionKey> table = {
        {"Options", "DateFormat", nullptr, K::Number, &Options::dateFormat, true, C::None, 0, 0, 2},
        {"Options", "CopyStations", "0", K::Flag, &Options::copyStations, true, C::Radio,
         kPoActiveStations, 0, 1},
        {"Options", "CopyIssues", "1", K::Flag, &Options::copyIssues, true, C::Check, kPoCopyIssues,
         0, 1},
        {"Options", "AlertDeadline", "1", K::Flag, &Options::alertDeadline, true, C::Check,
         kPoAlertDeadline, 0, 1},
        {"Options", "TipsOn", "1", K::Flag, &Options::tipsOn, true, C::Check, kPoTipsOn, 0, 1},
        {"Options", "Update", "1", K::Flag, &Options::update, true, C::Check, kPoUpdate, 0, 1},
        {"Backup", "EnableBackup", "0", K::Flag, &Options::enableBackup, true, C::Check,
         kPoReminder, 0, 1},
        {"Backup", "BackupSeq", "0", K::Number, &Options::backupSeq, true, C::List, kPoSequence, 0,
         2},
        {"Backup", "WeekNum", "0", K::Number, &Options::weekNum, true, C::List, kPoWeekOfMonth, 0,
         4},
        {"Backup", "BackupDow", "0", K::Number, &Options::backupDow, true, C::List, kPoWeekday, 0,
         6},
        {"Backup", "AutoName", "1", K::Flag, &Options::autoName, true, C::Check, kPoAutoName, 0, 1},
        {"Backup", "WarnOverwrite", "1", K::Flag, &Options::warnOverwrite, true, C::Check,
         kPoWarnOverwrite, 0, 1},
        {"Dates", "Format", "1", K::Number, &Options::dateFormat, true, C::List, kPoDateFormat, 0,
         2},
        {"Dates", "Slash", "0", K::Flag, &Options::slash, true, C::Check, kPoSlashes, 0, 1},
        {"Dates", "MondayStart", "0", K::Flag, &Options::mondayStart, true, C::Check,
         kPoMondayStart, 0, 1},
        // The program editor writes the description size itself.
        {"Font", "Size", "9", K::Number, &Options::fontSize, false, C::None, 0, 9, 16},
    };
    return table;
}

int OptionValue(const Options& o, const OptionKey& k) {
    if (auto* b = std::get_if<bool Options::*>(&k.field)) return (o.*(*b)) ? 1 : 0;
    int v = o.*std::get<int Options::*>(k.field);
    return k.kind == OptionKind::Flag ? (v & 1) : v;
}

void SetOptionValue(Options& o, const OptionKey& k, int value) {
    if (k.kind == OptionKind::Flag) value &= 1;
    if (auto* b = std::get_if<bool Options::*>(&k.field))
        o.*(*b) = value != 0;
    else
        o.*std::get<int Options::*>(k.field) = value;
}

void LoadOptions() {
    Options& o = Opts();
    for (const OptionKey& k : OptionTable()) {
        if (!k.defaultText) continue;
        std::string text = IniRead(Paths().settingsFile, k.section, k.key, k.defaultText);
        int64_t v = Val(text);
        // A flag is the lowest bit of any number; a list position outside its
        // list would select nothing, so it falls back to the default.
        if (k.kind == OptionKind::Flag)
            v &= 1;
        else if (v < k.minValue || v > k.maxValue)
            v = Val(k.defaultText);
        SetOptionValue(o, k, static_cast<int>(v));
    }
    SetDateSettings(o.dateFormat, o.slash, o.mondayStart);
}

bool SaveOptions(const Options& o) {
    bool ok = true;
    for (const OptionKey& k : OptionTable()) {
        if (!k.saved) continue;
        if (!IniWrite(Paths().settingsFile, k.section, k.key, std::to_string(OptionValue(o, k))))
            ok = false;
    }
    return ok;
}
