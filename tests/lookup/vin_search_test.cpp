#include "lookup/vin_search.h"

#include "platform/date_time.h"
#include "tests/support/fake_chassix.h"
#include "tests/support/fake_services.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace carlume::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr TDateTime kDate = 46362; // 2026-12-06

TFakeItem Match(std::string model)
{
    TFakeItem item;
    item.Model = model;
    item.ModelYear = 2012;
    item.RecordKind = 3;
    item.Fields[0] = std::move(model);
    return item;
}

// What the engine fills in for a found vehicle.
bool FillVehicle(TVinRecord& record)
{
    record.ModelYear = 2010;
    record.Make = "Arvelo";
    record.VIN = "ENGINE VIN";
    return true;
}

class VinSearchTest : public ::testing::Test {
protected:
    TVinSearchResult Search(const std::string& vin)
    {
        const TVinSearchContext context{TLookupContext{engine_, windows_}, services_.Services()};
        return SearchByVIN(context, record_, vin, kDate,
                           [this](const std::string& c) { criteria_.push_back(c); });
    }

    TFakeChassix engine_;
    TFakeVehicleDetailFactory windows_;
    TFakeServices services_;
    TVinRecord record_;
    std::vector<std::string> criteria_;
};

TEST_F(VinSearchTest, AVinShorterThanTheMinimumGetsTheMessageAndNoOtherEngineCall)
{
    record_.Make = "kept";
    EXPECT_EQ(Search(" 123456789 "), TVinSearchResult::InvalidVin);
    EXPECT_THAT(services_.Dialogs.Messages(TMsgDlgType::mtInformation),
                ElementsAre("VIN must be at least 10 characters in order for a lookup to occur"));
    EXPECT_THAT(engine_.Journal, ElementsAre("GetMinVinSizePermitted"));
    EXPECT_EQ(record_.Make, "kept");
    EXPECT_THAT(criteria_, IsEmpty());
}

TEST_F(VinSearchTest, AVinOfExactlyTheMinimumIsSearchedTrimmed)
{
    engine_.RecordByVIN = FillVehicle;
    engine_.VinMatches = {Match("only")};
    record_.Make = "from before";
    record_.Effective = 1;
    EXPECT_EQ(Search("  1AVQL14S1A\t"), TVinSearchResult::Found);
    EXPECT_THAT(engine_.Journal,
                ElementsAre("GetMinVinSizePermitted", "SetSuppressMessages 1",
                            "GetRecordByVIN vin=1AVQL14S1A mode=1 eff=46362 symbol=0",
                            "GetFirstVIN 1AVQL14S1A", "GetEndOfVIN", "GetNextVIN", "GetEndOfVIN",
                            "GetRecordByVIN vin=ENGINE VIN mode=1 eff=46362 symbol=0",
                            "SetSuppressMessages 0"));
    // The VIN as searched, over whatever the engine wrote there.
    EXPECT_EQ(record_.VIN, "1AVQL14S1A");
    EXPECT_EQ(record_.Make, "Arvelo");
    EXPECT_EQ(record_.Effective, kDate);
    EXPECT_THAT(criteria_, ElementsAre("1AVQL14S1A"));
    EXPECT_THAT(services_.Dialogs.Requests(), IsEmpty());
}

TEST_F(VinSearchTest, NotFoundInModeOneIsAskedAgainInModeThreeAndTheEngineMaySpeakDuringTheWalk)
{
    engine_.RecordByVIN = [](TVinRecord& record) { return record.LookupMode == 3 && FillVehicle(record); };
    EXPECT_EQ(Search("2BMHV44U1B"), TVinSearchResult::Found);
    EXPECT_THAT(engine_.Journal,
                ElementsAre("GetMinVinSizePermitted", "SetSuppressMessages 1",
                            "GetRecordByVIN vin=2BMHV44U1B mode=1 eff=46362 symbol=0",
                            "GetRecordByVIN vin=2BMHV44U1B mode=3 eff=46362 symbol=0",
                            "GetFirstVIN 2BMHV44U1B", "GetEndOfVIN", "SetSuppressMessages 0"));

    engine_.Journal.clear();
    engine_.RecordByVIN = {};
    EXPECT_EQ(Search("2BMHV44U1B"), TVinSearchResult::NotFound);
    EXPECT_THAT(engine_.Journal, ElementsAre("GetMinVinSizePermitted", "SetSuppressMessages 1",
                                             "GetRecordByVIN vin=2BMHV44U1B mode=1 eff=46362 symbol=0",
                                             "GetRecordByVIN vin=2BMHV44U1B mode=3 eff=46362 symbol=0",
                                             "SetSuppressMessages 0", "GetFirstVIN 2BMHV44U1B", "GetEndOfVIN",
                                             "SetSuppressMessages 0"));
    EXPECT_EQ(record_.ModelYear, 0);
    EXPECT_EQ(record_.VIN, "2BMHV44U1B");
}

