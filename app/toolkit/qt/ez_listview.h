// List views inside the toolkit: a QTreeView over a table model of our own,
// with a header that draws sort arrows.
#pragma once

#include <string>

#include "app/toolkit/ez_rows.h"
#include "app/toolkit/qt/ez_internal.h"

class QWidget;
class QPoint;

namespace ez {

QWidget* MakeListView(const std::string& form, int id, const std::string& columns,
                      const std::string& style, QWidget* parent, Ctl& ctl);
// Text of the first cell of the first selected row ("" when none).
std::string ListViewText(const std::string& form, int id);
// The user's double-click / right-click on a row (robot).
bool ListViewUserRow(const std::string& form, int id, int row, bool extend);
// Whether a widget is a toolkit list view.
bool IsListView(QWidget* w);
// The row under a point of a list view's viewport, -1 when none.
int ListViewRowAt(QWidget* view, const QPoint& pos);
// The rows and columns of a list view; null when there is no such list view.
const RowStore* ListViewRows(const std::string& form, int id);
// Tells the view its rows were rearranged (benchmarks compare a sort with it).
void ListViewReset(const std::string& form, int id);

}  // namespace ez
