#pragma once

// One run of the program: set up the application information and the optional log, remove an earlier
// hand-back file, load the engine, note location, version and command line in cquery.ini, try a silent
// VIN lookup from the switches, otherwise open the lookup window, and finally write the chosen vehicle to
// Data/cquery.dat or make sure no such file exists. The rating program learns the outcome only from that
// file.
//
// Every error of a run is reported in the error box ("Vehicle Lookup Error: " and the message) after the
// engine was unloaded, and logged. When nothing can be shown (no display), the text goes to standard
// error and the log instead, nothing is handed back, and the run's exit status is 1.

#include "foundation/app_info.h"
#include "lookup/carquery_ui.h"
#include "lookup/chassix_calls.h"
#include "lookup/command_line.h"
#include "lookup/core_entry.h"
#include "lookup/vin_record.h"
#include "platform/services.h"

#include <string>
#include <string_view>

namespace carlume {

/// The information box shown before the lookup window when switches were given but no usable "/VIN".
inline constexpr std::string_view NotFoundMessage =
    "A vehicle could not be found with the information provided.  Please refine your search";
/// What every error box of a run starts with.
inline constexpr std::string_view LookupErrorPrefix = "Vehicle Lookup Error: ";
/// The application's title, given once the run is over.
inline constexpr std::string_view ApplicationTitle = "Carlume";
/// The name of the INI file in the Windows folder.
inline constexpr std::string_view CqueryIniName = "cquery.ini";

/// The lookup run object: holds the engine loaded for as long as the run lasts.
class TVehicleInfoLookup {
public:
    /// Loads and starts the engine from the program's folder, then notes the flag and the program's file
    /// version. When loading fails, whatever was loaded is unloaded before the error goes on. `dialogs`
    /// (may be null) show an error of the unload.
    TVehicleInfoLookup(TAppInfo& appInfo, bool startedWithParams, IDialogService* dialogs);
    /// Stops and unloads the engine.
    ~TVehicleInfoLookup();
    TVehicleInfoLookup(const TVehicleInfoLookup&) = delete;
    TVehicleInfoLookup& operator=(const TVehicleInfoLookup&) = delete;

    /// The run's application information.
    TAppInfo& AppInfo() const { return appInfo_; }
    /// True when the program was started with at least one parameter.
    bool StartedWithParams() const { return startedWithParams_; }
    /// The "FileVersion" of the program file; "" when it has none.
    const std::string& FileVersion() const { return fileVersion_; }
    /// The loaded engine.
    IChassixCalls& Engine() const;

private:
    TAppInfo& appInfo_;
    bool startedWithParams_;
    std::string fileVersion_;
    IDialogService* dialogs_;
};

/// Shows "Vehicle Lookup Error: " + `text` in the error box.
void ShowLookupError(const TApplicationServices& services, const std::string& text);

/// The silent VIN lookup of the switches: with the engine's own messages off, a record holding a VIN is
/// searched (its `ModelYear` set to 0 first, so a "/YEAR" is not taken for a result); true when a vehicle
/// was found. When none was, the record's `ModelYear` is the one it had. Messages are switched on again on
/// every way out.
bool LookupFromCommandLine(ICarqueryUi& ui, TVehicleInfoLookup& lookup, TVinRecord& record);

/// Silent: the lookup window's VIN search on the record's VIN (upper-cased, as the VIN field shows it) at
/// the record's effective day, with no window; true. Otherwise: the modal lookup window; true when it
/// closed with a vehicle.
bool RunLookupWindow(ICarqueryUi& ui, TVehicleInfoLookup& lookup, TVinRecord& record, bool silent);

/// `RunLookupWindow` not silent.
bool RunLookupWindowModal(ICarqueryUi& ui, TVehicleInfoLookup& lookup, TVinRecord& record);

/// Writes [Version Info] Location and Number and [Last] CommandLine to cquery.ini in the Windows folder,
/// in that order, each value on one line. Raises `EIniFileException` "Unable to write to <path>"; a file too
/// large for memory is left as it is and only logged.
void WriteCqueryIni(TAppInfo& appInfo, const TVehicleInfoLookup& lookup, const TCommandLine& commandLine);

/// One whole run. `removedHandBackFile` is the hand-back file the launcher already removed ("" for none):
/// the run logs it as one it found. Returns the exit status: 0, or 1 when something could not be shown for
/// want of a display. Only an error while the application information is set up reaches the caller.
int RunCarquery(ICarqueryUi& ui, const TCommandLine& commandLine,
                const std::string& removedHandBackFile = {});

/// The start-up of the units: the locale settings from the environment, then the date routines'
/// `FourDigitYear`, which keeps that value for the whole run.
void InitializeUnits();

/// `RunCarquery` on `ui`, then the application title "Carlume": no window of the run carries it. An error
/// that reaches it is shown, or written to standard error without a display. Returns the exit status.
int ProgramMainBlock(ICarqueryUi& ui, const TCommandLine& commandLine,
                     const std::string& removedHandBackFile = {});

/// The process: the units' start-up, then `ProgramMainBlock` with the UI module loaded on first need;
/// `removedHandBackFile` as for `RunCarquery` (null for none). Returns the exit status.
int ProgramMainBlock(int argc, const char* const* argv, const char* removedHandBackFile) noexcept;

/// Writes a text that could not be shown to standard error: the text, then the reason in parentheses.
void WriteUnshown(const ENoDisplay& error);

} // namespace carlume
