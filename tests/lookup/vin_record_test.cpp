#include "lookup/vin_record.h"

#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/format_settings.h"
#include "tests/lookup/vin_record_fields.h"
#include "tests/support/scratch_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

constexpr TDateTime kToday = 46362.5; // 2026-12-06, noon

std::vector<std::string> Lines(const TVinRecord& record, bool includeEmpty = true, bool strip = true,
                               const std::string& separator = "=")
{
    return record.ToStrings(includeEmpty, separator, strip)->ToVector();
}

// The hand-back lines whose key is `key`.
std::vector<std::string> LinesOf(const TVinRecord& record, const std::string& key)
{
    std::vector<std::string> found;
    for (const std::string& line : Lines(record)) {
        if (line.starts_with(key + "="))
            found.push_back(line);
    }
    return found;
}

class VinRecordTest : public ::testing::Test {
protected:
    VinRecordTest() { record_.Clear(); }
    ScopedClock clock_{kToday};
    ScopedFormatSettings settings_{USFormatSettings()};
    TVinRecord record_;
};

TEST_F(VinRecordTest, ClearAndAssignHandleEveryFieldButTheEnginesOwn)
{
    const TVinRecord fresh;
    EXPECT_EQ(fresh.SpecialEngineType, 0);
    EXPECT_EQ(fresh.LookupMode, 0);
    EXPECT_EQ(fresh.VIN, "");

    TVinRecord record;
    FillDistinct(record, 1);
    record.Clear();
    TVinRecord expected; // all zero and empty, then the three exceptions
    expected.Effective = kToday;
    expected.SpecialEngineType = 4;
    expected.LookupMode = 1;
    ExpectClearedFieldsEqual(record, expected);
    EXPECT_EQ(record.AuxValue, 109);

    TVinRecord source;
    FillDistinct(source, 1);
    FillDistinct(record, 2);
    record.Assign(source);
    ExpectClearedFieldsEqual(record, source);
    EXPECT_EQ(record.AuxValue, 209);
    EXPECT_EQ(record.RecordKind, 210);
    record.Assign(record);
    ExpectClearedFieldsEqual(record, source);
}

TEST_F(VinRecordTest, ClearedRecordGivesTheFullHandBackFile)
{
    ScratchFolder folder;
    record_.SaveToFile(folder / "cquery.dat", true);
    EXPECT_EQ(ReadAll(folder / "cquery.dat"),
              "[VehicleProperties]\r\nModelYear=0\r\nMake=\r\nModel=\r\nVehicleClass=\r\nVIN=\r\nSymbol=0\r\n"
              "Performance=Standard\r\nHighTheft=No or not indicated\r\nABS=Unknown\r\nCylinders=0\r\n"
              "SpecialEngineType=None\r\nBody=\r\nFWD=No or not indicated\r\nModelInfo=\r\nBodyInfo=\r\n"
              "EngineInfo=\r\nRestraintInfo=\r\nTransmissionInfo=\r\nOtherInfo=\r\n"
              "DaytimeRunningLamps=Unknown\r\nNonVSRSymbol=0\r\nStateExceptions=\r\nEffective=12/6/2026\r\n"
              "Comp_Symbol=0\r\nColl_Symbol=0\r\nPrice_Symbol=0\r\n");
}

TEST_F(VinRecordTest, GridLinesKeepLabelsAndTheVinAsTheyAreAndDropOnlyEmptyTexts)
{
    record_.ModelYear = 2010;
    record_.Make = " Arvelo\t";
    record_.Model = "\t\r\n";
    record_.VIN = "   ";
    record_.Symbol = -3;
    record_.FWD = true;
    record_.HighTheft = true;
    record_.NonVSRSymbol = 12;
    record_.PriceSymbol = 5;
    EXPECT_THAT(
        Lines(record_, false, false),
        ElementsAreArray({"Model Year=2010", "Make=Arvelo", "VIN=   ", "Symbol=-3", "Performance=Standard",
                          "High Theft=Yes", "ABS=Unknown", "Cylinders=0", "Special Engine Type=None",
                          "FWD=Yes", "Daytime Running Lamps=Unknown", "Non VSR Symbol=12",
                          "Effective=12/6/2026", "Comp_Symbol=0", "Coll_Symbol=0", "Price_Symbol=5"}));
    EXPECT_THAT(Lines(record_, true, false, ": "), Contains("Transmission Info: "));
    EXPECT_THAT(Lines(record_, true), Contains("Model="));
}

