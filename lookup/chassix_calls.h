#pragma once

// The engine calls as one interface, so that the searches and choosers can run on the loaded engine or,
// in tests, on a scripted fake that fails at a chosen call. The methods mean what the bridge's functions
// of the same name (without "Chassix") mean; see lookup/chassix_portal.h.

#include "lookup/chassix_portal.h"
#include "lookup/vin_record.h"
#include "platform/date_time.h"
#include "platform/string_list.h"

#include <cstdint>
#include <string>

namespace carlume {

/// The vehicle-symbol engine's calls.
class IChassixCalls {
public:
    virtual ~IChassixCalls() = default;

    /// The first year of the year list.
    virtual std::int32_t GetEarliestSymbolYearAvailable() = 0;
    /// The shortest VIN the engine looks up.
    virtual std::int32_t GetMinVinSizePermitted() = 0;
    /// 1: the engine shows no messages of its own; 0: it may again.
    virtual void SetSuppressMessages(std::int32_t suppress) = 0;
    /// Fills `record` for its `VIN`, `LookupMode` and `Effective`; true when the engine reports a vehicle.
    virtual bool GetRecordByVIN(TVinRecord& record) = 0;
    /// Fills `record` from the current item of the VIN walk.
    virtual void LoadFromCurrentRecord(TVinRecord& record) = 0;
    /// Appends the makes, each with a `TChassixMakeEntry`.
    virtual void GetListOfMakes(TStringList& makes) = 0;
    /// Appends the models of `make` and `yearText`, each with a `TChassixModelEntry`.
    virtual void GetListOfModels(TStringList& models, const TChassixMakeEntry& make,
                                 const std::string& yearText) = 0;
    /// The columns in which the sub-models of make, year and model differ (bit n = column n).
    virtual std::uint16_t GetDifferenceFields(const std::string& makeKey, const std::string& yearText,
                                              const std::string& modelKey) = 0;
    /// Starts the sub-model walk.
    virtual void GetFirstSubModel(const std::string& makeKey, const std::string& yearText,
                                  const std::string& modelKey) = 0;
    /// Steps the sub-model walk.
    virtual void GetNextSubModel() = 0;
    /// True once the sub-model walk is past its last item.
    virtual bool GetEndOfModel() = 0;
    /// The VIN text of a model with one sub-model.
    virtual std::string GetModelVIN(const std::string& makeKey, const std::string& yearText,
                                    const std::string& modelKey) = 0;
    /// The current walk item's text for column 0-15.
    virtual std::string GetFieldValue(std::int32_t column) = 0;
    /// True when the current walk item is valid at `effective`.
    virtual bool GetRecordEffective(TDateTime effective) = 0;
    /// Starts the walk over the vehicles that match `vin`.
    virtual void GetFirstVIN(const std::string& vin) = 0;
    /// True once the VIN walk is past its last item.
    virtual bool GetEndOfVIN() = 0;
    /// Steps the VIN walk.
    virtual void GetNextVIN() = 0;
    /// The columns in which the vehicles matching `vin` differ (bit n = column n).
    virtual std::uint16_t GetDifferenceFieldsVIN(const std::string& vin) = 0;
};

/// The calls of the engine the bridge has loaded (one object for the process).
IChassixCalls& LoadedChassixCalls();

} // namespace carlume
