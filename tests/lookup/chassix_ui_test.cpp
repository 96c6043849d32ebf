#include "lookup/chassix_ui.h"

#include "lookup/vehicle_detail.h"
#include "platform/exceptions.h"
#include "tests/support/fake_chassix.h"
#include "tests/support/print_case_name.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr TDateTime kLookupDate = 46362; // 2026-12-06

// A sub-model of ARVELO 2010 TESSOR: body style in column 2, transmission in 10, symbol in 12, VIN in 15.
TFakeItem SubModel(std::string vin, std::string body, std::string transmission, bool valid = true,
                   std::string model = "TESSOR", std::string year = "2010")
{
    TFakeItem item;
    item.MakeKey = "ARVELO";
    item.Year = std::move(year);
    item.ModelKey = std::move(model);
    item.Fields[0] = item.ModelKey + " name";
    item.Fields[2] = std::move(body);
    item.Fields[10] = std::move(transmission);
    item.Fields[12] = "14";
    item.Fields[13] = "21";
    item.Fields[14] = "17";
    item.Fields[15] = std::move(vin);
    item.Valid = valid;
    return item;
}

// A match of the VIN walk.
TFakeItem VinMatch(std::string model, std::int32_t year, std::int32_t kind, bool valid = true)
{
    TFakeItem item;
    item.Model = model;
    item.ModelYear = year;
    item.RecordKind = kind;
    item.Symbol = 30 + kind;
    item.Fields[0] = std::move(model);
    item.Fields[1] = "sym" + std::to_string(kind);
    item.Fields[12] = "12x";
    item.Fields[13] = "13x";
    item.Fields[14] = "14x";
    item.Fields[15] = "2BMMR55X&C";
    item.Valid = valid;
    return item;
}

// A model entry the way the engine hands one out, destroyed through its own function.
ChassixEntry* NewModelEntry()
{
    auto* entry = static_cast<ChassixEntry*>(std::calloc(1, sizeof(ChassixEntry)));
    entry->Destroy = [](ChassixEntry* self) {
        std::free(self->Text2);
        std::free(self->Text3);
        std::free(self);
    };
    return entry;
}

class ChooserTest : public ::testing::Test {
protected:
    ChooserTest() { record_.Effective = kLookupDate; }
    ~ChooserTest() override { EXPECT_EQ(windows_.PendingAnswers(), 0u) << "scripted chooser never shown"; }

    TLookupContext Context() { return TLookupContext{engine_, windows_}; }

    TFakeChassix engine_;
    TFakeVehicleDetailFactory windows_;
    TVinRecord record_;
};

// --- the grid and the window's size -----------------------------------------------------------------------

TEST(VehicleDetailGridTest, ColumnWidthIsTheWidestFittedTextPlusNineUntilANewDefaultWidth)
{
    TVehicleDetailGrid grid;
    grid.SetDefaultColWidth(25);
    grid.SetColCount(2);
    grid.FitColumnTo(0, "abcdefghij"); // 69
    grid.FitColumnTo(0, "a");
    grid.FitColumnTo(1, "");
    grid.FitColumnTo(5, "beyond the columns");
    grid.SetCell(-1, 0, "ignored");
    const TTextWidthFunction sixEach = [](const std::string& text) { return 6 * int(text.size()); };
    EXPECT_EQ(grid.ColWidth(0, sixEach), 69);
    EXPECT_EQ(grid.ColWidth(1, sixEach), 25);
    EXPECT_EQ(grid.ColWidth(5, sixEach), 25);
    EXPECT_EQ(grid.Cell(-1, 0), "");
    grid.SetDefaultColWidth(40);
    EXPECT_EQ(grid.ColWidth(0, sixEach), 40);
}

// --- year, make and model ---------------------------------------------------------------------------------

