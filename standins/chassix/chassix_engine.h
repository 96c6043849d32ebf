#pragma once

#include "lookup/chassix_abi.h"
#include "standins/chassix/chassix_data.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace carlume::chassix_fake {

/// The stand-in engine behind the exported entry points: the walks over the made-up data, the list
/// entries handed out, the journal of calls and the settings tests change. One per loaded library.
class Engine {
public:
    Engine();

    std::int32_t Start();
    std::int32_t Stop();
    std::uint16_t GetDifferenceFields(const char* makeKey, const char* yearText, const char* modelKey);
    std::int32_t GetEarliestSymbolYearAvailable();
    void GetFieldValue(char** value, std::int32_t column);
    std::int32_t GetFirstSubModel(const char* makeKey, const char* yearText, const char* modelKey);
    std::int32_t GetNextSubModel();
    std::uint8_t GetEndOfModel();
    std::int32_t GetListOfMakes(ChassixList* makes);
    std::int32_t GetListOfModels(ChassixList* models, const ChassixEntry* make, const char* yearText);
    std::uint8_t GetModelAlwaysRatesSame(const char* makeKey, const char* yearText, const char* modelKey);
    std::int32_t GetModelVIN(char** vin, const char* makeKey, const char* yearText, const char* modelKey);
    std::uint8_t GetRecordByVIN(ChassixVinRecord* record);
    std::uint8_t GetRecordByYMM(ChassixVinRecord* record);
    std::int32_t SetSuppressMessages(std::int32_t suppress);
    std::uint8_t GetRecordEffective(double effective);
    std::int32_t GetFirstVIN(const char* vin);
    std::uint8_t GetEndOfVIN();
    std::int32_t GetNextVIN();
    std::uint16_t GetDifferenceFieldsVIN(const char* vin);
    std::int32_t LoadFromCurrentRecord(ChassixVinRecord* record);
    std::int32_t GetMinVinSizePermitted();

    char* JournalText() const;
    void Reset();
    std::int32_t LiveEntries() const;
    std::int32_t Configure(const char* key, const char* value);

    /// The Destroy function of every entry handed out.
    static void DestroyEntry(ChassixEntry* entry);

private:
    enum class EntryKind { Make, Model };
    enum class WalkKind { None, SubModel, Vin };
    using Items = std::vector<const FakeVehicle*>;

    void LoadEnvironment();
    void Note(std::string line);
    void Enter(const char* entry, bool needsStart = true);
    [[noreturn]] void FailInvalid(const char* entry, const std::string& message);
    void CheckRecord(const char* entry, const ChassixVinRecord* record);
    void CheckOut(const char* entry, char** out);
    ChassixEntry* NewEntry(EntryKind kind, const void* data, const char* text2, const char* text3);
    void Destroy(ChassixEntry* entry);
    void StartWalk(WalkKind kind, Items items);
    const FakeVehicle* Current(WalkKind kind) const;

    static Items SubModels(const char* makeKey, const char* yearText, const char* modelKey);
    static Items VinMatches(const char* vin);
    static std::uint16_t DifferenceSet(const Items& items);

    bool IsStarted = false;
    bool Suppress = false;
    std::set<std::string, std::less<>> Throwing;
    std::int32_t MinVin = 10;
    std::int32_t EarliestYear = 2009;
    std::string JournalFile;
    std::vector<std::string> JournalLines;
    std::map<const ChassixEntry*, EntryKind> LiveEntryKinds;
    WalkKind CurrentWalk = WalkKind::None;
    Items WalkItems;
    std::size_t WalkPos = 0;
};

/// The engine of this library.
Engine& TheEngine();

/// True when a VIN matches a VIN text: the first ten characters agree, case-insensitive, with '&' on
/// either side matching any character.
bool VinMatchesText(std::string_view vin, std::string_view vinText);

/// Whether a vehicle is valid on a date (day serial; the time of day does not count).
bool ValidAt(const FakeVehicle& vehicle, double date);

/// The text of a chooser column (0-15) for a vehicle; nullopt outside the columns.
std::optional<std::string> ColumnText(const FakeVehicle& vehicle, int column);

} // namespace carlume::chassix_fake
