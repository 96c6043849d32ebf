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
#include <functional>
#include <limits>
#include <memory>
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

constexpr TDateTime k1950 = 18264;        // 1950-01-01
constexpr TDateTime kLast1950 = 18627.99; // 1950-12-31, late in the day
constexpr TDateTime k1951 = 18629;        // 1951-01-01
constexpr TDateTime kToday = 46362.5;     // 2026-12-06, noon

std::vector<std::string> Lines(const TVinRecord& record, bool includeEmpty = true, bool strip = true,
                               const std::string& separator = "=")
{
    return record.ToStrings(includeEmpty, separator, strip)->ToVector();
}

// The lines whose key is `key` (hand-back form).
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
    ScopedClock clock_{kToday};
    ScopedFormatSettings settings_{USFormatSettings()};
};

// --- Clear and Assign -------------------------------------------------------------------------------------

TEST_F(VinRecordTest, ANewRecordIsAllZero)
{
    const TVinRecord record;
#define CARLUME_EXPECT_ZERO(Field) EXPECT_EQ(record.Field, decltype(record.Field){}) << #Field;
    CARLUME_VIN_RECORD_CLEARED_FIELDS(CARLUME_EXPECT_ZERO)
#undef CARLUME_EXPECT_ZERO
    EXPECT_EQ(record.SpecialEngineType, 0); // "Turbo" until Clear
    EXPECT_EQ(record.LookupMode, 0);
    EXPECT_EQ(record.AuxValue, 0);
    EXPECT_EQ(record.RecordKind, 0);
}

TEST_F(VinRecordTest, ClearResetsEveryFieldButTheEnginesOwn)
{
    TVinRecord record;
    FillDistinct(record, 1);
    record.Clear();

    TVinRecord expected; // all zero and empty, then the three exceptions
    expected.Effective = kToday;
    expected.SpecialEngineType = 4;
    expected.LookupMode = 1;
    ExpectClearedFieldsEqual(record, expected);
    EXPECT_EQ(record.AuxValue, 109);
    EXPECT_EQ(record.RecordKind, 110);
}

TEST_F(VinRecordTest, ClearTakesTheTimeOfTheCall)
{
    TVinRecord record;
    {
        ScopedClock later(kToday + 1.75);
        record.Clear();
    }
    EXPECT_EQ(record.Effective, kToday + 1.75);
}

TEST_F(VinRecordTest, AssignCopiesEveryFieldButTheEnginesOwn)
{
    TVinRecord source;
    FillDistinct(source, 1);
    TVinRecord target;
    FillDistinct(target, 2);

    target.Assign(source);
    ExpectClearedFieldsEqual(target, source);
    EXPECT_EQ(target.AuxValue, 209);
    EXPECT_EQ(target.RecordKind, 210);
    // The source is left as it was.
    EXPECT_EQ(source.AuxValue, 109);
    EXPECT_EQ(source.VIN, "VIN#1");

    target.Assign(target);
    ExpectClearedFieldsEqual(target, source);
}

// --- the lines --------------------------------------------------------------------------------------------

TEST_F(VinRecordTest, ClearedRecordGivesTheFullHandBackFile)
{
    ScratchFolder folder;
    TVinRecord record;
    record.Clear();
    record.SaveToFile(folder / "cquery.dat", true);
    EXPECT_EQ(ReadAll(folder / "cquery.dat"), "[VehicleProperties]\r\n"
                                              "ModelYear=0\r\n"
                                              "Make=\r\n"
                                              "Model=\r\n"
                                              "VehicleClass=\r\n"
                                              "VIN=\r\n"
                                              "Symbol=0\r\n"
                                              "Performance=Standard\r\n"
                                              "HighTheft=No or not indicated\r\n"
                                              "ABS=Unknown\r\n"
                                              "Cylinders=0\r\n"
                                              "SpecialEngineType=None\r\n"
                                              "Body=\r\n"
                                              "FWD=No or not indicated\r\n"
                                              "ModelInfo=\r\n"
                                              "BodyInfo=\r\n"
                                              "EngineInfo=\r\n"
                                              "RestraintInfo=\r\n"
                                              "TransmissionInfo=\r\n"
                                              "OtherInfo=\r\n"
                                              "DaytimeRunningLamps=Unknown\r\n"
                                              "NonVSRSymbol=0\r\n"
                                              "StateExceptions=\r\n"
                                              "Effective=12/6/2026\r\n"
                                              "Comp_Symbol=0\r\n"
                                              "Coll_Symbol=0\r\n"
                                              "Price_Symbol=0\r\n");
}