TEST_F(ChooserTest, OneSubModelIsReadThroughItsVinWithoutAWindowInTheYearsLookupMode)
{
    for (const auto& [year, mode] : {std::pair{"2010", 1}, std::pair{"2011", 3}}) {
        engine_.Journal.clear();
        engine_.SubModels = {SubModel("1AVTS26G&A", "2D Coupe", "Manual", true, "TESSOR", year)};
        engine_.ModelVin = "1AVTS26G&A";
        record_.VIN = "OLD";
        ASSERT_TRUE(LookupByYMM(Context(), record_, nullptr, year, "ARVELO", "TESSOR"));
        EXPECT_EQ(record_.VIN, "1AVTS26G&A");
        EXPECT_THAT(engine_.Calls("GetRecordByVIN"),
                    ElementsAre("GetRecordByVIN vin=1AVTS26G&A mode=" + std::to_string(mode) +
                                " eff=46362 symbol=0"));
    }
    EXPECT_THAT(windows_.Windows(), IsEmpty());
}

TEST_F(ChooserTest, SeveralSubModelsAreChosenInTheWindowAndTheChoiceIsStoredInTheModelEntry)
{
    engine_.SubModels = {SubModel("1AVTS22L&A", "2D Coupe", "Manual"),
                         SubModel("1AVTS26G&A", "2D Coupe GT", "Automatic"),
                         SubModel("1AVTS22W&A", "Wagon", "Manual")};
    engine_.DifferenceFields = (1u << 2) | (1u << 10);
    windows_.QueueAnswer(mrOk, 2);
    record_.Symbol = 99;
    TChassixModelEntry entry(NewModelEntry());

    ASSERT_TRUE(LookupByYMM(Context(), record_, &entry, "2010", "ARVELO", "TESSOR"));
    EXPECT_EQ(record_.VIN, "1AVTS26G&A");
    EXPECT_EQ(entry.VinText(), "1AVTS26G&A");
    // The engine is asked for the chosen line with the symbol cleared.
    EXPECT_THAT(engine_.Calls("GetRecordByVIN"),
                ElementsAre("GetRecordByVIN vin=1AVTS26G&A mode=1 eff=46362 symbol=0"));

    ASSERT_EQ(windows_.Windows().size(), 1u);
    const TChooserRecord& window = windows_.Windows()[0];
    EXPECT_TRUE(window.Shown);
    EXPECT_EQ(window.Caption, "ISO: 2010 ARVELO TESSOR Choices");
    EXPECT_EQ(window.DefaultColWidth, 25);
    EXPECT_EQ(window.ColCount, 4);
    EXPECT_EQ(window.RowCount, 4);
    EXPECT_THAT(window.Row(0), ElementsAre("Body Style", "Transmission", "Symbol", "VIN"));
    EXPECT_THAT(window.Row(1), ElementsAre("2D Coupe", "Manual", "14", "1AVTS22L&A"));
    EXPECT_THAT(window.Row(2), ElementsAre("2D Coupe GT", "Automatic", "14", "1AVTS26G&A"));
    EXPECT_THAT(window.Row(3), ElementsAre("Wagon", "Manual", "14", "1AVTS22W&A"));
    // Widest text * 6 + 9, at least 25: "2D Coupe GT" 75, "Transmission" 81, "Symbol" 45, "1AVTS22L&A" 69.
    EXPECT_EQ(window.ColWidths, (std::map<int, int>{{0, 75}, {1, 81}, {2, 45}, {3, 69}}));
}

TEST_F(ChooserTest, FromTwentyElevenTheSubModelChooserShowsCompAndColl)
{
    engine_.SubModels = {SubModel("A1", "x", "y", true, "HALVARD", "2011"),
                         SubModel("A2", "x", "y", true, "HALVARD", "2011")};
    windows_.QueueAnswer(mrOk, 1);
    std::vector<std::string> choices;
    TVehicleDetailGrid grid;
    ASSERT_EQ(FillSubModelGrid(engine_, grid, record_, "2011", "ARVELO", "HALVARD", choices), 2);
    EXPECT_EQ(grid.Cell(0, 0), "Comp");
    EXPECT_EQ(grid.Cell(1, 0), "Coll");
    EXPECT_EQ(grid.Cell(2, 0), "VIN");
    EXPECT_EQ(grid.Cell(0, 1), "21");
    EXPECT_EQ(grid.Cell(1, 1), "17");
    ASSERT_TRUE(ChooseSubModel(Context(), record_, nullptr, "2011", "ARVELO", "HALVARD"));
    EXPECT_EQ(record_.VIN, "A1");
}

