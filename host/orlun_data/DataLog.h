#pragma once

#include <QLoggingCategory>

namespace orlun_data {

// Errors of the store that no caller can act on (a failed read while
// reloading, a setting SQLite refused); each carries its QSqlError.
Q_DECLARE_LOGGING_CATEGORY(lcData)

} // namespace orlun_data
