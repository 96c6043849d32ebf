#include "lookup/chassix_abi.h"
#include "platform/file_version.h"
#include "standins/chassix/chassix_test_control.h"
#include "tests/standins/chassix_loader.h"
#include "tests/standins/chassix_paths.h"
#include "tests/standins/chassix_record_fields.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

extern "C" {
extern const char* const kChassixAbiCNames[];
extern const size_t kChassixAbiCNameCount;
extern const size_t kChassixAbiCTableSize;
extern const size_t kChassixAbiCRecord[];
extern const size_t kChassixAbiCRecordCount;
extern const size_t kChassixAbiCEntry[];
extern const size_t kChassixAbiCList[];
}

namespace carlume::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr double kToday = 46362; // 2026-12-06

const char* const kEnvironment[] = {CHASSIX_FAKE_ENV_JOURNAL, CHASSIX_FAKE_ENV_THROW,
                                    CHASSIX_FAKE_ENV_MIN_VIN, CHASSIX_FAKE_ENV_EARLIEST_YEAR};

TEST(ChassixInterface, EntryPointsComeInTheirResolutionOrder)
{
    const std::vector<std::string> expected = {"ChassixStart",
                                               "ChassixStop",
                                               "ChassixGetDifferenceFields",
                                               "ChassixGetEarliestSymbolYearAvailable",
                                               "ChassixGetFieldValue",
                                               "ChassixGetFirstSubModel",
                                               "ChassixGetNextSubModel",
                                               "ChassixGetEndOfModel",
                                               "ChassixGetListOfMakes",
                                               "ChassixGetListOfModels",
                                               "ChassixGetModelAlwaysRatesSame",
                                               "ChassixGetModelVIN",
                                               "ChassixGetRecordByVIN",
                                               "ChassixGetRecordByYMM",
                                               "ChassixSetSuppressMessages",
                                               "ChassixGetRecordEffective",
                                               "ChassixGetFirstVIN",
                                               "ChassixGetEndOfVIN",
                                               "ChassixGetNextVIN",
                                               "ChassixGetDifferenceFieldsVIN",
                                               "ChassixLoadFromCurrentRecord",
                                               "ChassixGetMinVinSizePermitted"};
    EXPECT_EQ(ChassixEntryNames(), expected);
    EXPECT_EQ(expected.size(), std::size_t(CHASSIX_ENTRY_POINT_COUNT));
    const std::vector<std::string> fromC(kChassixAbiCNames, kChassixAbiCNames + kChassixAbiCNameCount);
    EXPECT_EQ(fromC, expected);
    EXPECT_EQ(kChassixAbiCTableSize, sizeof(ChassixTable));
    EXPECT_EQ(sizeof(ChassixTable), CHASSIX_ENTRY_POINT_COUNT * sizeof(void*));
}

TEST(ChassixInterface, CAndCppAgreeOnTheLayout)
{
    std::vector<std::size_t> record;
    std::vector<std::size_t> sizes;
#define CHASSIX_FIELD(Field)                                                                                 \
    record.push_back(offsetof(ChassixVinRecord, Field));                                                     \
    sizes.push_back(sizeof(static_cast<ChassixVinRecord*>(nullptr)->Field));
    CHASSIX_TEST_RECORD_FIELDS(CHASSIX_FIELD)
#undef CHASSIX_FIELD
    record.push_back(sizeof(ChassixVinRecord));
    EXPECT_EQ(record,
              std::vector<std::size_t>(kChassixAbiCRecord, kChassixAbiCRecord + kChassixAbiCRecordCount));
    // Natural alignment, in declaration order, without overlap.
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        EXPECT_EQ(record[i] % sizes[i], 0U) << "field " << i;
        EXPECT_LE(record[i] + sizes[i], record[i + 1]) << "field " << i;
    }
    EXPECT_THAT(std::vector<std::size_t>(kChassixAbiCEntry, kChassixAbiCEntry + 5),
                ElementsAre(offsetof(ChassixEntry, Destroy), offsetof(ChassixEntry, EngineData),
                            offsetof(ChassixEntry, Text2), offsetof(ChassixEntry, Text3),
                            sizeof(ChassixEntry)));
    EXPECT_THAT(std::vector<std::size_t>(kChassixAbiCList, kChassixAbiCList + 3),
                ElementsAre(offsetof(ChassixList, Context), offsetof(ChassixList, Add), sizeof(ChassixList)));
}

