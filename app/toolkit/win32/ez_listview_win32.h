// List views in the Windows toolkit: a report-style SysListView32 that keeps
// no rows of its own (a virtual list). The rows live in the toolkit's row
// store (app/toolkit/ez_rows.h); the control asks for the cells it shows and
// gets them converted to UTF-16 then. Only app/toolkit/win32/ includes this.
#pragma once

#include <windows.h>

#include <string>

#include "app/toolkit/ez_rows.h"
#include "app/toolkit/win32/ez_win32.h"

namespace ez {

// Makes the list view of a control ("Title{width}|Title{width}", style "M"
// multi-select, "C" check list) as a child of parent; the caller places it.
HWND MakeListView(Form& f, Ctl& c, const std::string& columns, const std::string& style,
                  HWND parent);
// A WM_NOTIFY from a list view (or its header) that the form received; true
// when handled, with the window procedure's result in result.
bool ListViewNotify(Form& f, Ctl& c, NMHDR* hdr, LRESULT& result);

// The rows and columns of a list view; null when there is no such list view.
const RowStore* ListViewRows(const std::string& form, int id);
// What a user's click on a row does: selects it (adding it to the
// selection when extend and the list is multi-select) and makes it current,
// through the control, so the control's notifications raise the events.
bool ListViewUserRow(const std::string& form, int id, int row, bool extend);
// A user's click on a check-box cell: toggles it and raises Click.
bool ListViewUserToggleCheck(const std::string& form, int id, int row, int col);
// The row under a point of the list's client area, -1 when none.
int ListViewRowAt(HWND list, POINT client);

}  // namespace ez
