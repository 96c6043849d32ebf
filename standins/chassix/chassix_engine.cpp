#include "standins/chassix/chassix_engine.h"

#include "standins/chassix/chassix_test_control.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

namespace carlume::chassix_fake {
namespace {

Engine gEngine;

constexpr const char* kEngineTypeTexts[] = {"Turbo", "Diesel", "Turbo Diesel", "Natural Gas", "Gasoline"};

std::string Show(const char* text)
{
    return text ? std::string(text) : std::string("(null)");
}

std::string ShowDate(double date)
{
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), date);
    return std::string(buffer.data(), result.ptr);
}

std::string ShowSet(std::uint16_t set)
{
    std::array<char, 8> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "0x%04x", unsigned(set));
    return buffer.data();
}

std::optional<std::int32_t> ParseInt(const char* text)
{
    if (!text || !*text) {
        return std::nullopt;
    }
    const char* end = text + std::strlen(text);
    std::int32_t value = 0;
    const auto result = std::from_chars(text, end, value);
    if (result.ec != std::errc() || result.ptr != end) {
        return std::nullopt;
    }
    return value;
}

char* CopyText(std::string_view text)
{
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy) {
        throw std::bad_alloc();
    }
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

// The rule of the interface: free the old text, store a malloc'ed copy, NULL for the empty text.
void AssignText(char** field, std::string_view text)
{
    char* copy = text.empty() ? nullptr : CopyText(text);
    std::free(*field);
    *field = copy;
}

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool Equal(const char* a, std::string_view b)
{
    return a && b == a;
}

const FakeMake* FindMake(std::string_view key)
{
    for (const FakeMake& make : Makes()) {
        if (key == make.Key) {
            return &make;
        }
    }
    return nullptr;
}

std::int32_t SymbolAt(const FakeVehicle& vehicle, double effective)
{
    if (vehicle.SymbolChange != 0 && std::isfinite(effective) && effective < vehicle.SymbolChange) {
        return vehicle.OriginalSymbol;
    }
    return vehicle.Symbol;
}

// Every field but Effective and LookupMode, which are the caller's; the VIN only when asked.
void FillRecord(ChassixVinRecord& record, const FakeVehicle& vehicle, bool withVin)
{
    const FakeMake* make = FindMake(vehicle.MakeKey);
    record.FWD = vehicle.FWD ? 1 : 0;
    record.Cylinders = vehicle.Cylinders;
    if (withVin) {
        AssignText(&record.VIN, vehicle.VinText);
    }
    AssignText(&record.OtherInfo, vehicle.OtherInfo);
    AssignText(&record.TransmissionInfo, vehicle.TransmissionInfo);
    AssignText(&record.BodyInfo, vehicle.BodyInfo);
    AssignText(&record.RestraintInfo, vehicle.RestraintInfo);
    AssignText(&record.Make, make ? make->Text : "");
    AssignText(&record.Model, vehicle.ModelName);
    AssignText(&record.EngineInfo, vehicle.EngineInfo);
    AssignText(&record.ModelInfo, vehicle.Series);
    AssignText(&record.Body, vehicle.Body);
    record.PassiveRestraints = vehicle.PassiveRestraints;
    record.SpecialEngineType = vehicle.SpecialEngineType;
    record.AuxSet = 1;
    record.Performance = vehicle.Performance;
    record.Symbol = SymbolAt(vehicle, record.Effective);
    AssignText(&record.VehicleClass, vehicle.VehicleClass);
    record.AntiTheft = vehicle.AntiTheft;
    record.DaytimeRunningLamps = vehicle.DaytimeRunningLamps;
    record.ABS = vehicle.ABS;
    record.NonVSRSymbol = vehicle.NonVSRSymbol;
    record.ModelYear = vehicle.Year;
    AssignText(&record.AuxText, "fake:" + std::to_string(vehicle.Id));
    record.HighTheft = vehicle.HighTheft ? 1 : 0;
    AssignText(&record.StateExceptions, vehicle.StateExceptions);
    record.CompSymbol = vehicle.CompSymbol;
    record.CollSymbol = vehicle.CollSymbol;
    record.PriceSymbol = vehicle.PriceSymbol;
    record.AuxValue = vehicle.Id;
    record.RecordKind = vehicle.Kind;
}

} // namespace