TEST_F(VinRecordTest, FromTwentyElevenCompAndCollisionSymbolsTakeTheSymbolsPlace)
{
    record_.Symbol = 11;
    record_.CompSymbol = 21;
    record_.CollSymbol = 17;
    record_.PriceSymbol = 9;
    record_.ModelYear = 2010;
    EXPECT_EQ(Lines(record_)[5], "Symbol=11");
    EXPECT_THAT(Lines(record_), Not(Contains(StartsWith("CompSymbol="))));

    record_.ModelYear = 2011;
    const std::vector<std::string> lines = Lines(record_);
    EXPECT_THAT(lines, Not(Contains(StartsWith("Symbol="))));
    EXPECT_THAT(std::vector(lines.begin() + 4, lines.begin() + 7),
                ElementsAre("VIN=", "CompSymbol=21", "CollisionSymbol=17"));
    EXPECT_THAT(std::vector(lines.end() - 3, lines.end()),
                ElementsAre("Comp_Symbol=21", "Coll_Symbol=17", "Price_Symbol=9"));
    EXPECT_THAT(Lines(record_, true, false), Contains("Collision Symbol=17"));
}

TEST_F(VinRecordTest, OneLinePerDeviceAndRestraintInBitOrderAfterPerformance)
{
    record_.AntiTheft = 0xFE00; // bits above the table name nothing
    EXPECT_THAT(LinesOf(record_, "AntiTheftDevice"), IsEmpty());
    record_.AntiTheft = 0xFFFF;
    record_.PassiveRestraints = 0xFF;
    EXPECT_THAT(LinesOf(record_, "AntiTheftDevice"),
                ElementsAre("AntiTheftDevice=Alarm", "AntiTheftDevice=Active Disabling",
                            "AntiTheftDevice=Passive Disabling", "AntiTheftDevice=Vehicle Recovery",
                            "AntiTheftDevice=Other MA Category I", "AntiTheftDevice=Other MA Category II",
                            "AntiTheftDevice=Other MA Category III", "AntiTheftDevice=Other MA Category IV",
                            "AntiTheftDevice=Other MA Category V"));
    EXPECT_THAT(LinesOf(record_, "PassiveRestraint"),
                ElementsAre("PassiveRestraint=Driver", "PassiveRestraint=Passenger",
                            "PassiveRestraint=Drivers Side", "PassiveRestraint=Passengers Side",
                            "PassiveRestraint=Driver Auto Belt", "PassiveRestraint=Passenger Auto Belt",
                            "PassiveRestraint=None", "PassiveRestraint=Unknown"));
    const std::vector<std::string> lines = Lines(record_);
    EXPECT_EQ(lines[7], "AntiTheftDevice=Alarm");
    EXPECT_EQ(lines[16], "PassiveRestraint=Driver");
    EXPECT_EQ(lines[24], "HighTheft=No or not indicated");
}

TEST_F(VinRecordTest, CodesGiveTheirNamesAndCodesOutsideATableTheirNumber)
{
    struct Table {
        const char* Key;
        std::uint8_t TVinRecord::*Field;
        std::vector<std::string> Names; // for codes 0, 1, ...; then 255
    };
    const Table tables[] = {
        {"Performance",
         &TVinRecord::Performance,
         {"Standard", "Intermediate", "High", "Sports", "Sports Premium", "5", "255"}},
        {"ABS", &TVinRecord::ABS, {"Unknown", "Standard", "Optional", "Not Available", "4", "255"}},
        {"DaytimeRunningLamps",
         &TVinRecord::DaytimeRunningLamps,
         {"Unknown", "Standard", "Optional", "Not Available", "4", "255"}},
        {"SpecialEngineType",
         &TVinRecord::SpecialEngineType,
         {"Turbo", "Diesel", "Turbo Diesel", "Natural Gas", "None", "5", "255"}},
    };
    for (const Table& table : tables) {
        for (std::size_t code = 0; code < table.Names.size(); ++code) {
            record_.*table.Field = code + 1 == table.Names.size() ? 255 : std::uint8_t(code);
            EXPECT_THAT(Lines(record_, false), Contains(std::string(table.Key) + "=" + table.Names[code]));
        }
    }
}

