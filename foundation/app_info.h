#pragma once

// The application information object: the program's folders, the optional preferences file of folder
// overrides, the log with its in-memory copy, and the process-wide database handle. The main routine
// creates one at start-up and frees it last; freeing it writes the log file.
//
// Folders on Linux: the program folder is the folder of the running executable; data lives in its
// "Data/" subfolder; the Windows folder is the one platform/folders.h names; the rating program's folder
// (whose "Logs/" subfolder takes the log when it exists) is /opt/Qelvo/. Every folder ends in "/".

#include "foundation/cb_database.h"
#include "foundation/cursor_list.h"
#include "foundation/logger.h"
#include "platform/services.h"
#include "platform/string_list.h"
#include "platform/sysutils.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace carlume {

/// The program's named folders as "name=value" lines.
class TAppPaths : public TObject {
public:
    /// Sets the value of `name`, adding its line when absent (an empty value is kept too).
    void SetValue(std::string_view name, std::string_view value);
    /// The value of `name`; "" when absent.
    std::string Value(std::string_view name) const { return lines_.Values(name); }
    /// The lines, in the order the names were first set.
    const TStringList& Lines() const { return lines_; }

private:
    TStringList lines_;
};

/// Folder overrides and log settings of a user.
class TUserPreferences : public TObject {
public:
    /// Reads the settings.
    virtual void Load() = 0;
    /// Writes the settings that can change.
    virtual void Save() = 0;

    /// The program folder of a host library.
    std::string Location;
    /// Use `AlternateDataPath` as the data folder.
    bool UseAltDataPath = false;
    /// Use `AlternateQuotePath` as the quote folder.
    bool UseAltQuotePath = false;
    std::string AlternateDataPath;
    std::string AlternateQuotePath;
    /// Folder of the log file, when it exists.
    std::string AlternateLogFilePath;
    bool UseAppLogFile = false;
    /// Lines the in-memory log keeps (one more may be held, see `TAppInfo::AddToLogList`).
    std::int32_t LogListLength = 1000;
};

/// `TUserPreferences` in an INI file: [Version Info] Location; [DataPath] UseAltDataPath, UseAltQuotePath,
/// AlternateDataPath, AlternateQuotePath, AlternateLogFilePath; [Preferences] UseAppLogFile, LogListLength.
/// Booleans are "1"/"0"; a missing file, section or key, or a value that is not a number where one is
/// expected, gives the default.
class TDataPathUserPreferences : public TUserPreferences {
public:
    /// Preferences kept in `iniFileName` (nothing is read yet).
    explicit TDataPathUserPreferences(std::string iniFileName);
    /// Reads every setting from the file.
    void Load() override;
    /// Writes [Preferences] UseAppLogFile and LogListLength; raises `EIniFileException` "Unable to write to
    /// <file>" when the file cannot be written.
    void Save() override;
    /// The INI file.
    const std::string& IniFileName() const { return iniFileName_; }

private:
    std::string iniFileName_;
};

/// The application information object.
class TAppInfo : public TObject, public ILogService {
public:
    /// Sets everything up: the cursor list seeded with the current screen cursor, the database and the
    /// folders, then the log file name (in the rating program's "Logs/" folder when that folder exists,
    /// else in the program folder). No log runs yet. `services` supply the screen cursor and the dialogs
    /// for the cursor list's warnings; either may be missing.
    explicit TAppInfo(const TApplicationServices& services = {});
    /// Frees the folder list, the cursor list, the in-memory log and then the logger, which writes the log
    /// file; never raises. The database stays.
    ~TAppInfo() override;
    TAppInfo(const TAppInfo&) = delete;
    TAppInfo& operator=(const TAppInfo&) = delete;

    /// Starts the log: a logger writing to `LogFileName` (kept if one exists), a new in-memory log, then
    /// the lines "Application Path: ", "Data Path: " and "Log File Name: " with their values and an empty
    /// line.
    void StartLog();
    /// Logs `LogPrefix` + `message` to the in-memory log and the logger; nothing reaches a logger before
    /// `StartLog`.
    void Log(const std::string& message) override;
    /// Appends `line` to the in-memory log unless suppressed or not started. With preferences, the first
    /// line goes first when the log holds more than `LogListLength` lines, so it may hold one more.
    void AddToLogList(const std::string& line);