TEST_F(VinRecordTest, GridLinesKeepTheirLabelsAndValuesAsTheyAre)
{
    TVinRecord record;
    record.Clear();
    record.ModelYear = 2010;
    record.Make = " Arvelo\t";
    record.VehicleClass = "  Compact  ";
    record.VIN = " 1AVQL14S1A ";
    record.Symbol = -3;
    record.FWD = true;
    record.HighTheft = true;
    record.Cylinders = 6;
    record.Body = "4D SED";
    record.ModelInfo = "4D Sedan";
    record.NonVSRSymbol = 12;
    record.PriceSymbol = 5;
    EXPECT_THAT(
        Lines(record, false, false),
        ElementsAreArray({"Model Year=2010", "Make=Arvelo", "Vehicle Class=Compact", "VIN= 1AVQL14S1A ",
                          "Symbol=-3", "Performance=Standard", "High Theft=Yes", "ABS=Unknown", "Cylinders=6",
                          "Special Engine Type=None", "Body=4D SED", "FWD=Yes", "Model Info=4D Sedan",
                          "Daytime Running Lamps=Unknown", "Non VSR Symbol=12", "Effective=12/6/2026",
                          "Comp_Symbol=0", "Coll_Symbol=0", "Price_Symbol=5"}));
    EXPECT_THAT(Lines(record, false, false, ": "), Contains("Model Year: 2010"));
}

TEST_F(VinRecordTest, ModelYearDecidesBetweenOneSymbolAndTwo)
{
    TVinRecord record;
    record.Clear();
    record.Symbol = 11;
    record.CompSymbol = 21;
    record.CollSymbol = 17;
    record.PriceSymbol = 9;

    record.ModelYear = 2010;
    std::vector<std::string> lines = Lines(record);
    EXPECT_THAT(lines, Contains("Symbol=11"));
    EXPECT_THAT(lines, Not(Contains(StartsWith("CompSymbol="))));
    EXPECT_THAT(lines, Not(Contains(StartsWith("CollisionSymbol="))));
    EXPECT_THAT(std::vector(lines.end() - 3, lines.end()),
                ElementsAre("Comp_Symbol=21", "Coll_Symbol=17", "Price_Symbol=9"));

    record.ModelYear = 2011;
    lines = Lines(record);
    EXPECT_THAT(lines, Not(Contains(StartsWith("Symbol="))));
    // Right after the VIN, where the single symbol would be.
    EXPECT_EQ(lines[4], "VIN=");
    EXPECT_EQ(lines[5], "CompSymbol=21");
    EXPECT_EQ(lines[6], "CollisionSymbol=17");
    EXPECT_THAT(std::vector(lines.end() - 3, lines.end()),
                ElementsAre("Comp_Symbol=21", "Coll_Symbol=17", "Price_Symbol=9"));
    EXPECT_THAT(Lines(record, true, false), Contains("Collision Symbol=17"));
}

TEST_F(VinRecordTest, OneLinePerDeviceAndRestraintInBitOrder)
{
    TVinRecord record;
    record.Clear();
    record.AntiTheft = (1U << 0) | (1U << 4);
    EXPECT_THAT(LinesOf(record, "AntiTheftDevice"),
                ElementsAre("AntiTheftDevice=Alarm", "AntiTheftDevice=Other MA Category I"));

    // Bits above the table name nothing.
    record.AntiTheft = (1U << 0) | (1U << 4) | (1U << 9) | (1U << 15);
    EXPECT_THAT(LinesOf(record, "AntiTheftDevice"),
                ElementsAre("AntiTheftDevice=Alarm", "AntiTheftDevice=Other MA Category I"));
    record.AntiTheft = 0xFE00;
    EXPECT_THAT(LinesOf(record, "AntiTheftDevice"), IsEmpty());

    record.AntiTheft = 0x01FF;
    EXPECT_THAT(LinesOf(record, "AntiTheftDevice"),
                ElementsAre("AntiTheftDevice=Alarm", "AntiTheftDevice=Active Disabling",
                            "AntiTheftDevice=Passive Disabling", "AntiTheftDevice=Vehicle Recovery",
                            "AntiTheftDevice=Other MA Category I", "AntiTheftDevice=Other MA Category II",
                            "AntiTheftDevice=Other MA Category III", "AntiTheftDevice=Other MA Category IV",
                            "AntiTheftDevice=Other MA Category V"));

    record.PassiveRestraints = 0xFF;
    EXPECT_THAT(LinesOf(record, "PassiveRestraint"),
                ElementsAre("PassiveRestraint=Driver", "PassiveRestraint=Passenger",
                            "PassiveRestraint=Drivers Side", "PassiveRestraint=Passengers Side",
                            "PassiveRestraint=Driver Auto Belt", "PassiveRestraint=Passenger Auto Belt",
                            "PassiveRestraint=None", "PassiveRestraint=Unknown"));
    // Devices come right after Performance, restraints right after the devices.
    const std::vector<std::string> lines = Lines(record);
    EXPECT_EQ(lines[6], "Performance=Standard");
    EXPECT_EQ(lines[7], "AntiTheftDevice=Alarm");
    EXPECT_EQ(lines[16], "PassiveRestraint=Driver");
    EXPECT_EQ(lines[24], "HighTheft=No or not indicated");
}