TEST_F(ChooserTest, ConsecutiveEqualVinsGiveOneLineAndInvalidSubModelsNone)
{
    engine_.SubModels = {SubModel("V1", "a", "Manual"), SubModel("V1", "a", "Automatic"),
                         SubModel("V2", "b", "Manual", false), SubModel("V3", "c", "Manual"),
                         SubModel("V1", "a", "Manual")};
    std::vector<std::string> choices;
    TVehicleDetailGrid grid;
    EXPECT_EQ(FillSubModelGrid(engine_, grid, record_, "2010", "ARVELO", "TESSOR", choices), 3);
    EXPECT_THAT(choices, ElementsAre("V1", "V3", "V1"));
    EXPECT_EQ(grid.RowCount(), 4);
    // Validity is asked at the record's date.
    EXPECT_THAT(engine_.Calls("GetRecordEffective 46362"), testing::SizeIs(5));
}

TEST_F(ChooserTest, OneValidSubModelAmongSeveralIsTakenWithoutAWindow)
{
    engine_.SubModels = {SubModel("V1", "a", "Manual", false), SubModel("V2", "b", "Manual"),
                         SubModel("V3", "c", "Manual", false)};
    TChassixModelEntry entry(NewModelEntry());
    ASSERT_TRUE(LookupByYMM(Context(), record_, &entry, "2010", "ARVELO", "TESSOR"));
    EXPECT_EQ(record_.VIN, "V2");
    EXPECT_EQ(entry.VinText(), "V2");
    EXPECT_THAT(windows_.Windows(), IsEmpty());
}

TEST_F(ChooserTest, NoValidSubModelFindsNothing)
{
    engine_.SubModels = {SubModel("V1", "a", "Manual", false), SubModel("V2", "b", "Manual", false)};
    record_.VIN = "OLD";
    EXPECT_FALSE(LookupByYMM(Context(), record_, nullptr, "2010", "ARVELO", "TESSOR"));
    EXPECT_EQ(record_.VIN, "");
    EXPECT_THAT(engine_.Calls("GetRecordByVIN"), IsEmpty());
    EXPECT_THAT(windows_.Windows(), IsEmpty());
}

struct DeclineCase {
    TModalResult Result;
    int Row;
};

class SubModelDeclineTest : public ChooserTest, public ::testing::WithParamInterface<DeclineCase> {};

