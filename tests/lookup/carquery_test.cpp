#include "lookup/carquery.h"

#include "lookup/chassix_portal.h"
#include "platform/date_time.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/format_settings.h"
#include "platform/ini_document.h"
#include "platform/sysutils.h"
#include "standins/chassix/chassix_test_control.h"
#include "tests/lookup/chassix_paths.h"
#include "tests/lookup/quillon_dat.h"
#include "tests/support/fake_carquery_ui.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scratch_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr TDateTime kToday = 46362.5; // 2026-12-06, noon

const char* const kEngineEnvironment[] = {CHASSIX_FAKE_ENV_JOURNAL, CHASSIX_FAKE_ENV_THROW,
                                          CHASSIX_FAKE_ENV_MIN_VIN, CHASSIX_FAKE_ENV_EARLIEST_YEAR};

std::vector<std::string> SplitLines(const std::string& text, const std::string& separator = "\n")
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + separator.size();
    }
    return lines;
}

// The messages of a log file after its machine block, without their time stamps.
std::vector<std::string> LogMessages(const std::string& file)
{
    std::vector<std::string> messages;
    bool inLog = false;
    for (const std::string& line : SplitLines(file, "\r\n")) {
        if (!inLog) {
            inLog = line.ends_with("[Log]");
            continue;
        }
        // "yyyy-mm-dd hh:nn:ss.zzz " in front of every message but an empty one.
        messages.push_back(line.size() >= 24 && line[4] == '-' && line[10] == ' ' ? line.substr(24) : line);
    }
    return messages;
}

class CarqueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kEngineEnvironment)
            unsetenv(name);
        setenv(CHASSIX_FAKE_ENV_JOURNAL, (journal_ / "journal.txt").c_str(), 1);
        fs::create_directory(program_ / "Data");
    }
    void TearDown() override
    {
        for (const char* name : kEngineEnvironment)
            unsetenv(name);
        EXPECT_EQ(ChassixLibHandle(), nullptr) << "the engine outlived the run";
    }

    void InstallEngine(const std::string& library = kChassixLibraryPath)
    {
        fs::copy_file(library, program_ / "libchassix.so");
    }
    std::string Program() const { return program_ / "cquery"; }
    std::string DataFile() const { return program_ / "Data/cquery.dat"; }
    std::string IniFile() const { return windows_ / "cquery.ini"; }
    std::string LogFile() const { return program_ / "cquery.log"; }
    void EnableLog() const { WriteAll(program_ / "cquery.logger", ""); }

    /// Runs the program with `params` after the program path.
    int Run(const std::vector<std::string>& params)
    {
        std::vector<const char*> argv{programArg_.c_str()};
        for (const std::string& param : params)
            argv.push_back(param.c_str());
        return RunCarquery(ui_, TCommandLine::FromArgs(int(argv.size()), argv.data()));
    }

    std::vector<std::string> Journal() const { return SplitLines(ReadAll(journal_ / "journal.txt")); }
    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> texts;
        for (const TDialogRequest& request : ui_.Fakes.Dialogs.Requests())
            texts.push_back(request.Text);
        return texts;
    }

    ScratchFolder program_;
    ScratchFolder windows_;
    ScratchFolder journal_;
    ScratchFolder rating_;
    std::string programArg_ = program_ / "cquery";
    ScopedFolderOverride exe_{TFolder::ProgramFile, program_ / "cquery"};
    ScopedFolderOverride windir_{TFolder::Windows, windows_.Path()};
    ScopedFolderOverride ratingProgram_{TFolder::RatingProgram, rating_ / "none/"};
    ScopedClock clock_{kToday};
    ScopedFormatSettings settings_{USFormatSettings()};
    TFakeCarqueryUi ui_;
};

// --- ways of starting -------------------------------------------------------------------------------------

