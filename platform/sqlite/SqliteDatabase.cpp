#include "platform/sqlite/SqliteDatabase.h"

#include <cstring>

#include "platform/sqlite/SqliteLibrary.h"

namespace orvelle {

namespace {

// SQLite's message, and the system's where the failure was the system's (a file that could not
// be opened or read): "unable to open database file" alone does not say why.
std::string reason(const SqliteLibrary& sqlite, sqlite3* connection) {
    std::string text = sqlite.errmsg(connection);
    const int code = sqlite.errcode(connection) & 0xff;  // the primary code of an extended one
    const int systemError = sqlite.systemErrno(connection);
    if ((code == SQLITE_CANTOPEN || code == SQLITE_IOERR) && systemError != 0) {
        text += std::string("（") + std::strerror(systemError) + "）";
    }
    return text;
}

}  // namespace

void SqliteDatabase::Close::operator()(sqlite3* connection) const {
    library->closeV2(connection);
}

void SqliteDatabase::Finalize::operator()(Statement statement) const {
    library->finalize(statement);
}

double SqliteDatabase::Row::real(int index) const {
    return library_.columnDouble(statement_, index);
}

std::int64_t SqliteDatabase::Row::integer(int index) const {
    return library_.columnInt64(statement_, index);
}

std::string SqliteDatabase::Row::text(int index) const {
    const auto* text = library_.columnText(statement_, index);
    const int size = library_.columnBytes(statement_, index);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text), size) : std::string();
}

SqliteDatabase::SqliteDatabase(Key /*unused*/, std::shared_ptr<const SqliteLibrary> library,
                               sqlite3* connection)
    : library_(std::move(library)), connection_(connection, Close{library_.get()}) {}

SqliteDatabase::~SqliteDatabase() = default;

std::unique_ptr<SqliteDatabase> SqliteDatabase::open(const std::filesystem::path& file, Mode mode,
                                                     int busyTimeoutMs, std::string& error) {
    auto library = SqliteLibrary::load(error);
    if (library == nullptr) {
        return nullptr;
    }
    const SqliteLibrary& sqlite = *library;
    const int flags = mode == Mode::readWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    sqlite3* connection = nullptr;
    const int code = sqlite.openV2(file.c_str(), &connection, flags, nullptr);
    // SQLite hands out a connection even when opening failed, to carry the reason: it is closed
    // with the object all the same.
    auto database = std::make_unique<SqliteDatabase>(Key{}, std::move(library), connection);
    if (code != SQLITE_OK) {
        error = connection != nullptr ? reason(sqlite, connection) : sqlite.errstr(code);
        return nullptr;
    }
    sqlite.extendedResultCodes(connection, 1);
    sqlite.busyTimeout(connection, busyTimeoutMs);
    return database;
}

bool SqliteDatabase::writable() const {
    return library_->dbReadonly(connection_.get(), "main") == 0;
}

void SqliteDatabase::keepLogOnClose() {
    library_->dbConfig(connection_.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

bool SqliteDatabase::exec(const std::string& sql) {
    return library_->exec(connection_.get(), sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK ||
           fail();
}

SqliteDatabase::Statement SqliteDatabase::prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (library_->prepareV3(connection_.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &statement,
                            nullptr) != SQLITE_OK) {
        library_->finalize(statement);
        fail();
        return nullptr;
    }
    statements_.emplace_back(statement, Finalize{library_.get()});
    return statement;
}

bool SqliteDatabase::bind(Statement statement, int index, const Value& value) {
    int code = SQLITE_OK;
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        code = library_->bindInt64(statement, index, *integer);
    } else if (const auto* real = std::get_if<double>(&value)) {
        code = library_->bindDouble(statement, index, *real);
    } else {
        const auto& text = std::get<std::string>(value);
        code = library_->bindText(statement, index, text.data(), static_cast<int>(text.size()),
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
    int code = ok ? library_->step(statement) : SQLITE_DONE;
    for (const Row row(*library_, statement); code == SQLITE_ROW;
         code = library_->step(statement)) {
        if (onRow) {
            onRow(row);
        }
    }
    ok = ok && (code == SQLITE_DONE || fail());
    library_->reset(statement);
    library_->clearBindings(statement);
    return ok;
}

bool SqliteDatabase::fail() {
    error_ = reason(*library_, connection_.get());
    return false;
}

}  // namespace orvelle
