#include "platform/sqlite/SqliteHistory.h"

#include <fcntl.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <unistd.h>
#include <array>
#include <cerrno>
#include <cstring>

#include "platform/posix/AtomicFile.h"

namespace orvelle {

namespace {

using Mode = SqliteDatabase::Mode;
using Row = SqliteDatabase::Row;

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;
// A write comes from the window's thread once a minute: better to fail it and try again at the
// next one than to freeze the window while another process holds the lock.
constexpr int kBusyTimeoutMs = 200;

// The steps that bring the tables from each version to the next; `user_version` counts those
// applied. A file written by an older program goes through the steps it lacks, so steps are only
// ever appended, never changed.
constexpr std::array<const char*, 1> kMigrations{
    // One row per session, keyed by its start. Instants are seconds since 1970 as in `Instant`;
    // `day` is the local "yyyy-MM-dd" of the start, which the totals group and select by.
    R"(CREATE TABLE sessions (
           start REAL PRIMARY KEY,
           day TEXT NOT NULL,
           finish REAL NOT NULL,
           paid_seconds REAL NOT NULL,
           earned REAL NOT NULL,
           overtime REAL NOT NULL,
           ending INTEGER NOT NULL
       ) WITHOUT ROWID;
       CREATE INDEX sessions_by_day ON sessions (day);)"};
constexpr auto kVersion = static_cast<std::int64_t>(kMigrations.size());

constexpr const char* kSave =
    "INSERT INTO sessions (start, day, finish, paid_seconds, earned, overtime, ending) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7) ON CONFLICT (start) DO UPDATE SET day = excluded.day, "
    "finish = excluded.finish, paid_seconds = excluded.paid_seconds, earned = excluded.earned, "
    "overtime = excluded.overtime, ending = excluded.ending";
// The totals' columns are those toDayTotal reads.
constexpr const char* kDays =
    "SELECT day, count(*), total(paid_seconds), total(earned) FROM sessions "
    "WHERE day BETWEEN ?1 AND ?2 GROUP BY day ORDER BY day";
constexpr const char* kLastDays =
    "SELECT * FROM (SELECT day, count(*), total(paid_seconds), total(earned) FROM sessions "
    "GROUP BY day ORDER BY day DESC LIMIT ?1) ORDER BY day";
constexpr const char* kRunning =
    "SELECT start, day, finish, paid_seconds, earned, overtime, ending FROM sessions "
    "WHERE ending = ?1 ORDER BY start";

bool readVersion(SqliteDatabase& database, std::int64_t& version) {
    const auto statement = database.prepare("PRAGMA user_version");
    return statement != nullptr &&
           database.run(statement, {}, [&](const Row& row) { version = row.integer(0); });
}

// Applies the steps `version` lacks in one transaction, so that a failure or a kill leaves the
// file as it was. Returns the reason it failed, empty when it did not.
std::string migrate(SqliteDatabase& database, std::int64_t& version) {
    // The write lock first, then the version again: another process may have migrated already.
    bool ok = database.exec("BEGIN IMMEDIATE") && readVersion(database, version);
    for (auto step = version; ok && step < kVersion; ++step) {
        ok = database.exec(kMigrations[static_cast<size_t>(step)]);
    }
    if (ok && version < kVersion) {
        ok = database.exec("PRAGMA user_version = " + std::to_string(kVersion));
        version = kVersion;
    }
    if (ok && database.exec("COMMIT")) {
        return {};
    }
    std::string reason = database.error();
    database.exec("ROLLBACK");
    return reason;
}

DayTotal toDayTotal(const Row& row) {
    return {row.text(0), static_cast<int>(row.integer(1)), row.real(2), row.real(3)};
}

SessionRecord toRecord(const Row& row) {
    return {Instant{row.real(0)},
            row.text(1),
            Instant{row.real(2)},
            row.real(3),
            row.real(4),
            row.real(5),
            static_cast<SessionEnding>(row.integer(6))};
}

}  // namespace

SqliteHistory::SqliteHistory(std::filesystem::path file, HistoryAccess access)
    : path_(std::move(file)), access_(access) {
    connect();
    disconnect();
}

