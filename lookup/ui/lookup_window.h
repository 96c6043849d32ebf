#pragma once

// The lookup window: the one window in which a user finds a vehicle, by VIN or by model year, make and
// model, sees its data as a two-column result grid and closes with or without it. It works on the caller's
// record: the searches clear it, let the engine fill it and leave the chosen vehicle in it.
//
// The VIN search itself is the Qt-free core of lookup/vin_search.h, which the silent command-line lookup
// calls without any window; the window calls the same core and then shows the outcome.

// moc cannot parse the C++20 library headers these bring in, and needs none of them.
#ifndef Q_MOC_RUN
#include "foundation/shared_values.h"
#include "lookup/carquery.h"
#include "lookup/chassix_portal.h"
#include "lookup/printout_font_size.h"
#include "lookup/ui/anchors.h"
#include "lookup/vin_record.h"
#include "lookup/vin_search.h"
#include "platform/date_time.h"
#include "platform/gui/canvas.h"
#include "platform/gui/form.h"
#include "platform/gui/geometry.h"
#include "platform/gui/image_list.h"
#include "platform/gui/printer.h"
#include "platform/string_list.h"
#include "settings/about_box.h"
#endif

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace Ui {
class TfrmCarquery;
}

namespace carlume {

/// The window's colour.
inline constexpr TColor LookupWindowColor = TColor(0xF7DFD6);
/// Background of the current tab's caption.
inline constexpr TColor ActiveTabColor = TColor(0xF0BDAA);
/// Background of the focused value in the result grid (navy).
inline constexpr TColor FocusedValueColor = TColor(0x800000);
/// Text of the other values in the result grid (blue).
inline constexpr TColor ValueTextColor = TColor(0xFF0000);
/// Text of the criteria line (blue).
inline constexpr TColor CriteriaTextColor = TColor(0xFF0000);

/// Shown for a year, make and model search without all three.
inline constexpr std::string_view YmmRequiredMessage =
    "Year, Make and Model must be specified in order to look up vehicle details";
/// Shown for a search whose lookup date is empty or cannot be read.
inline constexpr std::string_view LookupDateRequiredMessage =
    "Date of Lookup must be a valid date in order to look up vehicle details";
/// The criteria line after a VIN shorter than the engine's minimum.
inline constexpr std::string_view InvalidVinCriteria = "Invalid VIN Specified";
/// Asked on Close when the program was started with parameters and no vehicle is shown.
inline constexpr std::string_view CancelLookupQuestion =
    "No data will be passed back to Polimark without a valid vehicle.  Do you want to cancel the lookup?";
/// Asked before the web update ends the lookup.
inline constexpr std::string_view WebUpdateQuestion =
    "The Carlume will now shutdown in order to perform the Web Update.  Continue?";
/// The maker's web-update page.
inline constexpr std::string_view WebUpdateAddress = "https://www.tamselsoftware.example/carlume/update";
/// The help behind the "?" button beside the original-symbol box; line breaks are carriage returns.
inline constexpr std::string_view OriginalSymbolHelp =
    "MA Auto rules require the use of the original symbol under "
    "certain circumstances.  You will want to check the box on the screen "
    "if one of the following are true:"
    "\r\r"
    "- The policy year is BEFORE 2006"
    "\r"
    "- The vehicle model year is 2006 or newer AND the policy year is 2006 or newer"
    "\r\r"
    "Under no circumstances should you check the box if the vehicle is older than 2006";
/// What the About box shows for this program.
inline constexpr std::string_view AboutProductTitle = "Polimark Carlume";
inline constexpr std::string_view AboutLogoFileName = "CLLogo.jpg";
inline constexpr std::string_view AboutUserName = "Polimark User";
/// The symbol data vendor's notice, shown by the About box.
inline constexpr std::string_view DataVendorNotice =
    "This product includes information which is proprietary to the vendor of its vehicle symbol data. "
    "Its use is limited to the vendor's participating insurers and their agents, and to the "
    "jurisdictions, lines of insurance and services for which the insurer is licensed by the vendor. "
    "The vendor does not guarantee the accuracy or timeliness of its information, and is not liable "
    "for any loss or damage arising from its use.";

/// Images of the result image list.
enum TResultImage : int {
    riNone = -1,   ///< nothing shown yet
    riFailure = 0, ///< nothing found
    riSuccess = 1, ///< a vehicle was found
};

/// Shown when the web-update page could not be opened; the window stays.
std::string WebUpdateFailedMessage();

/// The effective date that asks for the original symbol: 1 January 1950.
TDateTime OriginalSymbolDate();

/// How the window opens the About box: `ShowAboutBox`, or what a test puts in its place.
using TShowAboutBox = std::function<void(const TAboutBoxProperties&, const TApplicationServices&)>;

/// The lookup window.
class TfrmCarquery : public TForm {
    Q_OBJECT
public:
    /// Builds the window for `record` (not owned) of the run `lookup` (not owned): reads the print font
    /// size, sets the lookup date to now (or the original-symbol date when the record asks for it and the
    /// program was started with parameters), fills the lists from the engine and the VIN field from the
    /// record. `context` gives the engine, the chooser windows and the services, `printer` the print
    /// dialog and the printer; all must outlive the window. `showAboutBox` opens the About box. An error of
    /// the engine reaches the caller once the engine objects fetched so far are freed.
    TfrmCarquery(QWidget* owner, TVinRecord& record, bool startedWithParams, TVehicleInfoLookup& lookup,
                 const TVinSearchContext& context, IPrinterService& printer,
                 TShowAboutBox showAboutBox = ShowAboutBox);
    /// Frees the engine objects of the model list, then those of the make list.
    ~TfrmCarquery() override;
    TfrmCarquery(const TfrmCarquery&) = delete;
    TfrmCarquery& operator=(const TfrmCarquery&) = delete;

