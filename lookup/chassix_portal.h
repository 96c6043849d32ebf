#pragma once

// The bridge to the vehicle-symbol engine, libchassix.so: loads it from the program's folder, resolves its
// 22 entry points by name into one table, starts and stops it, and offers the calls the program makes as
// typed functions named after the entry points.
//
// The state is process-wide and single-threaded: one engine is loaded at a time, for one run. Between a
// successful load and the unload the typed calls reach the engine; outside that span they raise
// `EChassixPortal` "ChassixPortal: engine not loaded". An error the engine raises reaches the caller as
// `EChassixPortal` carrying the engine's own message.
//
// List entries (`TChassixMakeEntry`, `TChassixModelEntry`) hold engine objects whose destructor lives in
// the library: free them before `UnloadEngine`. Any still alive then are released by the unload and keep
// only empty texts.

#include "lookup/chassix_abi.h"
#include "lookup/vin_record.h"
#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/library.h"
#include "platform/services.h"
#include "platform/string_list.h"
#include "platform/sysutils.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace carlume {

/// An error of the engine bridge or of the engine itself; the message is the one the user sees.
class EChassixPortal : public Exception {
public:
    using Exception::Exception;
};

/// The engine library's Windows name; the platform maps it to "libchassix.so".
inline constexpr std::string_view ChassixLibraryName = "CHASSIX.DLL";

/// The entry points, one member per name, in load order; all null when no engine is loaded.
struct TChassixEntryPoints {
#define CARLUME_CHASSIX_MEMBER(Name, Result, Params) PFN_##Name Name = nullptr;
    CHASSIX_ENTRY_POINTS(CARLUME_CHASSIX_MEMBER)
#undef CARLUME_CHASSIX_MEMBER
};

/// The exported names of the entry points, in load order.
inline constexpr std::array<const char*, CHASSIX_ENTRY_POINT_COUNT> ChassixEntryPointNames = {
#define CARLUME_CHASSIX_NAME(Name, Result, Params) #Name,
    CHASSIX_ENTRY_POINTS(CARLUME_CHASSIX_NAME)
#undef CARLUME_CHASSIX_NAME
};

// --- loading ----------------------------------------------------------------------------------------------

/// The loaded engine library; nullptr when none is loaded. A failed load can leave it set (see `LoadEngine`).
HMODULE ChassixLibHandle();
/// The resolved entry points.
const TChassixEntryPoints& ChassixEntries();
/// True from the moment `ChassixStart` returned until the engine is stopped.
bool ChassixEngineStarted();

/// `LoadEngineFromFolder` with the program's folder.
void LoadEngineFromExeFolder(ILogService* log = nullptr);
/// Loads the engine library from `folder` (with or without a trailing "/") and starts it. Every failure
/// raises `EChassixPortal` "ChassixPortal: " + the reason: "Dll not found - <path>" when there is no
/// file, "Unable to load <path>" when it is no loadable library, "Routine not valid." when an entry point
/// is missing, or the message of an error `ChassixStart` raised. `<path>` is the path actually tried.
/// Why the library could not be loaded goes to standard error and to `log` (when given).
void LoadEngineFromFolder(const std::string& folder, ILogService* log = nullptr);
/// Loads the library at `path`, resolves the 22 entry points in order and calls `ChassixStart`. Raises
/// "Unable to load <path>" (with the system's reason written to standard error and `log`) or "Routine not
/// valid." (without the "ChassixPortal: " prefix). After a missing entry point the library stays loaded,
/// the entries after it null, and nothing is started: `UnloadEngine` releases it. Raises "engine already
/// loaded" while another engine is loaded.
void LoadEngine(const std::string& path, ILogService* log = nullptr);
/// Stops the engine (only when it was started), frees the library and nulls the handle and every entry
/// point. Never raises: an error is shown in a plain message box as "ChassixPortal: " + message, and the
/// steps after it are skipped. Does nothing when no library is loaded.
void UnloadEngine(IDialogService& dialogs) noexcept;

// --- list entries -----------------------------------------------------------------------------------------

