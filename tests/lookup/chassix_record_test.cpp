#include "lookup/chassix_record.h"

#include "tests/lookup/vin_record_fields.h"

#include <gtest/gtest.h>

#include <concepts>
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

// A field of the C record against the same field of a TVinRecord.
std::string Value(const char* text)
{
    return Text(text);
}
std::string Value(const std::string& text)
{
    return text;
}
double Value(double number)
{
    return number;
}
template <std::integral T> long long Value(T number) // Booleans too: the engine reads 1 for true
{
    return number;
}

TEST(ChassixRecord, CarriesEveryFieldIntoTheEnginesForm)
{
    TVinRecord source;
    FillDistinct(source, 1);
    source.AuxValue = 77;
    source.RecordKind = 3;
    TChassixRecord data(source);
    const ChassixVinRecord& r = data.Record();

    EXPECT_EQ(r.StructSize, sizeof(ChassixVinRecord));
#define CARLUME_EXPECT_SAME(Field) EXPECT_EQ(Value(r.Field), Value(source.Field)) << #Field;
    CARLUME_VIN_RECORD_CLEARED_FIELDS(CARLUME_EXPECT_SAME)
#undef CARLUME_EXPECT_SAME
    EXPECT_EQ(r.Effective, 1000.25); // not cut to a whole number above
    EXPECT_EQ(r.AuxValue, 77);
    EXPECT_EQ(r.RecordKind, 3);
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
