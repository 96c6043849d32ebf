#include "lookup/carquery.h"

#include "components/date_util.h"
#include "foundation/logger.h"
#include "foundation/window_helpers.h"
#include "lookup/chassix_portal.h"
#include "lookup/lazy_ui.h"
#include "lookup/vin_search.h"
#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/format.h"
#include "platform/format_settings.h"
#include "platform/ini_files.h"
#include "platform/paths.h"
#include "platform/sysutils.h"

#include <cstdio>
#include <exception>
#include <memory>

namespace carlume {

namespace {

const std::string CRLF(LogLineEnd);

// Shows an unload error when no dialog service was given.
class TStandardErrorDialogs final : public IDialogService {
public:
    void ShowMessage(TMsgDlgType, const std::string& text) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    bool AskYesNo(const std::string& text) override
    {
        ShowMessage(TMsgDlgType::mtConfirmation, text);
        return false;
    }
    std::string InputBox(const std::string&, const std::string& prompt,
                         const std::string& defaultValue) override
    {
        ShowMessage(TMsgDlgType::mtCustom, prompt);
        return defaultValue;
    }
};

// The run object and the record of one run, released in that order however the run ends.
struct TRunObjects {
    std::unique_ptr<TVehicleInfoLookup> Lookup;
    std::unique_ptr<TVinRecord> Record;

    TRunObjects() = default;
    TRunObjects(const TRunObjects&) = delete;
    TRunObjects& operator=(const TRunObjects&) = delete;
    ~TRunObjects() { Release(); }
    void Release()
    {
        Lookup.reset();
        Record.reset();
    }
};

void LogUnshown(TAppInfo& appInfo, const ENoDisplay& error)
{
    appInfo.Log("*** NOT SHOWN: " + error.Reason() + " ***" + CRLF + error.Message());
}

// The error path of a run: the box (or standard error, without a display), then the log. Returns the exit
// status.
int ReportRunError(const TApplicationServices& services, TAppInfo& appInfo, const std::string& message)
{
    int status = 0;
    try {
        ShowLookupError(services, message);
    } catch (const ENoDisplay& error) {
        WriteUnshown(error);
        LogUnshown(appInfo, error);
        status = 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s%s\n(not shown: %s)\n", std::string(LookupErrorPrefix).c_str(),
                     message.c_str(), error.what());
        status = 1;
    }
    appInfo.Log("*** EXCEPTION GENERATED ***" + CRLF + message);
    return status;
}

// `removedAtLaunch`: the launcher found the file and removed it before the core was loaded.
void DeleteStaleHandBackFile(TAppInfo& appInfo, const std::string& dataFile, bool removedAtLaunch)
{
    if (!removedAtLaunch && !FileExists(dataFile))
        return;
    appInfo.Log("Previous data file found - deleting");
    std::string reason;
    // An earlier run's vehicle left in place would be read as this run's result: never go on with it. A
    // file another run deleted first is gone as well.
    if (!DeleteFileIfPresent(dataFile, &reason))
        throw Exception(StaleHandBackFileMessage(VisibleControls(dataFile), reason));
}

void RunSteps(ICarqueryUi& ui, const TCommandLine& commandLine, TAppInfo& appInfo,
              const std::string& removedHandBackFile)
{
    const TApplicationServices services = ui.Services();
    const std::string program = ProgramFileName();
    appInfo.SetLogFileName(ChangeFileExt(program, ".log"));
    if (FileExists(ChangeFileExt(program, ".logger")))
        appInfo.StartLog();
    appInfo.Log("Begin Carquery");

    TParsedSwitches switches;
    const std::string dataFile = appInfo.DataPath() + std::string(HandBackFileName);
    appInfo.Log("output data file: " + VisibleControls(dataFile));
    DeleteStaleHandBackFile(appInfo, dataFile,
                            !removedHandBackFile.empty() && removedHandBackFile == dataFile);

    TRunObjects run;
    run.Lookup =
        std::make_unique<TVehicleInfoLookup>(appInfo, commandLine.ParamCount() > 0, services.Dialogs);
    run.Record = std::make_unique<TVinRecord>();
    TVehicleInfoLookup& lookup = *run.Lookup;
    TVinRecord& record = *run.Record;
    record.Clear();
    WriteCqueryIni(appInfo, lookup, commandLine);

    bool found = false;
    if (commandLine.ParamCount() > 0) {
        switches = ParseCommandLine(commandLine.Params, record,
                                    [&appInfo](const std::string& message) { appInfo.Log(message); });
        if (switches.Count != 0)
            found = LookupFromCommandLine(ui, lookup, record);
    }
    if (!found) {
        if (switches.Count != 0 && !switches.VinGiven)
            ShowInfoMessage(services, std::string(NotFoundMessage));
        found = RunLookupWindowModal(ui, lookup, record);
    }
    if (found) {
        appInfo.Log("Save properties to output data file");
        record.SaveToFile(dataFile, true);
    } else {
        appInfo.Log("Unsuccessful lookup - deleting data file if it exists");
        std::string reason;
        if (FileExists(dataFile) && !DeleteFileIfPresent(dataFile, &reason))
            appInfo.Log(Format("Unable to delete data file %s. %s", VisibleControls(dataFile), reason));
    }
    appInfo.Log("Complete Carquery");
    run.Release();
}

} // namespace

// --- the run object ---------------------------------------------------------------------------------------

