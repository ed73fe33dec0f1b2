#include "platform/sqlite/SqliteHistory.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include "fakes/TempFolder.h"

namespace orvelle {
namespace {

namespace fs = std::filesystem;
using Access = HistoryAccess;
using Ending = SessionEnding;
using Totals = std::vector<DayTotal>;

// An hour's session that starts `offset` seconds after an instant with a fraction, which must come
// back exactly.
SessionRecord session(double offset, const std::string& day, double earned,
                      Ending ending = Ending::stopped) {
    const double start = 1735689600.123456789 + offset;
    return {Instant{start}, day, Instant{start + 3600}, 3600, earned, earned / 4, ending};
}

class SqliteHistoryTest : public ::testing::Test {
protected:
    test::TempFolder temp;
    fs::path file = temp / "data/orvelle/history.sqlite3";
    std::string writeFailure = "无法写入历史记录 " + file.string() + "：";
};

TEST_F(SqliteHistoryTest, FreshAndEmptyFilesAreSetUpAndKeepRecordsAcrossAReopen) {
    for (const bool emptyFile : {false, true}) {
        fs::remove_all(temp / "data");
        if (emptyFile) {
            test::writeFile(file, "");
        }
        {
            SqliteHistory history(file, Access::readWrite);
            for (const auto& record :
                 {session(0, "2025-01-01", 10, Ending::running), session(0, "2025-01-01", 50),
                  session(7200, "2025-01-01", 25),
                  session(2 * 86400, "2025-01-03", 40, Ending::running),
                  session(9 * 86400, "2025-01-10", 5, Ending::restart),
                  session(9 * 86400 + 7200, "2025-01-10", 7, Ending::running)}) {
                EXPECT_TRUE(history.save(record));
            }
        }
        const SqliteHistory history(file, Access::readWrite);
        EXPECT_EQ(history.days("2025-01-01", "2025-01-03"),
                  (Totals{{"2025-01-01", 2, 7200, 75}, {"2025-01-03", 1, 3600, 40}}));
        EXPECT_EQ(history.lastDays(2),
                  (Totals{{"2025-01-03", 1, 3600, 40}, {"2025-01-10", 2, 7200, 12}}));
        EXPECT_EQ(history.lastDays(-1), Totals{});  // SQLite would read a negative limit as none
        EXPECT_EQ(history.running(),
                  (std::vector{session(2 * 86400, "2025-01-03", 40, Ending::running),
                               session(9 * 86400 + 7200, "2025-01-10", 7, Ending::running)}));
        EXPECT_EQ(history.problem(), "");
        // The writer's answers are kept only until its next write.
        SqliteHistory writer(file, Access::readWrite);
        EXPECT_EQ(writer.days("2025-01-10", "2025-01-10"), (Totals{{"2025-01-10", 2, 7200, 12}}));
        EXPECT_EQ(writer.running().size(), 2U);
        EXPECT_TRUE(writer.save(session(9 * 86400 + 7200, "2025-01-10", 9)));
        EXPECT_EQ(writer.days("2025-01-10", "2025-01-10"), (Totals{{"2025-01-10", 2, 7200, 14}}));
        EXPECT_EQ(writer.running().size(), 1U);
    }
    fs::remove_all(temp / "data");
    SqliteHistory(file, Access::readWrite);
    EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// A reader that finds no file creates nothing, and reads what a writer commits once there is one.
TEST_F(SqliteHistoryTest, AReadOnlyHistoryCreatesNothingAndReadsBesideTheWriter) {
    SqliteHistory reader(file, Access::readOnly);
    EXPECT_EQ(reader.lastDays(3), Totals{});
    EXPECT_FALSE(reader.save(session(0, "2025-01-01", 10)));
    EXPECT_FALSE(fs::exists(temp / "data"));
    SqliteHistory writer(file, Access::readWrite);
    ASSERT_TRUE(writer.save(session(0, "2025-01-01", 10)));
    EXPECT_EQ(reader.lastDays(3), (Totals{{"2025-01-01", 1, 3600, 10}}));
}

TEST_F(SqliteHistoryTest, ADamagedFileIsReportedAndLeftAsItWas) {
    const std::string garbage = "not a database" + std::string(4000, '\x5a');
    test::writeFile(file, garbage);
    for (const Access access : {Access::readWrite, Access::readOnly}) {
        SqliteHistory history(file, access);
        EXPECT_EQ(history.problem(),
                  "无法打开历史记录 " + file.string() + "：file is not a database");
        EXPECT_FALSE(history.save(session(0, "2025-01-01", 10)));
        EXPECT_EQ(history.days("2025-01-01", "2025-12-31"), Totals{});
    }
    EXPECT_EQ(test::readFile(file), garbage);
}

TEST_F(SqliteHistoryTest, ANewerFormatIsReadButNeverWritten) {
    ASSERT_TRUE(SqliteHistory(file, Access::readWrite).save(session(0, "2025-01-01", 10)));
    sqlite3* later = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &later), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(later, "PRAGMA user_version = 2", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(later);
    SqliteHistory history(file, Access::readWrite);
    EXPECT_FALSE(history.save(session(60, "2025-01-01", 10)));
    EXPECT_EQ(history.lastDays(3), (Totals{{"2025-01-01", 1, 3600, 10}}));
    EXPECT_TRUE(history.problem().starts_with("历史记录 " + file.string() +
                                              " 由较新版本的程序写入（格式 2）"))
        << history.problem();
}

// A write that finds the file locked fails within the short wait and says why; the next one,
// once the lock is gone, succeeds and clears the problem.
TEST_F(SqliteHistoryTest, AFailedWriteIsReportedAndTriedAgainNextTime) {
    SqliteHistory history(file, Access::readWrite);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_FALSE(history.save(session(0, "2025-01-01", 10)));
    EXPECT_EQ(history.lastDays(3), Totals{});
    EXPECT_EQ(history.problem(), writeFailure + "database is locked");
    sqlite3_close(other);
    EXPECT_TRUE(history.save(session(0, "2025-01-01", 10)));
    EXPECT_EQ(history.problem(), "");
    EXPECT_EQ(history.lastDays(3), (Totals{{"2025-01-01", 1, 3600, 10}}));
}

}  // namespace
}  // namespace orvelle
