#pragma once

// Helpers shared by the store tests: a temporary data folder, a store opened on it,
// and a second, independent connection to look at the file the store wrote.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include "store/DataStore.h"

namespace quillora::testing {

// A fresh folder with a "db" subfolder, removed with everything in it at the end.
class TempDataFolder {
  public:
    TempDataFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillora-store-XXXXXX");
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
            std::filesystem::create_directory(path_ / "db");
        }
    }
    ~TempDataFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDataFolder(const TempDataFolder&) = delete;
    TempDataFolder& operator=(const TempDataFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path DbFile(const std::string& name) const {
        return path_ / "db" / (name + "_data1.db");
    }

  private:
    std::filesystem::path path_;
};

using Rows = std::vector<std::vector<std::string>>;

// Runs `sql` on its own connection to `file` and returns every row as text ("NULL"
// for a NULL column); a failure shows as a single row "error: <message>".
inline Rows Query(const std::filesystem::path& file, const std::string& sql) {
    Rows rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {{"error: cannot open"}};
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        rows.push_back({std::string("error: ") + sqlite3_errmsg(db)});
    }
    while (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW) {
        auto& row = rows.emplace_back();
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const auto* text = sqlite3_column_text(statement, i);
            row.push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

// Executes statements on a file of our own making (test fixtures).
inline bool ExecuteOn(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// A store opened on a new database "M1" in a fresh folder.
class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(store.OpenDatabase(folder.path(), u"M1")); }
    std::filesystem::path File() const { return folder.DbFile("M1"); }

    TempDataFolder folder;
    DataStore store;
};

}  // namespace quillora::testing