    // --- operations -------------------------------------------------------------------------------------

    /// The VIN search on the VIN field: the result grid is emptied, the core search runs (a chooser may come
    /// up), and the outcome is shown. `silent` (no window shown) searches at the record's own effective
    /// date, which the date field then shows. Errors reach the caller.
    void SearchByVIN(bool silent);
    /// The year, make and model search on the selected entries (all three must be selected): the record is
    /// cleared to the lookup date, the engine walks the model's sub-models (a chooser may come up), and the
    /// result image is set. True only when the engine returned a vehicle.
    bool ChooseDetailByYMM();
    /// Fills the make and year lists from the engine and selects the record's year, make and model (once:
    /// nothing happens when the year list is filled already).
    void FillLists();
    /// Fills the model list for the selected year and make (emptied when either is missing) and empties
    /// the result.
    void FillModels();
    /// Empties the result grid and disables printing; no result is shown any more.
    void ClearResults();
    /// Lists the record in the result grid (empty values too when "Show all Detail Items" is checked) and
    /// enables printing; a result is shown.
    void FillResultGrid();
    /// Shows the success mark when `found`, else the failure mark.
    void ShowResultImage(bool found);
    /// Shows " " + `text` in the criteria line, exactly as given.
    void SetCriteriaCaption(const std::string& text);
    /// The date of the date field (`NullDate` when it holds none).
    TDateTime GetEffectiveDate() const;
    /// Frees the engine objects of the make list and empties it.
    void FreeMakeObjects();
    /// Frees the engine objects of the model list and empties it.
    void FreeModelObjects();
    /// Reads (true) or writes (false) the print font size: [Settings] PrintoutFontSize of settings.ini in
    /// the program folder, 10 when absent or no number (any other number is kept: the report brings it
    /// into 8..14).
    void LoadSavePrintFontSize(bool load);
    /// The print dialog; once the user confirms it, the report of the record (empty values too when "Show
    /// all Detail Items" is checked) at the print font size on the printer chosen there.
    void PrintDetails();

    // --- handlers -----------------------------------------------------------------------------------------