// The stand-in as the program's tests use it: loaded from the program folder, started, environment clear.
class ChassixStandIn : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kEnvironment) {
            unsetenv(name);
        }
        ASSERT_TRUE(Lib.Loaded()) << dlerror();
        ASSERT_THAT(Lib.Resolve(E), IsEmpty());
        E.ChassixStart();
    }
    void TearDown() override { E.ChassixStop(); }

    std::optional<std::string> Field(int column)
    {
        char* text = nullptr;
        E.ChassixGetFieldValue(&text, column);
        return TakeText(text);
    }

    LoadedLibrary Lib{kChassixLibraryPath};
    ChassixTable E;
};

TEST_F(ChassixStandIn, SitsInTheProgramFolderExportingOnlyItsInterface)
{
    // The engine's own C++ code stays hidden; only the C entry points and test controls are exported.
    EXPECT_EQ(Lib.Symbol("_ZN7carlume11chassix_fake9TheEngineEv"), nullptr);
    EXPECT_NE(Lib.Symbol("ChassixFakeConfigure"), nullptr);
    const fs::path path = kChassixLibraryPath;
    EXPECT_EQ(path.filename(), "libchassix.so");
    EXPECT_TRUE(fs::is_directory(path.parent_path() / "Data"));
    EXPECT_EQ(ReadFileVersionKey(path, "OriginalFilename"), "libchassix.so");
    EXPECT_EQ(ReadFileVersionKey(path, "FileVersion"), CARLUME_EXPECTED_VERSION);
    EXPECT_EQ(ReadFileVersionKey(path, "FileDescription"), "Carlume stand-in vehicle-symbol engine");
}

