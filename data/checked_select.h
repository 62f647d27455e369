// Selects for checks that guard a write. A select that fails (the database
// busy, the file damaged) is reported as a failure, never taken for "no
// rows", so the write it guards is not made on a wrong answer.
#pragma once

#include <string>

// The first column of the first row in `value` ("" when there is no row);
// false when the select failed.
bool SelectChecked(const std::string& statement, std::string& value);
// SelectNumber and CountWhere that report failure (value 0 when there is no row).
bool SelectNumberChecked(const std::string& table, const std::string& column,
                         const std::string& condition, long long& value);
bool CountWhereChecked(const std::string& table, const std::string& condition, long long& count);