struct CodeCase {
    const char* Name;
    std::function<void(TVinRecord&)> Set;
    const char* Line;
};

class VinRecordCodeTest : public VinRecordTest, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(VinRecordCodeTest, CodeGivesItsName)
{
    TVinRecord record;
    record.Clear();
    GetParam().Set(record);
    const std::string line = GetParam().Line;
    EXPECT_THAT(LinesOf(record, line.substr(0, line.find('='))), ElementsAre(line));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tables, VinRecordCodeTest, ::testing::Values(
    CodeCase{"Performance0", [](TVinRecord& r) { r.Performance = 0; }, "Performance=Standard"},
    CodeCase{"Performance1", [](TVinRecord& r) { r.Performance = 1; }, "Performance=Intermediate"},
    CodeCase{"Performance2", [](TVinRecord& r) { r.Performance = 2; }, "Performance=High"},
    CodeCase{"Performance3", [](TVinRecord& r) { r.Performance = 3; }, "Performance=Sports"},
    CodeCase{"Performance4", [](TVinRecord& r) { r.Performance = 4; }, "Performance=Sports Premium"},
    CodeCase{"Abs0", [](TVinRecord& r) { r.ABS = 0; }, "ABS=Unknown"},
    CodeCase{"Abs1", [](TVinRecord& r) { r.ABS = 1; }, "ABS=Standard"},
    CodeCase{"Abs2", [](TVinRecord& r) { r.ABS = 2; }, "ABS=Optional"},
    CodeCase{"Abs3", [](TVinRecord& r) { r.ABS = 3; }, "ABS=Not Available"},
    CodeCase{"Lamps0", [](TVinRecord& r) { r.DaytimeRunningLamps = 0; }, "DaytimeRunningLamps=Unknown"},
    CodeCase{"Lamps1", [](TVinRecord& r) { r.DaytimeRunningLamps = 1; }, "DaytimeRunningLamps=Standard"},
    CodeCase{"Lamps2", [](TVinRecord& r) { r.DaytimeRunningLamps = 2; }, "DaytimeRunningLamps=Optional"},
    CodeCase{"Lamps3", [](TVinRecord& r) { r.DaytimeRunningLamps = 3; },
             "DaytimeRunningLamps=Not Available"},
    CodeCase{"Engine0", [](TVinRecord& r) { r.SpecialEngineType = 0; }, "SpecialEngineType=Turbo"},
    CodeCase{"Engine1", [](TVinRecord& r) { r.SpecialEngineType = 1; }, "SpecialEngineType=Diesel"},
    CodeCase{"Engine2", [](TVinRecord& r) { r.SpecialEngineType = 2; }, "SpecialEngineType=Turbo Diesel"},
    CodeCase{"Engine3", [](TVinRecord& r) { r.SpecialEngineType = 3; }, "SpecialEngineType=Natural Gas"},
    CodeCase{"Engine4", [](TVinRecord& r) { r.SpecialEngineType = 4; }, "SpecialEngineType=None"},
    // Codes outside a table show as their number.
    CodeCase{"Performance5", [](TVinRecord& r) { r.Performance = 5; }, "Performance=5"},
    CodeCase{"Performance9", [](TVinRecord& r) { r.Performance = 9; }, "Performance=9"},
    CodeCase{"Performance255", [](TVinRecord& r) { r.Performance = 255; }, "Performance=255"},
    CodeCase{"Abs4", [](TVinRecord& r) { r.ABS = 4; }, "ABS=4"},
    CodeCase{"Abs200", [](TVinRecord& r) { r.ABS = 200; }, "ABS=200"},
    CodeCase{"Lamps4", [](TVinRecord& r) { r.DaytimeRunningLamps = 4; }, "DaytimeRunningLamps=4"},
    CodeCase{"Engine5", [](TVinRecord& r) { r.SpecialEngineType = 5; }, "SpecialEngineType=5"},
    CodeCase{"Engine255", [](TVinRecord& r) { r.SpecialEngineType = 255; }, "SpecialEngineType=255"},
    CodeCase{"FwdYes", [](TVinRecord& r) { r.FWD = true; }, "FWD=Yes"},
    CodeCase{"HighTheftYes", [](TVinRecord& r) { r.HighTheft = true; }, "HighTheft=Yes"}),
    [](const ::testing::TestParamInfo<CodeCase>& row) { return std::string(row.param.Name); });