    /// The preferences file ("" when none is named).
    virtual std::string GetIniFileName() const { return iniFileName_; }
    /// Names the preferences file, reads it (again, on a later call) and works out the folders anew.
    virtual void SetIniFileName(const std::string& name);
    /// Sets the data folder and the user folder inside it; `path` ends in "/".
    virtual void SetDataPath(const std::string& path);
    /// Works out every folder: program, data and quote, Windows; then `AfterInitPaths`; then `Paths`.
    /// For a host library (`IsDll`) the program folder comes from the preferences' `Location`, and raises
    /// `Exception` "Application Path undefined for app DLL" when that is empty or "Application Path (%s)
    /// does not exist".
    virtual void InitPaths();
    /// Works out the data and quote folders: from the preferences when they say so and name a folder, else
    /// "Data/" in the program folder; the quote folder is the data folder, or its "Quotes/" when the data
    /// folder holds "qtfolder.def".
    virtual void InitDataPath();
    /// Runs inside `InitPaths` once the Windows folder is known; nothing here.
    virtual void AfterInitPaths() {}
    /// Runs at the end of the destructor; nothing here (C++ reaches only this version from there).
    virtual void BeforeDestroy() {}
    /// Takes the process-wide database handle, then `InitPaths`.
    virtual void OpenDatabase();

    /// The cursor list.
    TCursorList& CursorList() { return *cursorList_; }
    /// The cursor list.
    const TCursorList& CursorList() const { return *cursorList_; }
    /// Text put in front of every logged message.
    const std::string& LogPrefix() const { return logPrefix_; }
    /// Sets the text put in front of every logged message.
    void SetLogPrefix(std::string prefix) { logPrefix_ = std::move(prefix); }
    /// The in-memory log; null before `StartLog`.
    const TStringList* LogList() const { return logList_.get(); }
    /// True when lines are kept out of the in-memory log (the logger still gets them).
    bool SuppressLogList() const { return suppressLogList_; }
    /// Keeps lines out of the in-memory log, or not.
    void SetSuppressLogList(bool suppress) { suppressLogList_ = suppress; }
    /// The logger; null before `StartLog`.
    TLoggerObj* Logger() const { return logger_.get(); }
    /// The process-wide database handle (not owned).
    TCBDatabase* Database() const { return database_; }
    /// True when the preferences supplied the quote folder.
    bool QuotePathFromPreferences() const { return quotePathFromPreferences_; }
    /// The named folders "AppPath", "UserWinPath", "DataPath" and "QuotePath".
    const TAppPaths& Paths() const { return *paths_; }
    /// The preferences; null unless a preferences file was named.
    TDataPathUserPreferences* Preferences() const { return preferences_.get(); }
    /// Full path of the log file.
    const std::string& LogFileName() const { return logFileName_; }
    /// Sets the log file (before `StartLog`, which hands it to the logger).
    void SetLogFileName(std::string fileName) { logFileName_ = std::move(fileName); }
    /// True when the host is a library rather than a program.
    bool IsDll() const { return isDll_; }
    /// Program folder.
    const std::string& AppPath() const { return appPath_; }
    /// Data folder.
    const std::string& DataPath() const { return dataPath_; }
    /// `DataPath` + "User/".
    const std::string& UserPath() const { return userPath_; }
    /// Quote folder.
    const std::string& QuotePath() const { return quotePath_; }
    /// Windows folder, with exactly one trailing "/".
    const std::string& UserWinPath() const { return userWinPath_; }

protected:
    /// Marks the constructor that leaves the start-up steps to `Startup`.
    struct TDeferStartup {};
    /// Sets up the fields only. C++ does not reach a derived class's overrides from a base constructor, so a
    /// derived class that overrides the start-up steps uses this one and calls `Startup` in its own body.
    TAppInfo(const TApplicationServices& services, TDeferStartup);
    /// Opens the database with the folders and works out the log file name.
    void Startup();
    /// Creates and reads the preferences on `GetIniFileName` when `SetIniFileName` replaces them. A derived
    /// class may create its own kind here.
    virtual void CreatePreferences();

    std::unique_ptr<TCursorList> cursorList_;
    std::string logPrefix_;
    std::unique_ptr<TStringList> logList_;
    bool suppressLogList_ = false;
    std::unique_ptr<TLoggerObj> logger_;
    TCBDatabase* database_ = nullptr;
    bool quotePathFromPreferences_ = false;
    std::unique_ptr<TAppPaths> paths_;
    std::unique_ptr<TDataPathUserPreferences> preferences_;
    std::string logFileName_;
    std::string iniFileName_;
    bool isDll_ = false;
    std::string appPath_;
    std::string dataPath_;
    std::string userPath_;
    std::string quotePath_;
    std::string userWinPath_;
};

} // namespace carlume