bool SqliteHistory::save(const SessionRecord& record) {
    if (access_ == HistoryAccess::readOnly) {
        return fail(Failure::write, "以只读方式打开");
    }
    answers_ = {};
    const Call call(*this);
    if (!connect() || statements_.save == nullptr) {
        return false;
    }
    const bool saved = database_->run(
        statements_.save,
        {record.start.secondsSince1970, record.day, record.end.secondsSince1970, record.paidSeconds,
         record.earned, record.overtime, static_cast<std::int64_t>(record.ending)});
    if (!saved) {
        return fail(Failure::write, database_->error());
    }
    succeed(Failure::write);
    return true;
}

std::vector<DayTotal> SqliteHistory::days(const std::string& firstDay,
                                          const std::string& lastDay) const {
    auto asked = std::pair(firstDay, lastDay);
    if (answers_.daysAsked != asked) {
        answers_.days = totals(&Statements::days, {firstDay, lastDay});
        answers_.daysAsked = remembered(std::move(asked));
    }
    return answers_.days;
}

std::vector<DayTotal> SqliteHistory::lastDays(int count) const {
    // SQLite takes a negative LIMIT for no limit at all.
    if (count <= 0) {
        return {};
    }
    if (answers_.lastDaysAsked != count) {
        answers_.lastDays = totals(&Statements::lastDays, {std::int64_t{count}});
        answers_.lastDaysAsked = remembered(count);
    }
    return answers_.lastDays;
}

std::vector<DayTotal> SqliteHistory::totals(
    SqliteDatabase::Statement Statements::*statement,
    std::initializer_list<SqliteDatabase::Value> values) const {
    std::vector<DayTotal> totals;
    const Call call(*this);
    if (!connect()) {
        return totals;
    }
    if (!database_->run(statements_.*statement, values,
                        [&](const Row& row) { totals.push_back(toDayTotal(row)); })) {
        fail(Failure::read, database_->error());
        return {};
    }
    succeed(Failure::read);
    return totals;
}

std::vector<SessionRecord> SqliteHistory::running() const {
    if (answers_.running) {
        return *answers_.running;
    }
    std::vector<SessionRecord> records;
    const Call call(*this);
    if (!connect()) {
        return records;
    }
    if (!database_->run(statements_.running, {static_cast<std::int64_t>(SessionEnding::running)},
                        [&](const Row& row) { records.push_back(toRecord(row)); })) {
        fail(Failure::read, database_->error());
        return {};
    }
    succeed(Failure::read);
    answers_.running = remembered(records);
    return records;
}

// Returns `asked` to remember an answer by, when the answer may be kept: only the writer's are,
// and only while the history works.
template <typename Asked>
std::optional<Asked> SqliteHistory::remembered(Asked asked) const {
    if (access_ == HistoryAccess::readOnly || !problem_.empty()) {
        return std::nullopt;
    }
    return asked;
}

std::string SqliteHistory::problem() const {
    return problem_.empty() ? newerVersion_ : problem_;
}

// Opens the connection when none is open. Returns false when there is nothing to read: a
// failure (reported) or, for a read-only history, no file or no tables yet (no failure).
bool SqliteHistory::connect() const {
    if (database_ != nullptr) {
        return true;
    }
    const bool readOnly = access_ == HistoryAccess::readOnly;
    std::error_code error;
    if (readOnly &&
        std::filesystem::status(path_, error).type() == std::filesystem::file_type::not_found) {
        succeed(Failure::open);
        return false;
    }
    if (!readOnly && !createFile()) {
        return false;
    }
    std::string reason;
    auto database = SqliteDatabase::open(path_, readOnly ? Mode::readOnly : Mode::readWrite,
                                         kBusyTimeoutMs, reason);
    if (database == nullptr) {
        return fail(Failure::open, reason);
    }
    std::int64_t version = 0;
    reason = setUp(*database, version);
    if (reason.empty() && version < kVersion) {
        // Read-only, and the writer has not made the tables yet: an empty history.
        succeed(Failure::open);
        return false;
    }
    if (reason.empty()) {
        reason = prepare(*database, version);
    }
    if (!reason.empty()) {
        return fail(Failure::open, reason);
    }
    database_ = std::move(database);
    succeed(Failure::open);
    return true;
}