TVehicleInfoLookup::TVehicleInfoLookup(TAppInfo& appInfo, bool startedWithParams, IDialogService* dialogs)
    : appInfo_(appInfo)
    , startedWithParams_(startedWithParams)
    , dialogs_(dialogs)
{
    try {
        LoadEngineFromExeFolder(&appInfo_);
        fileVersion_ = GetFileVersionString(ProgramFileName(), vkFileVersion);
    } catch (...) {
        // No destructor runs for an object whose constructor failed: unload here what the load left.
        TStandardErrorDialogs standardError;
        UnloadEngine(dialogs_ != nullptr ? *dialogs_ : standardError);
        throw;
    }
}

TVehicleInfoLookup::~TVehicleInfoLookup()
{
    TStandardErrorDialogs standardError;
    UnloadEngine(dialogs_ != nullptr ? *dialogs_ : standardError);
}

IChassixCalls& TVehicleInfoLookup::Engine() const
{
    return LoadedChassixCalls();
}

// --- the routines of a run --------------------------------------------------------------------------------

void ShowLookupError(const TApplicationServices& services, const std::string& text)
{
    ShowErrorMessage(services, std::string(LookupErrorPrefix) + text);
}

bool LookupFromCommandLine(ICarqueryUi& ui, TVehicleInfoLookup& lookup, TVinRecord& record)
{
    bool found = false;
    const std::int32_t modelYear = record.ModelYear;
    TSuppressEngineMessages suppress(lookup.Engine());
    if (!record.VIN.empty()) {
        record.ModelYear = 0;
        RunLookupWindow(ui, lookup, record, true);
        found = record.ModelYear > 0;
    }
    if (!found)
        record.ModelYear = modelYear;
    suppress.Off();
    return found;
}

bool RunLookupWindow(ICarqueryUi& ui, TVehicleInfoLookup& lookup, TVinRecord& record, bool silent)
{
    if (!silent)
        return ui.RunLookupWindowModal(lookup, record);
    const TVinSearchContext context{TLookupContext{lookup.Engine(), ui}, ui.Services()};
    SearchByVIN(context, record, UpperCase(record.VIN), DateFieldDate(record.Effective));
    return true;
}

bool RunLookupWindowModal(ICarqueryUi& ui, TVehicleInfoLookup& lookup, TVinRecord& record)
{
    return RunLookupWindow(ui, lookup, record, false);
}

void WriteCqueryIni(TAppInfo& appInfo, const TVehicleInfoLookup& lookup, const TCommandLine& commandLine)
{
    // The three keys go to disk in one write: the same file as three profile writes, a third of the work,
    // and never a file with only some of them. A crash can only lose a note that the next run writes
    // again: not worth a wait for the disk. It is rewritten on every run all the same, same bytes or not:
    // its time tells when the program last ran.
    const std::string path = GetWindowsDir() + std::string(CqueryIniName);
    try {
        TMemIniFile ini(path, TWriteMode::Unsynced);
        ini.WriteString("Version Info", "Location", SingleLine(appInfo.AppPath()));
        ini.WriteString("Version Info", "Number", SingleLine(lookup.FileVersion()));
        ini.WriteString("Last", "CommandLine", SingleLine(commandLine.Text));
        ini.UpdateFile();
    } catch (const EIniFileException&) {
        throw;
    } catch (const EStreamError& error) {
        // A file grown too large to hold, or one the keys would make so, is no failure to write: the run goes
        // on and hands its vehicle back.
        if (!TooLargeToHold(error.Reason()))
            throw IniFileWriteError(path, error);
        appInfo.Log("cquery.ini not updated: " + error.Message());
    } catch (const Exception& error) {
        throw IniFileWriteError(path, error);
    }
}

int RunCarquery(ICarqueryUi& ui, const TCommandLine& commandLine, const std::string& removedHandBackFile)
{
    const TApplicationServices services = ui.Services();
    auto appInfo = std::make_unique<TAppInfo>(services);
    int status = 0;
    try {
        RunSteps(ui, commandLine, *appInfo, removedHandBackFile);
    } catch (const ENoDisplay& error) {
        WriteUnshown(error);
        LogUnshown(*appInfo, error);
        status = 1;
    } catch (const Exception& error) {
        status = ReportRunError(services, *appInfo, error.Message());
    } catch (const std::exception& error) {
        // Not ours: its text was not made for a log line.
        status = ReportRunError(services, *appInfo, VisibleControls(error.what()));
    } catch (...) {
        status = ReportRunError(services, *appInfo, "Unknown error");
    }
    appInfo.reset(); // writes the log
    return status;
}

void WriteUnshown(const ENoDisplay& error)
{
    std::fprintf(stderr, "%s\n(not shown: %s)\n", error.Message().c_str(), error.Reason().c_str());
}

void InitializeUnits()
{
    LoadFormatSettingsFromEnvironment();
    InitializeFourDigitYear();
}

int ProgramMainBlock(ICarqueryUi& ui, const TCommandLine& commandLine, const std::string& removedHandBackFile)
{
    try {
        const int status = RunCarquery(ui, commandLine, removedHandBackFile);
        ui.SetApplicationTitle(std::string(ApplicationTitle));
        return status;
    } catch (const ENoDisplay& error) {
        WriteUnshown(error);
    } catch (const std::exception& error) {
        try {
            ShowErrorMessage(ui.Services(), error.what());
            return 0;
        } catch (const ENoDisplay& unshown) {
            WriteUnshown(unshown);
        }
    }
    return 1;
}

int ProgramMainBlock(int argc, const char* const* argv, const char* removedHandBackFile) noexcept
{
    try {
        InitializeUnits();
        TLazyCarqueryUi ui;
        return ProgramMainBlock(ui, TCommandLine::FromArgs(argc, argv),
                                removedHandBackFile != nullptr ? removedHandBackFile : "");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "cquery: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "cquery: unknown error\n");
    }
    return 1;
}

} // namespace carlume
