#include "lookup/chassix_record.h"

#include "tests/lookup/vin_record_fields.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace carlume::test {
namespace {

std::string Text(const char* text)
{
    return text != nullptr ? text : "(null)";
}

// What the engine does to assign a text: free the old one, store a malloc'ed copy.
void EngineAssign(char*& field, const char* text)
{
    std::free(field);
    field = text != nullptr ? strdup(text) : nullptr;
}

TEST(ChassixRecord, CarriesEveryFieldIntoTheEnginesForm)
{
    TVinRecord source;
    FillDistinct(source, 1);
    TChassixRecord data(source);
    const ChassixVinRecord& r = data.Record();

    EXPECT_EQ(r.StructSize, sizeof(ChassixVinRecord));
    EXPECT_EQ(r.FWD, 1);
    EXPECT_EQ(r.Cylinders, 101);
    EXPECT_EQ(Text(r.VIN), "VIN#1");
    EXPECT_EQ(Text(r.OtherInfo), "OtherInfo#1");
    EXPECT_EQ(Text(r.TransmissionInfo), "TransmissionInfo#1");
    EXPECT_EQ(Text(r.BodyInfo), "BodyInfo#1");
    EXPECT_EQ(Text(r.RestraintInfo), "RestraintInfo#1");
    EXPECT_EQ(Text(r.Make), "Make#1");
    EXPECT_EQ(Text(r.Model), "Model#1");
    EXPECT_EQ(Text(r.EngineInfo), "EngineInfo#1");
    EXPECT_EQ(Text(r.ModelInfo), "ModelInfo#1");
    EXPECT_EQ(Text(r.Body), "Body#1");
    EXPECT_EQ(r.Effective, 1000.25);
    EXPECT_EQ(r.PassiveRestraints, 11);
    EXPECT_EQ(r.SpecialEngineType, 21);
    EXPECT_EQ(r.AuxSet, 1001);
    EXPECT_EQ(r.Performance, 31);
    EXPECT_EQ(r.Symbol, 102);
    EXPECT_EQ(Text(r.VehicleClass), "VehicleClass#1");
    EXPECT_EQ(r.AntiTheft, 2001);
    EXPECT_EQ(r.DaytimeRunningLamps, 41);
    EXPECT_EQ(r.ABS, 51);
    EXPECT_EQ(r.NonVSRSymbol, 103);
    EXPECT_EQ(r.ModelYear, 104);
    EXPECT_EQ(r.LookupMode, 105);
    EXPECT_EQ(Text(r.AuxText), "AuxText#1");
    EXPECT_EQ(r.HighTheft, 1);
    EXPECT_EQ(Text(r.StateExceptions), "StateExceptions#1");
    EXPECT_EQ(r.CompSymbol, 106);
    EXPECT_EQ(r.CollSymbol, 107);
    EXPECT_EQ(r.PriceSymbol, 108);
    EXPECT_EQ(r.AuxValue, 109);
    EXPECT_EQ(r.RecordKind, 110);
}

TEST(ChassixRecord, RoundTripKeepsEveryField)
{
    TVinRecord source;
    FillDistinct(source, 1);
    TVinRecord target;
    FillDistinct(target, 2);
    {
        TChassixRecord data(source);
        data.CopyTo(target);
    }
    ExpectAllFieldsEqual(target, source);
}

TEST(ChassixRecord, EmptyTextsTravelAsNull)
{
    TVinRecord source;
    source.Clear();
    TChassixRecord data(source);
    EXPECT_EQ(data.Record().VIN, nullptr);
    EXPECT_EQ(data.Record().AuxText, nullptr);
    EXPECT_EQ(data.Record().StateExceptions, nullptr);
    EXPECT_EQ(data.Record().SpecialEngineType, 4);
    EXPECT_EQ(data.Record().LookupMode, 1);

    TVinRecord target;
    FillDistinct(target, 2);
    data.CopyTo(target);
    ExpectAllFieldsEqual(target, source);
}

TEST(ChassixRecord, TakesWhatTheEngineWroteAndFreesIt)
{
    TVinRecord record;
    FillDistinct(record, 1);
    {
        TChassixRecord data(record);
        ChassixVinRecord& r = *data.Data();
        EngineAssign(r.VIN, nullptr);
        EngineAssign(r.Make, "Arvelo");
        EngineAssign(r.AuxText, "engine:7");
        r.FWD = 2; // any non-zero byte is true
        r.HighTheft = 0;
        r.Performance = 250;
        r.AuxValue = -7;
        r.RecordKind = 3;
        r.StructSize = 1; // the engine's business; never copied
        data.CopyTo(record);
    }
    EXPECT_EQ(record.VIN, "");
    EXPECT_EQ(record.Make, "Arvelo");
    EXPECT_EQ(record.AuxText, "engine:7");
    EXPECT_TRUE(record.FWD);
    EXPECT_FALSE(record.HighTheft);
    EXPECT_EQ(record.Performance, 250);
    EXPECT_EQ(record.AuxValue, -7);
    EXPECT_EQ(record.RecordKind, 3);
    EXPECT_EQ(record.Model, "Model#1");
}

} // namespace
} // namespace carlume::test
