#include "lookup/chassix_portal.h"

#include "lookup/vin_record.h"
#include "platform/date_time.h"
#include "platform/folders.h"
#include "platform/format_settings.h"
#include "platform/library.h"
#include "platform/services.h"
#include "platform/string_list.h"
#include "standins/chassix/chassix_test_control.h"
#include "tests/lookup/chassix_paths.h"
#include "tests/lookup/quillon_dat.h"
#include "tests/lookup/vin_record_fields.h"
#include "tests/support/elf_image.h"
#include "tests/support/fake_services.h"
#include "tests/support/scratch_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace carlume::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

constexpr TDateTime kToday = 46362.5; // 2026-12-06, noon
constexpr TDateTime k2014 = 41791;    // 2014-06-01

const char* const kEngineEnvironment[] = {CHASSIX_FAKE_ENV_JOURNAL, CHASSIX_FAKE_ENV_THROW,
                                          CHASSIX_FAKE_ENV_MIN_VIN, CHASSIX_FAKE_ENV_EARLIEST_YEAR};

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// Which of the 22 entry points are resolved, in load order.
std::vector<bool> ResolvedEntries()
{
    std::vector<bool> resolved;
#define CARLUME_RESOLVED(Name, Result, Params) resolved.push_back(ChassixEntries().Name != nullptr);
    CHASSIX_ENTRY_POINTS(CARLUME_RESOLVED)
#undef CARLUME_RESOLVED
    return resolved;
}

// The message of the error the call raises, or "(no error)".
std::string ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const EChassixPortal& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return std::string("(other error) ") + e.what();
    }
    return "(no error)";
}

class ChassixPortalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kEngineEnvironment)
            unsetenv(name);
        setenv(CHASSIX_FAKE_ENV_JOURNAL, JournalPath().c_str(), 1);
    }

    void TearDown() override
    {
        UnloadEngine(dialogs_);
        EXPECT_EQ(ChassixLibHandle(), nullptr);
        for (const char* name : kEngineEnvironment)
            unsetenv(name);
    }

    /// Copies the stand-in engine (or a variant) into the program folder; returns the folder.
    std::string InstallEngine(const std::string& library = kChassixLibraryPath)
    {
        fs::copy_file(library, program_ / "libchassix.so");
        return program_.Path();
    }

    std::string JournalPath() const { return journal_ / "journal.txt"; }
    /// The engine's journal, kept in a file so that it outlives an unload.
    std::vector<std::string> Journal() const { return SplitLines(ReadAll(JournalPath())); }

    /// One of the stand-in's test controls, from the loaded engine.
    template <class Function> Function Control(const char* name) const
    {
        auto control = GetProcAddressAs<Function>(ChassixLibHandle(), name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    int LiveEntries() const { return Control<PFN_ChassixFakeLiveEntries>("ChassixFakeLiveEntries")(); }
    void MakeThrow(const std::string& entries) const
    {
        ASSERT_EQ(Control<PFN_ChassixFakeConfigure>("ChassixFakeConfigure")("throw", entries.c_str()), 1);
    }

    ScratchFolder program_;
    ScratchFolder journal_;
    TFakeDialogService dialogs_;
    ScopedClock clock_{kToday};
    ScopedFormatSettings settings_{USFormatSettings()};
};

// --- loading and unloading --------------------------------------------------------------------------------

TEST_F(ChassixPortalTest, LoadStartsOnceAndUnloadStopsOnceAndClearsEverything)
{
    LoadEngineFromFolder(InstallEngine());
    EXPECT_NE(ChassixLibHandle(), nullptr);
    EXPECT_TRUE(ChassixEngineStarted());
    EXPECT_THAT(ResolvedEntries(), Not(testing::Contains(false)));

    UnloadEngine(dialogs_);
    EXPECT_EQ(ChassixLibHandle(), nullptr);
    EXPECT_FALSE(ChassixEngineStarted());
    EXPECT_THAT(ResolvedEntries(), Not(testing::Contains(true)));

    // Nothing loaded: nothing happens, nothing is shown.
    UnloadEngine(dialogs_);
    EXPECT_THAT(Journal(), ElementsAre("ChassixStart -> 0", "ChassixStop -> 0"));
    EXPECT_THAT(dialogs_.Requests(), IsEmpty());

    // A fresh engine loads again afterwards.
    LoadEngineFromFolder(program_.Path());
    EXPECT_EQ(ChassixGetMinVinSizePermitted(), 10);
}

TEST_F(ChassixPortalTest, WhatCannotBeLoadedIsNamedWithItsPath)
{
    const std::string library = program_ / "libchassix.so";
    const std::string notFound = "ChassixPortal: Dll not found - " + library;
    EXPECT_EQ(ErrorOf([&] { LoadEngineFromFolder(program_.Path()); }), notFound);
    EXPECT_EQ(ErrorOf([&] { LoadEngineFromFolder(program_.Path() + "/"); }), notFound);
    fs::create_directory(library);
    EXPECT_EQ(ErrorOf([&] { LoadEngineFromFolder(program_.Path()); }), notFound);
    fs::remove(library);
    // Neither a file that is no library nor one cut short by an interrupted copy can be loaded.
    TFakeLogService log;
    for (const std::string& content : {std::string("this is not a library\n"),
                                       DamagedElf(ReadAll(kChassixLibraryPath), Damage::CutInASegment)}) {
        WriteAll(library, content);
        EXPECT_EQ(ErrorOf([&] { LoadEngineFromFolder(program_.Path(), &log); }),
                  "ChassixPortal: Unable to load " + library);
        EXPECT_EQ(ErrorOf([&] { LoadEngine(library); }), "Unable to load " + library);
        EXPECT_EQ(ChassixLibHandle(), nullptr);
        EXPECT_THAT(ResolvedEntries(), Not(testing::Contains(true)));
    }
    // The box keeps its text; why is logged.
    EXPECT_THAT(log.Lines(), ElementsAre(StartsWith("ChassixPortal: " + library + ": "),
                                         "ChassixPortal: " + library + ": the file is truncated"));
    fs::remove(library);
    LoadEngineFromFolder(InstallEngine() + "/");
    EXPECT_EQ(ModuleFileName(ChassixLibHandle()), library);
}

TEST_F(ChassixPortalTest, AFailingStartIsReportedAndNeverStopped)
{
    setenv(CHASSIX_FAKE_ENV_THROW, "ChassixStart", 1);
    EXPECT_EQ(ErrorOf([&] { LoadEngineFromFolder(InstallEngine()); }),
              "ChassixPortal: Chassix stand-in failure in ChassixStart");
    // Loaded and resolved, not started, until the unload.
    EXPECT_NE(ChassixLibHandle(), nullptr);
    EXPECT_FALSE(ChassixEngineStarted());
    EXPECT_EQ(ErrorOf([] { ChassixGetMinVinSizePermitted(); }), "ChassixPortal: engine not loaded");

    UnloadEngine(dialogs_);
    EXPECT_EQ(ChassixLibHandle(), nullptr);
    EXPECT_THAT(Journal(), ElementsAre("ChassixStart -> throw Chassix stand-in failure in ChassixStart"));
    EXPECT_THAT(dialogs_.Requests(), IsEmpty());
}

TEST_F(ChassixPortalTest, AFailingStopIsShownInAPlainBoxAndNeverRaised)
{
    setenv(CHASSIX_FAKE_ENV_THROW, "ChassixStop", 1);
    LoadEngineFromFolder(InstallEngine());
    UnloadEngine(dialogs_);
    ASSERT_EQ(dialogs_.Requests().size(), 1U);
    EXPECT_EQ(dialogs_.Requests()[0].Type, TMsgDlgType::mtCustom);
    EXPECT_EQ(dialogs_.Requests()[0].Text, "ChassixPortal: Chassix stand-in failure in ChassixStop");
    // The steps after the failure are skipped: the library is still there.
    EXPECT_NE(ChassixLibHandle(), nullptr);
    EXPECT_THAT(ResolvedEntries(), Not(testing::Contains(false)));

    MakeThrow("");
    UnloadEngine(dialogs_);
    EXPECT_EQ(ChassixLibHandle(), nullptr);
    EXPECT_EQ(dialogs_.Requests().size(), 1U);
    EXPECT_THAT(Journal(), ElementsAre("ChassixStart -> 0",
                                       "ChassixStop -> throw Chassix stand-in failure in ChassixStop",
                                       "ChassixStop -> 0"));
}

TEST_F(ChassixPortalTest, OnlyOneEngineAtATime)
{
    const std::string folder = InstallEngine();
    LoadEngineFromFolder(folder);
    EXPECT_EQ(ErrorOf([&] { LoadEngineFromFolder(folder); }), "ChassixPortal: engine already loaded");
    EXPECT_EQ(ChassixGetMinVinSizePermitted(), 10);
    UnloadEngine(dialogs_);
    EXPECT_THAT(Journal(),
                ElementsAre("ChassixStart -> 0", "ChassixGetMinVinSizePermitted -> 10", "ChassixStop -> 0"));
}

class ChassixPortalVariantTest : public ChassixPortalTest,
                                 public ::testing::WithParamInterface<std::size_t> {};

TEST_P(ChassixPortalVariantTest, AMissingEntryPointStopsTheLoadThere)
{
    const std::size_t missing = GetParam();
    const std::string folder = fs::path(kChassixVariantPaths[missing]).parent_path().string();
    EXPECT_EQ(ErrorOf([&] { LoadEngineFromFolder(folder); }), "ChassixPortal: Routine not valid.");

    // The library stays loaded with the entries before the missing one, and nothing is started.
    EXPECT_NE(ChassixLibHandle(), nullptr);
    EXPECT_FALSE(ChassixEngineStarted());
    const std::vector<bool> resolved = ResolvedEntries();
    for (std::size_t i = 0; i < resolved.size(); ++i)
        EXPECT_EQ(resolved[i], i < missing) << ChassixEntryPointNames[i];

    UnloadEngine(dialogs_);
    EXPECT_EQ(ChassixLibHandle(), nullptr);
    EXPECT_THAT(ResolvedEntries(), Not(testing::Contains(true)));
    EXPECT_THAT(Journal(), IsEmpty()); // neither ChassixStart nor ChassixStop
    EXPECT_THAT(dialogs_.Requests(), IsEmpty());
}

// Named after the entry point lacking, without the prefix all of them share.
INSTANTIATE_TEST_SUITE_P(
    Lacking, ChassixPortalVariantTest,
    ::testing::Range(std::size_t(0), std::size_t(CHASSIX_ENTRY_POINT_COUNT)),
    [](const ::testing::TestParamInfo<std::size_t>& row) {
        return std::string(ChassixEntryPointNames[row.param]).substr(sizeof "Chassix" - 1);
    });

// --- the engine's calls -----------------------------------------------------------------------------------

// Every typed call, with arguments that make sense to the stand-in.
struct EngineCall {
    const char* Entry;
    std::function<void()> Call;
};

std::vector<EngineCall> EngineCalls(TVinRecord& record, const TChassixMakeEntry& make, TStringList& list)
{
    return {
        {"ChassixGetEarliestSymbolYearAvailable", [] { ChassixGetEarliestSymbolYearAvailable(); }},
        {"ChassixGetMinVinSizePermitted", [] { ChassixGetMinVinSizePermitted(); }},
        {"ChassixSetSuppressMessages", [] { ChassixSetSuppressMessages(1); }},
        {"ChassixGetRecordByVIN", [&] { ChassixGetRecordByVIN(record); }},
        {"ChassixLoadFromCurrentRecord", [&] { ChassixLoadFromCurrentRecord(record); }},
        {"ChassixGetListOfMakes", [&] { ChassixGetListOfMakes(list); }},
        {"ChassixGetListOfModels", [&] { ChassixGetListOfModels(list, make, "2010"); }},
        {"ChassixGetDifferenceFields", [] { ChassixGetDifferenceFields("ARVELO", "2010", "TESSOR"); }},
        {"ChassixGetFirstSubModel", [] { ChassixGetFirstSubModel("ARVELO", "2010", "TESSOR"); }},
        {"ChassixGetNextSubModel", [] { ChassixGetNextSubModel(); }},
        {"ChassixGetEndOfModel", [] { ChassixGetEndOfModel(); }},
        {"ChassixGetModelVIN", [] { ChassixGetModelVIN("ARVELO", "2010", "QUILLON"); }},
        {"ChassixGetFieldValue", [] { ChassixGetFieldValue(15); }},
        {"ChassixGetRecordEffective", [] { ChassixGetRecordEffective(kToday); }},
        {"ChassixGetFirstVIN", [] { ChassixGetFirstVIN("2BMMR55X1C"); }},
        {"ChassixGetEndOfVIN", [] { ChassixGetEndOfVIN(); }},
        {"ChassixGetNextVIN", [] { ChassixGetNextVIN(); }},
        {"ChassixGetDifferenceFieldsVIN", [] { ChassixGetDifferenceFieldsVIN("2BMMR55X1C"); }},
    };
}

TEST_F(ChassixPortalTest, AnErrorOfTheEngineReachesTheCallerWithItsMessage)
{
    LoadEngineFromFolder(InstallEngine());
    TStringList makes(true);
    ChassixGetListOfMakes(makes);
    const auto& arvelo = dynamic_cast<const TChassixMakeEntry&>(*makes.Objects(1));
    TVinRecord record;
    FillDistinct(record, 1);
    TStringList list(true);

    for (const EngineCall& call : EngineCalls(record, arvelo, list)) {
        SCOPED_TRACE(call.Entry);
        MakeThrow(call.Entry);
        EXPECT_EQ(ErrorOf(call.Call), std::string("Chassix stand-in failure in ") + call.Entry);
        MakeThrow("");
        EXPECT_EQ(ErrorOf(call.Call), "(no error)");
        list.Clear();
    }
    // A call that failed changed nothing.
    MakeThrow("ChassixGetRecordByVIN");
    TVinRecord before;
    FillDistinct(before, 2);
    FillDistinct(record, 2);
    record.VIN = before.VIN = "1AVQL14S1A";
    EXPECT_THROW(ChassixGetRecordByVIN(record), Exception);
    ExpectAllFieldsEqual(record, before);
}

TEST_F(ChassixPortalTest, NoCallReachesAnEngineThatIsNotLoaded)
{
    TVinRecord record;
    record.Clear();
    TChassixMakeEntry noMake(nullptr);
    TStringList list(true);
    for (const EngineCall& call : EngineCalls(record, noMake, list)) {
        SCOPED_TRACE(call.Entry);
        EXPECT_EQ(ErrorOf(call.Call), "ChassixPortal: engine not loaded");
    }
}

TEST_F(ChassixPortalTest, AnEmptyKeyReachesTheEngineAsNoKey)
{
    LoadEngineFromFolder(InstallEngine());
    ChassixGetFirstSubModel("ARVELO", "2010", "");
    int count = 0;
    for (; !ChassixGetEndOfModel(); ChassixGetNextSubModel())
        ++count;
    EXPECT_EQ(count, 5);                     // every model of the make and year
    EXPECT_EQ(ChassixGetFieldValue(15), ""); // past the end: no text
    EXPECT_EQ(ChassixGetModelVIN("ARVELO", "2010", "QUILLON"), "1AVQL14S&A");
    EXPECT_THAT(Journal(),
                testing::Contains("ChassixGetFirstSubModel make=ARVELO year=2010 model=(null) -> 0"));
}

// --- list entries -----------------------------------------------------------------------------------------

TEST_F(ChassixPortalTest, EntriesOfRefusedOrIgnoredLinesAreFreedAtOnce)
{
    LoadEngineFromFolder(InstallEngine());

    // A sorted list that ignores duplicates and owns nothing: the second fill adds no line and no entry.
    TStringList sorted;
    sorted.SetSorted(true);
    ChassixGetListOfMakes(sorted);
    ChassixGetListOfMakes(sorted);
    EXPECT_THAT(sorted.ToVector(), ElementsAre("Arvelo", "Brenmoor", "Caldrix"));
    EXPECT_EQ(LiveEntries(), 3);
    for (int i = 0; i < sorted.Count(); ++i)
        delete sorted.Objects(i);
    sorted.Clear();
    EXPECT_EQ(LiveEntries(), 0);

    // A list that refuses a duplicate by raising: the error comes through the engine unchanged, and only
    // the lines taken keep an entry.
    for (const bool owning : {true, false}) {
        SCOPED_TRACE(owning);
        TStringList strict(owning);
        strict.SetSorted(true);
        strict.SetDuplicates(TDuplicates::dupError);
        strict.Add("Arvelo");
        EXPECT_THROW(ChassixGetListOfMakes(strict), EStringListError);
        EXPECT_THAT(strict.ToVector(), ElementsAre("Arvelo", "Caldrix"));
        EXPECT_EQ(LiveEntries(), 1);
        if (!owning)
            delete strict.Objects(1);
    }
    EXPECT_EQ(LiveEntries(), 0);
}

} // namespace
} // namespace carlume::test
