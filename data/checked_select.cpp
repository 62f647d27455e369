#include "data/checked_select.h"

#include <string_view>

#include "app/base/text_util.h"
#include "data/query.h"

bool SelectChecked(const std::string& statement, std::string& value) {
    value.clear();
    ResultSet rs(statement);
    if (!rs.ok()) return false;
    if (rs.next()) value = std::string(rs.text(0));
    return true;
}

bool SelectNumberChecked(const std::string& table, const std::string& column,
                         const std::string& condition, long long& value) {
    std::string text;
    if (!SelectChecked("SELECT " + column + " FROM " + table + " WHERE " + condition, text))
        return false;
    value = Val(text);
    return true;
}

bool CountWhereChecked(const std::string& table, const std::string& condition, long long& count) {
    return SelectNumberChecked(table, "COUNT(*)", condition, count);
}
