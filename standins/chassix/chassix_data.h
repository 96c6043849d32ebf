#pragma once

#include <cstdint>
#include <span>

namespace carlume::chassix_fake {

/// Length of a VIN text: the part of a VIN the stand-in compares.
inline constexpr int kVinTextLength = 10;

struct FakeMake {
    const char* Text;
    const char* Key;
};

struct FakeModel {
    const char* MakeKey;
    std::int32_t Year;
    const char* Text;
    const char* Key;
};

/// One vehicle. Dates are day serials (days since 1899-12-30); 0 means open.
struct FakeVehicle {
    std::int32_t Id;
    std::int32_t Year;
    const char* MakeKey;
    const char* ModelKey;
    const char* ModelName; // the record's Model and chooser column 0
    const char* Series;    // ModelInfo, column 6
    const char* VinText;   // '&' matches any character
    std::int32_t Kind;     // 1 and 3 are rated
    double ValidFrom;
    double ValidTo;
    std::int32_t Symbol;
    std::int32_t OriginalSymbol; // before SymbolChange
    double SymbolChange;
    std::int32_t CompSymbol;
    std::int32_t CollSymbol;
    std::int32_t PriceSymbol;
    std::int32_t NonVSRSymbol;
    const char* VehicleClass;
    const char* Body;
    const char* BodyInfo; // column 2, "Body Style"
    const char* EngineSize;
    const char* EngineInfo;
    const char* RestraintInfo;
    const char* TransmissionInfo;
    const char* OtherInfo;
    const char* StateExceptions;
    std::int32_t Cylinders;
    bool FWD;
    std::uint8_t Performance;
    std::uint8_t SpecialEngineType;
    std::uint16_t AntiTheft;
    std::uint8_t PassiveRestraints;
    std::uint8_t ABS;
    std::uint8_t DaytimeRunningLamps;
    bool HighTheft;
};

/// Day serial of a calendar date.
constexpr double Serial(int year, int month, int day)
{
    // Days from 1970-01-01 of the proleptic Gregorian calendar, then moved to the 1899-12-30 epoch.
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yoe = year - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return double(era * 146097 + doe - 719468 + 25569);
}

std::span<const FakeMake> Makes();
std::span<const FakeModel> Models();
std::span<const FakeVehicle> Vehicles();

} // namespace carlume::chassix_fake