// Sets the journal up and brings the tables up to date when this history may; `version` is then
// theirs. Returns the reason it failed, empty when it did not.
std::string SqliteHistory::setUp(SqliteDatabase& database, std::int64_t& version) const {
    if (!readVersion(database, version)) {
        return database.error();
    }
    if (version > kVersion) {
        return {};  // a later program's file, only read and left as it is
    }
    // NORMAL syncs the log only when it is copied into the file: a power cut may lose the last
    // minutes, but never leaves a torn record, and a write does not wait for the disk. Copying
    // every 100 pages (an hour or two of writes) keeps the log near 400 KB, not SQLite's 4 MB, for
    // a history of some 50 KB a year; and not at each close, since the connection lasts one call.
    database.keepLogOnClose();
    if (database.writable() && !database.exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = "
                                              "NORMAL; PRAGMA wal_autocheckpoint = 100")) {
        return database.error();
    }
    if (version == kVersion) {
        return {};
    }
    if (access_ == HistoryAccess::readWrite) {
        return migrate(database, version);
    }
    // An older file is the writer's to bring up to date.
    return version == 0 ? "" : "格式较旧，需由可写入的程序先更新";
}

// Creates the folders and the file with modes that keep them private: SQLite would make the file
// readable by everyone, and gives its log files the mode of the file.
bool SqliteHistory::createFile() const {
    std::string error = AtomicFile::ensureFolder(path_.parent_path(), kFolderMode);
    if (error.empty()) {
        const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode);
        if (fd >= 0) {
            ::close(fd);
        } else if (errno != EEXIST) {
            error = std::strerror(errno);
        }
    }
    return error.empty() || fail(Failure::open, error);
}

// Prepares the statements of a connection whose tables are at `version`. Returns the reason it
// failed, empty when it did not.
std::string SqliteHistory::prepare(SqliteDatabase& database, std::int64_t version) const {
    newerVersion_.clear();
    Statements statements;
    if (version > kVersion) {
        // A later program changed the tables: what it added is not ours to write over.
        database.exec("PRAGMA query_only = ON");
        newerVersion_ = "历史记录 " + path_.string() + " 由较新版本的程序写入（格式 " +
                        std::to_string(version) + "），本程序只读取不写入";
    } else if (access_ == HistoryAccess::readWrite) {
        statements.save = database.prepare(kSave);
    }
    statements.days = database.prepare(kDays);
    statements.lastDays = database.prepare(kLastDays);
    statements.running = database.prepare(kRunning);
    const bool writes = access_ == HistoryAccess::readWrite && version == kVersion;
    const bool ready = (statements.save != nullptr || !writes) && statements.days != nullptr &&
                       statements.lastDays != nullptr && statements.running != nullptr;
    if (!ready) {
        return database.error();
    }
    statements_ = statements;
    return {};
}

// Closes the connection, and with the last one SQLite's library: a call opens what it needs. The
// memory SQLite freed goes back to the system, rather than staying in the heap's free lists.
void SqliteHistory::disconnect() const {
    statements_ = {};
    if (database_ != nullptr) {
        database_.reset();
#ifdef __GLIBC__
        ::malloc_trim(0);
#endif
    }
}

// Reports the failure and closes the connection, so that the next call starts afresh. Always
// returns false. `reason` is a copy: it is often the text of the connection this closes.
bool SqliteHistory::fail(Failure failure, std::string reason) const {
    const char* what = failure == Failure::write  ? "无法写入历史记录 "
                       : failure == Failure::read ? "无法读取历史记录 "
                                                  : "无法打开历史记录 ";
    problem_ = what + path_.string() + "：" + reason;
    writeFailed_ = failure == Failure::write;
    disconnect();
    return false;
}

// Clears the problem a call of this kind left: a write that works clears any, a read or an open
// any but a failed write's.
void SqliteHistory::succeed(Failure kind) const {
    if (kind == Failure::write || !writeFailed_) {
        problem_.clear();
        writeFailed_ = false;
    }
}

}  // namespace orvelle