/// A line object of an engine list: owns one engine entry and destroys it through the engine.
class TChassixEntry : public TObject {
public:
    /// Takes over `entry` (may be null).
    explicit TChassixEntry(ChassixEntry* entry) noexcept;
    /// Destroys the engine entry, unless the unload already did.
    ~TChassixEntry() override;
    TChassixEntry(const TChassixEntry&) = delete;
    TChassixEntry& operator=(const TChassixEntry&) = delete;

    /// The engine entry, for passing back to the engine; null once the engine was unloaded.
    const ChassixEntry* Entry() const { return entry_; }

protected:
    /// The text of word 2 ("" when none).
    std::string Text2() const;
    /// The text of word 3 ("" when none).
    std::string Text3() const;
    /// Replaces the text of word 2 with a C-heap copy of `text` (NULL when empty).
    void SetText2(const std::string& text);

private:
    friend void UnloadEngine(IDialogService& dialogs) noexcept;
    void Release() noexcept;

    ChassixEntry* entry_;
};

/// A line object of the make list.
class TChassixMakeEntry : public TChassixEntry {
public:
    using TChassixEntry::TChassixEntry;
    /// The make key the engine wants back (word 2).
    std::string MakeKey() const { return Text2(); }
};

/// A line object of the model list.
class TChassixModelEntry : public TChassixEntry {
public:
    using TChassixEntry::TChassixEntry;
    /// The model key the engine wants back (word 3).
    std::string ModelKey() const { return Text3(); }
    /// The VIN text the sub-model chooser stored (word 2); "" until then.
    std::string VinText() const { return Text2(); }
    /// Stores the chosen VIN text (word 2).
    void SetVinText(const std::string& vin) { SetText2(vin); }
};

// --- the engine's calls -----------------------------------------------------------------------------------
// Input texts are passed as NULL when empty; output texts come back as std::string ("" for NULL).

/// The first year of the year list.
std::int32_t ChassixGetEarliestSymbolYearAvailable();
/// The shortest VIN the engine looks up.
std::int32_t ChassixGetMinVinSizePermitted();
/// 1: the engine shows no messages of its own; 0: it may again.
void ChassixSetSuppressMessages(std::int32_t suppress);
/// Fills `record` for its `VIN`, `LookupMode` and `Effective`; true when the engine reports a vehicle.
/// The record takes whatever the engine left in it, found or not.
bool ChassixGetRecordByVIN(TVinRecord& record);
/// Fills `record` from the current item of the VIN walk, `RecordKind` and `Model` included.
void ChassixLoadFromCurrentRecord(TVinRecord& record);
/// Appends one line per make to `makes`, each with a new `TChassixMakeEntry` the list's owner must free
/// (an owning list does it; a refused or ignored line's object is freed at once).
void ChassixGetListOfMakes(TStringList& makes);
/// Appends one line per model of `make` and `yearText` to `models`, each with a new `TChassixModelEntry`
/// (freed as for `ChassixGetListOfMakes`).
void ChassixGetListOfModels(TStringList& models, const TChassixMakeEntry& make, const std::string& yearText);
/// The columns in which the sub-models of make, year and model differ (bit n = column n).
std::uint16_t ChassixGetDifferenceFields(const std::string& makeKey, const std::string& yearText,
                                         const std::string& modelKey);
/// Starts the sub-model walk of make, year and model (every model of the make and year when empty).
void ChassixGetFirstSubModel(const std::string& makeKey, const std::string& yearText,
                             const std::string& modelKey);
/// Steps the sub-model walk.
void ChassixGetNextSubModel();
/// True once the sub-model walk is past its last item.
bool ChassixGetEndOfModel();
/// The VIN text of a model with one sub-model.
std::string ChassixGetModelVIN(const std::string& makeKey, const std::string& yearText,
                               const std::string& modelKey);
/// The current walk item's text for column 0-15.
std::string ChassixGetFieldValue(std::int32_t column);
/// True when the current walk item is valid at `effective`.
bool ChassixGetRecordEffective(TDateTime effective);
/// Starts the walk over the vehicles that match `vin`.
void ChassixGetFirstVIN(const std::string& vin);
/// True once the VIN walk is past its last item.
bool ChassixGetEndOfVIN();
/// Steps the VIN walk.
void ChassixGetNextVIN();
/// The columns in which the vehicles matching `vin` differ (bit n = column n).
std::uint16_t ChassixGetDifferenceFieldsVIN(const std::string& vin);

} // namespace carlume