TEST_P(SubModelDeclineTest, ACancelledChooserOrNoCurrentLineChoosesNothing)
{
    engine_.SubModels = {SubModel("V1", "a", "Manual"), SubModel("V2", "b", "Manual")};
    windows_.QueueAnswer(GetParam().Result, GetParam().Row);
    TChassixModelEntry entry(NewModelEntry());
    EXPECT_FALSE(LookupByYMM(Context(), record_, &entry, "2010", "ARVELO", "TESSOR"));
    EXPECT_EQ(record_.VIN, "");
    EXPECT_EQ(entry.VinText(), "");
    EXPECT_THAT(engine_.Calls("GetRecordByVIN"), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Answers, SubModelDeclineTest,
                         ::testing::Values(DeclineCase{mrCancel, 1}, DeclineCase{mrNone, 2},
                                           DeclineCase{mrOk, 0}, DeclineCase{mrOk, 3}, DeclineCase{mrOk, -1}),
                         [](const auto& row) {
                             const TModalResult result = row.param.Result;
                             return std::string(result == mrOk       ? "Ok"
                                                : result == mrCancel ? "Cancel"
                                                                     : "NoResult") +
                                    "_Row" + Spelled(std::to_string(row.param.Row));
                         });

TEST_F(ChooserTest, AModelWithoutSubModelsListsEveryModelOfTheMakeAndYear)
{
    engine_.SubModels = {SubModel("Q1", "a", "Manual", true, "QUILLON"), SubModel("T1", "b", "Manual")};
    std::vector<std::string> choices;
    TVehicleDetailGrid grid;
    EXPECT_EQ(FillSubModelGrid(engine_, grid, record_, "2010", "ARVELO", "VANTLE", choices), 2);
    EXPECT_EQ(grid.Caption(), "ISO: 2010 ARVELO Choices");
    EXPECT_EQ(grid.Cell(0, 0), "Model Name");
    EXPECT_EQ(grid.Cell(0, 1), "QUILLON name");
    EXPECT_THAT(choices, ElementsAre("Q1", "T1"));
    // The rest of the fill asks with the model key left out.
    EXPECT_THAT(engine_.Calls("GetDifferenceFields "), ElementsAre("GetDifferenceFields ARVELO/2010/"));
    EXPECT_THAT(engine_.Calls("GetFirstSubModel"),
                ElementsAre("GetFirstSubModel ARVELO/2010/VANTLE", "GetFirstSubModel ARVELO/2010/"));
}

TEST_F(ChooserTest, AnEmptyWalkLeavesTheEmptyRowOfTheGrid)
{
    std::vector<std::string> choices;
    TVehicleDetailGrid grid;
    EXPECT_EQ(FillSubModelGrid(engine_, grid, record_, "2010", "NONE", "", choices), 0);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_THAT(choices, IsEmpty());
}

TEST_F(ChooserTest, AYearTextThatIsNoNumberRaisesBeforeTheEngineIsAsked)
{
    try {
        LookupByYMM(Context(), record_, nullptr, "abc", "ARVELO", "TESSOR");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
    }
    EXPECT_THAT(engine_.Journal, IsEmpty());
}

// --- VIN --------------------------------------------------------------------------------------------------

TEST_F(ChooserTest, NoVinMatchFindsNothingAndOneIsReadByTheEngineWithoutAWindow)
{
    bool declined = true;
    EXPECT_FALSE(LookupByVIN(Context(), record_, "2BMMR55X1C", &declined));
    EXPECT_FALSE(declined);
    EXPECT_THAT(engine_.Calls("GetRecordByVIN"), IsEmpty());

    engine_.VinMatches = {VinMatch("Morrow SE", 2012, 3)};
    record_.VIN = "2BMMR55X1C";
    EXPECT_TRUE(LookupByVIN(Context(), record_, "2BMMR55X1C"));
    EXPECT_THAT(engine_.Calls("GetRecordByVIN"),
                ElementsAre("GetRecordByVIN vin=2BMMR55X1C mode=0 eff=46362 symbol=0"));
    EXPECT_THAT(engine_.Calls("LoadFromCurrentRecord"), IsEmpty());
    EXPECT_THAT(windows_.Windows(), IsEmpty());
}

TEST_F(ChooserTest, TheVinChooserListsRatedValidMatchesAndTheChoiceKeepsTheLookupDate)
{
    engine_.VinMatches = {VinMatch("Morrow SE", 2012, 3),         VinMatch("Morrow SE", 2012, 1),
                          VinMatch("Morrow Limited", 2012, 3),    VinMatch("Chassis Cab", 2012, 2),
                          VinMatch("Morrow Old", 2012, 3, false), VinMatch("Morrow SE", 2012, 3)};
    engine_.DifferenceFieldsVIN = 1u << 1;
    windows_.QueueAnswer(mrOk, 2);
    record_.AuxValue = 7;
    record_.RecordKind = 9;
    bool declined = true;

    ASSERT_TRUE(LookupByVIN(Context(), record_, "2BMMR55X1C", &declined));
    EXPECT_FALSE(declined);
    EXPECT_EQ(record_.Model, "Morrow Limited");
    EXPECT_EQ(record_.ModelYear, 2012);
    EXPECT_EQ(record_.Symbol, 33);
    EXPECT_EQ(record_.Effective, kLookupDate);
    EXPECT_EQ(record_.AuxValue, 7);
    EXPECT_EQ(record_.RecordKind, 9);

    const TChooserRecord& window = windows_.Windows().at(0);
    EXPECT_EQ(window.Caption, "ISO: 2BMMR55X1C Choices");
    EXPECT_EQ(window.RowCount, 4);
    // No model year in the record yet: the first line's (2012) decides.
    EXPECT_THAT(window.Row(0), ElementsAre("Model Name", "Symbol", "Comp", "Coll"));
    EXPECT_THAT(window.Row(1), ElementsAre("Morrow SE", "sym3", "13x", "14x"));
    EXPECT_THAT(window.Row(2), ElementsAre("Morrow Limited", "sym3", "13x", "14x"));
    EXPECT_THAT(window.Row(3), ElementsAre("Morrow SE", "sym3", "13x", "14x"));
    // The unrated match is never asked for its validity.
    EXPECT_THAT(engine_.Calls("GetRecordEffective"), testing::SizeIs(5));
    EXPECT_THAT(engine_.Calls("GetRecordByVIN"), IsEmpty());
}

TEST_F(ChooserTest, TheRecordsModelYearDecidesTheVinChoosersSymbolColumns)
{
    engine_.VinMatches = {VinMatch("A", 2012, 3), VinMatch("B", 2012, 3)};
    record_.ModelYear = 2010;
    std::vector<TVinChoice> choices;
    TVehicleDetailGrid grid;
    EXPECT_EQ(FillVinGrid(engine_, grid, record_, "V", choices), 2);
    EXPECT_EQ(grid.Cell(1, 0), "Symbol");
    EXPECT_EQ(grid.Cell(1, 1), "12x");
    EXPECT_EQ(grid.ColCount(), 2);
}

TEST_F(ChooserTest, AMatchWhoseReadingFailsIsLeftOutWholeAndTheLinesStayInStep)
{
    engine_.VinMatches = {VinMatch("First", 2010, 1), VinMatch("Second", 2010, 1),
                          VinMatch("Third", 2010, 1)};
    // Columns "Model Name" and "Symbol": the second match fails on its second cell (call 4).
    engine_.FailAt("GetFieldValue", 4);
    windows_.QueueAnswer(mrOk, 2);
    ASSERT_TRUE(ChooseVinMatch(Context(), record_, "V"));
    EXPECT_EQ(record_.Model, "Third");

    const TChooserRecord& window = windows_.Windows().at(0);
    EXPECT_EQ(window.RowCount, 3);
    EXPECT_THAT(window.Row(1), ElementsAre("First", "12x"));
    EXPECT_THAT(window.Row(2), ElementsAre("Third", "12x"));
}

TEST_F(ChooserTest, AFailedMatchDoesNotCountAsTheLastModel)
{
    engine_.VinMatches = {VinMatch("Same", 2010, 1), VinMatch("Same", 2010, 1)};
    engine_.FailAt("LoadFromCurrentRecord", 1);
    std::vector<TVinChoice> choices;
    TVehicleDetailGrid grid;
    EXPECT_EQ(FillVinGrid(engine_, grid, record_, "V", choices), 1);
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].Model, "Same");
    EXPECT_EQ(choices[0].Record->Model, "Same");
}