TEST_F(CarqueryTest, WithoutParametersTheLookupWindowOpensWithNoMessage)
{
    InstallEngine();
    bool startedWithParams = true;
    std::int32_t modelYear = -1;
    ui_.LookupWindow = [&](TVehicleInfoLookup& lookup, TVinRecord& record) {
        startedWithParams = lookup.StartedWithParams();
        modelYear = record.ModelYear;
        EXPECT_EQ(record.Effective, kToday);
        EXPECT_EQ(record.LookupMode, 1);
        return false;
    };
    EnableLog();
    EXPECT_EQ(Run({}), 0);

    EXPECT_EQ(ui_.LookupWindowRuns, 1);
    EXPECT_THAT(Boxes(), IsEmpty());
    EXPECT_FALSE(startedWithParams);
    EXPECT_EQ(modelYear, 0);
    EXPECT_FALSE(FileExists(DataFile()));
    EXPECT_THAT(LogMessages(ReadAll(LogFile())),
                ElementsAre("Application Path: " + program_.Path() + "/",
                            "Data Path: " + program_.Path() + "/Data/", "Log File Name: " + LogFile(), "",
                            "Begin Carquery", "output data file: " + DataFile(),
                            "Unsuccessful lookup - deleting data file if it exists", "Complete Carquery"));
    EXPECT_EQ(ReadAll(IniFile()), "[Version Info]\r\nLocation=" + program_.Path() +
                                      "/\r\nNumber=\r\n[Last]\r\nCommandLine=" + Program() + "\r\n");
}

TEST_F(CarqueryTest, AFoundVinIsHandedBackWithoutAnyWindow)
{
    InstallEngine();
    EnableLog();
    EXPECT_EQ(Run({"/VIN=1AVQL14S1A"}), 0);

    EXPECT_EQ(ReadAll(DataFile()), kQuillonDat);
    EXPECT_EQ(ui_.LookupWindowRuns, 0);
    EXPECT_THAT(Boxes(), IsEmpty());
    EXPECT_THAT(ui_.Choosers.Windows(), IsEmpty());
    EXPECT_THAT(Journal(), ElementsAre("ChassixStart -> 0", "ChassixSetSuppressMessages suppress=1 -> 0",
                                       "ChassixGetMinVinSizePermitted -> 10",
                                       "ChassixSetSuppressMessages suppress=1 -> 0",
                                       "ChassixGetRecordByVIN vin=1AVQL14S1A mode=1 eff=46362 -> 1",
                                       "ChassixGetFirstVIN vin=1AVQL14S1A -> 0", "ChassixGetEndOfVIN -> 0",
                                       "ChassixGetNextVIN -> 0", "ChassixGetEndOfVIN -> 1",
                                       "ChassixGetRecordByVIN vin=1AVQL14S1A mode=1 eff=46362 -> 1",
                                       "ChassixSetSuppressMessages suppress=0 -> 0",
                                       "ChassixSetSuppressMessages suppress=0 -> 0", "ChassixStop -> 0"));
    EXPECT_THAT(LogMessages(ReadAll(LogFile())),
                ElementsAre("Application Path: " + program_.Path() + "/",
                            "Data Path: " + program_.Path() + "/Data/", "Log File Name: " + LogFile(), "",
                            "Begin Carquery", "output data file: " + DataFile(),
                            "Command line parameters found", "/VIN = 1AVQL14S1A", "",
                            "Save properties to output data file", "Complete Carquery"));
}

TEST_F(CarqueryTest, AFoundVinIsHandedBackInUpperCaseOverAStaleFileAndWithoutDisplayOrLog)
{
    InstallEngine();
    WriteAll(DataFile(), "stale");
    ui_.NoDisplay = true;
    EXPECT_EQ(Run({"/vin= 1avql14s1a "}), 0);
    EXPECT_EQ(ReadAll(DataFile()), kQuillonDat);
    EXPECT_THAT(program_.Entries(), testing::UnorderedElementsAre("Data", "libchassix.so"));
    EnableLog();
    WriteAll(DataFile(), "stale");
    EXPECT_EQ(Run({"/VIN=1AVQL14S1A"}), 0);
    EXPECT_EQ(ReadAll(DataFile()), kQuillonDat);
    EXPECT_THAT(ReadAll(LogFile()), HasSubstr("Previous data file found - deleting"));
}

