#include "lookup/chassix_abi.h"
#include "platform/file_version.h"
#include "standins/chassix/chassix_test_control.h"
#include "tests/standins/chassix_loader.h"
#include "tests/standins/chassix_paths.h"
#include "tests/standins/chassix_record_fields.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
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
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

// Day serials (days since 1899-12-30).
constexpr double k1950 = 18264;          // 1950-01-01, the original-symbol date
constexpr double kToday = 46362;         // 2026-12-06
constexpr double k2014 = 41791;          // 2014-06-01
constexpr double kSymbolChange = 40544;  // 2011-01-01, Quillon's new symbol
constexpr double kGtLastDay = 42369;     // 2015-12-31, last day of the Tessor GT
constexpr double kWagonFirstDay = 39995; // 2009-07-01, first day of the Tessor LX wagon

const char* const kEnvironment[] = {CHASSIX_FAKE_ENV_JOURNAL, CHASSIX_FAKE_ENV_THROW,
                                    CHASSIX_FAKE_ENV_MIN_VIN, CHASSIX_FAKE_ENV_EARLIEST_YEAR};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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

class ChassixStandIn : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kEnvironment) {
            unsetenv(name);
        }
        ASSERT_NO_FATAL_FAILURE(Reopen());
        E.ChassixStart();
    }

    void TearDown() override
    {
        Unload();
        for (const char* name : kEnvironment) {
            unsetenv(name);
        }
    }

    void Unload()
    {
        if (Lib && E.ChassixStop) {
            try {
                E.ChassixStop();
            } catch (const std::exception&) {
                // a test told Stop to throw
            }
        }
        Lib.reset();
        E = {};
        C = {};
    }

    /// Unloads the engine and loads it afresh, not started: the environment is read again.
    void Reopen()
    {
        Unload();
        Lib = std::make_unique<LoadedLibrary>(kChassixLibraryPath);
        ASSERT_TRUE(Lib->Loaded()) << dlerror();
        ASSERT_THAT(Lib->Resolve(E), IsEmpty());
        ASSERT_THAT(Lib->Resolve(C), IsEmpty());
    }

    std::string Journal() { return TakeText(C.ChassixFakeJournalText()).value_or("<no journal>"); }

    std::optional<std::string> Field(int column)
    {
        char* text = nullptr;
        E.ChassixGetFieldValue(&text, column);
        return TakeText(text);
    }

    /// The VIN texts of a sub-model walk, with each item's validity at a date.
    std::vector<std::pair<std::string, bool>> SubModelWalk(const char* make, const char* year,
                                                           const char* model, double date)
    {
        std::vector<std::pair<std::string, bool>> items;
        E.ChassixGetFirstSubModel(make, year, model);
        for (int guard = 0; !E.ChassixGetEndOfModel() && guard < 100; ++guard) {
            items.emplace_back(Field(15).value_or("<null>"), E.ChassixGetRecordEffective(date) != 0);
            E.ChassixGetNextSubModel();
        }
        return items;
    }

    /// The make entry of a key from a fresh make list held by `makes`.
    ChassixEntry* MakeEntry(EntryList& makes, const std::string& key)
    {
        makes.Clear();
        E.ChassixGetListOfMakes(&makes.List);
        for (const EntryList::Line& line : makes.Lines) {
            if (line.Entry->Text2 && key == line.Entry->Text2) {
                return line.Entry;
            }
        }
        return nullptr;
    }

    std::unique_ptr<LoadedLibrary> Lib;
    ChassixTable E;
    ChassixControls C;
};

// ---- the library as a file ----

TEST_F(ChassixStandIn, ExportsOnlyItsInterface)
{
    // The engine's own C++ code stays hidden; only the C entry points and test controls are exported.
    EXPECT_EQ(Lib->Symbol("_ZN7carlume11chassix_fake9TheEngineEv"), nullptr);
    EXPECT_NE(Lib->Symbol("ChassixFakeConfigure"), nullptr);
}

TEST_F(ChassixStandIn, SitsInTheProgramFolderWithItsVersionNote)
{
    const fs::path path = kChassixLibraryPath;
    EXPECT_EQ(path.filename(), "libchassix.so");
    EXPECT_TRUE(fs::is_directory(path.parent_path() / "Data"));
    EXPECT_EQ(ReadFileVersionKey(path, "OriginalFilename"), "libchassix.so");
    EXPECT_EQ(ReadFileVersionKey(path, "FileVersion"), CARLUME_EXPECTED_VERSION);
    EXPECT_EQ(ReadFileVersionKey(path, "FileDescription"), "Carlume stand-in vehicle-symbol engine");
}

TEST_F(ChassixStandIn, UnloadingForgetsAllState)
{
    E.ChassixGetMinVinSizePermitted();
    EXPECT_THAT(Journal(), HasSubstr("ChassixGetMinVinSizePermitted -> 10"));
    ASSERT_NO_FATAL_FAILURE(Reopen());
    // A fresh image: empty journal, engine not started.
    EXPECT_EQ(Journal(), "");
    EXPECT_THROW(E.ChassixGetMinVinSizePermitted(), std::logic_error);
}

// ---- constants and settings ----

TEST_F(ChassixStandIn, ConstantsAndTheirOverrides)
{
    EXPECT_EQ(E.ChassixGetEarliestSymbolYearAvailable(), 2009);
    EXPECT_EQ(E.ChassixGetMinVinSizePermitted(), 10);

    EXPECT_EQ(C.ChassixFakeConfigure("min_vin", "12"), 1);
    EXPECT_EQ(C.ChassixFakeConfigure("earliest_year", "2005"), 1);
    EXPECT_EQ(E.ChassixGetMinVinSizePermitted(), 12);
    EXPECT_EQ(E.ChassixGetEarliestSymbolYearAvailable(), 2005);

    // Bad numbers and unknown keys change nothing.
    EXPECT_EQ(C.ChassixFakeConfigure("min_vin", "abc"), 0);
    EXPECT_EQ(C.ChassixFakeConfigure("min_vin", "12x"), 0);
    EXPECT_EQ(C.ChassixFakeConfigure("min_vin", nullptr), 0);
    EXPECT_EQ(C.ChassixFakeConfigure("no_such_key", "1"), 0);
    EXPECT_EQ(C.ChassixFakeConfigure(nullptr, "1"), 0);
    EXPECT_EQ(E.ChassixGetMinVinSizePermitted(), 12);

    C.ChassixFakeReset();
    EXPECT_EQ(E.ChassixGetMinVinSizePermitted(), 10);
    EXPECT_EQ(E.ChassixGetEarliestSymbolYearAvailable(), 2009);
}

