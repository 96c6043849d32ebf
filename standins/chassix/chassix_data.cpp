// The stand-in engine's made-up vehicles. None of the makes, models or VINs is real.
//
// Makes (list order, unsorted on purpose; keys differ in case from the texts):
//   Caldrix CALDRIX, Arvelo ARVELO, Brenmoor BRENMOOR
// Models per make and year (list order, unsorted on purpose):
//   ARVELO 2010: Tessor TESSOR, Quillon QUILLON
//   BRENMOOR 2011: Halvard HALVARD        BRENMOOR 2012: Morrow MORROW
//   CALDRIX 2012: Ostrel R&S OSTREL, Vantle VANTLE (no vehicles), Kestrane KESTRANE
// Years with data: 2010-2012. The year list starts at 2009, which has no models.
//
// A VIN matches a VIN text when their first ten characters agree, case-insensitive, '&' on either side
// matching any character; a query shorter than ten characters matches nothing. Position 9 of a VIN
// text is '&' (the check digit), position 10 the year code (A 2010, B 2011, C 2012).
// GetRecordByVIN takes the first match of a rated kind that is valid at the record's Effective date:
// with LookupMode 1 kind 1 only, with any other mode kinds 1 and 3; kind 2 never. A vehicle is valid
// from ValidFrom to ValidTo, whole days, either end open. Before its symbol-change date a vehicle gives
// its original symbol. The VIN walk covers every kind; the sub-model walk every item of a make key and
// year, of one model key or, with an empty one, of all models.
//
// id year make     model key model name / series              VIN text   kind symbols         valid
//  1 2010 ARVELO   QUILLON   Quillon / 4D Sedan               1AVQL14S&A 1    9, from 2011 11 open
//  2 2010 ARVELO   TESSOR    Tessor LX / 2D Coupe             1AVTS22L&A 1    14              open
//  3 2010 ARVELO   TESSOR    Tessor LX / 2D Coupe             1AVTS22L&A 1    14              open
//  4 2010 ARVELO   TESSOR    Tessor GT / 2D Coupe             1AVTS26G&A 1    18              to 2015-12-31
//  5 2010 ARVELO   TESSOR    Tessor LX / Wagon                1AVTS22W&A 1    15              from 2009-07-01
//  6 2011 BRENMOOR HALVARD   Halvard / 4D Utility 4WD         2BMHV44U&B 3    comp 21 coll 17 open
//  7 2012 BRENMOOR MORROW    Morrow SE / 4D Sedan             2BMMR55X&C 3    comp 15 coll 14 open
//  8 2012 BRENMOOR MORROW    Morrow Limited / 4D Sedan        2BMMR55X&C 3    comp 16 coll 15 open
//  9 2012 BRENMOOR MORROW    Morrow Chassis Cab / Chassis Cab 2BMMR55X&C 2    none            open
// 10 2012 CALDRIX  KESTRANE  Kestrane / 4D Pickup             3CXKS44P&C 3    comp 19 coll 23 open
// 11 2012 CALDRIX  OSTREL    Ostrel R&S / Convertible         3CXOS21C&C 3    comp 25 coll 27 open
//
// What each one is for:
//  1  one sub-model, so no chooser; a single VIN match found on the first try (mode 1); the original
//     symbol 9 before 2011-01-01 (effective 01/01/1950 asks for it); VehicleClass with blanks around it;
//     anti-theft {Alarm, Passive Disabling}, restraints {Driver, Passenger}, ABS Standard, DRL Optional,
//     FWD, price symbol 5. The hand-back file of /VIN=1AVQL14S1A comes from this vehicle.
//  2,3 one VIN text on two consecutive items that differ only in the transmission: one chooser row.
//  4  valid until 2015-12-31: in the Tessor chooser for a lookup in 2014, not today; Sports, Turbo, 6 cyl.
//  5  valid from 2009-07-01: not valid for the original-symbol date 01/01/1950. The Tessor chooser has
//     two rows today and three for a 2014 lookup date.
//  6  2011, rated kind 3: GetRecordByVIN finds it only with LookupMode 3 (the second try); High Theft,
//     anti-theft {1, 3, 4}, restraints {0-5}.
//  7,8 one VIN, two model names: the VIN chooser with two rows.
//  9  unrated kind 2 under the same VIN: left out of the VIN chooser, never returned by GetRecordByVIN.
// 10  anti-theft {8} only, restraints {6} "None", Sports Premium, ABS and DRL Not Available, Diesel.
// 11  "&" in the model text.
//     Vantle has no vehicles: its sub-model walk is empty at once.
// Vehicles before 2011 carry a single symbol; from 2011 on they carry comp and coll symbols instead.
#include "standins/chassix/chassix_data.h"

#include <initializer_list>