Engine& TheEngine()
{
    return gEngine;
}

bool VinMatchesText(std::string_view vin, std::string_view vinText)
{
    if (vin.size() < std::size_t(kVinTextLength) || vinText.size() < std::size_t(kVinTextLength)) {
        return false;
    }
    for (int i = 0; i < kVinTextLength; ++i) {
        const char a = Upper(vin[std::size_t(i)]);
        const char b = Upper(vinText[std::size_t(i)]);
        if (a != '&' && b != '&' && a != b) {
            return false;
        }
    }
    return true;
}

bool ValidAt(const FakeVehicle& vehicle, double date)
{
    if (!std::isfinite(date)) {
        return false;
    }
    const double day = std::floor(date);
    return (vehicle.ValidFrom == 0 || vehicle.ValidFrom <= day) &&
           (vehicle.ValidTo == 0 || day <= vehicle.ValidTo);
}

std::optional<std::string> ColumnText(const FakeVehicle& vehicle, int column)
{
    switch (column) {
    case 0:
        return vehicle.ModelName;
    case 1:
    case 12:
        return std::to_string(vehicle.Symbol);
    case 2:
        return vehicle.BodyInfo;
    case 3:
        return vehicle.EngineSize;
    case 4:
        return std::to_string(vehicle.Cylinders);
    case 5:
        return vehicle.SpecialEngineType < std::size(kEngineTypeTexts)
                   ? kEngineTypeTexts[vehicle.SpecialEngineType]
                   : "";
    case 6:
        return vehicle.Series;
    case 7:
        return vehicle.Body;
    case 8:
        return vehicle.EngineInfo;
    case 9:
        return vehicle.RestraintInfo;
    case 10:
        return vehicle.TransmissionInfo;
    case 11:
        return vehicle.OtherInfo;
    case 13:
        return std::to_string(vehicle.CompSymbol);
    case 14:
        return std::to_string(vehicle.CollSymbol);
    case 15:
        return vehicle.VinText;
    default:
        return std::nullopt;
    }
}

Engine::Engine()
{
    LoadEnvironment();
}

void Engine::LoadEnvironment()
{
    Throwing.clear();
    MinVin = 10;
    EarliestYear = 2009;
    JournalFile.clear();
    if (const char* file = std::getenv(CHASSIX_FAKE_ENV_JOURNAL)) {
        JournalFile = file;
    }
    if (const char* names = std::getenv(CHASSIX_FAKE_ENV_THROW)) {
        Configure("throw", names);
    }
    if (const char* minVin = std::getenv(CHASSIX_FAKE_ENV_MIN_VIN)) {
        Configure("min_vin", minVin);
    }
    if (const char* year = std::getenv(CHASSIX_FAKE_ENV_EARLIEST_YEAR)) {
        Configure("earliest_year", year);
    }
}

void Engine::Note(std::string line)
{
    if (!JournalFile.empty()) {
        // Opened per line, so the file is complete whenever the process ends.
        if (std::FILE* file = std::fopen(JournalFile.c_str(), "a")) {
            std::fputs(line.c_str(), file);
            std::fputc('\n', file);
            std::fclose(file);
        }
    }
    JournalLines.push_back(std::move(line));
}

void Engine::Enter(const char* entry, bool needsStart)
{
    if (Throwing.contains(std::string_view(entry))) {
        const std::string message = std::string("Chassix stand-in failure in ") + entry;
        Note(std::string(entry) + " -> throw " + message);
        throw std::runtime_error(message);
    }
    if (needsStart && !IsStarted) {
        const std::string message = "Chassix stand-in: engine not started";
        Note(std::string(entry) + " -> throw " + message);
        throw std::logic_error(message);
    }
}