TEST_F(ChassixStandIn, EnvironmentIsReadWhenLoaded)
{
    setenv(CHASSIX_FAKE_ENV_MIN_VIN, "7", 1);
    setenv(CHASSIX_FAKE_ENV_EARLIEST_YEAR, "2008", 1);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    E.ChassixStart();
    EXPECT_EQ(E.ChassixGetMinVinSizePermitted(), 7);
    EXPECT_EQ(E.ChassixGetEarliestSymbolYearAvailable(), 2008);
    // Reset goes back to the environment, not to the defaults.
    C.ChassixFakeConfigure("min_vin", "15");
    C.ChassixFakeReset();
    EXPECT_EQ(E.ChassixGetMinVinSizePermitted(), 7);
}

// ---- lists ----

TEST_F(ChassixStandIn, MakesComeUnsortedWithTheirKeys)
{
    EntryList makes;
    E.ChassixGetListOfMakes(&makes.List);
    EXPECT_THAT(makes.Texts(), ElementsAre("Caldrix", "Arvelo", "Brenmoor"));
    std::vector<std::string> keys;
    for (const EntryList::Line& line : makes.Lines) {
        ASSERT_NE(line.Entry, nullptr);
        ASSERT_NE(line.Entry->Text2, nullptr);
        EXPECT_EQ(line.Entry->Text3, nullptr);
        EXPECT_NE(line.Entry->Destroy, nullptr);
        keys.emplace_back(line.Entry->Text2);
    }
    EXPECT_THAT(keys, ElementsAre("CALDRIX", "ARVELO", "BRENMOOR"));
    EXPECT_EQ(C.ChassixFakeLiveEntries(), 3);
    makes.Clear();
    EXPECT_EQ(C.ChassixFakeLiveEntries(), 0);
}

struct ModelCase {
    const char* Name;
    const char* MakeKey;
    const char* Year;
    std::vector<std::string> Texts;
    std::vector<std::string> Keys;
};

class ChassixModelList : public ChassixStandIn, public ::testing::WithParamInterface<ModelCase> {};

