#include "platform/sqlite/SqliteLibrary.h"

#include <dlfcn.h>
#include <mutex>

namespace orvelle {

namespace {

// The library's name with its ABI version, as the package that provides it installs it.
constexpr const char* kLibraryName = "libsqlite3.so.0";

template <typename Function>
bool resolve(void* handle, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(handle, name));
    return function != nullptr;
}

}  // namespace

std::shared_ptr<const SqliteLibrary> SqliteLibrary::load(std::string& error) {
    // Whoever holds the library shares it: it is loaded once, however many connections are open.
    static std::mutex mutex;
    static std::weak_ptr<const SqliteLibrary> held;
    const std::scoped_lock lock(mutex);
    if (auto library = held.lock()) {
        return library;
    }
    void* handle = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        error = ::dlerror();
        return nullptr;
    }
    std::shared_ptr<SqliteLibrary> library(new SqliteLibrary(handle));
    if (!library->resolveAll()) {
        error = std::string(kLibraryName) + " 缺少所需的函数，版本过旧";
        return nullptr;
    }
    held = library;
    return library;
}

SqliteLibrary::~SqliteLibrary() {
    ::dlclose(handle_);
}

bool SqliteLibrary::resolveAll() {
    void* h = handle_;
    return resolve(h, "sqlite3_open_v2", openV2) && resolve(h, "sqlite3_close_v2", closeV2) &&
           resolve(h, "sqlite3_db_config", dbConfig) &&
           resolve(h, "sqlite3_extended_result_codes", extendedResultCodes) &&
           resolve(h, "sqlite3_busy_timeout", busyTimeout) &&
           resolve(h, "sqlite3_db_readonly", dbReadonly) && resolve(h, "sqlite3_errmsg", errmsg) &&
           resolve(h, "sqlite3_errcode", errcode) && resolve(h, "sqlite3_errstr", errstr) &&
           resolve(h, "sqlite3_system_errno", systemErrno) && resolve(h, "sqlite3_exec", exec) &&
           resolve(h, "sqlite3_prepare_v3", prepareV3) &&
           resolve(h, "sqlite3_finalize", finalize) &&
           resolve(h, "sqlite3_bind_int64", bindInt64) &&
           resolve(h, "sqlite3_bind_double", bindDouble) &&
           resolve(h, "sqlite3_bind_text", bindText) && resolve(h, "sqlite3_step", step) &&
           resolve(h, "sqlite3_reset", reset) &&
           resolve(h, "sqlite3_clear_bindings", clearBindings) &&
           resolve(h, "sqlite3_column_double", columnDouble) &&
           resolve(h, "sqlite3_column_int64", columnInt64) &&
           resolve(h, "sqlite3_column_text", columnText) &&
           resolve(h, "sqlite3_column_bytes", columnBytes);
}

}  // namespace orvelle