void Engine::FailInvalid(const char* entry, const std::string& message)
{
    Note(std::string(entry) + " -> throw " + message);
    throw std::invalid_argument(message);
}

void Engine::CheckRecord(const char* entry, const ChassixVinRecord* record)
{
    if (!record) {
        FailInvalid(entry, "Chassix stand-in: no record");
    }
    if (record->StructSize != sizeof(ChassixVinRecord)) {
        FailInvalid(entry, "Chassix stand-in: record size " + std::to_string(record->StructSize) +
                               " instead of " + std::to_string(sizeof(ChassixVinRecord)));
    }
}

void Engine::CheckOut(const char* entry, char** out)
{
    if (!out) {
        FailInvalid(entry, "Chassix stand-in: no text to assign");
    }
}

ChassixEntry* Engine::NewEntry(EntryKind kind, const void* data, const char* text2, const char* text3)
{
    auto* entry = static_cast<ChassixEntry*>(std::calloc(1, sizeof(ChassixEntry)));
    if (!entry) {
        throw std::bad_alloc();
    }
    try {
        entry->Destroy = &Engine::DestroyEntry;
        entry->EngineData = const_cast<void*>(data);
        entry->Text2 = text2 ? CopyText(text2) : nullptr;
        entry->Text3 = text3 ? CopyText(text3) : nullptr;
        LiveEntryKinds.emplace(entry, kind);
    } catch (...) {
        std::free(entry->Text2);
        std::free(entry->Text3);
        std::free(entry);
        throw;
    }
    return entry;
}

void Engine::DestroyEntry(ChassixEntry* entry)
{
    gEngine.Destroy(entry);
}

void Engine::Destroy(ChassixEntry* entry)
{
    const auto found = LiveEntryKinds.find(entry);
    if (found == LiveEntryKinds.end()) {
        // A double or foreign Destroy would corrupt the heap; stop here where it is visible.
        try {
            Note("BAD DESTROY");
        } catch (...) {
        }
        std::fputs("Chassix stand-in: Destroy of an entry that is not alive\n", stderr);
        std::abort();
    }
    LiveEntryKinds.erase(found);
    std::free(entry->Text2);
    std::free(entry->Text3);
    std::free(entry);
}

void Engine::StartWalk(WalkKind kind, Items items)
{
    CurrentWalk = kind;
    WalkItems = std::move(items);
    WalkPos = 0;
}

const FakeVehicle* Engine::Current(WalkKind kind) const
{
    if (CurrentWalk == WalkKind::None || (kind != WalkKind::None && kind != CurrentWalk) ||
        WalkPos >= WalkItems.size()) {
        return nullptr;
    }
    return WalkItems[WalkPos];
}

Engine::Items Engine::SubModels(const char* makeKey, const char* yearText, const char* modelKey)
{
    Items items;
    const std::optional<std::int32_t> year = ParseInt(yearText);
    if (!makeKey || !year) {
        return items;
    }
    const bool allModels = !modelKey || !*modelKey;
    for (const FakeVehicle& vehicle : Vehicles()) {
        if (Equal(makeKey, vehicle.MakeKey) && vehicle.Year == *year &&
            (allModels || Equal(modelKey, vehicle.ModelKey))) {
            items.push_back(&vehicle);
        }
    }
    return items;
}

Engine::Items Engine::VinMatches(const char* vin)
{
    Items items;
    if (!vin) {
        return items;
    }
    for (const FakeVehicle& vehicle : Vehicles()) {
        if (VinMatchesText(vin, vehicle.VinText)) {
            items.push_back(&vehicle);
        }
    }
    return items;
}

