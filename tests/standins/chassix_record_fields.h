/* The record's fields in declaration order, for the layout checks made in C and in C++. */
#pragma once

/* clang-format off */
#define CHASSIX_TEST_RECORD_FIELDS(X)                                                                        \
    X(StructSize) X(FWD) X(Cylinders) X(VIN) X(OtherInfo) X(TransmissionInfo) X(BodyInfo) X(RestraintInfo)   \
    X(Make) X(Model) X(EngineInfo) X(ModelInfo) X(Body) X(Effective) X(PassiveRestraints)                    \
    X(SpecialEngineType) X(AuxSet) X(Performance) X(Symbol) X(VehicleClass) X(AntiTheft)                     \
    X(DaytimeRunningLamps) X(ABS) X(NonVSRSymbol) X(ModelYear) X(LookupMode) X(AuxText) X(HighTheft)         \
    X(StateExceptions) X(CompSymbol) X(CollSymbol) X(PriceSymbol) X(AuxValue) X(RecordKind)
/* clang-format on */