TEST_F(CarqueryTest, TheOriginalSymbolDateReachesTheEngine)
{
    InstallEngine();
    EXPECT_EQ(Run({"/VIN=1AVQL14S1A", "/EFFECTIVE=01/01/1950"}), 0);
    const std::string file = ReadAll(DataFile());
    EXPECT_THAT(file, HasSubstr("\r\nSymbol=9\r\n"));
    EXPECT_THAT(file, Not(HasSubstr("Effective=")));
    EXPECT_THAT(Journal(), testing::Contains("ChassixGetRecordByVIN vin=1AVQL14S1A mode=1 eff=18264 -> 1"));
}

struct NoVinCase {
    std::vector<std::string> Params;
    std::string Make;
    std::int32_t ModelYear;
};

class CarqueryNoVinTest : public CarqueryTest, public ::testing::WithParamInterface<NoVinCase> {};

TEST_P(CarqueryNoVinTest, SwitchesWithoutAUsableVinShowTheMessageAndThenTheWindow)
{
    InstallEngine();
    TVinRecord seen;
    ui_.LookupWindow = [&](TVehicleInfoLookup& lookup, TVinRecord& record) {
        EXPECT_TRUE(lookup.StartedWithParams());
        seen.Assign(record);
        return false;
    };
    EXPECT_EQ(Run(GetParam().Params), 0);

    EXPECT_THAT(Boxes(),
                ElementsAre("A vehicle could not be found with the information provided.  Please refine "
                            "your search"));
    EXPECT_EQ(ui_.Fakes.Dialogs.Requests().at(0).Type, TMsgDlgType::mtInformation);
    EXPECT_EQ(ui_.MessagesBeforeWindow, 1);
    EXPECT_EQ(ui_.LookupWindowRuns, 1);
    EXPECT_EQ(seen.Make, GetParam().Make);
    EXPECT_EQ(seen.ModelYear, GetParam().ModelYear);
    // The engine was silenced and let speak again, and asked nothing.
    EXPECT_THAT(Journal(), ElementsAre("ChassixStart -> 0", "ChassixSetSuppressMessages suppress=1 -> 0",
                                       "ChassixSetSuppressMessages suppress=0 -> 0", "ChassixStop -> 0"));
    EXPECT_FALSE(FileExists(DataFile()));
}

INSTANTIATE_TEST_SUITE_P(
    Switches, CarqueryNoVinTest,
    ::testing::Values(NoVinCase{{"/YEAR=2010", "/MAKE=Arvelo", "/MODEL=Tessor"}, "Arvelo", 2010},
                      NoVinCase{{"/VIN=", "/YEAR=2011"}, "", 2011}, NoVinCase{{"/FOO=bar", "/BAR"}, "", 0},
                      NoVinCase{{"/MAKE=Arvelo Motors"}, "Arvelo Motors", 0},
                      NoVinCase{{"/MAKE=\"Arvelo Motors\"", "/model"}, "Arvelo Motors", 0}),
    [](const auto& row) {
        // The switches given, by name: "/YEAR=2010" is YEAR.
        std::string name;
        for (const std::string& param : row.param.Params)
            name += (name.empty() ? "" : "_") + Spelled(param.substr(1, param.find('=') - 1));
        return name;
    });

