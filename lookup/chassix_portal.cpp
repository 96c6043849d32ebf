#include "lookup/chassix_portal.h"

#include "lookup/chassix_record.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/sysutils.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace carlume {

namespace {

HMODULE LibHandle = nullptr;
TChassixEntryPoints EntryPoints;
// ChassixStop goes only to an engine whose ChassixStart returned.
bool Started = false;
// Entries handed out and not yet freed, oldest first; the unload releases them while their destructor
// still exists.
std::vector<TChassixEntry*> LiveEntries;

const std::string EngineNotLoaded = "ChassixPortal: engine not loaded";

// Runs one engine call; whatever the engine throws comes out as an error carrying its message.
template <class Call> auto CallEngine(Call&& call) -> decltype(call())
{
    try {
        return call();
    } catch (const Exception&) {
        throw; // ours, raised by a list callback the engine called
    } catch (const std::exception& e) {
        throw EChassixPortal(VisibleControls(e.what()));
    } catch (...) {
        throw EChassixPortal("Unknown engine error");
    }
}

// The entry point of a typed call, when the engine is there to take it.
template <class Function> Function Require(Function function)
{
    if (!Started || function == nullptr)
        throw EChassixPortal(EngineNotLoaded);
    return function;
}

const char* TextIn(const std::string& text)
{
    return text.empty() ? nullptr : text.c_str();
}

// Takes over a text the engine assigned to one of our variables.
std::string TakeText(char*& text)
{
    std::string copy = text != nullptr ? std::string(text) : std::string();
    std::free(text);
    text = nullptr;
    return copy;
}

// An output text variable that frees what it holds last, also when the call throws.
class TTextOut {
public:
    TTextOut() = default;
    ~TTextOut() { std::free(text_); }
    TTextOut(const TTextOut&) = delete;
    TTextOut& operator=(const TTextOut&) = delete;
    char** Address() { return &text_; }
    std::string Take() { return TakeText(text_); }

private:
    char* text_ = nullptr;
};

// The list the engine appends to: each line goes to a TStringList with its entry wrapped in `Entry`.
template <class Entry> class TListSink {
public:
    explicit TListSink(TStringList& lines)
        : lines_(lines)
    {
    }
    ChassixList* List() { return &list_; }

private:
    static void Add(void* context, const char* text, ChassixEntry* entry)
    {
        TStringList& lines = static_cast<TListSink*>(context)->lines_;
        std::unique_ptr<Entry> object;
        try {
            object = std::make_unique<Entry>(entry);
        } catch (...) {
            if (entry != nullptr && entry->Destroy != nullptr)
                entry->Destroy(entry);
            throw;
        }
        const std::string line = text != nullptr ? text : "";
        if (lines.OwnsObjects()) {
            lines.AddObject(line, object.release()); // frees a refused or ignored line's object itself
            return;
        }
        const int index = lines.AddObject(line, object.get());
        if (lines.Objects(index) == object.get())
            object.release(); // the list's owner frees it; an ignored duplicate's goes here
    }

    TStringList& lines_;
    ChassixList list_{this, &TListSink::Add};
};

} // namespace

// --- loading ----------------------------------------------------------------------------------------------

HMODULE ChassixLibHandle()
{
    return LibHandle;
}

const TChassixEntryPoints& ChassixEntries()
{
    return EntryPoints;
}

bool ChassixEngineStarted()
{
    return Started;
}

void LoadEngineFromExeFolder(ILogService* log)
{
    LoadEngineFromFolder(ProgramFolder(), log);
}

void LoadEngineFromFolder(const std::string& folder, ILogService* log)
{
    try {
        const std::string path = LibraryPath(
            Format("%s%s", IncludeTrailingPathDelimiter(folder), std::string(ChassixLibraryName)));
        if (!FileExists(path))
            throw EChassixPortal(Format("Dll not found - %s", VisibleControls(path)));
        LoadEngine(path, log);
    } catch (const std::exception& e) {
        throw EChassixPortal(Format("ChassixPortal: %s", std::string(e.what())));
    }
}