TEST_F(ChooserTest, ACancelledVinChooserIsDeclinedAndLeavesTheRecord)
{
    engine_.VinMatches = {VinMatch("A", 2012, 3), VinMatch("B", 2012, 3)};
    windows_.QueueAnswer(mrCancel, 1);
    record_.Model = "as before";
    bool declined = false;
    EXPECT_FALSE(LookupByVIN(Context(), record_, "V", &declined));
    EXPECT_TRUE(declined);
    EXPECT_EQ(record_.Model, "as before");
}

TEST_F(ChooserTest, OneQualifyingVinMatchIsTakenWithoutAWindowAndKeepsTheDate)
{
    engine_.VinMatches = {VinMatch("Cab", 2012, 2), VinMatch("Limited", 2012, 3),
                          VinMatch("Old", 2012, 3, false)};
    bool declined = true;
    ASSERT_TRUE(LookupByVIN(Context(), record_, "V", &declined));
    EXPECT_FALSE(declined);
    EXPECT_EQ(record_.Model, "Limited");
    EXPECT_EQ(record_.Effective, kLookupDate);
    EXPECT_THAT(windows_.Windows(), IsEmpty());
}

TEST_F(ChooserTest, AnEngineErrorOutsideAMatchReachesTheCaller)
{
    engine_.VinMatches = {VinMatch("A", 2012, 3), VinMatch("B", 2012, 3)};
    engine_.FailAt("GetNextVIN", 2);
    EXPECT_THROW(LookupByVIN(Context(), record_, "V"), std::runtime_error);
    EXPECT_THAT(windows_.Windows(), IsEmpty());
}

} // namespace
} // namespace carlume::test
