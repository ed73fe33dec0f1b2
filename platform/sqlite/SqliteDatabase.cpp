#include "platform/sqlite/SqliteDatabase.h"

#include <sqlite3.h>
#include <cstring>

namespace orvelle {

namespace {

// SQLite's message, and the system's where the failure was the system's (a file that could not
// be opened or read): "unable to open database file" alone does not say why.
std::string reason(sqlite3* connection) {
    std::string text = sqlite3_errmsg(connection);
    const int code = sqlite3_errcode(connection) & 0xff;  // the primary code of an extended one
    const int systemError = sqlite3_system_errno(connection);
    if ((code == SQLITE_CANTOPEN || code == SQLITE_IOERR) && systemError != 0) {
        text += std::string("（") + std::strerror(systemError) + "）";
    }
    return text;
}

}  // namespace

void SqliteDatabase::Close::operator()(sqlite3* connection) const {
    sqlite3_close_v2(connection);
}

void SqliteDatabase::Finalize::operator()(Statement statement) const {
    sqlite3_finalize(statement);
}

double SqliteDatabase::Row::real(int index) const {
    return sqlite3_column_double(statement_, index);
}

std::int64_t SqliteDatabase::Row::integer(int index) const {
    return sqlite3_column_int64(statement_, index);
}

std::string SqliteDatabase::Row::text(int index) const {
    const auto* text = sqlite3_column_text(statement_, index);
    const int size = sqlite3_column_bytes(statement_, index);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text), size) : std::string();
}

SqliteDatabase::SqliteDatabase(Key /*unused*/, sqlite3* connection) : connection_(connection) {}

SqliteDatabase::~SqliteDatabase() = default;

std::unique_ptr<SqliteDatabase> SqliteDatabase::open(const std::filesystem::path& file, Mode mode,
                                                     int busyTimeoutMs, std::string& error) {
    const int flags = mode == Mode::readWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    sqlite3* connection = nullptr;
    const int code = sqlite3_open_v2(file.c_str(), &connection, flags, nullptr);
    // SQLite hands out a connection even when opening failed, to carry the reason: it is closed
    // with the object all the same.
    auto database = std::make_unique<SqliteDatabase>(Key{}, connection);
    if (code != SQLITE_OK) {
        error = connection != nullptr ? reason(connection) : sqlite3_errstr(code);
        return nullptr;
    }
    sqlite3_extended_result_codes(connection, 1);
    sqlite3_busy_timeout(connection, busyTimeoutMs);
    return database;
}

bool SqliteDatabase::writable() const {
    return sqlite3_db_readonly(connection_.get(), "main") == 0;
}

bool SqliteDatabase::exec(const std::string& sql) {
    return sqlite3_exec(connection_.get(), sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK ||
           fail();
}

SqliteDatabase::Statement SqliteDatabase::prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(connection_.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &statement,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        fail();
        return nullptr;
    }
    statements_.emplace_back(statement);
    return statement;
}

bool SqliteDatabase::bind(Statement statement, int index, const Value& value) {
    int code = SQLITE_OK;
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        code = sqlite3_bind_int64(statement, index, *integer);
    } else if (const auto* real = std::get_if<double>(&value)) {
        code = sqlite3_bind_double(statement, index, *real);
    } else {
        const auto& text = std::get<std::string>(value);
        code = sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                                 SQLITE_TRANSIENT);
    }
    return code == SQLITE_OK || fail();
}

bool SqliteDatabase::run(Statement statement, std::initializer_list<Value> values,
                         const std::function<void(const Row&)>& onRow) {
    bool ok = true;
    int index = 1;
    for (const Value& value : values) {
        ok = ok && bind(statement, index++, value);
    }
    int code = ok ? sqlite3_step(statement) : SQLITE_DONE;
    for (const Row row(statement); code == SQLITE_ROW; code = sqlite3_step(statement)) {
        if (onRow) {
            onRow(row);
        }
    }
    ok = ok && (code == SQLITE_DONE || fail());
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return ok;
}

bool SqliteDatabase::fail() {
    error_ = reason(connection_.get());
    return false;
}

}  // namespace orvelle