    /// Each show: selects the record's year and make again, opens the VIN tab when the record has a VIN
    /// (else the year, make and model tab), empties the result and fits the window to its controls.
    void FormShow();
    /// The VIN search, then the focus to its button. A lookup date that is empty or cannot be read is
    /// refused with a message and the focus in the date field; nothing is searched.
    void btnSearchByVINClick();
    /// The year, make and model search: asks for a missing year, make or model, refuses a lookup date that
    /// is no date as the VIN search does; else empties the result, searches and lists what was found; then
    /// the focus to its button.
    void btnSearchByYMMClick();
    /// The search button of the year, make and model tab is enabled exactly when a model is selected.
    void lstModelChange();
    /// Lists the shown result again, with or without its empty values.
    void chkShowAllDetailClick();
    /// Focus to the VIN field.
    void tabVinShow();
    /// Focus to the year list.
    void tabYMMShow();
    /// `PrintDetails`.
    void btnPrintClick();
    /// `PrintDetails`.
    void mnuPrintClick();
    /// Asks for a new print font size (8 to 14) and stores it in settings.ini; Cancel stores the current
    /// size again, an answer that is no number or out of range is refused with a message.
    void PrintoutFontSize1Click();
    /// Asks whether to end for the web update; on Yes opens the maker's web-update page and closes the
    /// window with Cancel, so nothing is handed back. When the page cannot be opened, says so and stays.
    void mnuWebUpdateClick();
    /// Fills the About box's properties for this program and shows the box; the properties are freed
    /// afterwards, also when the box raises.
    void mnuAboutClick();
    /// File, Close: does what the Close button does.
    void mnuCloseClick();
    /// Explains when to check the original-symbol box.
    void Button1Click();
    /// Close: with a result shown the window ends with OK. Without one, a run started with parameters asks
    /// whether to cancel (No keeps the window open); one started by hand ends with Cancel. Started by hand,
    /// [Settings] UseOrigSymbol in cquery.ini notes the original-symbol box.
    void btnCloseClick();
    /// The original-symbol box: checked, the date field shows 1 January 1950 and is disabled; unchecked, it
    /// shows now and is enabled.
    void chkOrigSymClick();
    /// Puts the value of the current row, as shown, on the clipboard.
    void grdDetailClick();
    /// Draws a cell of the result grid: labels black on white, values bold blue on white, the focused value
    /// bold white on navy; a focused label gets a dotted focus frame.
    void grdDetailDrawCell(TCanvas& canvas, int column, int row, const TRect& rect, bool focused);
    /// Draws a tab caption on its colour: the current tab's, else the window's.
    void PageSearchTypeDrawTab(TCanvas& canvas, int index, const TRect& rect, bool active);
    /// Enter in the VIN field clicks its search button.
    void txtVINKeyDown();
    /// Enter in the model list clicks its search button.
    void lstModelKeyDown();

    // --- state --------------------------------------------------------------------------------------------

    /// True while the grid holds a result.
    bool ResultShown() const { return resultShown_; }
    /// True when the window was last shown on the VIN tab.
    bool VinTabShown() const { return vinTabShown_; }
    /// The print font size.
    int PrintFontSize() const { return printFontSize_; }
    /// The image the result image shows.
    TResultImage ResultImage() const { return resultImage_; }
    /// The result image list: image 0 the failure mark, image 1 the success mark.
    const TImageList& ImageList1() const { return imageList_; }
    /// The text of a result grid cell ("" outside).
    std::string ResultCell(int column, int row) const;
    /// The number of rows of the result grid.
    int ResultRowCount() const;

protected:
    /// Runs `FormShow`.
    void DoShow() override;

    /// The generated layout.
    std::unique_ptr<Ui::TfrmCarquery> ui_;

private:
    void ConnectHandlers();
    void SelectFromRecord();
    void FocusCurrentTab();
    bool LookupDateGiven();

    TVinRecord& vinRecord_;
    bool filling_ = false;
    bool vinTabShown_ = false;
    bool resultShown_ = false;
    bool startedWithParams_;
    int printFontSize_ = DefaultPrintoutFontSize;
    TDateTime origEffective_ = 0;
    TVehicleInfoLookup& lookup_;
    TVinSearchContext context_;
    IPrinterService& printer_;
    TShowAboutBox showAboutBox_;
    TStringList makes_;
    TStringList models_;
    TAnchorSet resultAnchors_;
    TImageList imageList_{16, 16};
    TResultImage resultImage_ = riNone;
};

} // namespace carlume
