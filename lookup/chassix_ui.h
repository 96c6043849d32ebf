#pragma once

// The lookups behind both searches of the lookup window and the silent command-line lookup: a year, make
// and model through its sub-models, a VIN through its matches, each with a chooser when more than one line
// qualifies. The chooser window is shown only for two or more lines; one line is taken without a window.

#include "lookup/chassix_calls.h"
#include "lookup/chassix_portal.h"
#include "lookup/vehicle_detail.h"
#include "lookup/vin_record.h"

#include <memory>
#include <string>
#include <vector>

namespace carlume {

/// Column bit of "Model Name".
inline constexpr std::uint16_t ColumnModelName = 1u << 0;
/// Column bit of "Symbol" (model years before 2011).
inline constexpr std::uint16_t ColumnSymbol = 1u << 12;
/// Column bit of "Comp" (model years from 2011 on).
inline constexpr std::uint16_t ColumnComp = 1u << 13;
/// Column bit of "Coll" (model years from 2011 on).
inline constexpr std::uint16_t ColumnColl = 1u << 14;
/// Column bit of "VIN".
inline constexpr std::uint16_t ColumnVin = 1u << 15;

/// What the lookups work with: the engine and the chooser windows.
struct TLookupContext {
    IChassixCalls& Engine;                ///< the engine
    IVehicleDetailWindowFactory& Windows; ///< makes the chooser windows
};

/// One line of the VIN chooser: the match's model name and its record.
struct TVinChoice {
    std::string Model;                  ///< the model name the line stands for
    std::unique_ptr<TVinRecord> Record; ///< the match, as the engine loaded it
};

/// Looks up a model of a year and make: the record's `VIN` is emptied and its `LookupMode` set (3 for
/// years from 2011 on, else 1); a model with one sub-model is read through its VIN text, several go through
/// `ChooseSubModel` (then `Symbol` := 0). True when a vehicle was taken or chosen and the engine was asked
/// for it, whatever the engine answered. `modelEntry` (may be null) gets the chosen VIN text. Raises
/// `EConvertError` when `yearText` is no number.
bool LookupByYMM(const TLookupContext& context, TVinRecord& record, TChassixModelEntry* modelEntry,
                 const std::string& yearText, const std::string& makeKey, const std::string& modelKey);

/// Looks up the vehicles that match `vin` at the record's `Effective`: none gives false; exactly one is
/// read into the record by `GetRecordByVIN`; several go through `ChooseVinMatch`. True when a vehicle was
/// taken or chosen. `declined` (may be null) is set true when a chooser was shown and no line was chosen.
bool LookupByVIN(const TLookupContext& context, TVinRecord& record, const std::string& vin,
                 bool* declined = nullptr);

/// Lets the user choose one of the sub-models: the window is shown for two or more lines, one line is
/// taken as it is. A chosen line's VIN text goes into the record's `VIN` and into `modelEntry` (may be
/// null). False when nothing qualifies or the chooser was cancelled.
bool ChooseSubModel(const TLookupContext& context, TVinRecord& record, TChassixModelEntry* modelEntry,
                    const std::string& yearText, const std::string& makeKey, const std::string& modelKey);

/// Lets the user choose one of the vehicles matching `vin` (shown for two or more lines, one taken as it
/// is); the chosen match is copied into the record with `Assign`, which keeps the record's own
/// `Effective`. False when nothing qualifies or the chooser was cancelled; `declined` (may be null) is set
/// true only for the latter.
bool ChooseVinMatch(const TLookupContext& context, TVinRecord& record, const std::string& vin,
                    bool* declined = nullptr);

/// Fills the chooser grid with the sub-models of make, year and model valid at the record's `Effective`,
/// consecutive ones with the same VIN text as one line, and `choices` with each line's VIN text. The
/// columns are those in which the sub-models differ, "VIN", and "Symbol" (before 2011) or "Comp" and
/// "Coll". A model key under which the engine finds nothing lists every model of the make and year, with
/// "Model Name". Returns the number of lines.
int FillSubModelGrid(IChassixCalls& engine, TVehicleDetailGrid& grid, const TVinRecord& record,
                     const std::string& yearText, const std::string& makeKey, const std::string& modelKey,
                     std::vector<std::string>& choices);

/// Fills the chooser grid with the rated matches (kind 1 or 3) of `vin` valid at the record's `Effective`,
/// consecutive ones with the same model name as one line, and `choices` (emptied first) with each line's
/// record. The columns are those in which the matches differ, "Model Name", and "Symbol" or "Comp" and
/// "Coll" by the record's `ModelYear` (the first line's when the record has none). A match whose reading
/// fails is left out whole. Returns the number of lines.
int FillVinGrid(IChassixCalls& engine, TVehicleDetailGrid& grid, const TVinRecord& record,
                const std::string& vin, std::vector<TVinChoice>& choices);

} // namespace carlume