struct FailureCase {
    const char* Call;
    int Occurrence;
};

class VinSearchFailureTest : public VinSearchTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(VinSearchFailureTest, TheEngineSpeaksAgainWhateverFails)
{
    engine_.RecordByVIN = FillVehicle;
    engine_.VinMatches = {Match("a"), Match("b")};
    engine_.FailAt(GetParam().Call, GetParam().Occurrence);
    EXPECT_THROW(Search("1AVQL14S1A"), std::runtime_error);
    EXPECT_EQ(engine_.Journal.back(), "SetSuppressMessages 0");
}

INSTANTIATE_TEST_SUITE_P(Calls, VinSearchFailureTest,
                         ::testing::Values(FailureCase{"GetRecordByVIN", 1}, FailureCase{"GetFirstVIN", 1},
                                           FailureCase{"GetNextVIN", 2}),
                         [](const auto& row) {
                             return row.param.Call + ("Call" + std::to_string(row.param.Occurrence));
                         });

TEST_F(VinSearchTest, AVehicleTurnedDownInTheChooserIsNoResult)
{
    engine_.RecordByVIN = FillVehicle;
    engine_.VinMatches = {Match("a"), Match("b")};
    windows_.QueueAnswer(mrCancel, 1);
    EXPECT_EQ(Search("2BMMR55X1C"), TVinSearchResult::NotFound);
    EXPECT_EQ(record_.ModelYear, 0);
    EXPECT_EQ(record_.Make, "");
    EXPECT_EQ(record_.VIN, "2BMMR55X1C");
    EXPECT_EQ(record_.Effective, kDate);
    EXPECT_EQ(engine_.Journal.back(), "SetSuppressMessages 0");
}

TEST_F(VinSearchTest, TheMatchesAreWalkedAtTheSearchDateWhateverDateTheEngineWrote)
{
    engine_.RecordByVIN = [](TVinRecord& record) {
        record.Effective = 1;
        return FillVehicle(record);
    };
    engine_.VinMatches = {Match("a"), Match("b")};
    windows_.QueueAnswer(mrOk, 2);
    EXPECT_EQ(Search("2BMMR55X1C"), TVinSearchResult::Found);
    EXPECT_EQ(record_.Model, "b");
    EXPECT_EQ(record_.Effective, kDate);
}

TEST_F(VinSearchTest, ANegativeModelYearIsNoVehicle)
{
    engine_.RecordByVIN = [](TVinRecord& record) {
        record.ModelYear = -5;
        return true;
    };
    EXPECT_EQ(Search("1AVQL14S1A"), TVinSearchResult::NotFound);
}

TEST_F(VinSearchTest, AnEngineWithoutMinimumSearchesEvenTheEmptyVinButWalksNothing)
{
    engine_.MinVin = 0;
    EXPECT_EQ(Search("  "), TVinSearchResult::NotFound);
    EXPECT_THAT(engine_.Calls("GetFirstVIN"), IsEmpty());
    EXPECT_THAT(criteria_, IsEmpty());
}

TEST(DateFieldDateTest, KeepsTheWholeDayOfAValidDate)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<TDateTime, TDateTime> cases[] = {{46362.75, 46362}, {46362, 46362}, {0, 0},   {-1.25, -1},
                                                     {nan, 0},          {inf, 0},       {1e12, 0}};
    for (const auto& [value, day] : cases)
        EXPECT_EQ(DateFieldDate(value), day) << value;
}

} // namespace
} // namespace carlume::test
