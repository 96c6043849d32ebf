#pragma once

// The record's fields for the tests: a filler that gives every field a value of its own, and checks that
// compare field by field, so a field that Clear, Assign or the marshalling forgets shows by name.

#include "lookup/vin_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

// Every field that Clear sets and Assign copies, in declared order.
#define CARLUME_VIN_RECORD_CLEARED_FIELDS(X)                                                                 \
    X(FWD)                                                                                                   \
    X(Cylinders)                                                                                             \
    X(VIN)                                                                                                   \
    X(OtherInfo)                                                                                             \
    X(TransmissionInfo)                                                                                      \
    X(BodyInfo)                                                                                              \
    X(RestraintInfo)                                                                                         \
    X(Make)                                                                                                  \
    X(Model)                                                                                                 \
    X(EngineInfo)                                                                                            \
    X(ModelInfo)                                                                                             \
    X(Body)                                                                                                  \
    X(Effective)                                                                                             \
    X(PassiveRestraints)                                                                                     \
    X(SpecialEngineType)                                                                                     \
    X(AuxSet)                                                                                                \
    X(Performance)                                                                                           \
    X(Symbol)                                                                                                \
    X(VehicleClass)                                                                                          \
    X(AntiTheft)                                                                                             \
    X(DaytimeRunningLamps)                                                                                   \
    X(ABS)                                                                                                   \
    X(NonVSRSymbol)                                                                                          \
    X(ModelYear)                                                                                             \
    X(LookupMode)                                                                                            \
    X(AuxText)                                                                                               \
    X(HighTheft)                                                                                             \
    X(StateExceptions)                                                                                       \
    X(CompSymbol)                                                                                            \
    X(CollSymbol)                                                                                            \
    X(PriceSymbol)

namespace carlume::test {

/// Gives every field a value that differs from the other fields, from a cleared record and from the
/// values of any other `seed` (1 and 2 differ in every field, Booleans included).
inline void FillDistinct(TVinRecord& record, int seed)
{
    const std::string tag = "#" + std::to_string(seed);
    const bool flag = seed % 2 == 1;
    record.FWD = flag;
    record.Cylinders = seed * 100 + 1;
    record.VIN = "VIN" + tag;
    record.OtherInfo = "OtherInfo" + tag;
    record.TransmissionInfo = "TransmissionInfo" + tag;
    record.BodyInfo = "BodyInfo" + tag;
    record.RestraintInfo = "RestraintInfo" + tag;
    record.Make = "Make" + tag;
    record.Model = "Model" + tag;
    record.EngineInfo = "EngineInfo" + tag;
    record.ModelInfo = "ModelInfo" + tag;
    record.Body = "Body" + tag;
    record.Effective = seed * 1000 + 0.25;
    record.PassiveRestraints = std::uint8_t(seed + 10);
    record.SpecialEngineType = std::uint8_t(seed + 20);
    record.AuxSet = std::uint16_t(seed + 1000);
    record.Performance = std::uint8_t(seed + 30);
    record.Symbol = seed * 100 + 2;
    record.VehicleClass = "VehicleClass" + tag;
    record.AntiTheft = std::uint16_t(seed + 2000);
    record.DaytimeRunningLamps = std::uint8_t(seed + 40);
    record.ABS = std::uint8_t(seed + 50);
    record.NonVSRSymbol = seed * 100 + 3;
    record.ModelYear = seed * 100 + 4;
    record.LookupMode = seed * 100 + 5;
    record.AuxText = "AuxText" + tag;
    record.HighTheft = flag;
    record.StateExceptions = "StateExceptions" + tag;
    record.CompSymbol = seed * 100 + 6;
    record.CollSymbol = seed * 100 + 7;
    record.PriceSymbol = seed * 100 + 8;
    record.AuxValue = seed * 100 + 9;
    record.RecordKind = seed * 100 + 10;
}

/// Expects every field of `actual` that Clear and Assign handle to equal that of `expected`.
inline void ExpectClearedFieldsEqual(const TVinRecord& actual, const TVinRecord& expected)
{
#define CARLUME_EXPECT_FIELD(Field) EXPECT_EQ(actual.Field, expected.Field) << #Field;
    CARLUME_VIN_RECORD_CLEARED_FIELDS(CARLUME_EXPECT_FIELD)
#undef CARLUME_EXPECT_FIELD
}

/// Expects every field of `actual` to equal that of `expected`, the engine's own ones included.
inline void ExpectAllFieldsEqual(const TVinRecord& actual, const TVinRecord& expected)
{
    ExpectClearedFieldsEqual(actual, expected);
    EXPECT_EQ(actual.AuxValue, expected.AuxValue) << "AuxValue";
    EXPECT_EQ(actual.RecordKind, expected.RecordKind) << "RecordKind";
}

} // namespace carlume::test
