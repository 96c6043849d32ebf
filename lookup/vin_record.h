#pragma once

// One vehicle's rating data, and its listing as label/value lines (the result grid, the printed report and
// the hand-back file cquery.dat all read the same lines).
//
// The engine fills a record through the C structure of lookup/chassix_abi.h; the bridge copies between
// the two around each engine call (lookup/chassix_record.h), so this class stays plain C++.

#include "platform/date_time.h"
#include "platform/string_list.h"
#include "platform/sysutils.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace carlume {

/// Performance classes, indexed by `TVinRecord::Performance`.
inline constexpr std::array<std::string_view, 5> PerformanceNames = {"Standard", "Intermediate", "High",
                                                                     "Sports", "Sports Premium"};
/// Availability of a feature, indexed by `TVinRecord::ABS` and `TVinRecord::DaytimeRunningLamps`.
inline constexpr std::array<std::string_view, 4> AvailabilityNames = {"Unknown", "Standard", "Optional",
                                                                      "Not Available"};
/// Special engine types, indexed by `TVinRecord::SpecialEngineType`.
inline constexpr std::array<std::string_view, 5> EngineTypeNames = {"Turbo", "Diesel", "Turbo Diesel",
                                                                    "Natural Gas", "None"};
/// Anti-theft devices, by bit number of `TVinRecord::AntiTheft`.
inline constexpr std::array<std::string_view, 9> AntiTheftNames = {"Alarm",
                                                                   "Active Disabling",
                                                                   "Passive Disabling",
                                                                   "Vehicle Recovery",
                                                                   "Other MA Category I",
                                                                   "Other MA Category II",
                                                                   "Other MA Category III",
                                                                   "Other MA Category IV",
                                                                   "Other MA Category V"};
/// Passive restraints, by bit number of `TVinRecord::PassiveRestraints`.
inline constexpr std::array<std::string_view, 8> RestraintNames = {
    "Driver",           "Passenger",           "Drivers Side", "Passengers Side",
    "Driver Auto Belt", "Passenger Auto Belt", "None",         "Unknown"};

/// `SpecialEngineType` of a cleared record: "None".
inline constexpr std::uint8_t SpecialEngineTypeNone = 4;
/// First model year rated with separate comprehensive and collision symbols.
inline constexpr std::int32_t FirstCompCollModelYear = 2011;
/// The first line of the hand-back file.
inline constexpr std::string_view VehiclePropertiesSection = "[VehicleProperties]";

/// The name a table gives a code; a code outside the table (the engine may write any byte) gives its
/// decimal number instead, so it is never empty and never read outside the table.
template <std::size_t N> std::string NameOf(const std::array<std::string_view, N>& table, unsigned value)
{
    return value < N ? std::string(table[value]) : IntToStr(value);
}

/// One vehicle's data: identity, rating symbols, descriptive texts and coded attributes. A new record has
/// every field zero, false or empty; `Clear` prepares it for a lookup.
class TVinRecord : public TObject {
public:
    TVinRecord() = default;
    // Copies go through Assign, which leaves AuxValue and RecordKind alone.
    TVinRecord(const TVinRecord&) = delete;
    TVinRecord& operator=(const TVinRecord&) = delete;

    bool FWD = false;                     ///< front-wheel drive
    std::int32_t Cylinders = 0;           ///< number of cylinders
    std::string VIN;                      ///< vehicle identification number
    std::string OtherInfo;                ///< other information
    std::string TransmissionInfo;         ///< transmission
    std::string BodyInfo;                 ///< body information
    std::string RestraintInfo;            ///< restraint information
    std::string Make;                     ///< make
    std::string Model;                    ///< model
    std::string EngineInfo;               ///< engine information
    std::string ModelInfo;                ///< model information
    std::string Body;                     ///< body
    TDateTime Effective = 0;              ///< effective date of the lookup
    std::uint8_t PassiveRestraints = 0;   ///< bit i: restraint i of `RestraintNames`
    std::uint8_t SpecialEngineType = 0;   ///< index into `EngineTypeNames`
    std::uint16_t AuxSet = 0;             ///< the engine's; cleared and copied, never shown
    std::uint8_t Performance = 0;         ///< index into `PerformanceNames`
    std::int32_t Symbol = 0;              ///< rating symbol (model years before 2011)
    std::string VehicleClass;             ///< vehicle class
    std::uint16_t AntiTheft = 0;          ///< bit i: device i of `AntiTheftNames` (bits 9-15 unused)
    std::uint8_t DaytimeRunningLamps = 0; ///< index into `AvailabilityNames`
    std::uint8_t ABS = 0;                 ///< anti-lock brakes: index into `AvailabilityNames`
    std::int32_t NonVSRSymbol = 0;        ///< non-VSR symbol
    std::int32_t ModelYear = 0;           ///< model year; 0 = no vehicle found
    std::int32_t LookupMode = 0;          ///< mode handed to the engine: 1 after `Clear`, 3 for 2011 on
    std::string AuxText;                  ///< the engine's; cleared and copied, never shown
    bool HighTheft = false;               ///< high-theft vehicle
    std::string StateExceptions;          ///< state exceptions
    std::int32_t CompSymbol = 0;          ///< comprehensive symbol (model years from 2011 on)
    std::int32_t CollSymbol = 0;          ///< collision symbol (model years from 2011 on)
    std::int32_t PriceSymbol = 0;         ///< price symbol
    std::int32_t AuxValue = 0;            ///< the engine's alone: never cleared or copied by the program
    std::int32_t RecordKind = 0;          ///< kind of record, set by the engine (1 and 3 are rated)

    /// Resets every field for a new lookup: zero or empty, except `Effective` = `Now`,
    /// `SpecialEngineType` = 4 ("None") and `LookupMode` = 1. `AuxValue` and `RecordKind` keep their values.
    void Clear();
    /// Copies every field of `source` that `Clear` sets; `AuxValue` and `RecordKind` keep their values.
    void Assign(const TVinRecord& source);

    /// The label/value lines, each "label" + `separator` + "value", in their fixed order. With
    /// `includeEmpty` false the lines of empty text values are left out; with `stripLabelSpaces` the
    /// labels lose their blanks ("Model Year" gives "ModelYear"). Codes outside their table show as their
    /// number; "Effective" (the process-wide short date) is listed only for a year after 1950, never for a
    /// value that is no date. Values keep any line break they hold. The caller owns the list.
    std::unique_ptr<TStringList> ToStrings(bool includeEmpty, const std::string& separator,
                                           bool stripLabelSpaces) const;
    /// Writes the hand-back file: "[VehicleProperties]", then every line of `ToStrings(true, "=",
    /// stripLabelSpaces)`, each ending in CR LF. A CR or LF inside a value is written as a blank so every
    /// line stays one line. The file is replaced atomically; on failure no file (and no partial one) is
    /// left and `EFCreateError` "Cannot create file \"<path>\". <reason>" (or `EWriteError`) is raised.
    void SaveToFile(const std::string& fileName, bool stripLabelSpaces) const;
};

} // namespace carlume
