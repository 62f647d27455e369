#include "support/shell_db.h"

#include <gtest/gtest.h>

#include "data/query.h"

void ExecSql(const std::string& sql) {
    ASSERT_EQ(slExe(sql), 0) << sql << ": " << slGetError();
}
