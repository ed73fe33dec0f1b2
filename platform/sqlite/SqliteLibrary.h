#pragma once

#include <memory>
#include <string>

#include <sqlite3.h>

namespace orvelle {

// The SQLite library, loaded while a history is read or written and unloaded when nothing holds
// it: the capsule writes its record once a minute, and SQLite's code (1.3 MB) and caches have no
// business in its memory for the rest of the minute. The functions are SQLite's own, as its
// header declares them.
class SqliteLibrary {
public:
    // Returns the library, loading it unless somebody holds it already; null with the reason in
    // `error` when it cannot be loaded or lacks a function.
    static std::shared_ptr<const SqliteLibrary> load(std::string& error);
    ~SqliteLibrary();
    SqliteLibrary(const SqliteLibrary&) = delete;
    SqliteLibrary& operator=(const SqliteLibrary&) = delete;

    decltype(&sqlite3_open_v2) openV2 = nullptr;
    decltype(&sqlite3_close_v2) closeV2 = nullptr;
    decltype(&sqlite3_db_config) dbConfig = nullptr;
    decltype(&sqlite3_extended_result_codes) extendedResultCodes = nullptr;
    decltype(&sqlite3_busy_timeout) busyTimeout = nullptr;
    decltype(&sqlite3_db_readonly) dbReadonly = nullptr;
    decltype(&sqlite3_errmsg) errmsg = nullptr;
    decltype(&sqlite3_errcode) errcode = nullptr;
    decltype(&sqlite3_errstr) errstr = nullptr;
    decltype(&sqlite3_system_errno) systemErrno = nullptr;
    decltype(&sqlite3_exec) exec = nullptr;
    decltype(&sqlite3_prepare_v3) prepareV3 = nullptr;
    decltype(&sqlite3_finalize) finalize = nullptr;
    decltype(&sqlite3_bind_int64) bindInt64 = nullptr;
    decltype(&sqlite3_bind_double) bindDouble = nullptr;
    decltype(&sqlite3_bind_text) bindText = nullptr;
    decltype(&sqlite3_step) step = nullptr;
    decltype(&sqlite3_reset) reset = nullptr;
    decltype(&sqlite3_clear_bindings) clearBindings = nullptr;
    decltype(&sqlite3_column_double) columnDouble = nullptr;
    decltype(&sqlite3_column_int64) columnInt64 = nullptr;
    decltype(&sqlite3_column_text) columnText = nullptr;
    decltype(&sqlite3_column_bytes) columnBytes = nullptr;

private:
    explicit SqliteLibrary(void* handle) : handle_(handle) {}
    bool resolveAll();

    void* handle_;
};

}  // namespace orvelle