TEST_F(ChassixStandIn, DataFollowsItsRules)
{
    // Reach every vehicle through the lists and the walks and check the rules the tests of the program
    // build on: VIN text form and year code, rated kinds, and the symbols by model year.
    EntryList makes;
    E.ChassixGetListOfMakes(&makes.List);
    std::set<std::int32_t> ids;
    std::map<std::string, int> subModels;
    for (const EntryList::Line& make : makes.Lines) {
        for (int year = E.ChassixGetEarliestSymbolYearAvailable(); year <= 2013; ++year) {
            const std::string yearText = std::to_string(year);
            EntryList models;
            E.ChassixGetListOfModels(&models.List, make.Entry, yearText.c_str());
            for (const EntryList::Line& model : models.Lines) {
                std::vector<std::string> vins;
                for (E.ChassixGetFirstSubModel(make.Entry->Text2, yearText.c_str(), model.Entry->Text3);
                     !E.ChassixGetEndOfModel(); E.ChassixGetNextSubModel()) {
                    vins.push_back(Field(15).value_or(""));
                }
                subModels[model.Text] = int(vins.size());
                for (const std::string& vin : vins) {
                    ASSERT_EQ(vin.size(), 10U);
                    EXPECT_EQ(vin[8], '&');
                    EXPECT_EQ(vin[9], char('A' + (year - 2010))) << vin;
                    for (E.ChassixGetFirstVIN(vin.c_str()); !E.ChassixGetEndOfVIN(); E.ChassixGetNextVIN()) {
                        OwnedRecord r;
                        E.ChassixLoadFromCurrentRecord(&r.R);
                        ids.insert(r.R.AuxValue);
                        EXPECT_EQ(r.R.ModelYear, year);
                        EXPECT_EQ(OwnedRecord::Get(r.R.Make), make.Text);
                        EXPECT_EQ(OwnedRecord::Get(r.R.AuxText), "fake:" + std::to_string(r.R.AuxValue));
                        if (r.R.RecordKind == 2) {
                            EXPECT_EQ(r.R.Symbol + r.R.CompSymbol + r.R.CollSymbol, 0) << vin;
                        } else if (year < 2011) {
                            EXPECT_EQ(r.R.RecordKind, 1) << vin;
                            EXPECT_GT(r.R.Symbol, 0) << vin;
                            EXPECT_EQ(r.R.CompSymbol, 0) << vin;
                            EXPECT_EQ(r.R.CollSymbol, 0) << vin;
                        } else {
                            EXPECT_EQ(r.R.RecordKind, 3) << vin;
                            EXPECT_EQ(r.R.Symbol, 0) << vin;
                            EXPECT_GT(r.R.CompSymbol, 0) << vin;
                            EXPECT_GT(r.R.CollSymbol, 0) << vin;
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(ids, (std::set<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(subModels, (std::map<std::string, int>{{"Quillon", 1},
                                                     {"Tessor", 4},
                                                     {"Halvard", 1},
                                                     {"Morrow", 3},
                                                     {"Ostrel R&S", 1},
                                                     {"Vantle", 0},
                                                     {"Kestrane", 1}}));
}

TEST_F(ChassixStandIn, RefusesEntriesItDidNotHandOutAsMakes)
{
    // A program passing the wrong entry is caught by its tests.
    EntryList models;
    char key[] = "ARVELO";
    ChassixEntry foreign{nullptr, nullptr, key, nullptr};
    EXPECT_THROW(E.ChassixGetListOfModels(&models.List, &foreign, "2010"), std::invalid_argument);
    EntryList makes;
    E.ChassixGetListOfMakes(&makes.List);
    E.ChassixGetListOfModels(&models.List, makes.Lines.at(1).Entry, "2010");
    ASSERT_FALSE(models.Lines.empty());
    EXPECT_THROW(E.ChassixGetListOfModels(&models.List, models.Lines.front().Entry, "2010"),
                 std::invalid_argument);
}

/// One call of every entry point but Start and Stop, with harmless arguments.
std::vector<std::pair<std::string, std::function<void()>>> OtherCalls(const ChassixTable& e,
                                                                      OwnedRecord& record, EntryList& list)
{
    record.Set(&ChassixVinRecord::VIN, "1AVQL14S1A");
    record.R.Effective = kToday;
    record.R.LookupMode = 1;
    return {
        {"ChassixGetDifferenceFields", [&] { e.ChassixGetDifferenceFields("ARVELO", "2010", "TESSOR"); }},
        {"ChassixGetEarliestSymbolYearAvailable", [&] { e.ChassixGetEarliestSymbolYearAvailable(); }},
        {"ChassixGetFieldValue",
         [&] {
             char* text = nullptr;
             e.ChassixGetFieldValue(&text, 0);
             std::free(text);
         }},
        {"ChassixGetFirstSubModel", [&] { e.ChassixGetFirstSubModel("ARVELO", "2010", "TESSOR"); }},
        {"ChassixGetNextSubModel", [&] { e.ChassixGetNextSubModel(); }},
        {"ChassixGetEndOfModel", [&] { e.ChassixGetEndOfModel(); }},
        {"ChassixGetListOfMakes", [&] { e.ChassixGetListOfMakes(&list.List); }},
        {"ChassixGetListOfModels", [&] { e.ChassixGetListOfModels(&list.List, nullptr, "2010"); }},
        {"ChassixGetModelAlwaysRatesSame",
         [&] { e.ChassixGetModelAlwaysRatesSame("ARVELO", "2010", "TESSOR"); }},
        {"ChassixGetModelVIN",
         [&] {
             char* text = nullptr;
             e.ChassixGetModelVIN(&text, "ARVELO", "2010", "QUILLON");
             std::free(text);
         }},
        {"ChassixGetRecordByVIN", [&] { e.ChassixGetRecordByVIN(&record.R); }},
        {"ChassixGetRecordByYMM", [&] { e.ChassixGetRecordByYMM(&record.R); }},
        {"ChassixSetSuppressMessages", [&] { e.ChassixSetSuppressMessages(1); }},
        {"ChassixGetRecordEffective", [&] { e.ChassixGetRecordEffective(kToday); }},
        {"ChassixGetFirstVIN", [&] { e.ChassixGetFirstVIN("1AVQL14S1A"); }},
        {"ChassixGetEndOfVIN", [&] { e.ChassixGetEndOfVIN(); }},
        {"ChassixGetNextVIN", [&] { e.ChassixGetNextVIN(); }},
        {"ChassixGetDifferenceFieldsVIN", [&] { e.ChassixGetDifferenceFieldsVIN("1AVQL14S1A"); }},
        {"ChassixLoadFromCurrentRecord", [&] { e.ChassixLoadFromCurrentRecord(&record.R); }},
        {"ChassixGetMinVinSizePermitted", [&] { e.ChassixGetMinVinSizePermitted(); }},
    };
}

TEST_F(ChassixStandIn, EveryCallOutsideStartAndStopThrows)
{
    OwnedRecord record;
    EntryList list;
    const auto calls = OtherCalls(E, record, list);
    std::vector<std::string> names = {"ChassixStart", "ChassixStop"};
    for (const auto& call : calls) {
        names.push_back(call.first);
    }
    EXPECT_EQ(names, ChassixEntryNames()) << "the table below covers every entry point once";

    // A program calling a stopped engine is caught by its tests.
    E.ChassixStop();
    for (const auto& [name, call] : calls) {
        try {
            call();
            ADD_FAILURE() << name << " ran on a stopped engine";
        } catch (const std::logic_error& e) {
            EXPECT_STREQ(e.what(), "Chassix stand-in: engine not started") << name;
        }
    }
    EXPECT_TRUE(list.Lines.empty());
    E.ChassixStart();
}

} // namespace
} // namespace carlume::test
