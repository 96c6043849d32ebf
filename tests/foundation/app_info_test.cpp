#include "foundation/app_info.h"

#include "foundation/codebase.h"
#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/identity.h"
#include "platform/ini_files.h"
#include "tests/support/fake_services.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace carlume {
namespace {

class AppInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ReleaseCBDatabase();
        ResetCodeBaseJournal();
        std::filesystem::create_directories(dir / "app");
    }
    void TearDown() override { ReleaseCBDatabase(); }

    std::string App(const std::string& rest = "") const { return dir / ("app/" + rest); }
    std::string WriteIni(const std::string& name, const std::string& text) const
    {
        test::WriteAll(dir / name, text);
        return dir / name;
    }

    test::ScratchFolder dir;
    ScopedFolderOverride program{TFolder::ProgramFile, dir / "app/cquery"};
    ScopedFolderOverride windows{TFolder::Windows, dir / "win"};
    ScopedFolderOverride temp{TFolder::Temp, dir / "tmp"};
    ScopedFolderOverride rating{TFolder::RatingProgram, dir / "Qelvo"};
    ScopedIdentityProvider identity{TMachineIdentity{"jdoe", "WS01", "OFFICE"}};
    ScopedClock clock{EncodeDate(2025, 3, 7) + EncodeTime(9, 5, 2, 47)};
};

// --- folders ----------------------------------------------------------------------------------------------

TEST_F(AppInfoTest, FoldersWithoutPreferences)
{
    const TAppInfo info;
    EXPECT_EQ(info.AppPath(), App());
    EXPECT_EQ(info.DataPath(), App("Data/"));
    EXPECT_EQ(info.UserPath(), App("Data/User/"));
    EXPECT_EQ(info.QuotePath(), App("Data/"));
    EXPECT_FALSE(info.QuotePathFromPreferences());
    EXPECT_EQ(info.UserWinPath(), dir / "win/");
    EXPECT_EQ(info.LogFileName(), App("cquery.log"));
    EXPECT_EQ(info.GetIniFileName(), "");
    EXPECT_EQ(info.Preferences(), nullptr);
    EXPECT_FALSE(info.IsDll());
    EXPECT_EQ(info.Paths().Lines().Text(), "AppPath=" + App() + "\r\nUserWinPath=" + dir / "win/" +
                                               "\r\nDataPath=" + App("Data/") +
                                               "\r\nQuotePath=" + App("Data/") + "\r\n");
    EXPECT_EQ(info.Paths().Value("DataPath"), App("Data/"));
}

// Folders by what exists on disk and what the preferences say; "@" stands for the scratch folder.
struct FolderCase {
    const char* Name;
    std::vector<std::string> Files;    // created empty; a name ending in "/" is a folder
    std::string Ini;                   // preferences, when not empty
    std::vector<std::string> Expected; // DataPath, UserPath, QuotePath, LogFileName, UserWinPath
};

class AppInfoFolders : public AppInfoTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(AppInfoFolders, FollowTheDiskAndThePreferences)
{
    auto at = [this](std::string text) {
        for (std::size_t i; (i = text.find('@')) != std::string::npos;)
            text.replace(i, 1, dir.Path());
        return text;
    };
    for (const std::string& file : GetParam().Files) {
        if (file.back() == '/')
            std::filesystem::create_directories(dir / file);
        else {
            std::filesystem::create_directories(std::filesystem::path(dir / file).parent_path());
            test::WriteAll(dir / file, "");
        }
    }
    ScopedFolderOverride slashed(TFolder::Windows, dir / "win2/");
    TAppInfo info;
    if (!GetParam().Ini.empty())
        info.SetIniFileName(WriteIni("p.ini", at(GetParam().Ini)));
    const std::vector<std::string> actual = {info.DataPath(), info.UserPath(), info.QuotePath(),
                                             info.LogFileName(), info.UserWinPath()};
    std::vector<std::string> expected;
    for (const std::string& e : GetParam().Expected)
        expected.push_back(at(e));
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(info.Paths().Value("QuotePath"), info.QuotePath());
}