TEST_P(ChassixModelList, ModelsOfAMakeAndYear)
{
    const ModelCase& c = GetParam();
    EntryList makes;
    ChassixEntry* make = MakeEntry(makes, c.MakeKey);
    ASSERT_NE(make, nullptr);
    EntryList models;
    E.ChassixGetListOfModels(&models.List, make, c.Year);
    EXPECT_EQ(models.Texts(), c.Texts);
    std::vector<std::string> keys;
    for (const EntryList::Line& line : models.Lines) {
        EXPECT_EQ(line.Entry->Text2, nullptr) << "the VIN text is the program's to write";
        keys.emplace_back(line.Entry->Text3 ? line.Entry->Text3 : "<null>");
    }
    EXPECT_EQ(keys, c.Keys);
    EXPECT_EQ(C.ChassixFakeLiveEntries(), int(3 + c.Texts.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Data, ChassixModelList,
    ::testing::Values(ModelCase{"Arvelo2010", "ARVELO", "2010", {"Tessor", "Quillon"}, {"TESSOR", "QUILLON"}},
                      ModelCase{"Brenmoor2011", "BRENMOOR", "2011", {"Halvard"}, {"HALVARD"}},
                      ModelCase{"Brenmoor2012", "BRENMOOR", "2012", {"Morrow"}, {"MORROW"}},
                      ModelCase{"Caldrix2012",
                                "CALDRIX",
                                "2012",
                                {"Ostrel R&S", "Vantle", "Kestrane"},
                                {"OSTREL", "VANTLE", "KESTRANE"}},
                      ModelCase{"EarliestYearIsEmpty", "ARVELO", "2009", {}, {}},
                      ModelCase{"OtherMakesYear", "CALDRIX", "2010", {}, {}},
                      ModelCase{"YearNotANumber", "ARVELO", "20x0", {}, {}},
                      ModelCase{"YearWithBlank", "ARVELO", " 2010", {}, {}},
                      ModelCase{"YearEmpty", "ARVELO", "", {}, {}},
                      ModelCase{"YearNull", "ARVELO", nullptr, {}, {}}),
    [](const ::testing::TestParamInfo<ModelCase>& row) { return std::string(row.param.Name); });

TEST_F(ChassixStandIn, ModelListChecksItsMakeEntry)
{
    EntryList models;
    E.ChassixGetListOfModels(&models.List, nullptr, "2010");
    EXPECT_THAT(models.Lines, IsEmpty());

    // An object the engine never handed out, or a model entry, is refused before it is read.
    char key[] = "ARVELO";
    ChassixEntry foreign{nullptr, nullptr, key, nullptr};
    EXPECT_THROW(E.ChassixGetListOfModels(&models.List, &foreign, "2010"), std::invalid_argument);
    EntryList makes;
    E.ChassixGetListOfModels(&models.List, MakeEntry(makes, "ARVELO"), "2010");
    ASSERT_FALSE(models.Lines.empty());
    EXPECT_THROW(E.ChassixGetListOfModels(&models.List, models.Lines.front().Entry, "2010"),
                 std::invalid_argument);
    EXPECT_THROW(E.ChassixGetListOfMakes(nullptr), std::invalid_argument);
    EXPECT_THAT(Journal(), HasSubstr("ChassixGetListOfModels -> throw Chassix stand-in: not a make entry"));
}

TEST_F(ChassixStandIn, ModelEntryTakesTheProgramsVinText)
{
    EntryList makes;
    EntryList models;
    E.ChassixGetListOfModels(&models.List, MakeEntry(makes, "ARVELO"), "2010");
    ASSERT_EQ(models.Lines.size(), 2U);
    ChassixEntry* tessor = models.Lines.front().Entry;
    tessor->Text2 = strdup("1AVTS22L&A");
    std::free(tessor->Text2);
    tessor->Text2 = strdup("1AVTS22W&A");
    // Destroy releases the text the program stored; the leak checker would see it otherwise.
    models.Clear();
    makes.Clear();
    EXPECT_EQ(C.ChassixFakeLiveEntries(), 0);
}

TEST_F(ChassixStandIn, StopNotesEntriesStillAlive)
{
    EntryList makes;
    E.ChassixGetListOfMakes(&makes.List);
    E.ChassixStop();
    EXPECT_THAT(Lines(Journal()), ElementsAre("ChassixStart -> 0", "ChassixGetListOfMakes -> 0",
                                              "LEAK 3 entries", "ChassixStop -> 0"));
    // Entries may still be destroyed after the stop, as long as the library is loaded.
    makes.Clear();
    EXPECT_EQ(C.ChassixFakeLiveEntries(), 0);
}

TEST_F(ChassixStandIn, DestroyingAnEntryTwiceAborts)
{
    EntryList makes;
    E.ChassixGetListOfMakes(&makes.List);
    ChassixEntry* entry = makes.Lines.back().Entry;
    makes.Lines.pop_back();
    const auto destroy = entry->Destroy;
    destroy(entry);
    // The engine looks the pointer up before it touches the memory behind it.
    EXPECT_DEATH(destroy(entry), "Destroy of an entry that is not alive");
    ChassixEntry foreign{};
    EXPECT_DEATH(destroy(&foreign), "Destroy of an entry that is not alive");
}

// ---- records by VIN ----

struct VinCase {
    const char* Name;
    const char* Vin;
    std::int32_t Mode;
    double Effective;
    std::int32_t Id; // 0: not found
    std::int32_t Symbol;
};

class ChassixRecordByVin : public ChassixStandIn, public ::testing::WithParamInterface<VinCase> {};

TEST_P(ChassixRecordByVin, FindsTheRatedVehicleValidAtTheDate)
{
    const VinCase& c = GetParam();
    OwnedRecord record;
    record.Set(&ChassixVinRecord::VIN, c.Vin);
    record.R.LookupMode = c.Mode;
    record.R.Effective = c.Effective;
    record.R.AuxValue = -1;
    const std::uint8_t found = E.ChassixGetRecordByVIN(&record.R);
    EXPECT_EQ(found != 0, c.Id != 0);
    if (c.Id != 0) {
        EXPECT_EQ(record.R.AuxValue, c.Id);
        EXPECT_GT(record.R.ModelYear, 0);
        EXPECT_EQ(record.R.Symbol, c.Symbol);
        EXPECT_TRUE(record.R.RecordKind == 1 || record.R.RecordKind == 3) << record.R.RecordKind;
    } else {
        // Not found: the record is left as it was.
        EXPECT_EQ(record.R.AuxValue, -1);
        EXPECT_EQ(record.R.ModelYear, 0);
        EXPECT_EQ(record.R.Make, nullptr);
    }
    // The caller's fields are never written.
    EXPECT_EQ(OwnedRecord::Get(record.R.VIN), c.Vin);
    EXPECT_EQ(record.R.LookupMode, c.Mode);
    if (std::isnan(c.Effective)) {
        EXPECT_TRUE(std::isnan(record.R.Effective));
    } else {
        EXPECT_EQ(record.R.Effective, c.Effective);
    }
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Data, ChassixRecordByVin,
    ::testing::Values(VinCase{"QuillonToday", "1AVQL14S1A", 1, kToday, 1, 11},
                      VinCase{"QuillonLowerCase", "1avql14s1a", 1, kToday, 1, 11},
                      VinCase{"QuillonFullLength", "1AVQL14S1A1234567", 1, kToday, 1, 11},
                      VinCase{"QuillonAnyCheckDigit", "1AVQL14SXA", 1, kToday, 1, 11},
                      VinCase{"QuillonTooShort", "1AVQL14S1", 1, kToday, 0, 0},
                      VinCase{"QuillonOtherYearCode", "1AVQL14S1B", 1, kToday, 0, 0},
                      VinCase{"QuillonOriginalSymbol", "1AVQL14S1A", 1, k1950, 1, 9},
                      VinCase{"QuillonEveningBeforeChange", "1AVQL14S1A", 1, kSymbolChange - 0.25, 1, 9},
                      VinCase{"QuillonOnChangeDay", "1AVQL14S1A", 1, kSymbolChange, 1, 11},
                      VinCase{"QuillonMode3", "1AVQL14S1A", 3, kToday, 1, 11},
                      VinCase{"HalvardFirstTry", "2BMHV44U1B", 1, kToday, 0, 0},
                      VinCase{"HalvardSecondTry", "2BMHV44U1B", 3, kToday, 6, 0},
                      VinCase{"MorrowFirstTry", "2BMMR55X1C", 1, kToday, 0, 0},
                      VinCase{"MorrowSecondTryTakesTheFirst", "2BMMR55X1C", 3, kToday, 7, 0},
                      VinCase{"TessorGtToday", "1AVTS26G1A", 1, kToday, 0, 0},
                      VinCase{"TessorGt2014", "1AVTS26G1A", 1, k2014, 4, 18},
                      VinCase{"TessorGtLastDayEvening", "1AVTS26G1A", 1, kGtLastDay + 0.9, 4, 18},
                      VinCase{"TessorGtDayAfter", "1AVTS26G1A", 1, kGtLastDay + 1, 0, 0},
                      VinCase{"WagonOriginalSymbolDate", "1AVTS22W1A", 1, k1950, 0, 0},
                      VinCase{"WagonFirstDay", "1AVTS22W1A", 1, kWagonFirstDay, 5, 15},
                      VinCase{"WagonDayBefore", "1AVTS22W1A", 1, kWagonFirstDay - 0.1, 0, 0},
                      VinCase{"TessorLxTakesTheFirst", "1AVTS22L1A", 1, kToday, 2, 14},
                      VinCase{"KestraneNewRecordMode", "3CXKS44P1C", 0, kToday, 10, 0},
                      VinCase{"Unknown", "9ZZZZ99Z1Z", 3, kToday, 0, 0},
                      VinCase{"Empty", "", 3, kToday, 0, 0},
                      VinCase{"DateNotANumber", "1AVQL14S1A", 1, kNaN, 0, 0}),
    [](const ::testing::TestParamInfo<VinCase>& row) { return std::string(row.param.Name); });

TEST_F(ChassixStandIn, RecordByVinFillsEveryField)
{
    OwnedRecord record;
    // Old texts everywhere: each must be freed or kept, never leaked (the leak checker watches).
    for (auto text : OwnedRecord::kTexts) {
        record.Set(text, "old");
    }
    record.Set(&ChassixVinRecord::VIN, "1AVQL14S1A");
    record.R.Effective = kToday;
    record.R.LookupMode = 1;
    record.R.Symbol = record.R.CompSymbol = record.R.CollSymbol = -5;
    record.R.HighTheft = 7;
    ASSERT_EQ(E.ChassixGetRecordByVIN(&record.R), 1);

    const ChassixVinRecord& r = record.R;
    EXPECT_EQ(r.StructSize, sizeof(ChassixVinRecord));
    EXPECT_EQ(r.FWD, 1);
    EXPECT_EQ(r.Cylinders, 4);
    EXPECT_STREQ(r.VIN, "1AVQL14S1A");
    EXPECT_EQ(r.OtherInfo, nullptr);
    EXPECT_STREQ(r.TransmissionInfo, "Automatic");
    EXPECT_STREQ(r.BodyInfo, "Sedan 4 Door");
    EXPECT_STREQ(r.RestraintInfo, "Dual front airbags");
    EXPECT_STREQ(r.Make, "Arvelo");
    EXPECT_STREQ(r.Model, "Quillon");
    EXPECT_STREQ(r.EngineInfo, "2.0L I4");
    EXPECT_STREQ(r.ModelInfo, "4D Sedan");
    EXPECT_STREQ(r.Body, "4D SED");
    EXPECT_EQ(r.Effective, kToday);
    EXPECT_EQ(r.PassiveRestraints, 0x03);
    EXPECT_EQ(r.SpecialEngineType, 4);
    EXPECT_EQ(r.AuxSet, 1);
    EXPECT_EQ(r.Performance, 0);
    EXPECT_EQ(r.Symbol, 11);
    EXPECT_STREQ(r.VehicleClass, "  Compact  ");
    EXPECT_EQ(r.AntiTheft, 0x0005);
    EXPECT_EQ(r.DaytimeRunningLamps, 2);
    EXPECT_EQ(r.ABS, 1);
    EXPECT_EQ(r.NonVSRSymbol, 11);
    EXPECT_EQ(r.ModelYear, 2010);
    EXPECT_EQ(r.LookupMode, 1);
    EXPECT_STREQ(r.AuxText, "fake:1");
    EXPECT_EQ(r.HighTheft, 0);
    EXPECT_EQ(r.StateExceptions, nullptr);
    EXPECT_EQ(r.CompSymbol, 0);
    EXPECT_EQ(r.CollSymbol, 0);
    EXPECT_EQ(r.PriceSymbol, 5);
    EXPECT_EQ(r.AuxValue, 1);
    EXPECT_EQ(r.RecordKind, 1);
}

TEST_F(ChassixStandIn, NewerAndUnusualVehiclesCarryTheirCodes)
{
    OwnedRecord halvard;
    halvard.Set(&ChassixVinRecord::VIN, "2BMHV44U7B");
    halvard.R.LookupMode = 3;
    halvard.R.Effective = kToday;
    ASSERT_EQ(E.ChassixGetRecordByVIN(&halvard.R), 1);
    EXPECT_EQ(halvard.R.ModelYear, 2011);
    EXPECT_EQ(halvard.R.Symbol, 0);
    EXPECT_EQ(halvard.R.CompSymbol, 21);
    EXPECT_EQ(halvard.R.CollSymbol, 17);
    EXPECT_EQ(halvard.R.PriceSymbol, 9);
    EXPECT_EQ(halvard.R.HighTheft, 1);
    EXPECT_EQ(halvard.R.AntiTheft, (1 << 1) | (1 << 3) | (1 << 4));
    EXPECT_EQ(halvard.R.PassiveRestraints, 0x3F);
    EXPECT_STREQ(halvard.R.StateExceptions, "NJ NY");
    EXPECT_STREQ(halvard.R.Make, "Brenmoor");
    EXPECT_EQ(halvard.R.RecordKind, 3);

    OwnedRecord kestrane;
    kestrane.Set(&ChassixVinRecord::VIN, "3CXKS44P2C");
    kestrane.R.LookupMode = 3;
    kestrane.R.Effective = kToday;
    ASSERT_EQ(E.ChassixGetRecordByVIN(&kestrane.R), 1);
    EXPECT_EQ(kestrane.R.AntiTheft, 1 << 8);
    EXPECT_EQ(kestrane.R.PassiveRestraints, 1 << 6);
    EXPECT_EQ(kestrane.R.Performance, 4);
    EXPECT_EQ(kestrane.R.ABS, 3);
    EXPECT_EQ(kestrane.R.DaytimeRunningLamps, 3);
    EXPECT_EQ(kestrane.R.SpecialEngineType, 1);
    EXPECT_STREQ(kestrane.R.Make, "Caldrix");

    OwnedRecord ostrel;
    ostrel.Set(&ChassixVinRecord::VIN, "3CXOS21C0C");
    ostrel.R.LookupMode = 3;
    ostrel.R.Effective = kToday;
    ASSERT_EQ(E.ChassixGetRecordByVIN(&ostrel.R), 1);
    EXPECT_STREQ(ostrel.R.Model, "Ostrel R&S");
}

TEST_F(ChassixStandIn, RecordCallsCheckTheRecord)
{
    EXPECT_THROW(E.ChassixGetRecordByVIN(nullptr), std::invalid_argument);
    OwnedRecord record;
    record.Set(&ChassixVinRecord::VIN, "1AVQL14S1A");
    record.R.Effective = kToday;
    record.R.LookupMode = 1;
    record.R.StructSize = 0;
    try {
        E.ChassixGetRecordByVIN(&record.R);
        ADD_FAILURE() << "a record of the wrong size was filled";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Chassix stand-in: record size 0 instead of 192");
    }
    EXPECT_EQ(record.R.ModelYear, 0);
    E.ChassixGetFirstVIN("1AVQL14S1A");
    EXPECT_THROW(E.ChassixLoadFromCurrentRecord(&record.R), std::invalid_argument);
    EXPECT_THROW(E.ChassixLoadFromCurrentRecord(nullptr), std::invalid_argument);
    EXPECT_EQ(record.R.ModelYear, 0);
}

TEST_F(ChassixStandIn, NotFoundIsToldUnlessSuppressed)
{
    OwnedRecord record;
    record.Set(&ChassixVinRecord::VIN, "9ZZZZ99Z1Z");
    record.R.Effective = kToday;
    record.R.LookupMode = 1;

    ::testing::internal::CaptureStderr();
    E.ChassixGetRecordByVIN(&record.R);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "MESSAGE: Vehicle not found for VIN 9ZZZZ99Z1Z\n");

    C.ChassixFakeReset();
    E.ChassixSetSuppressMessages(1);
    ::testing::internal::CaptureStderr();
    E.ChassixGetRecordByVIN(&record.R);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    E.ChassixSetSuppressMessages(0);
    EXPECT_THAT(Lines(Journal()), ElementsAre("ChassixSetSuppressMessages suppress=1 -> 0",
                                              "ChassixGetRecordByVIN vin=9ZZZZ99Z1Z mode=1 eff=46362 -> 0",
                                              "ChassixSetSuppressMessages suppress=0 -> 0"));
}

// ---- sub-model walk ----

TEST_F(ChassixStandIn, SubModelWalkWithValidity)
{
    using Item = std::pair<std::string, bool>;
    EXPECT_THAT(SubModelWalk("ARVELO", "2010", "TESSOR", kToday),
                ElementsAre(Item{"1AVTS22L&A", true}, Item{"1AVTS22L&A", true}, Item{"1AVTS26G&A", false},
                            Item{"1AVTS22W&A", true}));
    EXPECT_THAT(SubModelWalk("ARVELO", "2010", "TESSOR", k2014),
                ElementsAre(Item{"1AVTS22L&A", true}, Item{"1AVTS22L&A", true}, Item{"1AVTS26G&A", true},
                            Item{"1AVTS22W&A", true}));
    EXPECT_THAT(SubModelWalk("ARVELO", "2010", "TESSOR", k1950),
                ElementsAre(Item{"1AVTS22L&A", true}, Item{"1AVTS22L&A", true}, Item{"1AVTS26G&A", true},
                            Item{"1AVTS22W&A", false}));

    // The two items with one VIN text differ only in the transmission.
    E.ChassixGetFirstSubModel("ARVELO", "2010", "TESSOR");
    std::vector<std::string> transmissions;
    while (!E.ChassixGetEndOfModel()) {
        transmissions.push_back(Field(10).value_or("<null>"));
        E.ChassixGetNextSubModel();
    }
    EXPECT_THAT(transmissions, ElementsAre("Manual", "Automatic", "Manual", "Automatic"));
    // At the end the walk stays there.
    E.ChassixGetNextSubModel();
    EXPECT_EQ(E.ChassixGetEndOfModel(), 1);
    EXPECT_EQ(Field(0), std::nullopt);
    EXPECT_EQ(E.ChassixGetRecordEffective(kToday), 0);
}

TEST_F(ChassixStandIn, SubModelWalkSelection)
{
    using Item = std::pair<std::string, bool>;
    EXPECT_THAT(SubModelWalk("ARVELO", "2010", "QUILLON", kToday), ElementsAre(Item{"1AVQL14S&A", true}));
    EXPECT_THAT(SubModelWalk("CALDRIX", "2012", "VANTLE", kToday), IsEmpty());
    // No model key: every model of the make and year, in data order.
    const auto all = ElementsAre(Item{"3CXKS44P&C", true}, Item{"3CXOS21C&C", true});
    EXPECT_THAT(SubModelWalk("CALDRIX", "2012", "", kToday), all);
    EXPECT_THAT(SubModelWalk("CALDRIX", "2012", nullptr, kToday), all);
    // Keys are exact; the make text is not a key.
    EXPECT_THAT(SubModelWalk("Arvelo", "2010", "QUILLON", kToday), IsEmpty());
    EXPECT_THAT(SubModelWalk("ARVELO", "2010", "quillon", kToday), IsEmpty());
    EXPECT_THAT(SubModelWalk("ARVELO", "abc", "QUILLON", kToday), IsEmpty());
    EXPECT_THAT(SubModelWalk(nullptr, "2010", "QUILLON", kToday), IsEmpty());
    EXPECT_THAT(SubModelWalk("ARVELO", "2011", "QUILLON", kToday), IsEmpty());
}

TEST_F(ChassixStandIn, ModelVinOfTheFirstSubModel)
{
    char* vin = strdup("old text");
    E.ChassixGetModelVIN(&vin, "ARVELO", "2010", "QUILLON");
    EXPECT_EQ(OwnedRecord::Get(vin), "1AVQL14S&A");
    E.ChassixGetModelVIN(&vin, "ARVELO", "2010", "TESSOR");
    EXPECT_EQ(OwnedRecord::Get(vin), "1AVTS22L&A");
    E.ChassixGetModelVIN(&vin, "CALDRIX", "2012", "VANTLE");
    EXPECT_EQ(vin, nullptr);
    EXPECT_THROW(E.ChassixGetModelVIN(nullptr, "ARVELO", "2010", "QUILLON"), std::invalid_argument);
    // The model VIN does not disturb a running walk.
    E.ChassixGetFirstSubModel("ARVELO", "2010", "TESSOR");
    E.ChassixGetNextSubModel();
    E.ChassixGetModelVIN(&vin, "ARVELO", "2010", "QUILLON");
    EXPECT_EQ(Field(10), "Automatic");
    std::free(vin);
}

TEST_F(ChassixStandIn, FieldValuesOfTheCurrentItem)
{
    E.ChassixGetFirstSubModel("ARVELO", "2010", "QUILLON");
    std::map<int, std::optional<std::string>> fields;
    for (int column = -1; column <= 16; ++column) {
        fields[column] = Field(column);
    }
    const std::map<int, std::optional<std::string>> expected = {{-1, std::nullopt},
                                                                {0, "Quillon"},
                                                                {1, "11"},
                                                                {2, "Sedan 4 Door"},
                                                                {3, "2.0L"},
                                                                {4, "4"},
                                                                {5, "Gasoline"},
                                                                {6, "4D Sedan"},
                                                                {7, "4D SED"},
                                                                {8, "2.0L I4"},
                                                                {9, "Dual front airbags"},
                                                                {10, "Automatic"},
                                                                {11, std::nullopt},
                                                                {12, "11"},
                                                                {13, "0"},
                                                                {14, "0"},
                                                                {15, "1AVQL14S&A"},
                                                                {16, std::nullopt}};
    EXPECT_EQ(fields, expected);

    // The old text in the caller's variable is replaced (and freed).
    char* text = strdup("old text");
    E.ChassixGetFieldValue(&text, 0);
    EXPECT_EQ(TakeText(text), "Quillon");
    EXPECT_THROW(E.ChassixGetFieldValue(nullptr, 0), std::invalid_argument);

    // No walk, no item.
    ASSERT_NO_FATAL_FAILURE(Reopen());
    E.ChassixStart();
    EXPECT_EQ(Field(0), std::nullopt);
    EXPECT_EQ(E.ChassixGetRecordEffective(kToday), 0);
}

// ---- difference sets ----

TEST_F(ChassixStandIn, DifferenceSetsNameTheColumnsThatDiffer)
{
    // For every model of every make and year, and for the VIN of every vehicle, the set must be exactly
    // the columns 1-14 whose texts differ along the walk.
    auto walkSet = [&](auto first, auto atEnd, auto next) {
        std::vector<std::vector<std::optional<std::string>>> rows;
        for (first(); !atEnd(); next()) {
            std::vector<std::optional<std::string>> row;
            for (int column = 0; column < 16; ++column) {
                row.push_back(Field(column));
            }
            rows.push_back(row);
        }
        std::uint16_t set = 0;
        for (int column = 1; column <= 14; ++column) {
            for (const auto& row : rows) {
                if (row[std::size_t(column)] != rows.front()[std::size_t(column)]) {
                    set = std::uint16_t(set | (1U << column));
                }
            }
        }
        return std::make_pair(set, rows.size());
    };

    EntryList makes;
    E.ChassixGetListOfMakes(&makes.List);
    std::set<std::string> vins;
    std::size_t checked = 0;
    for (const EntryList::Line& make : makes.Lines) {
        for (int year = 2009; year <= 2013; ++year) {
            const std::string yearText = std::to_string(year);
            EntryList models;
            E.ChassixGetListOfModels(&models.List, make.Entry, yearText.c_str());
            std::vector<std::string> keys = {""};
            for (const EntryList::Line& model : models.Lines) {
                keys.emplace_back(model.Entry->Text3);
            }
            for (const std::string& key : keys) {
                const char* makeKey = make.Entry->Text2;
                const auto [set, count] = walkSet(
                    [&] { E.ChassixGetFirstSubModel(makeKey, yearText.c_str(), key.c_str()); },
                    [&] { return E.ChassixGetEndOfModel() != 0; }, [&] { E.ChassixGetNextSubModel(); });
                EXPECT_EQ(E.ChassixGetDifferenceFields(makeKey, yearText.c_str(), key.c_str()), set)
                    << makeKey << " " << yearText << " " << key;
                E.ChassixGetFirstSubModel(makeKey, yearText.c_str(), key.c_str());
                while (!E.ChassixGetEndOfModel()) {
                    vins.insert(Field(15).value_or(""));
                    E.ChassixGetNextSubModel();
                }
                checked += count;
            }
        }
    }
    EXPECT_GT(checked, 11U);
    for (const std::string& vin : vins) {
        const auto [set, count] =
            walkSet([&] { E.ChassixGetFirstVIN(vin.c_str()); }, [&] { return E.ChassixGetEndOfVIN() != 0; },
                    [&] { E.ChassixGetNextVIN(); });
        EXPECT_GE(count, 1U) << vin;
        EXPECT_EQ(E.ChassixGetDifferenceFieldsVIN(vin.c_str()), set) << vin;
    }

    // Anchors: what the choosers rely on.
    const std::uint16_t tessor = E.ChassixGetDifferenceFields("ARVELO", "2010", "TESSOR");
    EXPECT_NE(tessor & (1 << 10), 0) << "transmission";
    EXPECT_EQ(tessor & ((1 << 0) | (1 << 15)), 0) << "columns 0 and 15 are the program's";
    EXPECT_EQ(E.ChassixGetDifferenceFields("ARVELO", "2010", "QUILLON"), 0);
    const std::uint16_t morrow = E.ChassixGetDifferenceFieldsVIN("2BMMR55X1C");
    EXPECT_EQ(morrow & ((1 << 13) | (1 << 14)), (1 << 13) | (1 << 14));
    EXPECT_EQ(morrow & ((1 << 0) | (1 << 15)), 0);
    EXPECT_EQ(E.ChassixGetDifferenceFieldsVIN("9ZZZZ99Z1Z"), 0);
    EXPECT_EQ(E.ChassixGetDifferenceFields("CALDRIX", "2012", "VANTLE"), 0);
}

// ---- VIN walk ----

TEST_F(ChassixStandIn, VinWalkLoadsEveryMatch)
{
    E.ChassixGetFirstVIN("2BMMR55X1C");
    std::vector<std::string> models;
    std::vector<std::int32_t> kinds;
    std::vector<std::int32_t> ids;
    while (!E.ChassixGetEndOfVIN()) {
        OwnedRecord record;
        record.R.Effective = 12345.5;
        record.R.LookupMode = 0;
        EXPECT_EQ(E.ChassixGetRecordEffective(kToday), 1);
        E.ChassixLoadFromCurrentRecord(&record.R);
        models.push_back(OwnedRecord::Get(record.R.Model));
        kinds.push_back(record.R.RecordKind);
        ids.push_back(record.R.AuxValue);
        EXPECT_STREQ(record.R.VIN, "2BMMR55X&C");
        EXPECT_EQ(record.R.ModelYear, 2012);
        EXPECT_EQ(record.R.Effective, 12345.5);
        EXPECT_EQ(record.R.LookupMode, 0);
        E.ChassixGetNextVIN();
    }
    EXPECT_THAT(models, ElementsAre("Morrow SE", "Morrow Limited", "Morrow Chassis Cab"));
    EXPECT_THAT(kinds, ElementsAre(3, 3, 2));
    EXPECT_THAT(ids, ElementsAre(7, 8, 9));

    // Past the end the record is left alone.
    OwnedRecord record;
    E.ChassixGetNextVIN();
    E.ChassixLoadFromCurrentRecord(&record.R);
    EXPECT_EQ(record.R.ModelYear, 0);
    EXPECT_EQ(record.R.VIN, nullptr);
    EXPECT_THAT(Journal(), HasSubstr("ChassixLoadFromCurrentRecord item=none -> 0"));
}

TEST_F(ChassixStandIn, VinWalkMatching)
{
    auto count = [&](const char* vin) {
        int n = 0;
        for (E.ChassixGetFirstVIN(vin); !E.ChassixGetEndOfVIN() && n < 100; E.ChassixGetNextVIN()) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count("1AVQL14S1A"), 1);
    EXPECT_EQ(count("1AVTS22L1A"), 2);
    EXPECT_EQ(count("2bmmr55x9c"), 3);
    EXPECT_EQ(count("2BMMR55X9"), 0);
    EXPECT_EQ(count("9ZZZZ99Z1Z"), 0);
    EXPECT_EQ(count(""), 0);
    EXPECT_EQ(count(nullptr), 0);
}

TEST_F(ChassixStandIn, OneWalkAtATime)
{
    E.ChassixGetFirstSubModel("ARVELO", "2010", "TESSOR");
    E.ChassixGetFirstVIN("1AVQL14S1A");
    // The VIN walk replaced the sub-model walk.
    EXPECT_EQ(E.ChassixGetEndOfModel(), 1);
    E.ChassixGetNextSubModel();
    EXPECT_EQ(E.ChassixGetEndOfVIN(), 0);
    EXPECT_EQ(Field(15), "1AVQL14S&A");

    // A record loads only from a VIN walk.
    E.ChassixGetFirstSubModel("ARVELO", "2010", "TESSOR");
    EXPECT_EQ(E.ChassixGetEndOfVIN(), 1);
    OwnedRecord record;
    E.ChassixLoadFromCurrentRecord(&record.R);
    EXPECT_EQ(record.R.ModelYear, 0);
    EXPECT_EQ(Field(15), "1AVTS22L&A");
}

// ---- every vehicle of the data ----

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

// ---- start, stop, faults ----

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

    E.ChassixStop();
    C.ChassixFakeReset();
    for (const auto& [name, call] : calls) {
        try {
            call();
            ADD_FAILURE() << name << " ran on a stopped engine";
        } catch (const std::logic_error& e) {
            EXPECT_STREQ(e.what(), "Chassix stand-in: engine not started") << name;
        }
    }
    const std::vector<std::string> journal = Lines(Journal());
    ASSERT_EQ(journal.size(), calls.size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(journal[i], calls[i].first + " -> throw Chassix stand-in: engine not started");
    }
    EXPECT_TRUE(list.Lines.empty());
}