TEST_F(CarqueryTest, AVinNotFoundOpensTheWindowWithTheYearOfTheSwitches)
{
    InstallEngine();
    TVinRecord seen;
    ui_.LookupWindow = [&](TVehicleInfoLookup&, TVinRecord& record) {
        seen.Assign(record);
        return false;
    };
    EXPECT_EQ(Run({"/VIN=9ZZZZ99Z9Z", "/YEAR=2010", "/MAKE=Arvelo"}), 0);

    EXPECT_THAT(Boxes(), IsEmpty());
    EXPECT_EQ(ui_.LookupWindowRuns, 1);
    EXPECT_EQ(seen.VIN, "9ZZZZ99Z9Z");
    EXPECT_EQ(seen.ModelYear, 2010);
    EXPECT_EQ(seen.Make, ""); // the search cleared it
    EXPECT_THAT(Journal(),
                testing::IsSupersetOf({"ChassixGetRecordByVIN vin=9ZZZZ99Z9Z mode=1 eff=46362 -> 0",
                                       "ChassixGetRecordByVIN vin=9ZZZZ99Z9Z mode=3 eff=46362 -> 0"}));
    EXPECT_FALSE(FileExists(DataFile()));
}

TEST_F(CarqueryTest, TheWindowsVehicleIsHandedBack)
{
    InstallEngine();
    ui_.LookupWindow = [](TVehicleInfoLookup& lookup, TVinRecord& record) {
        record.VIN = "2BMHV44U1B";
        record.LookupMode = 3;
        return lookup.Engine().GetRecordByVIN(record);
    };
    EXPECT_EQ(Run({}), 0);
    const std::string file = ReadAll(DataFile());
    EXPECT_THAT(file, testing::StartsWith("[VehicleProperties]\r\nModelYear=2011\r\nMake=Brenmoor\r\n"));
    EXPECT_THAT(file, HasSubstr("\r\nCompSymbol=21\r\nCollisionSymbol=17\r\n"));
}

TEST_F(CarqueryTest, AVinWithSeveralMatchesIsChosenSilentlyExceptForTheChooser)
{
    InstallEngine();
    ui_.Choosers.QueueAnswer(mrOk, 2);
    EXPECT_EQ(Run({"/VIN=2BMMR55X1C"}), 0);

    ASSERT_EQ(ui_.Choosers.Windows().size(), 1u);
    EXPECT_EQ(ui_.Choosers.Windows()[0].Caption, "ISO: 2BMMR55X1C Choices");
    EXPECT_EQ(ui_.LookupWindowRuns, 0);
    const std::string file = ReadAll(DataFile());
    EXPECT_THAT(file, HasSubstr("\r\nModel=Morrow Limited\r\n"));
    EXPECT_THAT(file, HasSubstr("\r\nVIN=2BMMR55X1C\r\n"));
    // The lookup's date stays with the chosen vehicle.
    EXPECT_THAT(file, HasSubstr("\r\nEffective=12/6/2026\r\n"));

    // Declined: nothing is handed back, and the window opens on the VIN alone.
    ui_.Choosers.QueueAnswer(mrCancel, 1);
    TVinRecord seen;
    ui_.LookupWindow = [&](TVehicleInfoLookup&, TVinRecord& record) {
        seen.Assign(record);
        return false;
    };
    EXPECT_EQ(Run({"/VIN=2BMMR55X1C"}), 0);
    EXPECT_EQ(ui_.LookupWindowRuns, 1);
    EXPECT_EQ(seen.ModelYear, 0);
    EXPECT_EQ(seen.Model, "");
    EXPECT_EQ(seen.VIN, "2BMMR55X1C");
    EXPECT_FALSE(FileExists(DataFile()));
}

TEST_F(CarqueryTest, AShortVinGivesTheMessageAndThenTheWindow)
{
    InstallEngine();
    EXPECT_EQ(Run({"/VIN=1AVQL14S1"}), 0);
    EXPECT_THAT(Boxes(), ElementsAre("VIN must be at least 10 characters in order for a lookup to occur"));
    EXPECT_EQ(ui_.LookupWindowRuns, 1);
    EXPECT_THAT(Journal(), Not(testing::Contains(HasSubstr("ChassixGetRecordByVIN"))));
}