const std::string kAlt = "[DataPath]\r\nUseAltDataPath=1\r\nAlternateDataPath= @/shared \r\n"
                         "UseAltQuotePath=1\r\nAlternateQuotePath=@/quotes\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, AppInfoFolders,
    ::testing::Values(
        FolderCase{"QuoteFolderFile",
                   {"app/Data/qtfolder.def"},
                   "",
                   {"@/app/Data/", "@/app/Data/User/", "@/app/Data/Quotes/", "@/app/cquery.log", "@/win2/"}},
        FolderCase{"RatingProgramLogs",
                   {"Qelvo/"},
                   "",
                   {"@/app/Data/", "@/app/Data/User/", "@/app/Data/", "@/Qelvo/Logs/cquery.log", "@/win2/"}},
        FolderCase{"RatingProgramLogsIsAFile",
                   {"Qelvo/Logs"},
                   "",
                   {"@/app/Data/", "@/app/Data/User/", "@/app/Data/", "@/Qelvo/cquery.log", "@/win2/"}},
        FolderCase{"RatingProgramIsAFile",
                   {"Qelvo"},
                   "",
                   {"@/app/Data/", "@/app/Data/User/", "@/app/Data/", "@/app/cquery.log", "@/win2/"}},
        FolderCase{"AlternateFolders",
                   {},
                   kAlt,
                   {"@/shared/", "@/shared/User/", "@/quotes/", "@/app/cquery.log", "@/win2/"}},
        FolderCase{"EmptyAlternateFolders",
                   {"app/Data/qtfolder.def"},
                   "[DataPath]\r\nUseAltDataPath=1\r\nAlternateDataPath=\r\nUseAltQuotePath=1\r\n"
                   "AlternateQuotePath=   \r\n",
                   {"@/app/Data/", "@/app/Data/User/", "@/app/Data/Quotes/", "@/app/cquery.log", "@/win2/"}},
        FolderCase{
            "AlternateFoldersSwitchedOff",
            {},
            "[DataPath]\r\nUseAltDataPath=0\r\nAlternateDataPath=/elsewhere\r\nAlternateQuotePath=/q\r\n",
            {"@/app/Data/", "@/app/Data/User/", "@/app/Data/", "@/app/cquery.log", "@/win2/"}}),
    [](const auto& row) { return std::string(row.param.Name); });

// --- preferences ------------------------------------------------------------------------------------------

TEST_F(AppInfoTest, PreferenceDefaultsForAMissingFile)
{
    TDataPathUserPreferences prefs(dir / "missing.ini");
    prefs.Location = "x";
    prefs.UseAltDataPath = true;
    prefs.LogListLength = 5;
    prefs.Load();
    EXPECT_EQ(prefs.Location, "");
    EXPECT_FALSE(prefs.UseAltDataPath);
    EXPECT_FALSE(prefs.UseAltQuotePath);
    EXPECT_EQ(prefs.AlternateDataPath, "");
    EXPECT_EQ(prefs.AlternateQuotePath, "");
    EXPECT_EQ(prefs.AlternateLogFilePath, "");
    EXPECT_FALSE(prefs.UseAppLogFile);
    EXPECT_EQ(prefs.LogListLength, 1000);
    EXPECT_FALSE(FileExists(dir / "missing.ini")) << "reading creates nothing";
}

TEST_F(AppInfoTest, PreferencesReadEveryKey)
{
    const std::string ini =
        WriteIni("prefs.ini", "[Version Info]\r\nLocation= /srv/host/ \r\n"
                              "[datapath]\r\nUseAltDataPath=1\r\nUseAltQuotePath=$1\r\n"
                              "AlternateDataPath=/d\r\nAlternateQuotePath=/q\r\n"
                              "AlternateLogFilePath=/l\r\n"
                              "[Preferences]\r\nUseAppLogFile=-1\r\nLogListLength=25\r\n");
    TDataPathUserPreferences prefs(ini);
    prefs.Load();
    EXPECT_EQ(prefs.Location, "/srv/host/");
    EXPECT_TRUE(prefs.UseAltDataPath);
    EXPECT_TRUE(prefs.UseAltQuotePath);
    EXPECT_EQ(prefs.AlternateDataPath, "/d");
    EXPECT_EQ(prefs.AlternateQuotePath, "/q");
    EXPECT_EQ(prefs.AlternateLogFilePath, "/l");
    EXPECT_TRUE(prefs.UseAppLogFile);
    EXPECT_EQ(prefs.LogListLength, 25);
}