TEST_F(VinRecordTest, EffectiveLineOnlyForAValidDateAfter1950InTheLocalesFormat)
{
    struct Case {
        TDateTime Effective;
        const char* Line; // nullptr: none
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {{18264, nullptr}, // 1950-01-01, the original-symbol date
                          {18627.99, nullptr},  {18629, "Effective=1/1/1951"},
                          {0, nullptr},         {2958465.5, "Effective=12/31/9999"},
                          {2958466.5, nullptr}, {std::numeric_limits<double>::quiet_NaN(), nullptr},
                          {inf, nullptr},       {-inf, nullptr},
                          {1e300, nullptr},     {-1e300, nullptr}};
    for (const Case& c : cases) {
        record_.Effective = c.Effective;
        if (c.Line == nullptr)
            EXPECT_THAT(LinesOf(record_, "Effective"), IsEmpty()) << c.Effective;
        else
            EXPECT_THAT(LinesOf(record_, "Effective"), ElementsAre(c.Line)) << c.Effective;
        EXPECT_EQ(Lines(record_).back(), "Price_Symbol=0");
    }
    TFormatSettings dayFirst = USFormatSettings();
    dayFirst.ShortDateFormat = "dd/MM/yyyy";
    dayFirst.DateSeparator = '.';
    ScopedFormatSettings german(dayFirst);
    record_.Effective = kToday;
    EXPECT_THAT(LinesOf(record_, "Effective"), ElementsAre("Effective=06.12.2026"));
}

TEST_F(VinRecordTest, LineBreaksInValuesStayOnTheirLineInTheFileOnly)
{
    ScratchFolder folder;
    record_.VIN = "A\r\nB";
    record_.Make = "X\rY";
    record_.OtherInfo = "one\ntwo";
    record_.SaveToFile(folder / "cquery.dat", true);
    const std::string file = ReadAll(folder / "cquery.dat");
    EXPECT_THAT(file, ::testing::HasSubstr("\r\nVIN=A  B\r\nSymbol"));
    EXPECT_THAT(file, ::testing::HasSubstr("\r\nMake=X Y\r\n"));
    EXPECT_THAT(file, ::testing::HasSubstr("\r\nOtherInfo=one two\r\n"));
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 27);
    EXPECT_THAT(Lines(record_, true, false), Contains("Other Info=one\ntwo"));
}

TEST_F(VinRecordTest, SavingReplacesAnOldFileWholeOrLeavesNothingBehind)
{
    ScratchFolder folder;
    WriteAll(folder / "cquery.dat", std::string(10000, '~'));
    record_.SaveToFile(folder / "cquery.dat", true);
    EXPECT_THAT(ReadAll(folder / "cquery.dat"), StartsWith("[VehicleProperties]\r\nModelYear=0\r\n"));
    EXPECT_EQ(ReadAll(folder / "cquery.dat").find('~'), std::string::npos);
    EXPECT_THAT(folder.Entries(), ElementsAre("cquery.dat"));

    try {
        record_.SaveToFile(folder / "Data/cquery.dat", true);
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(),
                  "Cannot create file \"" + (folder / "Data/cquery.dat") + "\". No such file or directory");
    }
    for (const TFileStep step : {TFileStep::Create, TFileStep::Write, TFileStep::Rename}) {
        ScratchFolder empty;
        ScopedFileFault fault(step, ENOSPC);
        EXPECT_THROW(record_.SaveToFile(empty / "cquery.dat", true), EStreamError) << int(step);
        EXPECT_THAT(empty.Entries(), IsEmpty()) << int(step);
    }
}

} // namespace
} // namespace carlume::test