// clang-format on

TEST_F(VinRecordTest, OutOfRangeCodesAreNeverDroppedAsEmpty)
{
    TVinRecord record;
    record.Clear();
    record.Performance = 9;
    record.ABS = 200;
    const std::vector<std::string> lines = Lines(record, false);
    EXPECT_THAT(lines, Contains("Performance=9"));
    EXPECT_THAT(lines, Contains("ABS=200"));
}

struct EffectiveCase {
    const char* Name;
    TDateTime Effective;
    const char* Line; // nullptr: no line
};

class VinRecordEffectiveTest : public VinRecordTest, public ::testing::WithParamInterface<EffectiveCase> {};

TEST_P(VinRecordEffectiveTest, EffectiveLineOnlyAfter1950)
{
    TVinRecord record;
    record.Clear();
    record.Effective = GetParam().Effective;
    const std::vector<std::string> lines = LinesOf(record, "Effective");
    if (GetParam().Line == nullptr)
        EXPECT_THAT(lines, IsEmpty());
    else
        EXPECT_THAT(lines, ElementsAre(GetParam().Line));
    // The rest of the list is there in every case.
    EXPECT_EQ(Lines(record).back(), "Price_Symbol=0");
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Dates, VinRecordEffectiveTest,
    ::testing::Values(
        EffectiveCase{"OriginalSymbolDate", k1950, nullptr}, EffectiveCase{"LateIn1950", kLast1950, nullptr},
        EffectiveCase{"FirstDayOf1951", k1951, "Effective=1/1/1951"},
        EffectiveCase{"Today", kToday, "Effective=12/6/2026"}, EffectiveCase{"Zero", 0, nullptr},
        EffectiveCase{"LastDay", 2958465.5, "Effective=12/31/9999"},
        EffectiveCase{"NaN", std::numeric_limits<double>::quiet_NaN(), nullptr},
        EffectiveCase{"Infinity", kInfinity, nullptr}, EffectiveCase{"MinusInfinity", -kInfinity, nullptr},
        EffectiveCase{"Huge", 1e300, nullptr}, EffectiveCase{"HugeNegative", -1e300, nullptr},
        EffectiveCase{"AfterYear9999", 2958466.5, nullptr}),
    [](const ::testing::TestParamInfo<EffectiveCase>& row) { return std::string(row.param.Name); });

TEST_F(VinRecordTest, EffectiveUsesTheShortDateOfTheSettings)
{
    TFormatSettings settings = USFormatSettings();
    settings.ShortDateFormat = "dd/MM/yyyy";
    settings.DateSeparator = '.';
    ScopedFormatSettings german(settings);
    TVinRecord record;
    record.Clear();
    EXPECT_THAT(LinesOf(record, "Effective"), ElementsAre("Effective=06.12.2026"));
}

TEST_F(VinRecordTest, IncludeEmptyDropsOnlyEmptyTexts)
{
    TVinRecord record;
    record.Clear();
    record.Make = "   ";
    record.VIN = "   ";
    record.Model = "\t\r\n";

    const std::vector<std::string> all = Lines(record, true);
    EXPECT_THAT(all, Contains("Make="));
    EXPECT_THAT(all, Contains("Model="));

    const std::vector<std::string> some = Lines(record, false);
    EXPECT_THAT(some, Not(Contains(StartsWith("Make="))));
    EXPECT_THAT(some, Not(Contains(StartsWith("Model="))));
    EXPECT_THAT(some, Contains("VIN=   ")); // the VIN is not trimmed
    // Numbers, table entries and yes/no texts are never empty.
    EXPECT_THAT(some,
                ElementsAreArray({"ModelYear=0", "VIN=   ", "Symbol=0", "Performance=Standard",
                                  "HighTheft=No or not indicated", "ABS=Unknown", "Cylinders=0",
                                  "SpecialEngineType=None", "FWD=No or not indicated",
                                  "DaytimeRunningLamps=Unknown", "NonVSRSymbol=0", "Effective=12/6/2026",
                                  "Comp_Symbol=0", "Coll_Symbol=0", "Price_Symbol=0"}));
}