namespace carlume::chassix_fake {
namespace {

constexpr FakeMake kMakes[] = {
    {"Caldrix", "CALDRIX"},
    {"Arvelo", "ARVELO"},
    {"Brenmoor", "BRENMOOR"},
};

constexpr FakeModel kModels[] = {
    {"ARVELO", 2010, "Tessor", "TESSOR"},      {"ARVELO", 2010, "Quillon", "QUILLON"},
    {"BRENMOOR", 2011, "Halvard", "HALVARD"},  {"BRENMOOR", 2012, "Morrow", "MORROW"},
    {"CALDRIX", 2012, "Ostrel R&S", "OSTREL"}, {"CALDRIX", 2012, "Vantle", "VANTLE"},
    {"CALDRIX", 2012, "Kestrane", "KESTRANE"},
};

// Anti-theft and restraint sets by bit number.
constexpr std::uint16_t Bits(std::initializer_list<int> bits)
{
    std::uint16_t set = 0;
    for (int bit : bits) {
        set = std::uint16_t(set | (1U << bit));
    }
    return set;
}

// One vehicle per block, related fields together.
// clang-format off
constexpr FakeVehicle kVehicles[] = {
    {.Id = 1, .Year = 2010, .MakeKey = "ARVELO", .ModelKey = "QUILLON", .ModelName = "Quillon",
     .Series = "4D Sedan",
     .VinText = "1AVQL14S&A", .Kind = 1, .ValidFrom = 0, .ValidTo = 0,
     .Symbol = 11, .OriginalSymbol = 9, .SymbolChange = Serial(2011, 1, 1), .CompSymbol = 0, .CollSymbol = 0,
     .PriceSymbol = 5, .NonVSRSymbol = 11,
     .VehicleClass = "  Compact  ", .Body = "4D SED", .BodyInfo = "Sedan 4 Door", .EngineSize = "2.0L",
     .EngineInfo = "2.0L I4",
     .RestraintInfo = "Dual front airbags", .TransmissionInfo = "Automatic", .OtherInfo = "",
     .StateExceptions = "",
     .Cylinders = 4, .FWD = true, .Performance = 0, .SpecialEngineType = 4, .AntiTheft = Bits({0, 2}),
     .PassiveRestraints = std::uint8_t(Bits({0, 1})), .ABS = 1, .DaytimeRunningLamps = 2, .HighTheft = false},
    {.Id = 2, .Year = 2010, .MakeKey = "ARVELO", .ModelKey = "TESSOR", .ModelName = "Tessor LX",
     .Series = "2D Coupe",
     .VinText = "1AVTS22L&A", .Kind = 1, .ValidFrom = 0, .ValidTo = 0,
     .Symbol = 14, .OriginalSymbol = 14, .SymbolChange = 0, .CompSymbol = 0, .CollSymbol = 0,
     .PriceSymbol = 6, .NonVSRSymbol = 14,
     .VehicleClass = "Sport Compact", .Body = "2D CPE", .BodyInfo = "Coupe 2 Door", .EngineSize = "1.8L",
     .EngineInfo = "1.8L I4",
     .RestraintInfo = "Dual front airbags", .TransmissionInfo = "Manual", .OtherInfo = "",
     .StateExceptions = "",
     .Cylinders = 4, .FWD = true, .Performance = 1, .SpecialEngineType = 4, .AntiTheft = Bits({0}),
     .PassiveRestraints = std::uint8_t(Bits({0, 1})), .ABS = 1, .DaytimeRunningLamps = 2, .HighTheft = false},
    {.Id = 3, .Year = 2010, .MakeKey = "ARVELO", .ModelKey = "TESSOR", .ModelName = "Tessor LX",
     .Series = "2D Coupe",
     .VinText = "1AVTS22L&A", .Kind = 1, .ValidFrom = 0, .ValidTo = 0,
     .Symbol = 14, .OriginalSymbol = 14, .SymbolChange = 0, .CompSymbol = 0, .CollSymbol = 0,
     .PriceSymbol = 6, .NonVSRSymbol = 14,
     .VehicleClass = "Sport Compact", .Body = "2D CPE", .BodyInfo = "Coupe 2 Door", .EngineSize = "1.8L",
     .EngineInfo = "1.8L I4",
     .RestraintInfo = "Dual front airbags", .TransmissionInfo = "Automatic", .OtherInfo = "",
     .StateExceptions = "",
     .Cylinders = 4, .FWD = true, .Performance = 1, .SpecialEngineType = 4, .AntiTheft = Bits({0}),
     .PassiveRestraints = std::uint8_t(Bits({0, 1})), .ABS = 1, .DaytimeRunningLamps = 2, .HighTheft = false},
    {.Id = 4, .Year = 2010, .MakeKey = "ARVELO", .ModelKey = "TESSOR", .ModelName = "Tessor GT",
     .Series = "2D Coupe",
     .VinText = "1AVTS26G&A", .Kind = 1, .ValidFrom = 0, .ValidTo = Serial(2015, 12, 31),
     .Symbol = 18, .OriginalSymbol = 18, .SymbolChange = 0, .CompSymbol = 0, .CollSymbol = 0,
     .PriceSymbol = 8, .NonVSRSymbol = 18,
     .VehicleClass = "Sport Compact", .Body = "2D CPE", .BodyInfo = "Coupe 2 Door", .EngineSize = "2.5L",
     .EngineInfo = "2.5L V6 Turbo",
     .RestraintInfo = "Dual front airbags", .TransmissionInfo = "Manual", .OtherInfo = "",
     .StateExceptions = "",
     .Cylinders = 6, .FWD = false, .Performance = 3, .SpecialEngineType = 0, .AntiTheft = Bits({0, 1}),
     .PassiveRestraints = std::uint8_t(Bits({0, 1})), .ABS = 1, .DaytimeRunningLamps = 1, .HighTheft = false},
    {.Id = 5, .Year = 2010, .MakeKey = "ARVELO", .ModelKey = "TESSOR", .ModelName = "Tessor LX",
     .Series = "Wagon",
     .VinText = "1AVTS22W&A", .Kind = 1, .ValidFrom = Serial(2009, 7, 1), .ValidTo = 0,
     .Symbol = 15, .OriginalSymbol = 15, .SymbolChange = 0, .CompSymbol = 0, .CollSymbol = 0,
     .PriceSymbol = 6, .NonVSRSymbol = 15,
     .VehicleClass = "Compact", .Body = "4D WGN", .BodyInfo = "Wagon 4 Door", .EngineSize = "1.8L",
     .EngineInfo = "1.8L I4",
     .RestraintInfo = "Front and side airbags", .TransmissionInfo = "Automatic", .OtherInfo = "",
     .StateExceptions = "",
     .Cylinders = 4, .FWD = true, .Performance = 1, .SpecialEngineType = 4, .AntiTheft = Bits({0}),
     .PassiveRestraints = std::uint8_t(Bits({0, 1, 2, 3})), .ABS = 1, .DaytimeRunningLamps = 2,
     .HighTheft = false},
    {.Id = 6, .Year = 2011, .MakeKey = "BRENMOOR", .ModelKey = "HALVARD", .ModelName = "Halvard",
     .Series = "4D Utility 4WD",
     .VinText = "2BMHV44U&B", .Kind = 3, .ValidFrom = 0, .ValidTo = 0,
     .Symbol = 0, .OriginalSymbol = 0, .SymbolChange = 0, .CompSymbol = 21, .CollSymbol = 17,
     .PriceSymbol = 9, .NonVSRSymbol = 0,
     .VehicleClass = "Midsize Utility", .Body = "4D UTL", .BodyInfo = "Utility 4 Door", .EngineSize = "3.5L",
     .EngineInfo = "3.5L V6",
     .RestraintInfo = "Front, side and curtain airbags", .TransmissionInfo = "Automatic",
     .OtherInfo = "Tow package", .StateExceptions = "NJ NY",
     .Cylinders = 6, .FWD = false, .Performance = 2, .SpecialEngineType = 4, .AntiTheft = Bits({1, 3, 4}),
     .PassiveRestraints = std::uint8_t(Bits({0, 1, 2, 3, 4, 5})), .ABS = 1, .DaytimeRunningLamps = 1,
     .HighTheft = true},
    {.Id = 7, .Year = 2012, .MakeKey = "BRENMOOR", .ModelKey = "MORROW", .ModelName = "Morrow SE",
     .Series = "4D Sedan",
     .VinText = "2BMMR55X&C", .Kind = 3, .ValidFrom = 0, .ValidTo = 0,
     .Symbol = 0, .OriginalSymbol = 0, .SymbolChange = 0, .CompSymbol = 15, .CollSymbol = 14,
     .PriceSymbol = 7, .NonVSRSymbol = 0,
     .VehicleClass = "Fullsize", .Body = "4D SED", .BodyInfo = "Sedan 4 Door", .EngineSize = "3.0L",
     .EngineInfo = "3.0L V6",
     .RestraintInfo = "Front and side airbags", .TransmissionInfo = "Automatic", .OtherInfo = "",
     .StateExceptions = "",
     .Cylinders = 6, .FWD = true, .Performance = 1, .SpecialEngineType = 4, .AntiTheft = Bits({0, 2}),
     .PassiveRestraints = std::uint8_t(Bits({0, 1, 2, 3})), .ABS = 1, .DaytimeRunningLamps = 1,
     .HighTheft = false},
    {.Id = 8, .Year = 2012, .MakeKey = "BRENMOOR", .ModelKey = "MORROW", .ModelName = "Morrow Limited",
     .Series = "4D Sedan",
     .VinText = "2BMMR55X&C", .Kind = 3, .ValidFrom = 0, .ValidTo = 0,
     .Symbol = 0, .OriginalSymbol = 0, .SymbolChange = 0, .CompSymbol = 16, .CollSymbol = 15,
     .PriceSymbol = 8, .NonVSRSymbol = 0,
     .VehicleClass = "Fullsize", .Body = "4D SED", .BodyInfo = "Sedan 4 Door", .EngineSize = "3.0L",
     .EngineInfo = "3.0L V6",
     .RestraintInfo = "Front and side airbags", .TransmissionInfo = "Automatic",
     .OtherInfo = "Leather package", .StateExceptions = "",
     .Cylinders = 6, .FWD = true, .Performance = 2, .SpecialEngineType = 4, .AntiTheft = Bits({0, 2}),
     .PassiveRestraints = std::uint8_t(Bits({0, 1, 2, 3})), .ABS = 1, .DaytimeRunningLamps = 1,
     .HighTheft = false},
    {.Id = 9, .Year = 2012, .MakeKey = "BRENMOOR", .ModelKey = "MORROW", .ModelName = "Morrow Chassis Cab",
     .Series = "Chassis Cab",
     .VinText = "2BMMR55X&C", .Kind = 2, .ValidFrom = 0, .ValidTo = 0,
     .Symbol = 0, .OriginalSymbol = 0, .SymbolChange = 0, .CompSymbol = 0, .CollSymbol = 0, .PriceSymbol = 0,
     .NonVSRSymbol = 0,
     .VehicleClass = "", .Body = "CHASSIS", .BodyInfo = "Cab and Chassis", .EngineSize = "3.0L",
     .EngineInfo = "3.0L V6",
     .RestraintInfo = "Dual front airbags", .TransmissionInfo = "Automatic", .OtherInfo = "Commercial",
     .StateExceptions = "",
     .Cylinders = 6, .FWD = false, .Performance = 0, .SpecialEngineType = 4, .AntiTheft = 0,
     .PassiveRestraints = std::uint8_t(Bits({0, 1})), .ABS = 0, .DaytimeRunningLamps = 0, .HighTheft = false},
    {.Id = 10, .Year = 2012, .MakeKey = "CALDRIX", .ModelKey = "KESTRANE", .ModelName = "Kestrane",
     .Series = "4D Pickup",
     .VinText = "3CXKS44P&C", .Kind = 3, .ValidFrom = 0, .ValidTo = 0,
     .Symbol = 0, .OriginalSymbol = 0, .SymbolChange = 0, .CompSymbol = 19, .CollSymbol = 23,
     .PriceSymbol = 12, .NonVSRSymbol = 0,
     .VehicleClass = "Fullsize Pickup", .Body = "4D PU", .BodyInfo = "Pickup Crew Cab", .EngineSize = "6.7L",
     .EngineInfo = "6.7L I6 Diesel",
     .RestraintInfo = "None", .TransmissionInfo = "Automatic", .OtherInfo = "Dual rear wheels",
     .StateExceptions = "CA",
     .Cylinders = 6, .FWD = false, .Performance = 4, .SpecialEngineType = 1, .AntiTheft = Bits({8}),
     .PassiveRestraints = std::uint8_t(Bits({6})), .ABS = 3, .DaytimeRunningLamps = 3, .HighTheft = false},
    {.Id = 11, .Year = 2012, .MakeKey = "CALDRIX", .ModelKey = "OSTREL", .ModelName = "Ostrel R&S",
     .Series = "Convertible",
     .VinText = "3CXOS21C&C", .Kind = 3, .ValidFrom = 0, .ValidTo = 0,
     .Symbol = 0, .OriginalSymbol = 0, .SymbolChange = 0, .CompSymbol = 25, .CollSymbol = 27,
     .PriceSymbol = 14, .NonVSRSymbol = 0,
     .VehicleClass = "Sports", .Body = "2D CNV", .BodyInfo = "Convertible 2 Door", .EngineSize = "3.0L",
     .EngineInfo = "3.0L V6",
     .RestraintInfo = "Dual front airbags", .TransmissionInfo = "Manual", .OtherInfo = "",
     .StateExceptions = "",
     .Cylinders = 6, .FWD = false, .Performance = 3, .SpecialEngineType = 4, .AntiTheft = Bits({0}),
     .PassiveRestraints = std::uint8_t(Bits({0, 1})), .ABS = 1, .DaytimeRunningLamps = 2, .HighTheft = false},
};
// clang-format on

} // namespace

std::span<const FakeMake> Makes()
{
    return kMakes;
}

std::span<const FakeModel> Models()
{
    return kModels;
}

std::span<const FakeVehicle> Vehicles()
{
    return kVehicles;
}

} // namespace carlume::chassix_fake