// Columns 0 and 15 are the program's to add.
std::uint16_t Engine::DifferenceSet(const Items& items)
{
    std::uint16_t set = 0;
    if (items.empty()) {
        return set;
    }
    for (int column = 1; column <= 14; ++column) {
        const auto first = ColumnText(*items.front(), column);
        const bool differs = std::any_of(items.begin() + 1, items.end(), [&](const FakeVehicle* v) {
            return ColumnText(*v, column) != first;
        });
        if (differs) {
            set = std::uint16_t(set | (1U << column));
        }
    }
    return set;
}

std::int32_t Engine::Start()
{
    Enter("ChassixStart", false);
    IsStarted = true;
    StartWalk(WalkKind::None, {});
    Note("ChassixStart -> 0");
    return 0;
}

std::int32_t Engine::Stop()
{
    Enter("ChassixStop", false);
    if (!IsStarted) {
        Note("ChassixStop WITHOUT START");
        return 0;
    }
    if (!LiveEntryKinds.empty()) {
        Note("LEAK " + std::to_string(LiveEntryKinds.size()) + " entries");
    }
    IsStarted = false;
    StartWalk(WalkKind::None, {});
    Note("ChassixStop -> 0");
    return 0;
}

std::uint16_t Engine::GetDifferenceFields(const char* makeKey, const char* yearText, const char* modelKey)
{
    Enter("ChassixGetDifferenceFields");
    const std::uint16_t set = DifferenceSet(SubModels(makeKey, yearText, modelKey));
    Note("ChassixGetDifferenceFields make=" + Show(makeKey) + " year=" + Show(yearText) +
         " model=" + Show(modelKey) + " -> " + ShowSet(set));
    return set;
}

std::int32_t Engine::GetEarliestSymbolYearAvailable()
{
    Enter("ChassixGetEarliestSymbolYearAvailable");
    Note("ChassixGetEarliestSymbolYearAvailable -> " + std::to_string(EarliestYear));
    return EarliestYear;
}

void Engine::GetFieldValue(char** value, std::int32_t column)
{
    Enter("ChassixGetFieldValue");
    CheckOut("ChassixGetFieldValue", value);
    const FakeVehicle* vehicle = Current(WalkKind::None);
    const std::optional<std::string> text = vehicle ? ColumnText(*vehicle, column) : std::nullopt;
    AssignText(value, text.value_or(""));
    Note("ChassixGetFieldValue column=" + std::to_string(column) + " -> " + Show(*value));
}

std::int32_t Engine::GetFirstSubModel(const char* makeKey, const char* yearText, const char* modelKey)
{
    Enter("ChassixGetFirstSubModel");
    StartWalk(WalkKind::SubModel, SubModels(makeKey, yearText, modelKey));
    Note("ChassixGetFirstSubModel make=" + Show(makeKey) + " year=" + Show(yearText) +
         " model=" + Show(modelKey) + " -> 0");
    return 0;
}

std::int32_t Engine::GetNextSubModel()
{
    Enter("ChassixGetNextSubModel");
    if (Current(WalkKind::SubModel)) {
        ++WalkPos;
    }
    Note("ChassixGetNextSubModel -> 0");
    return 0;
}

std::uint8_t Engine::GetEndOfModel()
{
    Enter("ChassixGetEndOfModel");
    const std::uint8_t end = Current(WalkKind::SubModel) ? 0 : 1;
    Note("ChassixGetEndOfModel -> " + std::to_string(end));
    return end;
}

std::int32_t Engine::GetListOfMakes(ChassixList* makes)
{
    Enter("ChassixGetListOfMakes");
    if (!makes || !makes->Add) {
        FailInvalid("ChassixGetListOfMakes", "Chassix stand-in: no list");
    }
    for (const FakeMake& make : Makes()) {
        // Once added, the entry is the program's, also if Add throws.
        makes->Add(makes->Context, make.Text, NewEntry(EntryKind::Make, &make, make.Key, nullptr));
    }
    Note("ChassixGetListOfMakes -> 0");
    return 0;
}