void LoadEngine(const std::string& path, ILogService* log)
{
    if (LibHandle != nullptr)
        throw EChassixPortal("engine already loaded");
    LibHandle = LoadLibrary(path);
    if (LibHandle == nullptr) {
        // The message keeps its specified text; why goes where the installation's keeper looks.
        const std::string library = VisibleControls(LibraryPath(path));
        const std::string reason = "ChassixPortal: " + library + ": " + VisibleControls(LibraryError());
        std::fprintf(stderr, "%s\n", reason.c_str());
        if (log != nullptr)
            log->Log(reason);
        throw EChassixPortal(Format("Unable to load %s", library));
    }
    // In order; a missing name stops the resolution there and leaves the rest null.
#define CARLUME_CHASSIX_RESOLVE(Name, Result, Params)                                                        \
    EntryPoints.Name = GetProcAddressAs<PFN_##Name>(LibHandle, #Name);                                       \
    if (EntryPoints.Name == nullptr)                                                                         \
        throw EChassixPortal("Routine not valid.");
    CHASSIX_ENTRY_POINTS(CARLUME_CHASSIX_RESOLVE)
#undef CARLUME_CHASSIX_RESOLVE
    CallEngine([] { return EntryPoints.ChassixStart(); });
    Started = true;
}

void UnloadEngine(IDialogService& dialogs) noexcept
{
    try {
        if (LibHandle == nullptr)
            return;
        // Entries still alive could no longer be destroyed once the library is gone. Last handed out,
        // first released, as the window frees its lists.
        while (!LiveEntries.empty()) {
            TChassixEntry* entry = LiveEntries.back();
            LiveEntries.pop_back();
            entry->Release();
        }
        if (Started && EntryPoints.ChassixStop != nullptr) {
            CallEngine([] { return EntryPoints.ChassixStop(); });
        }
        Started = false;
        FreeLibrary(LibHandle);
        LibHandle = nullptr;
        EntryPoints = TChassixEntryPoints();
    } catch (const std::exception& e) {
        const std::string message = "ChassixPortal: " + std::string(e.what());
        try {
            dialogs.ShowMessage(TMsgDlgType::mtCustom, message);
        } catch (...) {
            std::fprintf(stderr, "%s\n", message.c_str());
        }
    }
}

// --- list entries -----------------------------------------------------------------------------------------

TChassixEntry::TChassixEntry(ChassixEntry* entry) noexcept
    : entry_(entry)
{
    if (entry_ == nullptr)
        return;
    try {
        LiveEntries.push_back(this);
    } catch (...) {
        // Not tracked: still freed by its owner, only not by the unload.
    }
}

TChassixEntry::~TChassixEntry()
{
    std::erase(LiveEntries, this);
    Release();
}

void TChassixEntry::Release() noexcept
{
    ChassixEntry* entry = std::exchange(entry_, nullptr);
    if (entry == nullptr || entry->Destroy == nullptr)
        return;
    try {
        entry->Destroy(entry);
    } catch (...) {
        // A destructor that throws has nowhere to go; the entry is gone either way.
    }
}

std::string TChassixEntry::Text2() const
{
    return entry_ != nullptr && entry_->Text2 != nullptr ? std::string(entry_->Text2) : std::string();
}

std::string TChassixEntry::Text3() const
{
    return entry_ != nullptr && entry_->Text3 != nullptr ? std::string(entry_->Text3) : std::string();
}

void TChassixEntry::SetText2(const std::string& text)
{
    if (entry_ == nullptr)
        throw EChassixPortal(EngineNotLoaded);
    char* copy = nullptr;
    if (!text.empty()) {
        copy = static_cast<char*>(std::malloc(text.size() + 1));
        if (copy == nullptr)
            throw std::bad_alloc();
        std::memcpy(copy, text.c_str(), text.size() + 1);
    }
    std::free(entry_->Text2);
    entry_->Text2 = copy;
}

// --- the engine's calls -----------------------------------------------------------------------------------

std::int32_t ChassixGetEarliestSymbolYearAvailable()
{
    const auto call = Require(EntryPoints.ChassixGetEarliestSymbolYearAvailable);
    return CallEngine([&] { return call(); });
}