TEST_F(ChassixStandIn, StopWithoutStartIsOnlyNoted)
{
    E.ChassixStop();
    C.ChassixFakeReset();
    EXPECT_EQ(E.ChassixStop(), 0);
    EXPECT_EQ(Journal(), "ChassixStop WITHOUT START\n");
}

TEST_F(ChassixStandIn, EachEntryPointCanBeToldToThrow)
{
    OwnedRecord record;
    EntryList list;
    const auto calls = OtherCalls(E, record, list);
    for (const auto& [name, call] : calls) {
        C.ChassixFakeReset();
        ASSERT_EQ(C.ChassixFakeConfigure("throw", name.c_str()), 1);
        try {
            call();
            ADD_FAILURE() << name << " did not throw";
        } catch (const std::exception& e) {
            EXPECT_EQ(e.what(), "Chassix stand-in failure in " + name);
            EXPECT_NE(dynamic_cast<const std::runtime_error*>(&e), nullptr) << name;
        }
        EXPECT_EQ(Journal(), name + " -> throw Chassix stand-in failure in " + name + "\n");
        // Only the named one throws.
        for (const auto& [other, otherCall] : calls) {
            if (other != name) {
                EXPECT_NO_THROW(otherCall()) << other << " while " << name << " throws";
            }
        }
        list.Clear();
    }
    ASSERT_EQ(C.ChassixFakeConfigure("throw", ""), 1);
    for (const auto& [name, call] : calls) {
        EXPECT_NO_THROW(call()) << name;
    }
}