std::int32_t Engine::GetListOfModels(ChassixList* models, const ChassixEntry* make, const char* yearText)
{
    Enter("ChassixGetListOfModels");
    if (!models || !models->Add) {
        FailInvalid("ChassixGetListOfModels", "Chassix stand-in: no list");
    }
    const FakeMake* makeData = nullptr;
    if (make) {
        const auto found = LiveEntryKinds.find(make);
        if (found == LiveEntryKinds.end() || found->second != EntryKind::Make) {
            FailInvalid("ChassixGetListOfModels", "Chassix stand-in: not a make entry");
        }
        makeData = static_cast<const FakeMake*>(make->EngineData);
    }
    const std::optional<std::int32_t> year = ParseInt(yearText);
    if (makeData && year) {
        for (const FakeModel& model : Models()) {
            if (Equal(makeData->Key, model.MakeKey) && model.Year == *year) {
                models->Add(models->Context, model.Text,
                            NewEntry(EntryKind::Model, &model, nullptr, model.Key));
            }
        }
    }
    Note("ChassixGetListOfModels make=" + Show(makeData ? makeData->Key : nullptr) +
         " year=" + Show(yearText) + " -> 0");
    return 0;
}

std::uint8_t Engine::GetModelAlwaysRatesSame(const char* /*makeKey*/, const char* /*yearText*/,
                                             const char* /*modelKey*/)
{
    Enter("ChassixGetModelAlwaysRatesSame");
    Note("ChassixGetModelAlwaysRatesSame UNEXPECTED CALL -> 0");
    return 0;
}

std::int32_t Engine::GetModelVIN(char** vin, const char* makeKey, const char* yearText, const char* modelKey)
{
    Enter("ChassixGetModelVIN");
    CheckOut("ChassixGetModelVIN", vin);
    const Items items = SubModels(makeKey, yearText, modelKey);
    AssignText(vin, items.empty() ? "" : items.front()->VinText);
    Note("ChassixGetModelVIN make=" + Show(makeKey) + " year=" + Show(yearText) + " model=" + Show(modelKey) +
         " -> " + Show(*vin));
    return 0;
}

std::uint8_t Engine::GetRecordByVIN(ChassixVinRecord* record)
{
    Enter("ChassixGetRecordByVIN");
    CheckRecord("ChassixGetRecordByVIN", record);
    const std::string line = "ChassixGetRecordByVIN vin=" + Show(record->VIN) +
                             " mode=" + std::to_string(record->LookupMode) +
                             " eff=" + ShowDate(record->Effective);
    // Mode 1 asks for records before 2011 only; the second try with mode 3 reaches the newer ones too.
    const bool newerToo = record->LookupMode != 1;
    for (const FakeVehicle* vehicle : VinMatches(record->VIN)) {
        const bool rated = vehicle->Kind == 1 || (newerToo && vehicle->Kind == 3);
        if (rated && ValidAt(*vehicle, record->Effective)) {
            FillRecord(*record, *vehicle, false);
            Note(line + " -> 1");
            return 1;
        }
    }
    Note(line + " -> 0");
    if (!Suppress) {
        // The engine's own message; it never opens a window.
        const std::string message = "MESSAGE: Vehicle not found for VIN " + Show(record->VIN);
        Note(message);
        std::fprintf(stderr, "%s\n", message.c_str());
    }
    return 0;
}

std::uint8_t Engine::GetRecordByYMM(ChassixVinRecord* /*record*/)
{
    Enter("ChassixGetRecordByYMM");
    Note("ChassixGetRecordByYMM UNEXPECTED CALL -> 0");
    return 0;
}

std::int32_t Engine::SetSuppressMessages(std::int32_t suppress)
{
    Enter("ChassixSetSuppressMessages");
    Suppress = suppress != 0;
    Note("ChassixSetSuppressMessages suppress=" + std::to_string(suppress) + " -> 0");
    return 0;
}

