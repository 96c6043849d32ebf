#include "foundation/app_info.h"

#include "foundation/window_helpers.h"
#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/ini_files.h"
#include "platform/paths.h"
#include "platform/sysutils.h"

#include <utility>

namespace carlume {
namespace {

// A folder named in the preferences, trimmed and with its trailing "/"; "" when none is named.
std::string PreferredFolder(std::string_view folder)
{
    return IncludeTrailingPathDelimiter(Trim(folder));
}

} // namespace

// --- TAppPaths --------------------------------------------------------------------------------------------

void TAppPaths::SetValue(std::string_view name, std::string_view value)
{
    std::string line(name);
    line.append("=").append(value);
    const int index = lines_.IndexOfName(name);
    if (index < 0)
        lines_.Add(line);
    else
        lines_.Put(index, line);
}

// --- TDataPathUserPreferences -----------------------------------------------------------------------------

TDataPathUserPreferences::TDataPathUserPreferences(std::string iniFileName)
    : iniFileName_(std::move(iniFileName))
{
}

void TDataPathUserPreferences::Load()
{
    const TIniFile ini(iniFileName_, TWriteMode::DurableIfChanged);
    Location = ini.ReadString("Version Info", "Location", "");
    UseAltDataPath = ini.ReadBool("DataPath", "UseAltDataPath", false);
    UseAltQuotePath = ini.ReadBool("DataPath", "UseAltQuotePath", false);
    AlternateDataPath = ini.ReadString("DataPath", "AlternateDataPath", "");
    AlternateQuotePath = ini.ReadString("DataPath", "AlternateQuotePath", "");
    UseAppLogFile = ini.ReadBool("Preferences", "UseAppLogFile", false);
    AlternateLogFilePath = ini.ReadString("DataPath", "AlternateLogFilePath", "");
    LogListLength = ini.ReadInteger("Preferences", "LogListLength", 1000);
}

void TDataPathUserPreferences::Save()
{
    TIniFile ini(iniFileName_, TWriteMode::DurableIfChanged);
    ini.WriteBool("Preferences", "UseAppLogFile", UseAppLogFile);
    ini.WriteInteger("Preferences", "LogListLength", LogListLength);
}

// --- TAppInfo ---------------------------------------------------------------------------------------------

TAppInfo::TAppInfo(const TApplicationServices& services)
    : TAppInfo(services, TDeferStartup{})
{
    Startup();
}

TAppInfo::TAppInfo(const TApplicationServices& services, TDeferStartup)
    : cursorList_(std::make_unique<TCursorList>(
          services.Dialogs, services.ScreenCursor != nullptr ? services.ScreenCursor->Cursor() : crDefault))
    , paths_(std::make_unique<TAppPaths>())
{
}

void TAppInfo::Startup()
{
    OpenDatabase();

    const std::string logName = ChangeFileExt(ExtractFileName(ProgramFileName()), ".log");
    std::string logFolder = appPath_;
    const std::string ratingFolder = RatingProgramFolder();
    if (DirectoryExists(ratingFolder)) {
        const std::string logsFolder = ratingFolder + "Logs/";
        logFolder = ForceDirectories(logsFolder) ? logsFolder : ratingFolder;
    }
    logFileName_ = logFolder + logName;

    // Only a derived class can have brought preferences along by now.
    if (preferences_) {
        preferences_->AlternateLogFilePath = PreferredFolder(preferences_->AlternateLogFilePath);
        if (DirectoryExists(preferences_->AlternateLogFilePath))
            logFileName_ = preferences_->AlternateLogFilePath + logName;
    }
}

TAppInfo::~TAppInfo()
{
    paths_.reset();
    cursorList_.reset();
    logList_.reset();
    logger_.reset(); // writes the log file
    BeforeDestroy();
}

void TAppInfo::StartLog()
{
    if (!logger_)
        logger_ = std::make_unique<TLoggerObj>();
    logger_->SetLogFileName(logFileName_);
    logger_->SetEnabled(true);
    logList_ = std::make_unique<TStringList>();
    Log("Application Path: " + VisibleControls(appPath_));
    Log("Data Path: " + VisibleControls(dataPath_));
    Log("Log File Name: " + VisibleControls(logFileName_));
    Log("");
}

void TAppInfo::Log(const std::string& message)
{
    const std::string line = logPrefix_ + message;
    AddToLogList(line);
    if (logger_)
        logger_->Log(line);
}

void TAppInfo::AddToLogList(const std::string& line)
{
    if (suppressLogList_ || !logList_)
        return;
    // A length of zero or less from a damaged preferences file keeps one line, never fails on an empty list.
    if (preferences_ && logList_->Count() > preferences_->LogListLength && logList_->Count() > 0)
        logList_->Delete(0);
    logList_->Add(line);
}

void TAppInfo::SetIniFileName(const std::string& name)
{
    iniFileName_ = name;
    if (!preferences_) {
        preferences_ = std::make_unique<TDataPathUserPreferences>(name);
        preferences_->Load();
    } else {
        preferences_.reset();
        CreatePreferences();
    }
    InitPaths();
}

void TAppInfo::CreatePreferences()
{
    preferences_ = std::make_unique<TDataPathUserPreferences>(GetIniFileName());
    preferences_->Load();
}

void TAppInfo::SetDataPath(const std::string& path)
{
    dataPath_ = path;
    userPath_ = path + "User/";
}

void TAppInfo::InitPaths()
{
    if (isDll_) {
        appPath_.clear();
        if (preferences_) {
            appPath_ = PreferredFolder(preferences_->Location);
            if (appPath_.empty())
                throw Exception("Application Path undefined for app DLL");
            if (!DirectoryExists(appPath_))
                throw CreateFmt<Exception>("Application Path (%s) does not exist", VisibleControls(appPath_));
        }
    } else {
        appPath_ = ProgramFolder();
    }
    InitDataPath();
    userWinPath_ = GetWindowsDir();
    AfterInitPaths();
    paths_->SetValue("AppPath", appPath_);
    paths_->SetValue("UserWinPath", userWinPath_);
    paths_->SetValue("DataPath", dataPath_);
    paths_->SetValue("QuotePath", quotePath_);
}

void TAppInfo::InitDataPath()
{
    quotePathFromPreferences_ = false;
    std::string dataFolder;
    if (preferences_) {
        // An alternate folder gets its trailing "/"; an empty one counts as not given.
        if (preferences_->UseAltDataPath)
            dataFolder = PreferredFolder(preferences_->AlternateDataPath);
        if (preferences_->UseAltQuotePath) {
            const std::string quoteFolder = PreferredFolder(preferences_->AlternateQuotePath);
            if (!quoteFolder.empty()) {
                quotePath_ = quoteFolder;
                quotePathFromPreferences_ = true;
            }
        }
    }
    if (dataFolder.empty())
        dataFolder = appPath_ + "Data/";
    SetDataPath(dataFolder);
    if (!quotePathFromPreferences_) {
        quotePath_ = dataPath_;
        if (FileExists(dataPath_ + "qtfolder.def"))
            quotePath_ += "Quotes/";
    }
}

void TAppInfo::OpenDatabase()
{
    database_ = &GetCBDatabase();
    InitPaths();
}

} // namespace carlume
