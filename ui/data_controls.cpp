// Controls filled from or read into the data layer: the quarter selector, the
// offer to add a previous quarter, and dates read from a picker.
#include "ui/data_controls.h"

#include "app/base/app_state.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "data/query.h"
#include "ui/forms.h"
#include "ui/msgbox.h"

void FillQuarterSelector(const std::string& form, int control, int mode) {
    std::string shown;
    if (mode == 0) {
        int sel = EZ_SELECTEDITEM(form, control);
        if (sel >= 0) shown = EZ_ITEMTEXT(form, control, sel);
    }
    EZ_REDRAW(form, control, false);
    EZ_CLEARITEMS(form, control);
    {
        ResultSet rs("SELECT QNumber FROM Quarter ORDER BY QNumber DESC");
        while (rs.next()) {
            std::string name = QuarterName(0, rs["QNumber"]);
            if (!name.empty()) EZ_ADDITEM(form, control, name);
        }
    }
    std::string wanted = mode == 1 ? QuarterName(TodayQuarter()) : shown;
    if (!wanted.empty()) {
        int index = EZ_FINDITEM(form, control, wanted);
        if (index >= 0) EZ_SELECTITEM(form, control, index);
    }
    EZ_REDRAW(form, control, true);
}

bool OfferPreviousQuarter(int32_t quarter) {
    {
        ResultSet rs("SELECT COUNT(*) AS StnCount FROM Stations WHERE QtrID = " +
                     std::to_string(quarter));
        if (!rs.next() || Val(rs["StnCount"]) == 0) return false;
    }
    int answer = DgMsgAsk("Add A Previous Quarter?",
                          "Would you like to add a previous quarter to the list?{f10}", "", "",
                          "*{G,f7}|&Yes|&No", 1);
    return answer == 1 && OpenAddQuarter(EZ_CURRENTFORM());
}

int32_t PickerJulianDate(const std::string& form, int control) {
    int y = 0, m = 0, d = 0, hour = 0, minute = 0;
    EZ_DTGET(form, control, y, m, d, hour, minute);
    return Mdy2JulianDate(m, d, y);
}