TEST_F(VinRecordTest, LabelsLoseOnlyTheirBlanks)
{
    TVinRecord record;
    record.Clear();
    record.ModelYear = 2011;
    std::vector<std::string> labels;
    for (const std::string& line : Lines(record, true, true))
        labels.push_back(line.substr(0, line.find('=')));
    EXPECT_THAT(labels, ElementsAreArray({"ModelYear",
                                          "Make",
                                          "Model",
                                          "VehicleClass",
                                          "VIN",
                                          "CompSymbol",
                                          "CollisionSymbol",
                                          "Performance",
                                          "HighTheft",
                                          "ABS",
                                          "Cylinders",
                                          "SpecialEngineType",
                                          "Body",
                                          "FWD",
                                          "ModelInfo",
                                          "BodyInfo",
                                          "EngineInfo",
                                          "RestraintInfo",
                                          "TransmissionInfo",
                                          "OtherInfo",
                                          "DaytimeRunningLamps",
                                          "NonVSRSymbol",
                                          "StateExceptions",
                                          "Effective",
                                          "Comp_Symbol",
                                          "Coll_Symbol",
                                          "Price_Symbol"}));
    EXPECT_THAT(Lines(record, true, false), Contains("Non VSR Symbol=0"));
    EXPECT_THAT(Lines(record, true, false), Contains("Transmission Info="));
}

// --- the hand-back file -----------------------------------------------------------------------------------

TEST_F(VinRecordTest, LineBreaksInValuesStayOnTheirLineInTheFileOnly)
{
    ScratchFolder folder;
    TVinRecord record;
    record.Clear();
    record.VIN = "A\r\nB";
    record.Make = "X\rY";
    record.OtherInfo = "one\ntwo";
    record.SaveToFile(folder / "cquery.dat", true);

    const std::string file = ReadAll(folder / "cquery.dat");
    EXPECT_NE(file.find("\r\nVIN=A  B\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nMake=X Y\r\n"), std::string::npos);
    EXPECT_NE(file.find("\r\nOtherInfo=one two\r\n"), std::string::npos);
    TVinRecord clean;
    clean.Clear();
    clean.SaveToFile(folder / "clean.dat", true);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 27);
    EXPECT_EQ(ReadAll(folder / "clean.dat").size() + 4 + 3 + 7, file.size());

    // The grid and the report show the value as it is.
    EXPECT_THAT(Lines(record, true, false), Contains("VIN=A\r\nB"));
    EXPECT_THAT(Lines(record, true, false), Contains("Other Info=one\ntwo"));
}

TEST_F(VinRecordTest, SaveReplacesAnOldFileWhole)
{
    ScratchFolder folder;
    const std::string path = folder / "cquery.dat";
    WriteAll(path, std::string(10000, '~'));
    TVinRecord record;
    record.Clear();
    record.SaveToFile(path, true);
    const std::string file = ReadAll(path);
    EXPECT_THAT(file, StartsWith("[VehicleProperties]\r\nModelYear=0\r\n"));
    EXPECT_EQ(file.find('~'), std::string::npos);
    EXPECT_THAT(folder.Entries(), ElementsAre("cquery.dat"));
}

TEST_F(VinRecordTest, SaveIntoAMissingFolderLeavesNoFile)
{
    ScratchFolder folder;
    const std::string path = folder / "Data/cquery.dat";
    TVinRecord record;
    record.Clear();
    try {
        record.SaveToFile(path, true);
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + path + "\". No such file or directory");
    }
    EXPECT_THAT(folder.Entries(), IsEmpty());
}

TEST_F(VinRecordTest, AFailedWriteLeavesNoFileAndNoTemporary)
{
    for (const TFileStep step : {TFileStep::Create, TFileStep::Write, TFileStep::Rename}) {
        ScratchFolder folder;
        TVinRecord record;
        record.Clear();
        ScopedFileFault fault(step, ENOSPC);
        EXPECT_THROW(record.SaveToFile(folder / "cquery.dat", true), EStreamError) << int(step);
        EXPECT_THAT(folder.Entries(), IsEmpty()) << int(step);
    }
}

} // namespace
} // namespace carlume::test