std::int32_t ChassixGetMinVinSizePermitted()
{
    const auto call = Require(EntryPoints.ChassixGetMinVinSizePermitted);
    return CallEngine([&] { return call(); });
}

void ChassixSetSuppressMessages(std::int32_t suppress)
{
    const auto call = Require(EntryPoints.ChassixSetSuppressMessages);
    CallEngine([&] { return call(suppress); });
}

bool ChassixGetRecordByVIN(TVinRecord& record)
{
    const auto call = Require(EntryPoints.ChassixGetRecordByVIN);
    TChassixRecord data(record);
    const std::uint8_t found = CallEngine([&] { return call(data.Data()); });
    data.CopyTo(record);
    return found != 0;
}

void ChassixLoadFromCurrentRecord(TVinRecord& record)
{
    const auto call = Require(EntryPoints.ChassixLoadFromCurrentRecord);
    TChassixRecord data(record);
    CallEngine([&] { return call(data.Data()); });
    data.CopyTo(record);
}

void ChassixGetListOfMakes(TStringList& makes)
{
    const auto call = Require(EntryPoints.ChassixGetListOfMakes);
    TListSink<TChassixMakeEntry> sink(makes);
    CallEngine([&] { return call(sink.List()); });
}

void ChassixGetListOfModels(TStringList& models, const TChassixMakeEntry& make, const std::string& yearText)
{
    const auto call = Require(EntryPoints.ChassixGetListOfModels);
    TListSink<TChassixModelEntry> sink(models);
    CallEngine([&] { return call(sink.List(), make.Entry(), TextIn(yearText)); });
}

std::uint16_t ChassixGetDifferenceFields(const std::string& makeKey, const std::string& yearText,
                                         const std::string& modelKey)
{
    const auto call = Require(EntryPoints.ChassixGetDifferenceFields);
    return CallEngine([&] { return call(TextIn(makeKey), TextIn(yearText), TextIn(modelKey)); });
}

void ChassixGetFirstSubModel(const std::string& makeKey, const std::string& yearText,
                             const std::string& modelKey)
{
    const auto call = Require(EntryPoints.ChassixGetFirstSubModel);
    CallEngine([&] { return call(TextIn(makeKey), TextIn(yearText), TextIn(modelKey)); });
}

void ChassixGetNextSubModel()
{
    const auto call = Require(EntryPoints.ChassixGetNextSubModel);
    CallEngine([&] { return call(); });
}

bool ChassixGetEndOfModel()
{
    const auto call = Require(EntryPoints.ChassixGetEndOfModel);
    return CallEngine([&] { return call(); }) != 0;
}

std::string ChassixGetModelVIN(const std::string& makeKey, const std::string& yearText,
                               const std::string& modelKey)
{
    const auto call = Require(EntryPoints.ChassixGetModelVIN);
    TTextOut vin;
    CallEngine([&] { return call(vin.Address(), TextIn(makeKey), TextIn(yearText), TextIn(modelKey)); });
    return vin.Take();
}

std::string ChassixGetFieldValue(std::int32_t column)
{
    const auto call = Require(EntryPoints.ChassixGetFieldValue);
    TTextOut value;
    CallEngine([&] { return call(value.Address(), column); });
    return value.Take();
}

bool ChassixGetRecordEffective(TDateTime effective)
{
    const auto call = Require(EntryPoints.ChassixGetRecordEffective);
    return CallEngine([&] { return call(effective); }) != 0;
}

void ChassixGetFirstVIN(const std::string& vin)
{
    const auto call = Require(EntryPoints.ChassixGetFirstVIN);
    CallEngine([&] { return call(TextIn(vin)); });
}

bool ChassixGetEndOfVIN()
{
    const auto call = Require(EntryPoints.ChassixGetEndOfVIN);
    return CallEngine([&] { return call(); }) != 0;
}

void ChassixGetNextVIN()
{
    const auto call = Require(EntryPoints.ChassixGetNextVIN);
    CallEngine([&] { return call(); });
}

std::uint16_t ChassixGetDifferenceFieldsVIN(const std::string& vin)
{
    const auto call = Require(EntryPoints.ChassixGetDifferenceFieldsVIN);
    return CallEngine([&] { return call(TextIn(vin)); });
}

} // namespace carlume