TEST_F(AppInfoTest, BadPreferenceValuesFallBackToTheDefaults)
{
    const std::string ini =
        WriteIni("bad.ini", "[DataPath]\r\nUseAltDataPath=yes\r\nUseAltQuotePath=1 2\r\n"
                            "[Preferences]\r\nUseAppLogFile=true\r\nLogListLength=lots\r\n"
                            "garbage line without equals\r\n[unterminated\r\n");
    TDataPathUserPreferences prefs(ini);
    prefs.Load();
    EXPECT_FALSE(prefs.UseAltDataPath);
    EXPECT_FALSE(prefs.UseAltQuotePath);
    EXPECT_FALSE(prefs.UseAppLogFile);
    EXPECT_EQ(prefs.LogListLength, 1000);
}

TEST_F(AppInfoTest, SaveWritesTheLogSettingsOnly)
{
    const std::string ini = WriteIni("save.ini", "; kept\r\n[DataPath]\r\nUseAltDataPath=1\r\n");
    TDataPathUserPreferences prefs(ini);
    prefs.UseAltDataPath = false;
    prefs.UseAppLogFile = true;
    prefs.LogListLength = 42;
    prefs.Save();
    const std::string text = test::ReadAll(ini);
    EXPECT_EQ(text.rfind("; kept\r\n[DataPath]\r\nUseAltDataPath=1\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("[Preferences]\r\nUseAppLogFile=1\r\nLogListLength=42\r\n"), std::string::npos)
        << text;
    TDataPathUserPreferences reread(ini);
    reread.Load();
    EXPECT_TRUE(reread.UseAltDataPath) << "only the log settings are written";
    EXPECT_TRUE(reread.UseAppLogFile);
    EXPECT_EQ(reread.LogListLength, 42);

    TDataPathUserPreferences unwritable(dir / "no/such/folder/prefs.ini");
    try {
        unwritable.Save();
        ADD_FAILURE();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(),
                  "Unable to write to " + dir / "no/such/folder/prefs.ini" + ". No such file or directory");
    }
}

TEST_F(AppInfoTest, ASecondPreferencesFileIsReadAfresh)
{
    const std::string first =
        WriteIni("first.ini", "[DataPath]\r\nUseAltDataPath=1\r\nAlternateDataPath=" + dir / "one/" + "\r\n");
    const std::string second =
        WriteIni("second.ini", "[DataPath]\r\nUseAltDataPath=1\r\nAlternateDataPath=" + dir / "two" +
                                   "\r\n[Preferences]\r\nLogListLength=7\r\n");
    TAppInfo info;
    info.SetIniFileName(WriteIni("alt.ini", "[DataPath]\r\nUseAltQuotePath=1\r\nAlternateQuotePath=/q\r\n"));
    EXPECT_TRUE(info.QuotePathFromPreferences());
    info.SetIniFileName(first);
    EXPECT_FALSE(info.QuotePathFromPreferences());
    EXPECT_EQ(info.DataPath(), dir / "one/");
    info.SetIniFileName(second);
    EXPECT_EQ(info.GetIniFileName(), second);
    ASSERT_NE(info.Preferences(), nullptr);
    EXPECT_EQ(info.Preferences()->IniFileName(), second);
    EXPECT_EQ(info.Preferences()->LogListLength, 7);
    EXPECT_EQ(info.DataPath(), dir / "two/");
    EXPECT_EQ(info.UserPath(), dir / "two/User/");
    info.SetIniFileName(dir / "missing.ini");
    EXPECT_EQ(info.DataPath(), App("Data/"));
}

// A derived kind that brings its own preferences when they are replaced.
class CountingAppInfo : public TAppInfo {
public:
    int created = 0;

protected:
    void CreatePreferences() override
    {
        ++created;
        TAppInfo::CreatePreferences();
        preferences_->AlternateDataPath = "/from/derived";
        preferences_->UseAltDataPath = true;
    }
};

TEST_F(AppInfoTest, ReplacedPreferencesComeFromTheOverridableHook)
{
    const std::string ini = WriteIni("p.ini", "");
    CountingAppInfo info;
    info.SetIniFileName(ini);
    EXPECT_EQ(info.created, 0);
    info.SetIniFileName(ini);
    EXPECT_EQ(info.created, 1);
    EXPECT_EQ(info.DataPath(), "/from/derived/");
}

// A library host: the program folder comes from the preferences.
class LibraryAppInfo : public TAppInfo {
public:
    explicit LibraryAppInfo(const std::string& iniFile)
        : TAppInfo({}, TDeferStartup{})
    {
        isDll_ = true;
        preferences_ = std::make_unique<TDataPathUserPreferences>(iniFile);
        preferences_->Load();
        Startup();
    }
    std::vector<std::string> calls;

    void InitDataPath() override
    {
        calls.push_back("InitDataPath");
        TAppInfo::InitDataPath();
    }
    void AfterInitPaths() override { calls.push_back("AfterInitPaths:" + UserWinPath()); }
};

TEST_F(AppInfoTest, LibraryHostTakesItsFolderFromThePreferences)
{
    std::filesystem::create_directories(dir / "host");
    std::filesystem::create_directories(dir / "logs");
    const std::string ini =
        WriteIni("host.ini", "[Version Info]\r\nLocation=" + dir / "host" +
                                 "\r\n[DataPath]\r\nAlternateLogFilePath=  " + dir / "logs" + "\r\n");
    const LibraryAppInfo info(ini);
    EXPECT_TRUE(info.IsDll());
    EXPECT_EQ(info.AppPath(), dir / "host/");
    EXPECT_EQ(info.DataPath(), dir / "host/Data/");
    EXPECT_EQ(info.LogFileName(), dir / "logs/cquery.log");
    EXPECT_EQ(info.Preferences()->AlternateLogFilePath, dir / "logs/");
    EXPECT_EQ(info.calls, (std::vector<std::string>{"InitDataPath", "AfterInitPaths:" + dir / "win/"}));
}

TEST_F(AppInfoTest, LibraryHostWithoutAUsableFolderRaises)
{
    try {
        const LibraryAppInfo info(WriteIni("none.ini", "[Version Info]\r\nLocation=  \r\n"));
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Application Path undefined for app DLL");
    }
    try {
        const LibraryAppInfo info(
            WriteIni("gone.ini", "[Version Info]\r\nLocation=" + dir / "gone" + "\r\n"));
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Application Path (" + dir / "gone/" + ") does not exist");
    }
}

TEST_F(AppInfoTest, AnAlternateLogFolderThatDoesNotExistIsIgnored)
{
    std::filesystem::create_directories(dir / "host");
    const std::string ini =
        WriteIni("host.ini", "[Version Info]\r\nLocation=" + dir / "host/" +
                                 "\r\n[DataPath]\r\nAlternateLogFilePath=" + dir / "nologs" + "\r\n");
    const LibraryAppInfo info(ini);
    EXPECT_EQ(info.LogFileName(), dir / "host/cquery.log");
}

// --- the log ----------------------------------------------------------------------------------------------

TEST_F(AppInfoTest, NoLogBeforeStartLog)
{
    {
        TAppInfo info;
        EXPECT_EQ(info.Logger(), nullptr);
        EXPECT_EQ(info.LogList(), nullptr);
        info.Log("goes nowhere");
        info.AddToLogList("nowhere either");
    }
    EXPECT_FALSE(FileExists(App("cquery.log")));
}

TEST_F(AppInfoTest, StartLogOpensWithTheFoldersAndTheDestructorWritesTheLog)
{
    {
        TAppInfo info;
        info.StartLog();
        info.Log("Begin Carquery");
        ASSERT_NE(info.LogList(), nullptr);
        EXPECT_EQ(info.LogList()->Text(), "Application Path: " + App() + "\r\nData Path: " + App("Data/") +
                                              "\r\nLog File Name: " + App("cquery.log") +
                                              "\r\n\r\nBegin Carquery\r\n");
        EXPECT_EQ(info.Logger()->LogFileName(), App("cquery.log"));
        EXPECT_FALSE(FileExists(App("cquery.log")));
    }
    const std::string stamp = "2025-03-07 09:05:02.047 ";
    EXPECT_EQ(test::ReadAll(App("cquery.log")),
              "\r\n[MachineInfo]\r\n---< MachineInfo >---\r\nApplication=" + App("cquery") +
                  "\r\nApplicationVersion=UnknownVersion\r\nUserDomain=OFFICE\r\nComputerName=WS01\r\n"
                  "UserName=jdoe\r\nWinDir=" +
                  dir / "win" + "\r\nTempDir=" + dir / "tmp/" + "\r\n---< MachineInfo >---\r\n\r\n[Log]\r\n" +
                  stamp + "Application Path: " + App() + "\r\n" + stamp + "Data Path: " + App("Data/") +
                  "\r\n" + stamp + "Log File Name: " + App("cquery.log") + "\r\n\r\n" + stamp +
                  "Begin Carquery\r\n");
}

TEST_F(AppInfoTest, SetLogFileNameAndPrefixApply)
{
    {
        TAppInfo info;
        info.SetLogFileName(dir / "chosen.log");
        info.SetLogPrefix("[x] ");
        info.StartLog();
        EXPECT_EQ(info.LogList()->Strings(0), "[x] Application Path: " + App());
        EXPECT_EQ(info.LogList()->Strings(3), "[x] ");
    }
    EXPECT_TRUE(FileExists(dir / "chosen.log"));
    EXPECT_FALSE(FileExists(App("cquery.log")));
}

TEST_F(AppInfoTest, LogListKeepsLogListLengthPlusOneLines)
{
    TAppInfo info;
    info.SetIniFileName(WriteIni("len.ini", "[Preferences]\r\nLogListLength=2\r\n"));
    info.StartLog();
    for (int i = 0; i < 5; ++i)
        info.Log("line " + std::to_string(i));
    EXPECT_EQ(info.LogList()->Text(), "line 2\r\nline 3\r\nline 4\r\n");
}

TEST_F(AppInfoTest, LogListWithoutPreferencesHasNoLimit)
{
    TAppInfo info;
    info.StartLog();
    for (int i = 0; i < 1500; ++i)
        info.Log("line");
    EXPECT_EQ(info.LogList()->Count(), 1504);
}

TEST_F(AppInfoTest, ANonPositiveLogListLengthKeepsOneLine)
{
    for (const char* length : {"0", "-5"}) {
        TAppInfo info;
        info.SetIniFileName(
            WriteIni("neg.ini", std::string("[Preferences]\r\nLogListLength=") + length + "\r\n"));
        info.StartLog();
        info.Log("last");
        EXPECT_EQ(info.LogList()->Text(), "last\r\n") << length;
    }
}

TEST_F(AppInfoTest, SuppressedLogListStillLogsToTheFile)
{
    TAppInfo info;
    info.SetSuppressLogList(true);
    info.StartLog();
    info.Log("only in the file");
    EXPECT_EQ(info.LogList()->Count(), 0);
    const TStringList& lines = info.Logger()->Lines();
    EXPECT_EQ(lines[lines.Count() - 1], "2025-03-07 09:05:02.047 only in the file");
}

// --- database and cursor ----------------------------------------------------------------------------------

TEST_F(AppInfoTest, CursorListStartsWithTheScreenCursor)
{
    test::TFakeServices fakes;
    fakes.ScreenCursor.SetCursor(crHourGlass);
    TAppInfo info(fakes.Services());
    ASSERT_EQ(info.CursorList().Stack().Count(), 1);
    EXPECT_EQ(info.CursorList().Stack().Item(0).Cursor, crHourGlass);
    info.CursorList().Stack().Delete(4);
    EXPECT_EQ(fakes.Dialogs.Messages(TMsgDlgType::mtWarning),
              std::vector<std::string>{"Cannot remove cursor item from empty list"});

    const TAppInfo withoutServices;
    EXPECT_EQ(withoutServices.CursorList().Stack().Item(0).Cursor, crDefault);
    EXPECT_EQ(withoutServices.Database(), &GetCBDatabase()) << "the process-wide database";
}

} // namespace
} // namespace carlume
