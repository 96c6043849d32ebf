#include "lookup/chassix_record.h"

#include "tests/lookup/vin_record_fields.h"

#include <gtest/gtest.h>

#include <concepts>
#include <cstdlib>
#include <cstring>
#include <string>

namespace carlume::test {
namespace {

// A field of the C record against the same field of a TVinRecord.
std::string Value(const char* text)
{
    return text != nullptr ? text : "(null)";
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

TEST(ChassixRecord, EveryFieldTravelsIntoTheEnginesFormAndBack)
{
    TVinRecord source;
    FillDistinct(source, 1);
    TVinRecord target;
    FillDistinct(target, 2);
    {
        TChassixRecord data(source);
        const ChassixVinRecord& r = data.Record();
        EXPECT_EQ(r.StructSize, sizeof(ChassixVinRecord));
#define CARLUME_EXPECT_SAME(Field) EXPECT_EQ(Value(r.Field), Value(source.Field)) << #Field;
        CARLUME_VIN_RECORD_CLEARED_FIELDS(CARLUME_EXPECT_SAME)
#undef CARLUME_EXPECT_SAME
        EXPECT_EQ(r.Effective, 1000.25);
        data.CopyTo(target);
    }
    ExpectAllFieldsEqual(target, source);

    source.Clear(); // empty texts travel as null
    TChassixRecord data(source);
    EXPECT_EQ(data.Record().VIN, nullptr);
    EXPECT_EQ(data.Record().StateExceptions, nullptr);
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
        std::free(r.VIN); // as the engine assigns a text
        r.VIN = nullptr;
        std::free(r.Make);
        r.Make = strdup("Arvelo");
        r.FWD = 2; // any non-zero byte is true
        r.HighTheft = 0;
        r.AuxValue = -7;
        r.StructSize = 1; // the engine's business; never copied
        data.CopyTo(record);
    }
    EXPECT_EQ(record.VIN, "");
    EXPECT_EQ(record.Make, "Arvelo");
    EXPECT_TRUE(record.FWD);
    EXPECT_FALSE(record.HighTheft);
    EXPECT_EQ(record.AuxValue, -7);
    EXPECT_EQ(record.Model, "Model#1");
}

} // namespace
} // namespace carlume::test
