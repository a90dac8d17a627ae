#include "SqliteFunctions.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

#include <cstdlib>
#include <cstring>

namespace {

// Dates are stored as "yyyy-MM-dd hh:mm:ss" (the time may be missing); the month starts at offset 5
// and the day at offset 8. Anything else gives null, as a date function does for a non-date.
template <int Offset> void datePart(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int size = sqlite3_value_bytes(argv[0]);
    if (!text || size < Offset + 2 || text[4] != '-' || text[7] != '-') {
        sqlite3_result_null(context);
        return;
    }
    const char digits[3] = {text[Offset], text[Offset + 1], 0};
    if (digits[0] < '0' || digits[0] > '9' || digits[1] < '0' || digits[1] > '9') {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_int(context, std::atoi(digits));
}

} // namespace

bool registerDateFunctions(QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || std::strcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    sqlite3 *connection = *static_cast<sqlite3 *const *>(handle.data());
    if (!connection)
        return false;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function(connection, "month", 1, flags, nullptr, &datePart<5>, nullptr, nullptr) ==
               SQLITE_OK &&
           sqlite3_create_function(connection, "day", 1, flags, nullptr, &datePart<8>, nullptr, nullptr) ==
               SQLITE_OK;
}
