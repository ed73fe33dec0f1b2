#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace orvelle {

class SqliteLibrary;

// One connection to an SQLite database file and the statements prepared on it, all released with
// the object (the statements first, as SQLite requires, and the library last). A call that fails
// returns false or null and keeps SQLite's reason for `error()`.
class SqliteDatabase {
public:
    enum class Mode { readWrite, readOnly };
    using Value = std::variant<std::int64_t, double, std::string>;
    using Statement = sqlite3_stmt*;  // prepared by and owned by the database

    // One result row of a statement being run.
    class Row {
    public:
        Row(const SqliteLibrary& library, Statement statement)
            : library_(library), statement_(statement) {}
        // Returns the column at `index` as a number, an integer or a text.
        double real(int index) const;
        std::int64_t integer(int index) const;
        std::string text(int index) const;

    private:
        const SqliteLibrary& library_;
        Statement statement_;
    };

    // Opens the existing file at `file` (never creating it), loading SQLite while the connection
    // lasts, and waiting at most `busyTimeoutMs` for another connection's lock at each call.
    // Returns null with the reason in `error` on failure.
    static std::unique_ptr<SqliteDatabase> open(const std::filesystem::path& file, Mode mode,
                                                int busyTimeoutMs, std::string& error);
    // Only open() can make the key: a connection comes from it alone.
    class Key {
        friend class SqliteDatabase;
        Key() = default;
    };
    SqliteDatabase(Key, std::shared_ptr<const SqliteLibrary> library, sqlite3* connection);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Returns whether the connection may write: SQLite opens a write-protected file read-only.
    bool writable() const;

    // Leaves the write-ahead log as it is when the connection closes, rather than copying it
    // into the file and syncing the disk then: a connection held for one write closes often.
    void keepLogOnClose();

    // Runs `sql`, one or more statements whose results are not needed; returns whether all ran.
    bool exec(const std::string& sql);

    // Prepares `sql` once, to be run as often as needed while the connection lasts; null when
    // it cannot be prepared.
    Statement prepare(const char* sql);

    // Runs `statement` with `values` bound to its parameters in order and hands each row to
    // `onRow`; returns whether it ran to its end. The statement is reset either way, so that it
    // holds no lock between calls.
    bool run(Statement statement, std::initializer_list<Value> values,
             const std::function<void(const Row&)>& onRow = {});

    // Returns the reason SQLite gave for the last failure, with the system's when there is one.
    const std::string& error() const { return error_; }

private:
    struct Close {
        const SqliteLibrary* library;
        void operator()(sqlite3* connection) const;
    };
    struct Finalize {
        const SqliteLibrary* library;
        void operator()(Statement statement) const;
    };

    bool fail();
    bool bind(Statement statement, int index, const Value& value);

    std::shared_ptr<const SqliteLibrary> library_;
    std::unique_ptr<sqlite3, Close> connection_;
    std::vector<std::unique_ptr<sqlite3_stmt, Finalize>> statements_;
    std::string error_;
};

}  // namespace orvelle