TEST_F(CarqueryTest, TheSwitchCountDoesNotWrap)
{
    // 255 counted switches: one more and an 8-bit count would read 0 and skip the message.
    InstallEngine();
    EXPECT_EQ(Run(std::vector<std::string>(255, "/MAKE=Arvelo")), 0);
    EXPECT_THAT(Boxes(), ElementsAre(std::string(NotFoundMessage)));
    EXPECT_EQ(ui_.LookupWindowRuns, 1);
}

// --- the error path ---------------------------------------------------------------------------------------

TEST_F(CarqueryTest, ABadYearEndsTheRunAfterTheEngineWasUnloaded)
{
    InstallEngine();
    EnableLog();
    std::vector<std::string> journalAtBox;
    ui_.OnMessage = [&](TMsgDlgType, const std::string&) { journalAtBox = Journal(); };
    EXPECT_EQ(Run({"/VIN=1AVQL14S1A", "/YEAR=abc"}), 0);

    EXPECT_THAT(Boxes(), ElementsAre("Vehicle Lookup Error: 'abc' is not a valid integer value"));
    EXPECT_EQ(ui_.Fakes.Dialogs.Requests().at(0).Type, TMsgDlgType::mtError);
    EXPECT_THAT(journalAtBox, ElementsAre("ChassixStart -> 0", "ChassixStop -> 0"));
    EXPECT_EQ(ui_.LookupWindowRuns, 0);
    EXPECT_FALSE(FileExists(DataFile()));
    EXPECT_TRUE(FileExists(IniFile()));
    const std::string log = ReadAll(LogFile());
    EXPECT_THAT(log, HasSubstr("*** EXCEPTION GENERATED ***\r\n'abc' is not a valid integer value\r\n"));
    EXPECT_THAT(log, Not(HasSubstr("Complete Carquery")));
    EXPECT_THAT(log, Not(HasSubstr("Command line parameters found")));
}

TEST_F(CarqueryTest, AMissingEngineIsTheOnlyMessageAndWritesNoIni)
{
    WriteAll(DataFile(), "[VehicleProperties]\r\nModelYear=1999\r\n");
    EXPECT_EQ(Run({"/VIN=1AVQL14S1A"}), 0);
    EXPECT_THAT(Boxes(), ElementsAre("Vehicle Lookup Error: ChassixPortal: Dll not found - " +
                                     program_.Path() + "/libchassix.so"));
    EXPECT_FALSE(fs::exists(IniFile()));
    // The earlier run's file is gone all the same.
    EXPECT_FALSE(fs::exists(DataFile()));
    EXPECT_EQ(ui_.LookupWindowRuns, 0);
}

TEST_F(CarqueryTest, AnEngineWithoutAnEntryPointIsNeverStartedAndUnloaded)
{
    InstallEngine(kChassixVariantPaths[CHASSIX_ENTRY_POINT_COUNT - 1]);
    EXPECT_EQ(Run({}), 0);
    EXPECT_THAT(Boxes(), ElementsAre("Vehicle Lookup Error: ChassixPortal: Routine not valid."));
    EXPECT_THAT(Journal(), IsEmpty());
    EXPECT_FALSE(fs::exists(IniFile()));
}

TEST_F(CarqueryTest, AnIniThatCannotBeReadOrRewrittenEndsTheRun)
{
    InstallEngine();
    fs::create_directory(IniFile());
    EXPECT_EQ(Run({"/VIN=1AVQL14S1A"}), 0);
    EXPECT_THAT(Boxes(),
                ElementsAre("Vehicle Lookup Error: Unable to write to " + IniFile() + ". Is a directory"));
    fs::remove(IniFile());

    // A UTF-16 file is left as it is.
    const std::string utf16("\xFF\xFE[\0S\0]\0", 8);
    WriteAll(IniFile(), utf16);
    ui_.Fakes.Dialogs.Clear();
    EXPECT_EQ(Run({"/VIN=1AVQL14S1A"}), 0);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_THAT(Boxes()[0],
                testing::StartsWith("Vehicle Lookup Error: Unable to write to " + IniFile() + ". "));
    EXPECT_EQ(ReadAll(IniFile()), utf16);
    EXPECT_FALSE(FileExists(DataFile()));
}

