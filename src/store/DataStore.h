#pragma once

// The profile database of the selected mouse model: one SQLite file per model, one
// connection per process, every operation serialised by one recursive lock. The
// window thread and the device worker both call it.
//
// Conventions of every operation:
// - it holds the lock from its first to its last database call, and compiles its
//   statements afresh (nothing is cached);
// - text is UTF-16 here and UTF-8 in the file;
// - a statement succeeds when its step answered 0, 100 or 101;
// - failures are silent: inserts give 0, updates and deletes false, reads nothing found
//   or an empty list. With no database open every operation fails this way;
// - list operations empty the caller's vector first and return its new size.

#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "store/Records.h"
#include "store/SQLiteDB.h"

namespace quillora {

class SQLiteStatement;

class DataStore {
  public:
    // The process-wide store, created on first use and closed at exit.
    static DataStore& Instance();

    // Separate stores serve tests and tools; the program uses Instance().
    explicit DataStore(SQLiteDurability durability = {});
    ~DataStore();
    DataStore(const DataStore&) = delete;
    DataStore& operator=(const DataStore&) = delete;

    // --- The file ---

    // Opens <dataFolder>/db/<name>_data1.db, creating it with the schema when it does
    // not exist (the db folder itself must exist). An existing file is opened as it
    // is, whatever it holds; the only change made to it is the switch to the
    // write-ahead log. While a database is open the call keeps that connection and
    // answers true, whatever the name.
    bool OpenDatabase(const std::filesystem::path& dataFolder, std::u16string_view name);

    // Creates the file at the stored path and runs the schema. True at once while a
    // connection is open; otherwise true only when every schema statement succeeded
    // (the file and the successful statements remain either way).
    bool CreateDatabase();

    // Closes the connection if the last OpenDatabase succeeded.
    void CloseDatabase();

    bool IsOpen() const;

    // The UTF-8 file name the last OpenDatabase computed.
    std::string Path() const;

    // --- Settings (t_configdata): decimal text per profile and key ---

    // Empties `value`, then fills it from the row; false when there is none.
    bool GetSetting(int profile, std::string_view key, std::u16string& value);

    // Updates an existing row only. A key without a row stays absent and the call
    // still answers true: rows are made once, by InsertDefaultSettings.
    bool SetSetting(int profile, std::string_view key, std::u16string_view value);

    // Inserts the forty default rows for `profile`, in order, one autocommit each.
    // Rows that fail are skipped silently.
    void InsertDefaultSettings(int profile);

    // --- Profiles (t_profile_data) ---

    // Inserts the profile (name and app from the record, status 0, type 0) and its
    // default settings; the new profile number, or 0.
    int AddProfile(const ProfileRecord& record);
    bool RenameProfile(int profile, std::u16string_view name);
    bool GetProfileName(int profile, std::u16string& name);
    int ListProfiles(std::vector<ProfileRecord>& list);

    // Clears every status, then sets it on `profile`; the result is the second
    // update's. A number without a row leaves no profile active.
    bool SetActiveProfile(int profile);

    // The active profile's number, or 0.
    int GetActiveProfile();

    // --- Button assignments (t_key_macro_data), layer 0 only ---

    // Replaces the button's row. An assignment with macro_value and macro_value2 both
    // 0 is the default and is stored as no row (result 0); otherwise the new key_id,
    // or 0 when the insert failed (the button is then at its default).
    int SaveKey(const KeyRecord& record);

    // Fills `record` from the row; untouched and false when there is none.
    bool GetKey(int profile, int keyCode, KeyRecord& record);
    bool SetKeyDescription(int profile, int keyCode, std::u16string_view text);
    int ListKeys(int profile, std::vector<KeyRecord>& list);

    // Returns every button of the profile to its default.
    bool DeleteKeysOfProfile(int profile);

    // --- Macros (t_macro_data, t_macrorecord), shared by all profiles ---

    // A new macro played once: play_type 0, play_times 1, delay_type 1, delay_time 0.
    int CreateMacro(std::u16string_view name);
    // A new macro with the record's name and play settings (macro_id is ignored).
    int CreateMacro(const MacroRecord& record);
    bool RenameMacro(int macroId, std::u16string_view name);
    bool UpdateMacro(const MacroRecord& record);

    // Deletes the header, then, only if that worked, the events. Buttons bound to the
    // macro keep their rows. A macro that does not exist is deleted successfully.
    bool DeleteMacro(int macroId);
    bool GetMacro(int macroId, MacroRecord& record);
    int ListMacros(std::vector<MacroRecord>& list);

    // Inserts one event; the new record_id, or 0.
    int AddMacroEvent(const MacroEventRecord& event);

    // Inserts the events in vector order inside one transaction; failing rows are
    // skipped and the rest committed.
    void AddMacroEvents(const std::vector<MacroEventRecord>& events);

    // Replaces the events of `macroId` with `events` (stored under macroId, whatever
    // their own macro_id says) in one transaction under one holding of the lock, so
    // no reader ever sees the macro between the old and the new list. When the delete
    // fails nothing is inserted. True when the delete and every insert succeeded.
    bool ReplaceMacroEvents(int macroId, const std::vector<MacroEventRecord>& events);

    // The macro's events in ascending record_index.
    int ListMacroEvents(int macroId, std::vector<MacroEventRecord>& list);
    bool DeleteMacroEvents(int macroId);

    // --- Lighting (t_light_data): one row per profile and mode ---

    int CountLights(int profile);
    // Inserts every column after light_id from the record; the new light_id, or 0.
    int AddLight(const LightRecord& record);
    // Updates brightness through reserved of the row (record.profile, mode); name,
    // mode and status stay.
    bool UpdateLight(int mode, const LightRecord& record);
    // Clears the profile's statuses, then sets the mode's; the second update's result.
    bool SetActiveLightMode(int profile, int mode);
    // The profile's active mode, or 0.
    int GetActiveLightMode(int profile);
    bool GetLight(int profile, int mode, LightRecord& record);
    int ListLights(int profile, std::vector<LightRecord>& list);

  private:
    using Lock = std::lock_guard<std::recursive_mutex>;

    // Runs a prepared insert and answers the new row id, or 0.
    int StepInsert(SQLiteStatement& statement);
    // Inserts one macro event under `macroId`; true when the step succeeded.
    bool InsertMacroEvent(int macroId, const MacroEventRecord& event);

    mutable std::recursive_mutex lock_;
    SQLiteDB connection_;
    const SQLiteDurability durability_;
    std::string path_;
    bool open_ = false;
};

}  // namespace quillora
