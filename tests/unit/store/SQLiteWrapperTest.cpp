#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "StoreTestSupport.h"
#include "app/Utf8.h"
#include "store/SQLiteAutoTransaction.h"
#include "store/SQLiteDB.h"
#include "store/SQLiteStatement.h"

namespace quillora {
namespace {

using testing::Query;
using testing::TempDataFolder;

constexpr int kCreate = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
constexpr int kMisuse = 21;

class WrapperTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(db.Open(file.c_str(), kCreate)); }
    std::string QueryText(const char* sql) {
        SQLiteStatement statement;
        EXPECT_EQ(db.Prepare(statement, sql), SQLITE_OK) << sql;
        EXPECT_EQ(statement.Step(), SQLITE_ROW) << sql;
        const char* text = statement.GetText(0);
        return text ? text : "<null>";
    }

    TempDataFolder folder;
    std::filesystem::path file = folder.DbFile("wrapper");
    SQLiteDB db;
};

TEST(SQLiteStatementTest, EveryCallOnAMissingStatementIsMisuse) {
    SQLiteStatement statement;
    EXPECT_EQ(statement.BindInt(1, 5), kMisuse);
    EXPECT_EQ(statement.BindText(1, "x"), kMisuse);
    EXPECT_EQ(statement.Step(), kMisuse);
    EXPECT_EQ(statement.GetInt(0), 0);
    EXPECT_EQ(statement.GetText(0), nullptr);
    EXPECT_TRUE(statement.IsFinished());
}

TEST(SQLiteDBTest, EveryCallOnAClosedConnectionIsMisuse) {
    SQLiteDB db;
    SQLiteStatement statement;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(db.Prepare(statement, "SELECT 1"), kMisuse);
    EXPECT_FALSE(statement.HasStatement());
    EXPECT_EQ(db.Execute("SELECT 1"), kMisuse);
    EXPECT_EQ(db.LastInsertRowId(), -1);
    EXPECT_TRUE(db.Close());
}

TEST_F(WrapperTest, NullSqlIsMisuseOnAnOpenConnection) {
    SQLiteStatement statement;
    EXPECT_EQ(db.Prepare(statement, nullptr), kMisuse);
    EXPECT_EQ(db.Execute(nullptr), kMisuse);
}