TEST_F(CarqueryTest, AnIniTooLargeToHoldIsLeftAsItIsAndTheVehicleStillHandedBack)
{
    InstallEngine();
    EnableLog();
    struct Row {
        const char* name;
        bool sparse; // a file of the INI document's limit, else a small one that runs out of memory when read
        std::string_view reason;
    };
    for (const Row& row :
         {Row{"out of memory", false, STooLargeForMemory}, Row{"at the limit", true, STooLargeToRead}}) {
        SCOPED_TRACE(row.name);
        WriteAll(IniFile(), "[Last]\r\nCommandLine=old\r\n");
        if (row.sparse) {
            ASSERT_EQ(::truncate(IniFile().c_str(), off_t(kIniFileSizeLimit)), 0);
        }
        struct stat before {};
        ASSERT_EQ(::stat(IniFile().c_str(), &before), 0);
        {
            const ScopedFileFault outOfMemory([&](TFileStep step, const std::string& path) {
                return !row.sparse && step == TFileStep::Read && path == IniFile() ? ENOMEM : 0;
            });
            EXPECT_EQ(Run({"/VIN=1AVQL14S1A"}), 0);
        }
        EXPECT_EQ(ReadAll(DataFile()), kQuillonDat);
        EXPECT_THAT(Boxes(), IsEmpty());
        struct stat after {};
        ASSERT_EQ(::stat(IniFile().c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << "replaced";
        EXPECT_EQ(after.st_size, before.st_size);
        EXPECT_THAT(ReadAll(LogFile()), HasSubstr("cquery.ini not updated: Cannot open file \"" + IniFile() +
                                                  "\". " + std::string(row.reason)));
    }
}

TEST_F(CarqueryTest, AMissingDataFolderCannotTakeTheVehicle)
{
    InstallEngine();
    fs::remove(program_ / "Data");
    ui_.LookupWindow = [](TVehicleInfoLookup& lookup, TVinRecord& record) {
        record.VIN = "1AVQL14S1A";
        return lookup.Engine().GetRecordByVIN(record);
    };
    EXPECT_EQ(Run({}), 0);
    EXPECT_THAT(Boxes(), ElementsAre("Vehicle Lookup Error: Cannot create file \"" + DataFile() +
                                     "\". No such file or directory"));
    EXPECT_FALSE(fs::exists(DataFile()));
}

TEST_F(CarqueryTest, AStaleHandBackFileThatCannotBeDeletedEndsTheRunBeforeTheEngineIsLoaded)
{
    InstallEngine();
    EnableLog();
    WriteAll(DataFile(), "stale");
    {
        ScopedFileFault fault([this](TFileStep step, const std::string& path) {
            return step == TFileStep::Delete && path == DataFile() ? EACCES : 0;
        });
        EXPECT_EQ(Run({"/VIN=1AVQL14S1A"}), 0);
    }
    EXPECT_THAT(Boxes(), ElementsAre("Vehicle Lookup Error: Unable to delete previous data file " +
                                     DataFile() + ". Permission denied"));
    EXPECT_EQ(ui_.LookupWindowRuns, 0);
    EXPECT_THAT(Journal(), IsEmpty());
    EXPECT_FALSE(fs::exists(IniFile()));
    EXPECT_THAT(ReadAll(LogFile()), HasSubstr("Previous data file found - deleting"));
}

TEST_F(CarqueryTest, AHandBackFileThatAppearedDuringAnUnsuccessfulRunIsDeletedOrTheFailureLogged)
{
    InstallEngine();
    EnableLog();
    ui_.LookupWindow = [this](TVehicleInfoLookup&, TVinRecord&) {
        WriteAll(DataFile(), "not ours");
        return false;
    };
    EXPECT_EQ(Run({}), 0);
    EXPECT_FALSE(fs::exists(DataFile()));

    ScopedFileFault fault(TFileStep::Delete, EACCES);
    EXPECT_EQ(Run({}), 0);
    EXPECT_THAT(
        LogMessages(ReadAll(LogFile())),
        testing::IsSupersetOf(std::vector<std::string>{
            "Unsuccessful lookup - deleting data file if it exists",
            "Unable to delete data file " + DataFile() + ". Permission denied", "Complete Carquery"}));
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(CarqueryTest, AnEngineErrorInTheSilentSearchSwitchesItsMessagesBackOn)
{
    InstallEngine();
    setenv(CHASSIX_FAKE_ENV_THROW, "ChassixGetRecordByVIN", 1);
    EXPECT_EQ(Run({"/VIN=1AVQL14S1A"}), 0);
    EXPECT_THAT(Boxes(),
                ElementsAre("Vehicle Lookup Error: Chassix stand-in failure in ChassixGetRecordByVIN"));
    const std::vector<std::string> journal = Journal();
    ASSERT_GE(journal.size(), 3u);
    EXPECT_THAT(std::vector<std::string>(journal.end() - 3, journal.end()),
                ElementsAre("ChassixSetSuppressMessages suppress=0 -> 0",
                            "ChassixSetSuppressMessages suppress=0 -> 0", "ChassixStop -> 0"));
}

// --- without a display ------------------------------------------------------------------------------------

TEST_F(CarqueryTest, WithoutADisplayTheMessageGoesToStandardErrorAndTheLog)
{
    InstallEngine();
    EnableLog();
    ui_.NoDisplay = true;
    testing::internal::CaptureStderr();
    const int status = Run({"/YEAR=2010"});
    const std::string errors = testing::internal::GetCapturedStderr();

    EXPECT_EQ(status, 1);
    EXPECT_EQ(errors, std::string(NotFoundMessage) + "\n(not shown: no display in this test)\n");
    EXPECT_FALSE(FileExists(DataFile()));
    EXPECT_THAT(Journal(), ElementsAre("ChassixStart -> 0", "ChassixSetSuppressMessages suppress=1 -> 0",
                                       "ChassixSetSuppressMessages suppress=0 -> 0", "ChassixStop -> 0"));
    const std::string log = ReadAll(LogFile());
    EXPECT_THAT(log,
                HasSubstr("*** NOT SHOWN: no display in this test ***\r\n" + std::string(NotFoundMessage)));
    EXPECT_THAT(log, Not(HasSubstr("Complete Carquery")));

    // An error, without the engine.
    fs::remove(program_ / "libchassix.so");
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run({}), 1);
    EXPECT_THAT(testing::internal::GetCapturedStderr(),
                HasSubstr("Vehicle Lookup Error: ChassixPortal: Dll not found - "));
    EXPECT_THAT(ReadAll(LogFile()),
                HasSubstr("*** EXCEPTION GENERATED ***\r\nChassixPortal: Dll not found - "));
}

// A switch or a program folder holding line breaks forges no line of the log or of standard error: its
// control characters are written out. "<P>" in a message stands for the program folder so written.
struct ForgedLineCase {
    std::string Name;
    std::string Folder; ///< below the scratch program folder; "" for itself
    std::vector<std::string> Params;
    bool Engine, DataFolder;
    std::string Message;
};

class CarqueryForgedLineTest : public CarqueryTest, public ::testing::WithParamInterface<ForgedLineCase> {};

TEST_P(CarqueryForgedLineTest, OutsideTextsShowTheirControlCharacters)
{
    const ForgedLineCase& c = GetParam();
    const fs::path folder = c.Folder.empty() ? program_.Path() : program_ / c.Folder;
    fs::create_directories(folder);
    const ScopedFolderOverride exe(TFolder::ProgramFile, folder / "cquery");
    if (c.Engine)
        fs::copy_file(kChassixLibraryPath, folder / "libchassix.so", fs::copy_options::overwrite_existing);
    if (c.DataFolder)
        fs::create_directories(folder / "Data");
    else
        fs::remove(folder / "Data");
    WriteAll(folder / "cquery.logger", "");
    ui_.NoDisplay = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(c.Params), 1);
    const std::string errors = testing::internal::GetCapturedStderr();

    const std::string shown = VisibleControls(folder.string() + "/");
    std::string message = c.Message;
    if (const std::size_t at = message.find("<P>"); at != std::string::npos)
        message.replace(at, 3, shown);
    EXPECT_EQ(errors, "Vehicle Lookup Error: " + message + "\n(not shown: no display in this test)\n");
    const std::string log = ReadAll(folder / "cquery.log");
    EXPECT_THAT(log, HasSubstr("*** EXCEPTION GENERATED ***\r\n" + message + "\r\n"));
    EXPECT_THAT(log, HasSubstr(" Application Path: " + shown + "\r\n"));
    for (const std::string& text : {log, errors}) {
        EXPECT_THAT(text, Not(HasSubstr("\n2026-01-01")));
        EXPECT_THAT(text, Not(HasSubstr("\r2026-01-01")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CarqueryForgedLineTest,
    ::testing::Values(
        ForgedLineCase{"YearSwitch",
                       "",
                       {"/VIN=1AVQL14S1A", "/YEAR=2010\n2026-01-01 00:00:00.000 INJ forged line"},
                       true,
                       true,
                       "'2010\\n2026-01-01 00:00:00.000 INJ forged line' is not a valid integer value"},
        ForgedLineCase{"HandBackFile",
                       "prog\r\n2026-01-01 00:00:00.000 INJ",
                       {"/VIN=1AVQL14S1A"},
                       true,
                       false,
                       "Cannot create file \"<P>Data/cquery.dat\". No such file or directory"},
        ForgedLineCase{"EngineLibrary",
                       "prog\n2026-01-01 00:00:00.000 INJ\x1b[2J",
                       {"/VIN=1AVQL14S1A"},
                       false,
                       true,
                       "ChassixPortal: Dll not found - <P>libchassix.so"}),
    ByName);

// --- cquery.ini and the log switch ------------------------------------------------------------------------

TEST_F(CarqueryTest, TheIniKeepsOtherSettingsAndIsUpdatedInPlace)
{
    InstallEngine();
    WriteAll(IniFile(),
             "[Settings]\r\nUseOrigSymbol=1\r\n[Version Info]\r\nNumber=0.9\r\nLocation=/old/\r\n");
    EXPECT_EQ(Run({"/VIN=1AVQL14S1A", "/MAKE=Arvelo Motors"}), 0);
    EXPECT_EQ(Run({"/VIN=1AVQL14S1A", "/MAKE=Arvelo\r\nMotors"}), 0);
    EXPECT_EQ(ReadAll(IniFile()),
              "[Settings]\r\nUseOrigSymbol=1\r\n[Version Info]\r\nNumber=\r\nLocation=" + program_.Path() +
                  "/\r\n[Last]\r\nCommandLine=" + Program() + " /VIN=1AVQL14S1A /MAKE=Arvelo  Motors\r\n");
    // As Windows would pass the line on.
    fs::remove(IniFile());
    EXPECT_EQ(Run({"/MAKE=Arvelo Motors", "", "/VIN=1AVQL14S1A\t"}), 0);
    EXPECT_THAT(ReadAll(IniFile()), HasSubstr("CommandLine=" + Program() +
                                              " \"/MAKE=Arvelo Motors\" \"\" \"/VIN=1AVQL14S1A\t\"\r\n"));
}

} // namespace
} // namespace carlume::test