std::uint8_t Engine::GetRecordEffective(double effective)
{
    Enter("ChassixGetRecordEffective");
    const FakeVehicle* vehicle = Current(WalkKind::None);
    const std::uint8_t valid = vehicle && ValidAt(*vehicle, effective) ? 1 : 0;
    Note("ChassixGetRecordEffective date=" + ShowDate(effective) + " -> " + std::to_string(valid));
    return valid;
}

std::int32_t Engine::GetFirstVIN(const char* vin)
{
    Enter("ChassixGetFirstVIN");
    StartWalk(WalkKind::Vin, VinMatches(vin));
    Note("ChassixGetFirstVIN vin=" + Show(vin) + " -> 0");
    return 0;
}

std::uint8_t Engine::GetEndOfVIN()
{
    Enter("ChassixGetEndOfVIN");
    const std::uint8_t end = Current(WalkKind::Vin) ? 0 : 1;
    Note("ChassixGetEndOfVIN -> " + std::to_string(end));
    return end;
}

std::int32_t Engine::GetNextVIN()
{
    Enter("ChassixGetNextVIN");
    if (Current(WalkKind::Vin)) {
        ++WalkPos;
    }
    Note("ChassixGetNextVIN -> 0");
    return 0;
}

std::uint16_t Engine::GetDifferenceFieldsVIN(const char* vin)
{
    Enter("ChassixGetDifferenceFieldsVIN");
    const std::uint16_t set = DifferenceSet(VinMatches(vin));
    Note("ChassixGetDifferenceFieldsVIN vin=" + Show(vin) + " -> " + ShowSet(set));
    return set;
}

std::int32_t Engine::LoadFromCurrentRecord(ChassixVinRecord* record)
{
    Enter("ChassixLoadFromCurrentRecord");
    CheckRecord("ChassixLoadFromCurrentRecord", record);
    const FakeVehicle* vehicle = Current(WalkKind::Vin);
    if (vehicle) {
        FillRecord(*record, *vehicle, true);
    }
    Note("ChassixLoadFromCurrentRecord item=" +
         (vehicle ? std::to_string(vehicle->Id) : std::string("none")) + " -> 0");
    return 0;
}

std::int32_t Engine::GetMinVinSizePermitted()
{
    Enter("ChassixGetMinVinSizePermitted");
    Note("ChassixGetMinVinSizePermitted -> " + std::to_string(MinVin));
    return MinVin;
}

char* Engine::JournalText() const
{
    std::string text;
    for (const std::string& line : JournalLines) {
        text += line;
        text += '\n';
    }
    return CopyText(text);
}

void Engine::Reset()
{
    JournalLines.clear();
    LoadEnvironment();
}

std::int32_t Engine::LiveEntries() const
{
    return std::int32_t(LiveEntryKinds.size());
}

std::int32_t Engine::Configure(const char* key, const char* value)
{
    const std::string_view name = key ? key : "";
    const std::string_view text = value ? value : "";
    if (name == "throw") {
        Throwing.clear();
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t comma = std::min(text.find(',', start), text.size());
            std::string_view item = text.substr(start, comma - start);
            while (!item.empty() && item.front() == ' ') {
                item.remove_prefix(1);
            }
            while (!item.empty() && item.back() == ' ') {
                item.remove_suffix(1);
            }
            if (!item.empty()) {
                Throwing.emplace(item);
            }
            start = comma + 1;
        }
        return 1;
    }
    if (name == "journal_file") {
        JournalFile = text;
        return 1;
    }
    if (name == "min_vin" || name == "earliest_year") {
        const std::optional<std::int32_t> number = ParseInt(value);
        if (!number) {
            return 0;
        }
        (name == "min_vin" ? MinVin : EarliestYear) = *number;
        return 1;
    }
    return 0;
}

} // namespace carlume::chassix_fake