TEST(SQLiteDBTest, FailedOpensLeaveNoConnection) {
    TempDataFolder folder;
    SQLiteDB db;
    EXPECT_FALSE(db.Open(nullptr, kCreate));
    EXPECT_FALSE(db.IsOpen());
    // Without the create flag a missing file cannot be opened.
    const auto missing = folder.DbFile("missing");
    EXPECT_FALSE(db.Open(missing.c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX));
    EXPECT_FALSE(db.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(WrapperTest, OpenOnAnOpenConnectionSwitchesToTheNewFile) {
    ASSERT_EQ(db.Execute("CREATE TABLE first_only(x)"), SQLITE_OK);
    const auto second = folder.DbFile("second");
    ASSERT_TRUE(db.Open(second.c_str(), kCreate));
    SQLiteStatement statement;
    EXPECT_EQ(db.Prepare(statement, "SELECT * FROM first_only"), SQLITE_ERROR);
    EXPECT_FALSE(statement.HasStatement());
    // The first file was closed with its table intact.
    EXPECT_EQ(Query(file, "SELECT name FROM sqlite_master"), testing::Rows{{"first_only"}});
}

TEST_F(WrapperTest, PreparingAgainFinalisesTheEarlierCompilation) {
    SQLiteStatement statement;
    ASSERT_EQ(db.Prepare(statement, "SELECT 1"), SQLITE_OK);
    ASSERT_EQ(db.Prepare(statement, "SELECT 2"), SQLITE_OK);
    ASSERT_EQ(statement.Step(), SQLITE_ROW);
    EXPECT_EQ(statement.GetInt(0), 2);
    // A compilation still alive makes sqlite3_close refuse; once the object's own
    // statement is gone (a failed prepare disposes of it), nothing must remain.
    EXPECT_FALSE(db.Close());
    EXPECT_TRUE(db.IsOpen());
    EXPECT_EQ(db.Prepare(statement, nullptr), kMisuse);
    EXPECT_FALSE(statement.HasStatement());
    EXPECT_TRUE(db.Close());
    EXPECT_FALSE(db.IsOpen());
}

TEST_F(WrapperTest, StepReportsRowsThenDoneAndSetsFinished) {
    SQLiteStatement statement;
    ASSERT_EQ(db.Prepare(statement, "SELECT 7, 'seven'"), SQLITE_OK);
    EXPECT_EQ(statement.Step(), SQLITE_ROW);
    EXPECT_EQ(statement.GetInt(0), 7);
    EXPECT_STREQ(statement.GetText(1), "seven");
    EXPECT_EQ(statement.Step(), SQLITE_DONE);
    EXPECT_TRUE(statement.IsFinished());
}

TEST_F(WrapperTest, NullColumnReadsAsNullAndAsEmptyWideText) {
    SQLiteStatement statement;
    ASSERT_EQ(db.Prepare(statement, "SELECT NULL"), SQLITE_OK);
    ASSERT_EQ(statement.Step(), SQLITE_ROW);
    EXPECT_EQ(statement.GetText(0), nullptr);
    EXPECT_EQ(FromUtf8(statement.GetText(0)), u"");
}

TEST_F(WrapperTest, BoundTextNeedNotOutliveTheBinding) {
    SQLiteStatement statement;
    ASSERT_EQ(db.Prepare(statement, "SELECT ?"), SQLITE_OK);
    {
        std::string text = "bound once";
        ASSERT_EQ(statement.BindText(1, text), SQLITE_OK);
        text.assign(64, 'x');  // reallocates and overwrites the bound bytes
    }
    ASSERT_EQ(statement.Step(), SQLITE_ROW);
    EXPECT_STREQ(statement.GetText(0), "bound once");
}

TEST_F(WrapperTest, TextViewWithoutDataBindsNull) {
    SQLiteStatement statement;
    ASSERT_EQ(db.Prepare(statement, "SELECT ? IS NULL, ? IS NULL"), SQLITE_OK);
    statement.BindText(1, std::string_view());
    statement.BindText(2, std::string());
    ASSERT_EQ(statement.Step(), SQLITE_ROW);
    EXPECT_EQ(statement.GetInt(0), 1);
    EXPECT_EQ(statement.GetInt(1), 0);  // an empty string stays an empty text
}

TEST_F(WrapperTest, LastInsertRowIdFollowsInserts) {
    ASSERT_EQ(db.Execute("CREATE TABLE t(id INTEGER PRIMARY KEY, v); INSERT INTO t VALUES(41, 1);"
                         "INSERT INTO t(v) VALUES (2)"),
              SQLITE_OK);
    EXPECT_EQ(db.LastInsertRowId(), 42);
}

struct DurabilityCase {
    const char* name;
    SQLiteDurability durability;
    const char* journal;
    const char* synchronous;
};

class DurabilityTest : public WrapperTest, public ::testing::WithParamInterface<DurabilityCase> {};

TEST_P(DurabilityTest, OpenSetsJournalAndSyncMode) {
    ASSERT_TRUE(db.Open(file.c_str(), kCreate, GetParam().durability));
    EXPECT_EQ(QueryText("PRAGMA journal_mode"), GetParam().journal);
    EXPECT_EQ(QueryText("PRAGMA synchronous"), GetParam().synchronous);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DurabilityTest,
    ::testing::Values(
        DurabilityCase{"default", {}, "wal", "1"},
        DurabilityCase{"wal_full", {SQLiteJournalMode::kWal, SQLiteSyncMode::kFull}, "wal", "2"},
        DurabilityCase{
            "rollback_off", {SQLiteJournalMode::kDelete, SQLiteSyncMode::kOff}, "delete", "0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SQLiteAutoTransactionTest, NullDatabaseDoesNothing) {
    SQLiteAutoTransaction transaction(nullptr);
    EXPECT_FALSE(transaction.IsActive());
    EXPECT_FALSE(transaction.Begin());
    EXPECT_FALSE(transaction.Commit());
    EXPECT_FALSE(transaction.IsActive());
}

TEST(SQLiteAutoTransactionTest, ClosedDatabaseCountsAsActiveButFails) {
    SQLiteDB db;
    SQLiteAutoTransaction transaction(&db);
    EXPECT_TRUE(transaction.IsActive());
    EXPECT_FALSE(transaction.Begin());
    EXPECT_FALSE(transaction.Commit());
    EXPECT_FALSE(transaction.IsActive());
    EXPECT_FALSE(transaction.Begin());  // sets active over a closed connection
    EXPECT_TRUE(transaction.IsActive());
}

TEST_F(WrapperTest, TransactionBeginsInTheConstructorAndCommits) {
    ASSERT_EQ(db.Execute("CREATE TABLE t(v)"), SQLITE_OK);
    SQLiteAutoTransaction transaction(&db);
    EXPECT_FALSE(transaction.Begin());  // already begun
    ASSERT_EQ(db.Execute("INSERT INTO t VALUES (1)"), SQLITE_OK);
    // Inside the transaction another connection does not see the row yet.
    EXPECT_EQ(Query(file, "SELECT count(*) FROM t"), testing::Rows{{"0"}});
    EXPECT_TRUE(transaction.Commit());
    EXPECT_FALSE(transaction.IsActive());
    EXPECT_EQ(Query(file, "SELECT count(*) FROM t"), testing::Rows{{"1"}});
    // A second Begin opens a new transaction on the same object.
    EXPECT_TRUE(transaction.Begin());
    EXPECT_TRUE(transaction.Commit());
}

TEST_F(WrapperTest, TransactionEndsWithCommitWhenItGoesOutOfScope) {
    ASSERT_EQ(db.Execute("CREATE TABLE t(v)"), SQLITE_OK);
    {
        SQLiteAutoTransaction transaction(&db);
        ASSERT_EQ(db.Execute("INSERT INTO t VALUES (1)"), SQLITE_OK);
        ASSERT_EQ(db.Execute("INSERT INTO t VALUES (2)"), SQLITE_OK);
    }
    EXPECT_EQ(Query(file, "SELECT count(*) FROM t"), testing::Rows{{"2"}});
}

}  // namespace
}  // namespace quillora
