#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/api/HistoryStore.h"
#include "platform/sqlite/SqliteDatabase.h"

namespace orvelle {

// Whether a history may change its file. A read-only one never creates the file, its folder or
// its tables, and never writes a record.
enum class HistoryAccess { readWrite, readOnly };

// The history in an SQLite database file, one row per session. The journal is a write-ahead log:
// a process killed in the middle of a write leaves the records before it whole, and another
// process may read while this one writes. A connection lasts one call: the capsule writes once a
// minute, and holds neither SQLite nor its caches in between. Waits for another connection's lock
// are kept short, since the writes come from the thread that draws the window. The file's
// `user_version` is the version of its tables: an older file is brought up to date, and a newer
// one, which another version of the program wrote, is only read. Whatever fails (a damaged file, a
// lock, a write-protected file, a full disk) is reported in `problem()`; the next call opens the
// file afresh, so a failure that has passed (a disk that has room again) mends itself.
class SqliteHistory final : public HistoryStore {
public:
    // Opens the history at `file`; with readWrite, creates its folders (mode 0700) and the file
    // (mode 0600) when missing. Never throws for what the file holds or lacks.
    SqliteHistory(std::filesystem::path file, HistoryAccess access);

    bool save(const SessionRecord& record) override;
    std::vector<DayTotal> days(const std::string& firstDay,
                               const std::string& lastDay) const override;
    std::vector<DayTotal> lastDays(int count) const override;
    std::vector<SessionRecord> running() const override;
    std::string problem() const override;

private:
    enum class Failure { open, read, write };
    struct Statements {
        SqliteDatabase::Statement save = nullptr;  // none when the file is not ours to write
        SqliteDatabase::Statement days = nullptr;
        SqliteDatabase::Statement lastDays = nullptr;
        SqliteDatabase::Statement running = nullptr;
    };

    // Holds the connection that a call opens until the call returns.
    class Call {
    public:
        explicit Call(const SqliteHistory& history) : history_(history) {}
        ~Call() { history_.disconnect(); }
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        const SqliteHistory& history_;
    };

    bool connect() const;
    void disconnect() const;
    template <typename Asked>
    std::optional<Asked> remembered(Asked asked) const;
    bool createFile() const;
    std::string setUp(SqliteDatabase& database, std::int64_t& version) const;
    std::string prepare(SqliteDatabase& database, std::int64_t version) const;
    std::vector<DayTotal> totals(SqliteDatabase::Statement Statements::*statement,
                                 std::initializer_list<SqliteDatabase::Value> values) const;
    bool fail(Failure failure, std::string reason) const;
    void succeed(Failure kind) const;

    // The last answer to each question, kept by the writer until its next write: no other process
    // writes the file, and the history page asks again at every cent while it is shown.
    struct Answers {
        std::optional<std::pair<std::string, std::string>> daysAsked;
        std::vector<DayTotal> days;
        std::optional<int> lastDaysAsked;
        std::vector<DayTotal> lastDays;
        std::optional<std::vector<SessionRecord>> running;
    };

    std::filesystem::path path_;
    HistoryAccess access_;
    mutable Answers answers_;
    // Reading opens the connection too: these change in const calls.
    mutable std::unique_ptr<SqliteDatabase> database_;
    mutable Statements statements_;
    mutable std::string problem_;
    mutable bool writeFailed_ = false;  // a read that works does not mend a failed write
    mutable std::string newerVersion_;  // why the connection open now does not write
};

}  // namespace orvelle