TEST_F(ChassixStandIn, FaultsFromTheEnvironment)
{
    setenv(CHASSIX_FAKE_ENV_THROW, "ChassixStart, ChassixGetRecordByVIN,ChassixStop", 1);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    EXPECT_THROW(
        {
            try {
                E.ChassixStart();
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "Chassix stand-in failure in ChassixStart");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_THROW(E.ChassixStop(), std::runtime_error);
    // Only the named entries: a configured change lifts one of them.
    ASSERT_EQ(C.ChassixFakeConfigure("throw", "ChassixGetRecordByVIN"), 1);
    E.ChassixStart();
    EXPECT_EQ(E.ChassixGetMinVinSizePermitted(), 10);
    OwnedRecord record;
    EXPECT_THROW(E.ChassixGetRecordByVIN(&record.R), std::runtime_error);
}

TEST_F(ChassixStandIn, UncalledEntryPointsAreNoted)
{
    C.ChassixFakeReset();
    OwnedRecord record;
    EXPECT_EQ(E.ChassixGetModelAlwaysRatesSame("ARVELO", "2010", "QUILLON"), 0);
    EXPECT_EQ(E.ChassixGetRecordByYMM(&record.R), 0);
    EXPECT_THAT(Lines(Journal()), ElementsAre("ChassixGetModelAlwaysRatesSame UNEXPECTED CALL -> 0",
                                              "ChassixGetRecordByYMM UNEXPECTED CALL -> 0"));
}

// ---- journal ----

TEST_F(ChassixStandIn, JournalOfASilentLookup)
{
    C.ChassixFakeReset();
    OwnedRecord record;
    record.Set(&ChassixVinRecord::VIN, "1AVQL14S1A");
    record.R.Effective = kToday + 0.5;
    record.R.LookupMode = 1;
    E.ChassixSetSuppressMessages(1);
    E.ChassixGetMinVinSizePermitted();
    E.ChassixGetRecordByVIN(&record.R);
    E.ChassixGetFirstVIN("1AVQL14S1A");
    E.ChassixGetEndOfVIN();
    Field(15);
    E.ChassixGetNextVIN();
    E.ChassixGetEndOfVIN();
    E.ChassixGetDifferenceFields("ARVELO", nullptr, "TESSOR");
    E.ChassixSetSuppressMessages(0);
    EXPECT_EQ(Journal(), "ChassixSetSuppressMessages suppress=1 -> 0\n"
                         "ChassixGetMinVinSizePermitted -> 10\n"
                         "ChassixGetRecordByVIN vin=1AVQL14S1A mode=1 eff=46362.5 -> 1\n"
                         "ChassixGetFirstVIN vin=1AVQL14S1A -> 0\n"
                         "ChassixGetEndOfVIN -> 0\n"
                         "ChassixGetFieldValue column=15 -> 1AVQL14S&A\n"
                         "ChassixGetNextVIN -> 0\n"
                         "ChassixGetEndOfVIN -> 1\n"
                         "ChassixGetDifferenceFields make=ARVELO year=(null) model=TESSOR -> 0x0000\n"
                         "ChassixSetSuppressMessages suppress=0 -> 0\n");
}

class ChassixJournalFile : public ChassixStandIn {
protected:
    void SetUp() override
    {
        ChassixStandIn::SetUp();
        file = fs::temp_directory_path() / ("carlume-chassix-journal-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove(file);
    }
    void TearDown() override
    {
        ChassixStandIn::TearDown();
        fs::remove(file);
    }
    fs::path file;
};

TEST_F(ChassixJournalFile, FileOutlivesTheLibrary)
{
    setenv(CHASSIX_FAKE_ENV_JOURNAL, file.c_str(), 1);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    E.ChassixStop();
    E.ChassixStart();
    E.ChassixGetMinVinSizePermitted();
    Unload();
    EXPECT_EQ(ReadFile(file), "ChassixStop WITHOUT START\n"
                              "ChassixStart -> 0\n"
                              "ChassixGetMinVinSizePermitted -> 10\n"
                              "ChassixStop -> 0\n");
    // The next load appends.
    ASSERT_NO_FATAL_FAILURE(Reopen());
    E.ChassixStart();
    Unload();
    EXPECT_THAT(Lines(ReadFile(file)), ElementsAre("ChassixStop WITHOUT START", "ChassixStart -> 0",
                                                   "ChassixGetMinVinSizePermitted -> 10", "ChassixStop -> 0",
                                                   "ChassixStart -> 0", "ChassixStop -> 0"));
}

TEST_F(ChassixJournalFile, ConfiguredFileAndReset)
{
    ASSERT_EQ(C.ChassixFakeConfigure("journal_file", file.c_str()), 1);
    E.ChassixGetEarliestSymbolYearAvailable();
    EXPECT_EQ(ReadFile(file), "ChassixGetEarliestSymbolYearAvailable -> 2009\n");
    // Reset clears the memory journal and goes back to the environment: no file any more.
    C.ChassixFakeReset();
    EXPECT_EQ(Journal(), "");
    E.ChassixGetEarliestSymbolYearAvailable();
    EXPECT_EQ(ReadFile(file), "ChassixGetEarliestSymbolYearAvailable -> 2009\n");
    EXPECT_EQ(Journal(), "ChassixGetEarliestSymbolYearAvailable -> 2009\n");
}

} // namespace
} // namespace carlume::test
