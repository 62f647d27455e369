// List views inside the toolkit (QTreeWidget with a header that draws sort arrows).
#pragma once

#include <string>

#include "app/toolkit/ez_internal.h"

class QWidget;

namespace ez {

QWidget* MakeListView(const std::string& form, int id, const std::string& columns,
                      const std::string& style, QWidget* parent, Ctl& ctl);
// Text of the first cell of the first selected row ("" when none).
std::string ListViewText(const std::string& form, int id);
// The user's double-click / right-click on a row (robot).
bool ListViewUserRow(const std::string& form, int id, int row, bool extend);

}  // namespace ez
